#pragma once

#include <ostream>
#include <string>

#include "coreobj/ppc_impl.h"

// Prints vectors and matrices of texts and numbers on a stream and searches
// vectors of texts. Texts compare as NUL-terminated strings. Stateless.
class VecUtility {
public:
    VecUtility() = default;
    VecUtility(const VecUtility&) = default;
    VecUtility& operator=(const VecUtility&) = default;
    virtual ~VecUtility() = default;

    // Every element as sx, element, dx on one line, then a line end
    // (a bare line end for an empty vector).
    void Print(VectorString& vec, std::ostream& os, const std::string& sx,
               const std::string& dx) const;
    // Values separated by one blank, a line end after the last one;
    // an empty vector writes nothing.
    void Print(VectorDouble& vec, std::ostream& os) const;
    void Print(vectorLong& vec, std::ostream& os) const;
    void Print(vectorUlong& vec, std::ostream& os) const;

    // One line per row: sx, each element as "[element]", dx, line end.
    void Print(MatrixString& vec, std::ostream& os, const std::string& sx,
               const std::string& dx) const;
    // Each row as the vector print of its type (empty rows write nothing).
    void Print(MatrixDouble& vec, std::ostream& os) const;
    void Print(matrixLong& vec, std::ostream& os) const;
    void Print(matrixUlong& vec, std::ostream& os) const;

    // Number of elements equal to str; their indices are appended to pos.
    int Find(VectorString& vec, const std::string& str, vectorUlong& pos) const;
    // Index of the first element equal to str, -1 if none.
    int FindKey(VectorString& vec, const std::string& str) const;
    // True when no text occurs twice in vec.
    bool IsKey(VectorString& vec) const;
    // True when every element of vec occurs in vec_key.
    bool IsKeyInVec(VectorString& vec_key, VectorString& vec) const;
};
