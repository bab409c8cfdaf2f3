#include "coreobj/flagvalue.h"

double FlagValue::getFlagValue(int /*i*/) const {
    return m_value;
}
