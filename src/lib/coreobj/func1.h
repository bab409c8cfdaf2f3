#pragma once

#include <vector>

// Real function of one real variable, y = f(x), with a left and a right
// limit, an optional error output and x/y sample caches.
//
// Objects of this family are never destroyed through a Func1 pointer, so the
// destructor is not virtual; it is protected so that cannot happen by mistake.
class Func1 {
public:
    enum FuncErr {
        FUNC1_ERR_OK = 0,
        FUNC1_ERR_OUTLEFT = 1,
        FUNC1_ERR_OUTRIGHT = 2,
        FUNC1_ERR_OUTLIMITS = 3,
        FUNC1_ERR_NOLIMITS = 4,
        FUNC1_ERR_CACHESIZE = 5,
        FUNC1_ERR_GENYDATA = 6,
        FUNC1_ERR_CASTING = 7,
        FUNC1_ERR_TYPE_UNKNOWN = 8
    };

    enum Type {
        FUNC1_UNKNOWN = -1,
        FUNC1_CONST = 0,
        FUNC1_LINEAR = 1,
        FUNC1_PARABOLA = 2,
        FUNC1_POLY = 3,
        FUNC1_VECTOR = 4
    };

    enum FuncLimits {
        FUNC1_NOTLIMITED = 1,
        FUNC1_LIMITED = 2
    };

    Func1();

    // Value at x; writes a FuncErr code through errn when errn is not null.
    virtual double valueFx(double x, int* errn) const = 0;
    // One of Type.
    virtual int func1Type() const = 0;
    // Equally spaced x samples between the limits (or the caller's bounds
    // for a side without limit), kept in the x cache.
    virtual std::vector<double> func1XGen(int nb, int* err, bool forceLimits,
                                          double* left, double* right);
    // y samples over the x cache (made first when empty), kept in the y cache.
    virtual std::vector<double> func1YGen(int nb, int* err, bool forceLimits,
                                          double* left, double* right);

    void func1SetLimits(FuncLimits leftType, FuncLimits rightType,
                        double left, double right);
    double func1LeftLimit() const { return m_left; }
    double func1RightLimit() const { return m_right; }
    bool isLeftLimited() const { return m_leftType == FUNC1_LIMITED; }
    bool isRightLimited() const { return m_rightType == FUNC1_LIMITED; }
    bool isOutOfLimits(double xdata, double toll) const;

    void func1SetXDataCache(const std::vector<double>& cache);
    void func1SetYDataCache(const std::vector<double>& cache);
    std::vector<double> func1XDataCache() const { return m_xdata_cache; }
    std::vector<double> func1YDataCache() const { return m_ydata_cache; }
    int func1XDataCacheSize() const;
    int func1YDataCacheSize() const;
    std::vector<double> func1XdataAccettable() const { return m_xdata_acceptable; }

    // y = valueFx(x) for every x of xdata inside the limits; false when
    // xdata holds fewer than two values or some x was rejected.
    bool func1GenYData(std::vector<double>& ydata, const std::vector<double>& xdata,
                       double* fmin, double* fmax);

    static bool xDataGenerator(std::vector<double>& vec, double min, double max,
                               int nb, bool forceLimits);
    static bool xDataFilter(std::vector<double>& vec, const std::vector<double>& xdata,
                            FuncLimits leftType, FuncLimits rightType,
                            double left, double right);

protected:
    Func1(const Func1&) = default;
    Func1& operator=(const Func1&) = default;
    ~Func1() = default;

    // Picks the sampling bounds: the limit of a limited side, otherwise the
    // caller's value. False (and FUNC1_ERR_NOLIMITS through err) when a side
    // has neither.
    bool m_samplingBounds(int* err, const double* left, const double* right,
                          double& lbound, double& rbound) const;

private:
    bool m_isOutOfLimits(double b, double toll) const;

    FuncLimits m_leftType;
    FuncLimits m_rightType;
    double m_left;
    double m_right;
    std::vector<double> m_xdata_acceptable;
    std::vector<double> m_xdata_cache;
    std::vector<double> m_ydata_cache;
};
