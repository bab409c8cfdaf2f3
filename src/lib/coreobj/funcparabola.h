#pragma once

#include "coreobj/func1.h"

// y = a*x*x + b*x + c
class FuncParabola final : public Func1 {
public:
    FuncParabola() = default;

    double valueFx(double x, int* errn) const override;
    int func1Type() const override { return FUNC1_PARABOLA; }

    double a() const { return m_a; }
    void setA(double a) { m_a = a; }
    double b() const { return m_b; }
    void setB(double b) { m_b = b; }
    double c() const { return m_c; }
    void setC(double c) { m_c = c; }

private:
    double m_a = 0.0;
    double m_b = 0.0;
    double m_c = 0.0;
};
