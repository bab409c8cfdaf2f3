#pragma once

#include "coreobj/Flag.h"
#include "coreobj/flagvalue.h"

// A flag and its double value together; both interfaces stay abstract.
class FlagDValue : public virtual Flag, public virtual FlagValue {
public:
    FlagDValue();

protected:
    // Not deletable through a base pointer: the destructor is not virtual.
    ~FlagDValue() = default;
};
