#pragma once

// Placeholder for mesh-wide operations; holds nothing.
class VelboMeshMacro {
public:
    VelboMeshMacro();
};
