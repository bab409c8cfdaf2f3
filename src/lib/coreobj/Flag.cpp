#include "coreobj/Flag.h"

int Flag::getFlag() const {
    return m_intflag;
}

bool Flag::isSetFlag() const {
    return m_set;
}

std::string Flag::flagLookStr(int i) const {
    return getFlagStr(i);
}

std::string Flag::flagLookDescription(int i, TextFormat format) const {
    // The implementation's lookup takes the format first.
    return getFlagDescription(format, i);
}
