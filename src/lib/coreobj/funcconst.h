#pragma once

#include "coreobj/func1.h"

// y = c
class FuncConst final : public Func1 {
public:
    FuncConst() = default;

    double valueFx(double x, int* errn) const override;
    int func1Type() const override { return FUNC1_CONST; }

    double c() const { return m_c; }
    void setC(double value) { m_c = value; }

private:
    double m_c = 0.0;
};
