#pragma once

#include "coreobj/func2.h"

// z = a*x + b*y + c; also the line a*x + b*y + c = 0 used as a slicing ray.
class Func2Linear final : public Func2 {
public:
    Func2Linear(double a, double b, double c);
    Func2Linear(const Func2Linear& other);
    Func2Linear& operator=(const Func2Linear& other);

    double a() const { return m_a; }
    double b() const { return m_b; }
    double c() const { return m_c; }
    void setA(double newA) { m_a = newA; }
    void setB(double newB) { m_b = newB; }
    void setC(double newC) { m_c = newC; }
    void setABC(double newA, double newB, double newC);

    double valueFxy(double x, double y, int* errn) const override;
    int func2Type() const override { return FUNC2_LINEAR; }

private:
    double m_a;
    double m_b;
    double m_c;
};
