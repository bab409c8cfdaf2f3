#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "coreobj/func1.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velboparabola.h"

using LawPtr = std::unique_ptr<VelboCostitutiveLaw>;

constexpr double kEc2 = -0.002;
constexpr double kEcu = -0.0034999999999999996;
constexpr double kFyd = 391.304347826087;
constexpr double kEyd = 0.001863354037267081;

TEST(VelboNTC2008LB, ConcreteCodesBuildParabolaRectangleLaws)
{
    struct Case {
        int code;
        double fcd;
        const char* description;
    };
    const std::vector<Case> cases = {
        {101, -11.333333333333334, "Calcestruzzo classe C20/25 secondo NTC2008"},
        {102, -14.166666666666666, "Calcestruzzo classe C25/30 secondo NTC2008"},
        {103, -15.866666666666667, "Calcestruzzo classe C28/35 secondo NTC2008"},
    };
    const VelboNTC2008LB builder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code);
        const unsigned int parabolas = VelboParabola::instances();
        const unsigned int bilinears = VelboBilinear::instances();
        LawPtr law(builder.buildLaw(c.code));
        ASSERT_NE(law, nullptr);
        EXPECT_EQ(VelboParabola::instances(), parabolas + 1);
        EXPECT_EQ(VelboBilinear::instances(), bilinears);

        const auto* concrete = dynamic_cast<const VelboParabola*>(law.get());
        ASSERT_NE(concrete, nullptr);
        EXPECT_EQ(concrete->fcd(), c.fcd);
        EXPECT_EQ(concrete->ec2(), kEc2);
        EXPECT_EQ(concrete->ecu(), kEcu);
        EXPECT_EQ(law->lawType(), VelboCostitutiveLaw::LT_PARABOLA);
        EXPECT_EQ(law->lawDescriptionMore(), c.description);
        EXPECT_EQ(law->lawLimits(), (std::vector<double>{kEcu, kEc2, 0.0}));
        EXPECT_DOUBLE_EQ(law->valueFx(-0.003, nullptr), c.fcd);
        EXPECT_DOUBLE_EQ(law->valueFx(-0.001, nullptr), c.fcd * 0.75);
        EXPECT_EQ(law->valueFx(0.001, nullptr), 0.0);

        law.reset();
        EXPECT_EQ(VelboParabola::instances(), parabolas);
    }
}

TEST(VelboNTC2008LB, UltimateConcreteStrainIsTheComputedNotTheNearestDouble)
{
    const VelboNTC2008LB builder;
    const LawPtr law(builder.buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
    ASSERT_NE(law, nullptr);
    EXPECT_EQ(law->maxCompressionDef(), -0.35 / 100.0);
    EXPECT_NE(law->maxCompressionDef(), -0.0035);
    EXPECT_EQ(law->maxCompressionDef(), std::nextafter(-0.0035, 0.0));
}

TEST(VelboNTC2008LB, SteelCodeBuildsB450CBilinearLaw)
{
    const VelboNTC2008LB builder;
    const unsigned int parabolas = VelboParabola::instances();
    const unsigned int bilinears = VelboBilinear::instances();
    LawPtr law(builder.buildLaw(201));
    ASSERT_NE(law, nullptr);
    EXPECT_EQ(VelboBilinear::instances(), bilinears + 1);
    EXPECT_EQ(VelboParabola::instances(), parabolas);

    const auto* steel = dynamic_cast<const VelboBilinear*>(law.get());
    ASSERT_NE(steel, nullptr);
    EXPECT_EQ(steel->fyd(), kFyd);
    EXPECT_EQ(steel->Es(), 210000.0);
    EXPECT_EQ(steel->esu(), 0.01);
    EXPECT_EQ(steel->esy(), kEyd);
    EXPECT_EQ(law->lawType(), VelboCostitutiveLaw::LT_BILINEAR);
    EXPECT_EQ(law->lawDescriptionMore(), "Acciaio per c.a. B450C NTC2008");
    EXPECT_EQ(law->lawLimits(), (std::vector<double>{-0.01, -kEyd, kEyd, 0.01}));

    law.reset();
    EXPECT_EQ(VelboBilinear::instances(), bilinears);
}

TEST(VelboNTC2008LB, SteelLawToleratesRoundingBeyondItsLimitStrain)
{
    // The same law without tolerance, for comparison.
    const VelboBilinear plain(kFyd, 210000.0, 0.01);
    const VelboNTC2008LB builder;
    const LawPtr steel(builder.buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
    ASSERT_NE(steel, nullptr);

    struct Case {
        double strain;
        int steelCode;
        int plainCode;
    };
    const std::vector<Case> cases = {
        {0.01, Func1::FUNC1_ERR_OK, Func1::FUNC1_ERR_OK},
        {0.01 + 5e-14, Func1::FUNC1_ERR_OK, Func1::FUNC1_ERR_OUTLIMITS},
        {0.01 + 1e-12, Func1::FUNC1_ERR_OUTLIMITS, Func1::FUNC1_ERR_OUTLIMITS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "strain " << c.strain);
        int err = -1;
        EXPECT_EQ(steel->valueFx(c.strain, &err), kFyd);
        EXPECT_EQ(err, c.steelCode);
        err = -1;
        EXPECT_EQ(plain.valueFx(c.strain, &err), kFyd);
        EXPECT_EQ(err, c.plainCode);

        int index = -2;
        const int type = steel->typeFx(c.strain, &index, nullptr);
        if (c.steelCode == Func1::FUNC1_ERR_OK) {
            EXPECT_EQ(type, Func1::FUNC1_CONST);
            EXPECT_EQ(index, 2);
        } else {
            EXPECT_EQ(type, Func1::FUNC1_UNKNOWN);
            EXPECT_EQ(index, -1);
        }
    }
}

TEST(VelboNTC2008LB, UnknownCodesBuildNothing)
{
    const VelboNTC2008LB builder;
    const unsigned int parabolas = VelboParabola::instances();
    const unsigned int bilinears = VelboBilinear::instances();
    for (const int code : {0, 1, 100, 104, 200, 202, 301, -100, -101, -200, -201}) {
        SCOPED_TRACE(testing::Message() << "code " << code);
        EXPECT_EQ(builder.buildLaw(code), nullptr);
    }
    EXPECT_EQ(VelboParabola::instances(), parabolas);
    EXPECT_EQ(VelboBilinear::instances(), bilinears);
}

TEST(VelboNTC2008LB, EveryCallBuildsAnIndependentLaw)
{
    const VelboNTC2008LB builder;
    // Used through the builder interface, as a caller that knows no preset.
    const VelboLawBuilder& anyBuilder = builder;

    LawPtr c1(anyBuilder.buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
    LawPtr c2(anyBuilder.buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
    ASSERT_NE(c1, nullptr);
    ASSERT_NE(c2, nullptr);
    EXPECT_NE(c1.get(), c2.get());
    auto* concrete = dynamic_cast<VelboParabola*>(c1.get());
    ASSERT_NE(concrete, nullptr);
    concrete->setFcd(-20.0);
    c1->lawSetDescriptionMore("changed");
    EXPECT_EQ(dynamic_cast<const VelboParabola&>(*c2).fcd(), -11.333333333333334);
    EXPECT_DOUBLE_EQ(c2->valueFx(-0.003, nullptr), -11.333333333333334);
    EXPECT_EQ(c2->lawDescriptionMore(), "Calcestruzzo classe C20/25 secondo NTC2008");

    LawPtr s1(anyBuilder.buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
    LawPtr s2(anyBuilder.buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
    ASSERT_NE(s1, nullptr);
    ASSERT_NE(s2, nullptr);
    EXPECT_NE(s1.get(), s2.get());
    auto* steel = dynamic_cast<VelboBilinear*>(s1.get());
    ASSERT_NE(steel, nullptr);
    steel->setFyd(500.0);
    EXPECT_EQ(dynamic_cast<const VelboBilinear&>(*s2).fyd(), kFyd);
    EXPECT_EQ(s2->valueFx(0.005, nullptr), kFyd);
}
