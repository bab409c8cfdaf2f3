#include "coreobj/funcpoly.h"

#include <cmath>

double FuncPoly::valueFx(double x, int* errn) const {
    if (m_coeff.empty()) {
        if (errn != nullptr) {
            *errn = ERRN_SIZE;
        }
        return 0.0;
    }
    // Constant term first, highest degree last.
    const int n = m_size;
    double value = 0.0;
    for (int i = 0; i < n; ++i) {
        value += std::pow(x, i) * m_coeff[static_cast<std::size_t>(n - 1 - i)];
    }
    if (errn != nullptr) {
        *errn = FUNC1_ERR_OK;
    }
    return value;
}

void FuncPoly::setCoeff(const std::vector<double>& coeff) {
    m_coeff = coeff;
    m_size = static_cast<int>(m_coeff.size());
}

void FuncPoly::addCoeff(double c) {
    m_coeff.push_back(c);
    m_size = static_cast<int>(m_coeff.size());
}

void FuncPoly::clearCoeff() {
    m_coeff.clear();
    m_size = 0;
}
