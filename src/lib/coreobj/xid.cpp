#include "coreobj/xid.h"

// XId is header-only; this unit keeps the one-source-per-class layout.
