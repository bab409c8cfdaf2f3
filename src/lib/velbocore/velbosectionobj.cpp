#include "velbocore/velbosectionobj.h"

// The class is header-only; this unit keeps one source per class.
