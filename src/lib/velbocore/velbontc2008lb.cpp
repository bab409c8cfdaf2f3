#include "velbocore/velbontc2008lb.h"

#include <string>

#include "velbocore/velbobilinear.h"
#include "velbocore/velboparabola.h"

// Parabola-rectangle concrete of characteristic strength fck (N/mm^2,
// negative in compression).
static VelboCostitutiveLaw* buildConcrete(double fck, const std::string& description)
{
    constexpr double alpha_cc = 0.85;
    constexpr double gamma_c = 1.5;
    constexpr double e_c2 = -0.002;
    // -0.35 / 100 in double arithmetic, one ulp closer to zero than -0.0035.
    constexpr double e_cu = -0.0034999999999999996;

    const double f_cd = (alpha_cc * fck) / gamma_c;
    VelboParabola* law = new VelboParabola(f_cd, e_c2, e_cu);
    law->lawSetDescriptionMore(description);
    return law;
}

static VelboCostitutiveLaw* buildSteelB450C()
{
    constexpr double f_yk = 450.0;
    constexpr double gamma_s = 1.15;
    constexpr double E_s = 210000.0;
    constexpr double e_uk = 0.01;

    const double f_yd = f_yk / gamma_s;
    VelboBilinear* law = new VelboBilinear(f_yd, E_s, e_uk);
    law->lawSetDescriptionMore("Acciaio per c.a. B450C NTC2008");
    // Strains a rounding error beyond +-e_uk are not out of limits.
    law->setLimitsTollerance(1e-13);
    return law;
}

VelboCostitutiveLaw* VelboNTC2008LB::buildLaw(int nbo) const
{
    switch (nbo) {
    case CONCRETE_C2025_PARABOLA:
        return buildConcrete(-20.0, "Calcestruzzo classe C20/25 secondo NTC2008");
    case CONCRETE_C2530_PARABOLA:
        return buildConcrete(-25.0, "Calcestruzzo classe C25/30 secondo NTC2008");
    case CONCRETE_C2835_PARABOLA:
        return buildConcrete(-28.0, "Calcestruzzo classe C28/35 secondo NTC2008");
    case STEEL_B450C_BILINEAR:
        return buildSteelB450C();
    default:
        return nullptr;
    }
}
