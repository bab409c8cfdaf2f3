#pragma once

#include <vector>

#include "coreobj/func1.h"

// Polynomial with its coefficients stored highest degree first:
// {k0, k1, ..., k(n-1)} is k0*x^(n-1) + ... + k(n-2)*x + k(n-1).
class FuncPoly final : public Func1 {
public:
    enum FuncPolyErr {
        ERRN_SIZE = 1
    };

    FuncPoly() = default;

    // Writes ERRN_SIZE and returns 0.0 when there are no coefficients.
    double valueFx(double x, int* errn) const override;
    int func1Type() const override { return FUNC1_POLY; }

    std::vector<double> coeff() const { return m_coeff; }
    void setCoeff(const std::vector<double>& coeff);
    // Appends a new constant term, raising the degree of the earlier ones.
    void addCoeff(double c);
    void clearCoeff();
    int size() const { return m_size; }

private:
    std::vector<double> m_coeff;
    int m_size = 0;
};
