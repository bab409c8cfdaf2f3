#include "coreobj/xunits.h"

XUnits::XUnits() = default;

double XUnits::lenghtsConv(lenghts from, lenghts to, double v) {
    // Smaller units are reached by multiplying by the decimal factor.
    switch (from) {
    case MM:
        switch (to) {
        case MM: return v;
        case CM: return 0.1 * v;
        case M: return 0.001 * v;
        }
        break;
    case CM:
        switch (to) {
        case MM: return 10.0 * v;
        case CM: return v;
        case M: return 0.01 * v;
        }
        break;
    case M:
        switch (to) {
        case MM: return 1000.0 * v;
        case CM: return 100.0 * v;
        case M: return v;
        }
        break;
    }
    return 1.0;
}

double XUnits::toMM(lenghts from, double v) {
    return lenghtsConv(from, MM, v);
}

double XUnits::cmToMM(double v) {
    return toMM(CM, v);
}
