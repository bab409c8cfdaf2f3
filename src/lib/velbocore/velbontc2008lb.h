#pragma once

#include "velbocore/velbolawbuilder.h"

// Preset laws of the NTC 2008 design code: parabola-rectangle concrete of
// classes C20/25, C25/30 and C28/35, and the bilinear law of B450C steel.
class VelboNTC2008LB : public VelboLawBuilder {
public:
    enum Law {
        CONCRETE_C2025_PARABOLA = 101,
        CONCRETE_C2530_PARABOLA = 102,
        CONCRETE_C2835_PARABOLA = 103,
        STEEL_B450C_BILINEAR = 201
    };

    VelboNTC2008LB() = default;

    VelboCostitutiveLaw* buildLaw(int nbo) const override;
};
