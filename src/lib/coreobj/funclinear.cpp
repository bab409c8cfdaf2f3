#include "coreobj/funclinear.h"

FuncLinear::FuncLinear(const FuncLinear& other)
    : Func1(), m_b(other.m_b), m_c(other.m_c) {}

FuncLinear& FuncLinear::operator=(const FuncLinear& other) {
    m_b = other.m_b;
    m_c = other.m_c;
    return *this;
}

double FuncLinear::valueFx(double x, int* errn) const {
    if (errn != nullptr) {
        *errn = FUNC1_ERR_OK;
    }
    return (m_b * x) + m_c;
}
