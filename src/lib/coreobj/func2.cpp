#include "coreobj/func2.h"

// Func2 is an interface only; this unit keeps the one-source-per-class layout.
