#include "coreobj/flagdvalue.h"

FlagDValue::FlagDValue() = default;
