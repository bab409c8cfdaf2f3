#pragma once

#include <vector>

#include "coreobj/func1.h"

// Piecewise function: n ascending internal limits L[0..n-1] split the axis
// into n+1 intervals, piece i covering [L[i-1], L[i]). The pieces are not
// owned. The destructor is not virtual; classes deriving from this one and
// deleted polymorphically declare their own virtual destructor.
class FuncVector : public Func1 {
public:
    enum FuncVectorErr {
        FUNCV_ERR_OK = 0,
        FUNCV_ERR_LIMITSORDER = 11,
        FUNCV_ERR_LIMITSSIZE = 12,
        FUNCV_ERR_LIMITSLEFTOUT = 13,
        FUNCV_ERR_LIMITSRIGHTOUT = 14,
        FUNCV_ERR_NBFUNCS = 15,
        FUNCV_ERR_NBFUNCSLESS = 16,
        FUNCV_ERR_FUNCSDEFLEFT = 17,
        FUNCV_ERR_FUNCSDEFRIGHT = 19,
        FUNCV_ERR_FUNCSNOTCONT = 20
    };

    FuncVector() = default;

    // Value of the piece at x. Throws std::out_of_range when that piece is
    // missing (or null).
    double valueFx(double x, int* errn) const override;
    int func1Type() const override { return FUNC1_VECTOR; }
    // With forceLimits the grid also holds every internal limit.
    std::vector<double> func1XGen(int nb, int* err, bool forceLimits,
                                  double* left, double* right) override;
    std::vector<double> func1YGen(int nb, int* err, bool forceLimits,
                                  double* left, double* right) override;

    // Type of the piece at x, its index through funcIndex; FUNC1_UNKNOWN and
    // index -1 for a value past the last limit and out of the outer limits.
    int typeFx(double x, int* funcIndex, int* errn) const;

    int setLimits(FuncLimits leftType, FuncLimits rightType, double left, double right);
    void setLimitsTollerance(double tollerance);
    int setInternalLimits(const std::vector<double>& limits);
    std::vector<double> getInternalLimits() const { return m_internalLimits; }

    void addFunc(Func1* func);
    // Stores the pieces whatever they are, then returns ctlFuncs().
    int setFuncs(const std::vector<Func1*>& funcs);
    int ctlFuncs() const;
    // Bounds-checked: throws std::out_of_range outside 0 .. size-1.
    Func1* getFuncAt(int i) const;

private:
    std::size_t m_pieceIndex(double x) const;
    const Func1& m_piece(std::size_t i) const;

    std::vector<double> m_internalLimits;
    std::vector<Func1*> m_funcs;
    double m_tollerance = 0.0;
};
