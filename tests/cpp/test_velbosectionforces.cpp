#include "velbocore/velbosectionforces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

static VelboSectionForces triple(double fz, double mx, double my)
{
    VelboSectionForces f;
    f.setFz(fz);
    f.setMx(mx);
    f.setMy(my);
    return f;
}

TEST(VelboSectionForces, StartsAtZeroAndStoresValues)
{
    VelboSectionForces f;
    EXPECT_EQ(f.fz(), 0.0);
    EXPECT_EQ(f.mx(), 0.0);
    EXPECT_EQ(f.my(), 0.0);

    f.setFz(1.5);
    f.setMx(-2.5);
    f.setMy(3.25);
    EXPECT_EQ(f.fz(), 1.5);
    EXPECT_EQ(f.mx(), -2.5);
    EXPECT_EQ(f.my(), 3.25);
}

TEST(VelboSectionForces, QuarterTurnsAreExact)
{
    struct Case { double degree; double mx; double my; };
    const Case cases[] = {
        {90.0, 0.0, 1.0},
        {180.0, -1.0, 0.0},
        {270.0, 0.0, -1.0},
    };
    for (const Case& c : cases) {
        VelboSectionForces f = triple(7.0, 1.0, 0.0);
        f.rotate(c.degree);
        EXPECT_EQ(f.mx(), c.mx) << c.degree;
        EXPECT_EQ(f.my(), c.my) << c.degree;
        EXPECT_EQ(f.fz(), 7.0) << c.degree;
    }
}

TEST(VelboSectionForces, OtherAnglesUseSineAndCosine)
{
    // 0 and 360 are not special; -90 and 450 are not folded onto a quarter turn.
    const double degrees[] = {0.0, 360.0, -90.0, 450.0, 30.0};
    for (double degree : degrees) {
        const double rad = degree * 0.017453292519943295;
        VelboSectionForces f = triple(0.0, 2.0, 3.0);
        f.rotate(degree);
        EXPECT_EQ(f.mx(), 2.0 * std::cos(rad) - 3.0 * std::sin(rad)) << degree;
        EXPECT_EQ(f.my(), 2.0 * std::sin(rad) + 3.0 * std::cos(rad)) << degree;
    }

    VelboSectionForces full = triple(0.0, 1.0, 0.0);
    full.rotate(360.0);
    EXPECT_EQ(full.mx(), 1.0);
    EXPECT_NE(full.my(), 0.0);
    EXPECT_NEAR(full.my(), -2.45e-16, 1e-18);
}

TEST(VelboSectionForces, TranslateMovesTheMomentReference)
{
    VelboSectionForces f = triple(2.0, 10.0, 20.0);
    f.translate(5.0, 7.0);
    EXPECT_EQ(f.fz(), 2.0);
    EXPECT_EQ(f.mx(), -4.0);
    EXPECT_EQ(f.my(), 10.0);

    // A pure couple is the same about every point.
    VelboSectionForces couple = triple(0.0, 10.0, 20.0);
    couple.translate(5.0, 7.0);
    EXPECT_EQ(couple.mx(), 10.0);
    EXPECT_EQ(couple.my(), 20.0);

    // A not-a-number Fz is not zero: the moments take it on.
    VelboSectionForces nan = triple(std::numeric_limits<double>::quiet_NaN(), 10.0, 20.0);
    nan.translate(1.0, 1.0);
    EXPECT_TRUE(std::isnan(nan.mx()));
    EXPECT_TRUE(std::isnan(nan.my()));
}

TEST(VelboSectionForces, SumsAndAssignment)
{
    VelboSectionForces a = triple(1.0, 2.0, 3.0);
    const VelboSectionForces b = triple(10.0, 20.0, 30.0);

    const VelboSectionForces sum = a + b;
    EXPECT_EQ(sum.fz(), 11.0);
    EXPECT_EQ(sum.mx(), 22.0);
    EXPECT_EQ(sum.my(), 33.0);
    EXPECT_EQ(a.fz(), 1.0);

    VelboSectionForces& self = (a += b);
    EXPECT_EQ(&self, &a);
    EXPECT_EQ(a.mx(), 22.0);

    VelboSectionForces c;
    VelboSectionForces& assigned = (c = b);
    EXPECT_EQ(&assigned, &c);
    EXPECT_EQ(c.fz(), 10.0);
    EXPECT_EQ(c.mx(), 20.0);
    EXPECT_EQ(c.my(), 30.0);
}

TEST(VelboSectionForces, CountsLiveTriples)
{
    const unsigned int before = VelboSectionForces::instances();
    {
        VelboSectionForces a;
        VelboSectionForces copy(a);
        VelboSectionForces sum = a + copy;
        EXPECT_EQ(VelboSectionForces::instances(), before + 3);

        sum = a;
        sum += copy;
        EXPECT_EQ(VelboSectionForces::instances(), before + 3);
    }
    EXPECT_EQ(VelboSectionForces::instances(), before);

    VelboSectionForces* heap = new VelboSectionForces();
    EXPECT_EQ(VelboSectionForces::instances(), before + 1);
    delete heap;
    EXPECT_EQ(VelboSectionForces::instances(), before);
}
