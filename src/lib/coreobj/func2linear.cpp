#include "coreobj/func2linear.h"

Func2Linear::Func2Linear(double a, double b, double c) : m_a(a), m_b(b), m_c(c) {}

Func2Linear::Func2Linear(const Func2Linear& other)
    : Func2(), m_a(other.m_a), m_b(other.m_b), m_c(other.m_c) {}

Func2Linear& Func2Linear::operator=(const Func2Linear& other) {
    m_a = other.m_a;
    m_b = other.m_b;
    m_c = other.m_c;
    return *this;
}

void Func2Linear::setABC(double newA, double newB, double newC) {
    m_a = newA;
    m_b = newB;
    m_c = newC;
}

double Func2Linear::valueFxy(double x, double y, int* errn) const {
    if (errn != nullptr) {
        *errn = FUNC2_ERR_OK;
    }
    return (m_a * x + m_b * y) + m_c;
}
