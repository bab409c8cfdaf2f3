#include "coreobj/funcvector.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

std::size_t FuncVector::m_pieceIndex(double x) const {
    // First limit strictly above x; a value on a limit belongs to the piece on
    // its right, and NaN falls to the last piece.
    for (std::size_t i = 0; i < m_internalLimits.size(); ++i) {
        if (x < m_internalLimits[i]) {
            return i;
        }
    }
    return m_internalLimits.size();
}

const Func1& FuncVector::m_piece(std::size_t i) const {
    const Func1* piece = m_funcs.at(i);
    if (piece == nullptr) {
        throw std::out_of_range("FuncVector: no piece at this index");
    }
    return *piece;
}

double FuncVector::valueFx(double x, int* errn) const {
    const std::size_t i = m_pieceIndex(x);
    if (i < m_internalLimits.size()) {
        return m_piece(i).valueFx(x, errn);
    }
    // The last piece extrapolates past the right limit; only this path reports
    // values out of the outer limits.
    int pieceErr = FUNC1_ERR_OK;
    const double value = m_piece(i).valueFx(x, &pieceErr);
    if (errn != nullptr) {
        *errn = isOutOfLimits(x, m_tollerance) ? FUNC1_ERR_OUTLIMITS : pieceErr;
    }
    return value;
}

int FuncVector::typeFx(double x, int* funcIndex, int* errn) const {
    const std::size_t i = m_pieceIndex(x);
    if (i >= m_internalLimits.size() && isOutOfLimits(x, m_tollerance)) {
        if (errn != nullptr) {
            *errn = FUNC1_ERR_OUTLIMITS;
        }
        if (funcIndex != nullptr) {
            *funcIndex = -1;
        }
        return FUNC1_UNKNOWN;
    }
    const int type = m_piece(i).func1Type();
    if (errn != nullptr) {
        *errn = FUNC1_ERR_OK;
    }
    if (funcIndex != nullptr) {
        *funcIndex = static_cast<int>(i);
    }
    return type;
}

int FuncVector::setLimits(FuncLimits leftType, FuncLimits rightType,
                          double left, double right) {
    if (left > right) {
        return FUNCV_ERR_LIMITSORDER;
    }
    func1SetLimits(leftType, rightType, left, right);
    return FUNCV_ERR_OK;
}

void FuncVector::setLimitsTollerance(double tollerance) {
    m_tollerance = std::fabs(tollerance);
}

int FuncVector::setInternalLimits(const std::vector<double>& limits) {
    if (limits.empty()) {
        return FUNCV_ERR_LIMITSSIZE;
    }
    for (std::size_t i = 0; i + 1 < limits.size(); ++i) {
        if (limits[i] > limits[i + 1]) {
            return FUNCV_ERR_LIMITSORDER;
        }
    }
    if (isLeftLimited() && limits.front() <= func1LeftLimit()) {
        return FUNCV_ERR_LIMITSLEFTOUT;
    }
    if (isRightLimited() && limits.back() >= func1RightLimit()) {
        return FUNCV_ERR_LIMITSRIGHTOUT;
    }
    m_internalLimits = limits;
    return FUNCV_ERR_OK;
}

void FuncVector::addFunc(Func1* func) {
    m_funcs.push_back(func);
}

int FuncVector::setFuncs(const std::vector<Func1*>& funcs) {
    m_funcs = funcs;
    return ctlFuncs();
}

int FuncVector::ctlFuncs() const {
    const std::size_t n = m_internalLimits.size();
    const std::size_t m = m_funcs.size();
    if (n == 0) {
        return FUNCV_ERR_LIMITSSIZE;
    }
    if (m <= 1) {
        return FUNCV_ERR_NBFUNCS;
    }
    // A null entry is no piece: the list is incomplete.
    const bool hasNull = std::any_of(m_funcs.begin(), m_funcs.end(),
                                     [](const Func1* f) { return f == nullptr; });
    if (m != n + 1 || hasNull) {
        return FUNCV_ERR_NBFUNCSLESS;
    }

    const Func1& first = *m_funcs.front();
    if (!isLeftLimited() && first.isLeftLimited()) {
        return FUNCV_ERR_FUNCSDEFLEFT;
    }
    if (first.isLeftLimited() && first.func1LeftLimit() > func1LeftLimit()) {
        return FUNCV_ERR_FUNCSDEFLEFT;
    }
    const Func1& last = *m_funcs.back();
    if (!isRightLimited() && last.isRightLimited()) {
        return FUNCV_ERR_FUNCSDEFRIGHT;
    }
    if (last.isRightLimited() && last.func1RightLimit() < func1RightLimit()) {
        return FUNCV_ERR_FUNCSDEFRIGHT;
    }

    for (std::size_t i = 1; i + 1 < m; ++i) {
        const Func1& piece = *m_funcs[i];
        const Func1& previous = *m_funcs[i - 1];
        const double start = m_internalLimits[i - 1];
        if (piece.isLeftLimited() && piece.func1LeftLimit() > start) {
            return FUNCV_ERR_FUNCSDEFLEFT;
        }
        if (piece.isRightLimited() && piece.func1RightLimit() < m_internalLimits[i]) {
            return FUNCV_ERR_FUNCSDEFRIGHT;
        }
        // Exact comparison; NaN counts as a jump.
        if (!(piece.valueFx(start, nullptr) == previous.valueFx(start, nullptr))) {
            return FUNCV_ERR_FUNCSNOTCONT;
        }
    }
    return FUNCV_ERR_OK;
}

Func1* FuncVector::getFuncAt(int i) const {
    if (i < 0) {
        throw std::out_of_range("FuncVector::getFuncAt: negative index");
    }
    return m_funcs.at(static_cast<std::size_t>(i));
}

std::vector<double> FuncVector::func1XGen(int nb, int* err, bool forceLimits,
                                          double* left, double* right) {
    if (!forceLimits) {
        return Func1::func1XGen(nb, err, forceLimits, left, right);
    }
    if (func1XDataCacheSize() > 0) {
        return func1XDataCache();
    }
    double l = 0.0;
    double r = 0.0;
    if (!m_samplingBounds(err, left, right, l, r)) {
        return func1XDataCache();
    }
    if (nb < 2 || !(l < r)) {
        return func1XDataCache();
    }

    // Plain grid, with each internal limit taking the place of the grid point
    // that follows it. A step lost in rounding (zero, or too small to move
    // a grid point past the one before it) would repeat a value, without end
    // for a step of zero: such a grid is refused as one with too few points is.
    const double step = (r - l) / (nb - 1);
    if (!(step > 0.0) || l + step == l) {
        return func1XDataCache();
    }
    std::vector<double> grid{l};
    long long k = 1;
    double x = 0.0;  // grid point k, l + k * step
    // Appends x and moves to the next grid point; false when it stays put.
    const auto appendAndAdvance = [&] {
        grid.push_back(x);
        ++k;
        const double next = l + k * step;
        const bool advanced = next != x;
        x = next;
        return advanced;
    };
    for (const double limit : m_internalLimits) {
        // An infinite limit would never be reached by the grid.
        if (std::isinf(limit) && limit > 0.0) {
            continue;
        }
        x = l + k * step;
        while (limit > x) {
            if (!appendAndAdvance()) {
                return func1XDataCache();
            }
        }
        if (x > limit) {
            grid.push_back(limit);
            ++k;
        }
    }
    x = l + k * step;
    while (r > x) {
        if (!appendAndAdvance()) {
            return func1XDataCache();
        }
    }
    grid.push_back(r);

    func1SetXDataCache(grid);
    if (err != nullptr) {
        *err = FUNC1_ERR_OK;
    }
    return grid;
}

std::vector<double> FuncVector::func1YGen(int nb, int* err, bool forceLimits,
                                          double* left, double* right) {
    if (!forceLimits) {
        return Func1::func1YGen(nb, err, forceLimits, left, right);
    }
    if (func1XDataCacheSize() == 0) {
        int code = FUNC1_ERR_OK;
        func1XGen(nb, &code, forceLimits, left, right);
        if (err != nullptr) {
            *err = code;
        }
    }
    std::vector<double> ydata;
    if (!func1GenYData(ydata, func1XDataCache(), nullptr, nullptr) && err != nullptr) {
        *err = FUNC1_ERR_GENYDATA;
    }
    func1SetYDataCache(ydata);
    return ydata;
}
