#include "coreobj/VecUtility.h"

#include <cstring>

namespace {

// Texts are equal when they agree up to their first NUL.
bool sameText(const std::string& a, const std::string& b) {
    return std::strcmp(a.c_str(), b.c_str()) == 0;
}

template <typename T>
void printNumbers(const std::vector<T>& vec, std::ostream& os) {
    for (std::size_t i = 0; i < vec.size(); ++i) {
        os << vec[i];
        if (i + 1 < vec.size())
            os << ' ';
        else
            os << '\n';
    }
}

}  // namespace

void VecUtility::Print(VectorString& vec, std::ostream& os, const std::string& sx,
                       const std::string& dx) const {
    for (const std::string& s : vec)
        os << sx << s << dx;
    os << '\n';
}

void VecUtility::Print(VectorDouble& vec, std::ostream& os) const {
    printNumbers(vec, os);
}

void VecUtility::Print(vectorLong& vec, std::ostream& os) const {
    printNumbers(vec, os);
}

void VecUtility::Print(vectorUlong& vec, std::ostream& os) const {
    printNumbers(vec, os);
}

void VecUtility::Print(MatrixString& vec, std::ostream& os, const std::string& sx,
                       const std::string& dx) const {
    for (const VectorString& row : vec) {
        os << sx;
        for (const std::string& s : row)
            os << '[' << s << ']';
        os << dx << '\n';
    }
}

void VecUtility::Print(MatrixDouble& vec, std::ostream& os) const {
    for (VectorDouble& row : vec)
        Print(row, os);
}

void VecUtility::Print(matrixLong& vec, std::ostream& os) const {
    for (vectorLong& row : vec)
        Print(row, os);
}

void VecUtility::Print(matrixUlong& vec, std::ostream& os) const {
    for (vectorUlong& row : vec)
        Print(row, os);
}

int VecUtility::Find(VectorString& vec, const std::string& str, vectorUlong& pos) const {
    int count = 0;
    for (std::size_t i = 0; i < vec.size(); ++i) {
        if (sameText(vec[i], str)) {
            pos.push_back(i);
            ++count;
        }
    }
    return count;
}

int VecUtility::FindKey(VectorString& vec, const std::string& str) const {
    for (std::size_t i = 0; i < vec.size(); ++i) {
        if (sameText(vec[i], str))
            return static_cast<int>(i);
    }
    return -1;
}

bool VecUtility::IsKey(VectorString& vec) const {
    vectorUlong scratch;
    for (const std::string& s : vec) {
        if (Find(vec, s, scratch) > 1)
            return false;
    }
    return true;
}

bool VecUtility::IsKeyInVec(VectorString& vec_key, VectorString& vec) const {
    const VecUtility finder;
    for (std::size_t i = 0; i < vec.size(); ++i) {
        if (finder.FindKey(vec_key, vec[i]) == -1)
            return false;
    }
    return true;
}
