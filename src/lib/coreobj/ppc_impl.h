#pragma once

#include <string>
#include <vector>

// Vector and matrix types shared by the core object library.
// Matrices are vectors of rows; rows may differ in length.
typedef std::vector<long> vectorLong;
typedef std::vector<unsigned long> vectorUlong;
typedef std::vector<double> VectorDouble;
typedef std::vector<std::string> VectorString;

typedef std::vector<vectorLong> matrixLong;
typedef std::vector<vectorUlong> matrixUlong;
typedef std::vector<VectorDouble> MatrixDouble;
typedef std::vector<VectorString> MatrixString;
