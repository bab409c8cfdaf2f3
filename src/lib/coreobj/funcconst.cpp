#include "coreobj/funcconst.h"

double FuncConst::valueFx(double /*x*/, int* errn) const {
    if (errn != nullptr) {
        *errn = FUNC1_ERR_OK;
    }
    return m_c;
}
