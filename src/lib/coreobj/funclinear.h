#pragma once

#include "coreobj/func1.h"

// y = b*x + c
//
// Copies carry the coefficients only: a copy starts without limits and with
// empty caches, and an assignment keeps the target's limits and caches.
class FuncLinear final : public Func1 {
public:
    FuncLinear() = default;
    FuncLinear(const FuncLinear& other);
    FuncLinear& operator=(const FuncLinear& other);

    double valueFx(double x, int* errn) const override;
    int func1Type() const override { return FUNC1_LINEAR; }

    double b() const { return m_b; }
    void setB(double b) { m_b = b; }
    double c() const { return m_c; }
    void setC(double c) { m_c = c; }

private:
    double m_b = 0.0;
    double m_c = 0.0;
};
