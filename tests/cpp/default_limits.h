#pragma once

#include <memory>

#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velbostrainpath.h"

// The limits of the strain path of the default laws, C20/25 and B450C.
inline VelboStrainPath::Limits defaultLimits()
{
    const std::unique_ptr<VelboCostitutiveLaw> concrete(
        VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
    const std::unique_ptr<VelboCostitutiveLaw> steel(VelboNTC2008LB().buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
    return {steel->maxTractionDef(), concrete->maxCompressionDef(), steel->maxTractionDef(),
            concrete->maxCompUniformDef()};
}
