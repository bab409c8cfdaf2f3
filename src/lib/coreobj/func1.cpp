#include "coreobj/func1.h"

#include <algorithm>
#include <iterator>

Func1::Func1()
    : m_leftType(FUNC1_NOTLIMITED),
      m_rightType(FUNC1_NOTLIMITED),
      m_left(0.0),
      m_right(0.0) {}

void Func1::func1SetLimits(FuncLimits leftType, FuncLimits rightType,
                           double left, double right) {
    m_leftType = leftType;
    m_rightType = rightType;
    m_left = left;
    m_right = right;
}

bool Func1::isOutOfLimits(double xdata, double toll) const {
    return m_isOutOfLimits(xdata, toll);
}

bool Func1::m_isOutOfLimits(double b, double toll) const {
    // Strict comparisons: a value on a widened limit is inside, NaN never out.
    if (m_leftType == FUNC1_LIMITED && (m_left - toll) > b) {
        return true;
    }
    return m_rightType == FUNC1_LIMITED && b > (m_right + toll);
}

void Func1::func1SetXDataCache(const std::vector<double>& cache) {
    m_xdata_cache = cache;
}

void Func1::func1SetYDataCache(const std::vector<double>& cache) {
    m_ydata_cache = cache;
}

int Func1::func1XDataCacheSize() const {
    return static_cast<int>(m_xdata_cache.size());
}

int Func1::func1YDataCacheSize() const {
    return static_cast<int>(m_ydata_cache.size());
}

bool Func1::func1GenYData(std::vector<double>& ydata, const std::vector<double>& xdata,
                          double* fmin, double* fmax) {
    if (xdata.size() < 2) {
        return false;
    }
    m_xdata_acceptable.clear();
    bool rejected = false;
    for (const double x : xdata) {
        if (isOutOfLimits(x, 0.0)) {
            rejected = true;
        } else {
            m_xdata_acceptable.push_back(x);
        }
    }
    ydata.resize(m_xdata_acceptable.size());
    std::transform(m_xdata_acceptable.begin(), m_xdata_acceptable.end(), ydata.begin(),
                   [this](double x) { return valueFx(x, nullptr); });
    // Minimum and maximum exist only for a non-empty set of values.
    if (!ydata.empty()) {
        const auto range = std::minmax_element(ydata.begin(), ydata.end());
        if (fmin != nullptr) {
            *fmin = *range.first;
        }
        if (fmax != nullptr) {
            *fmax = *range.second;
        }
    }
    return !rejected;
}

bool Func1::m_samplingBounds(int* err, const double* left, const double* right,
                             double& lbound, double& rbound) const {
    if (isLeftLimited()) {
        lbound = m_left;
    } else if (left != nullptr) {
        lbound = *left;
    } else {
        if (err != nullptr) {
            *err = FUNC1_ERR_NOLIMITS;
        }
        return false;
    }
    if (isRightLimited()) {
        rbound = m_right;
    } else if (right != nullptr) {
        rbound = *right;
    } else {
        if (err != nullptr) {
            *err = FUNC1_ERR_NOLIMITS;
        }
        return false;
    }
    return true;
}

std::vector<double> Func1::func1XGen(int nb, int* err, bool forceLimits,
                                     double* left, double* right) {
    // A grid once made is kept: the arguments are not looked at again.
    if (!m_xdata_cache.empty()) {
        return m_xdata_cache;
    }
    double lbound = 0.0;
    double rbound = 0.0;
    if (!m_samplingBounds(err, left, right, lbound, rbound)) {
        return m_xdata_cache;
    }
    xDataGenerator(m_xdata_cache, lbound, rbound, nb, forceLimits);
    return m_xdata_cache;
}

std::vector<double> Func1::func1YGen(int nb, int* err, bool forceLimits,
                                     double* left, double* right) {
    double lbound = 0.0;
    double rbound = 0.0;
    if (!m_samplingBounds(err, left, right, lbound, rbound)) {
        return m_ydata_cache;
    }
    if (m_xdata_cache.empty()) {
        xDataGenerator(m_xdata_cache, lbound, rbound, nb, forceLimits);
    }
    std::vector<double> ydata;
    if (!func1GenYData(ydata, m_xdata_cache, nullptr, nullptr) && err != nullptr) {
        *err = FUNC1_ERR_GENYDATA;
    }
    m_ydata_cache = ydata;
    return m_ydata_cache;
}

bool Func1::xDataGenerator(std::vector<double>& vec, double min, double max,
                           int nb, bool forceLimits) {
    if (nb <= 1 || !(min < max)) {
        return false;
    }
    const double step = (max - min) / (nb - 1);
    vec.reserve(vec.size() + static_cast<std::size_t>(nb));
    if (forceLimits) {
        vec.push_back(min);
        for (int i = 1; i < nb - 1; ++i) {
            vec.push_back(i * step + min);
        }
        vec.push_back(max);
    } else {
        for (int i = 0; i < nb; ++i) {
            vec.push_back(i * step + min);
        }
    }
    return true;
}

bool Func1::xDataFilter(std::vector<double>& vec, const std::vector<double>& xdata,
                        FuncLimits leftType, FuncLimits rightType,
                        double left, double right) {
    std::copy_if(xdata.begin(), xdata.end(), std::back_inserter(vec),
                 [=](double x) {
                     return (leftType != FUNC1_LIMITED || x >= left) &&
                            (rightType != FUNC1_LIMITED || x <= right);
                 });
    return !vec.empty();
}
