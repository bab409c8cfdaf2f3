#include <array>

#include <gtest/gtest.h>

#include "velbocore/velboareaproperties.h"

namespace {

using Fields = std::array<double, 8>;

Fields fieldsOf(const VelboAreaProperties& p)
{
    return {p.area(), p.sx(), p.sy(), p.ixx(), p.iyy(), p.ixy(), p.ixxy(), p.ixxx()};
}

VelboAreaProperties make(const Fields& f)
{
    VelboAreaProperties p;
    p.setArea(f[0]);
    p.setSx(f[1]);
    p.setSy(f[2]);
    p.setIxx(f[3]);
    p.setIyy(f[4]);
    p.setIxy(f[5]);
    p.setIxxy(f[6]);
    p.setIxxx(f[7]);
    return p;
}

const Fields kA = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0};
const Fields kB = {0.5, -20.0, 300.0, -4000.0, 0.25, 1e6, -7.5, 0.125};
const Fields kSum = {1.5, -18.0, 303.0, -3996.0, 5.25, 1000006.0, -0.5, 8.125};

} // namespace

TEST(VelboAreaProperties, DefaultIsAllZero)
{
    EXPECT_EQ(fieldsOf(VelboAreaProperties()), Fields{});
}

TEST(VelboAreaProperties, SettersAndCopies)
{
    const VelboAreaProperties p = make(kA);
    EXPECT_EQ(fieldsOf(p), kA);

    const VelboAreaProperties copy(p);
    EXPECT_EQ(fieldsOf(copy), kA);

    VelboAreaProperties assigned = make(kB);
    assigned = p;
    EXPECT_EQ(fieldsOf(assigned), kA);
}

TEST(VelboAreaProperties, SumsAddAllEightFields)
{
    VelboAreaProperties acc = make(kA);
    VelboAreaProperties& self = (acc += make(kB));
    EXPECT_EQ(&self, &acc);
    EXPECT_EQ(fieldsOf(acc), kSum);

    VelboAreaProperties a = make(kA);
    const VelboAreaProperties b = make(kB);
    EXPECT_EQ(fieldsOf(a + b), kSum);
    EXPECT_EQ(fieldsOf(a), kA); // operands untouched

    // Const records go through the free operator.
    const VelboAreaProperties ca = make(kA);
    EXPECT_EQ(fieldsOf(ca + b), kSum);
    EXPECT_EQ(fieldsOf(operator+(ca, b)), kSum);

    // Chained sums of temporaries.
    EXPECT_EQ(fieldsOf(make(kA) + make(kB) + VelboAreaProperties()), kSum);
}

TEST(VelboAreaProperties, AddingZeroChangesNothing)
{
    VelboAreaProperties p = make(kB);
    p += VelboAreaProperties();
    EXPECT_EQ(fieldsOf(p), kB);
    EXPECT_EQ(fieldsOf(VelboAreaProperties() + make(kB)), kB);
}

TEST(VelboAreaProperties, ProductScalesAreaAndMomentsAndZeroesThirdOrder)
{
    const VelboAreaProperties p = make(kA);
    const VelboAreaProperties q = p * 2.5f;
    EXPECT_EQ(fieldsOf(q), (Fields{2.5, 5.0, 7.5, 10.0, 12.5, 15.0, 0.0, 0.0}));
    EXPECT_EQ(fieldsOf(p), kA);

    // The float factor is widened once: 0.1f is not 0.1.
    const VelboAreaProperties r = make(kB) * 0.1f;
    const double f = static_cast<double>(0.1f);
    EXPECT_EQ(r.area(), kB[0] * f);
    EXPECT_EQ(r.ixy(), kB[5] * f);
    EXPECT_NE(r.ixy(), kB[5] * 0.1);
}
