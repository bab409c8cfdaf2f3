#include "velbocore/velbomeshmacro.h"

VelboMeshMacro::VelboMeshMacro() = default;
