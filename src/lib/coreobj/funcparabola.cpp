#include "coreobj/funcparabola.h"

double FuncParabola::valueFx(double x, int* errn) const {
    if (errn != nullptr) {
        *errn = FUNC1_ERR_OK;
    }
    return ((m_a * x) * x + m_b * x) + m_c;
}
