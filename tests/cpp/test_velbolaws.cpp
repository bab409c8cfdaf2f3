#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "coreobj/func1.h"
#include "coreobj/funcconst.h"
#include "coreobj/funclinear.h"
#include "coreobj/funcparabola.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velboparabola.h"

// Design values of C20/25 concrete and B450C steel, N/mm^2.
constexpr double kFcd = -11.333333333333334;
constexpr double kEc2 = -0.002;
constexpr double kEcu = -0.0034999999999999996;
constexpr double kFyd = 391.304347826087;
constexpr double kEs = 210000.0;
constexpr double kEsu = 0.01;
constexpr double kEyd = 0.001863354037267081;

struct StressCase {
    double strain;
    double stress;
    int code;
};

struct PieceCase {
    double strain;
    int type;
    int index;
};

static void expectStresses(const VelboCostitutiveLaw& law, const std::vector<StressCase>& cases)
{
    for (const StressCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "strain " << c.strain);
        int err = -1;
        EXPECT_DOUBLE_EQ(law.valueFx(c.strain, &err), c.stress);
        EXPECT_EQ(err, c.code);
        // A null error output changes nothing in the value.
        EXPECT_DOUBLE_EQ(law.valueFx(c.strain, nullptr), c.stress);
    }
}

static void expectPieces(const VelboCostitutiveLaw& law, const std::vector<PieceCase>& cases)
{
    for (const PieceCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "strain " << c.strain);
        int index = -2;
        int err = -1;
        EXPECT_EQ(law.typeFx(c.strain, &index, &err), c.type);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(err, c.index < 0 ? Func1::FUNC1_ERR_OUTLIMITS : Func1::FUNC1_ERR_OK);
    }
}

// ---------------------------------------------------------------- parabola

TEST(VelboParabola, StressIsParabolaThenRectangleAndNothingInTension)
{
    const VelboParabola law(kFcd, kEc2, kEcu);
    expectStresses(law, {
                            {-0.0005, -4.958333333333334, 0},
                            {-0.001, -8.5, 0},
                            {-0.0015, -10.625, 0},
                            {kEc2, kFcd, 0},
                            {-0.003, kFcd, 0},
                            {kEcu, kFcd, 0},
                            {-0.005, kFcd, 0}, // below ecu piece 0 still applies
                            {0.0, 0.0, 0},
                            {0.001, 0.0, 0},
                            {1.0, 0.0, 0}, // right side not limited
                        });
}

TEST(VelboParabola, StrainOnABreakpointBelongsToThePieceOnItsRight)
{
    const VelboParabola law(kFcd, kEc2, kEcu);
    expectPieces(law, {
                          {-0.01, Func1::FUNC1_CONST, 0},
                          {std::nextafter(kEc2, -1.0), Func1::FUNC1_CONST, 0},
                          {kEc2, Func1::FUNC1_PARABOLA, 1},
                          {-1e-12, Func1::FUNC1_PARABOLA, 1},
                          {0.0, Func1::FUNC1_CONST, 2},
                          {0.5, Func1::FUNC1_CONST, 2},
                      });
}

TEST(VelboParabola, PiecesCarryTheLawCoefficients)
{
    const VelboParabola law(kFcd, kEc2, kEcu);
    const auto* first = dynamic_cast<const FuncConst*>(law.getFuncAt(0));
    const auto* middle = dynamic_cast<const FuncParabola*>(law.getFuncAt(1));
    const auto* last = dynamic_cast<const FuncConst*>(law.getFuncAt(2));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(middle, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(first->c(), kFcd);
    EXPECT_EQ(middle->a(), -(kFcd / (kEc2 * kEc2)));
    EXPECT_EQ(middle->b(), (kFcd + kFcd) / kEc2);
    EXPECT_EQ(middle->c(), 0.0);
    EXPECT_EQ(last->c(), 0.0);
    EXPECT_THROW(law.getFuncAt(3), std::out_of_range);
}

TEST(VelboParabola, DescribesItselfAndItsStrainLimits)
{
    const VelboParabola law(kFcd, kEc2, kEcu);
    EXPECT_EQ(law.fcd(), kFcd);
    EXPECT_EQ(law.ec2(), kEc2);
    EXPECT_EQ(law.ecu(), kEcu);
    EXPECT_EQ(law.lawType(), VelboCostitutiveLaw::LT_PARABOLA);
    EXPECT_EQ(law.lawType(), 2);
    EXPECT_EQ(law.lawDescr(), "Modello parabola rettangolo");
    EXPECT_EQ(law.maxTractionDef(), -1.0);
    EXPECT_EQ(law.maxCompressionDef(), kEcu);
    EXPECT_EQ(law.maxCompUniformDef(), kEc2);
    EXPECT_EQ(law.lawLimits(), (std::vector<double>{kEcu, kEc2, 0.0}));
    EXPECT_EQ(law.getInternalLimits(), (std::vector<double>{kEc2, 0.0}));
    EXPECT_TRUE(law.isLeftLimited());
    EXPECT_FALSE(law.isRightLimited());

    // Evaluated through the function base as the elements do.
    const Func1& f = law;
    EXPECT_EQ(f.func1Type(), Func1::FUNC1_VECTOR);
    EXPECT_DOUBLE_EQ(f.valueFx(-0.001, nullptr), -8.5);
}

TEST(VelboParabola, DefaultLawRefusesItsLimitsAndIsConstant)
{
    // fcd = ec2 = ecu = 1: left limit 1 above right limit 0 and internal
    // limits {1, 0} decreasing are both refused.
    const VelboParabola law;
    EXPECT_EQ(law.fcd(), 1.0);
    EXPECT_EQ(law.ec2(), 1.0);
    EXPECT_EQ(law.ecu(), 1.0);
    EXPECT_TRUE(law.lawLimits().empty());
    EXPECT_TRUE(law.getInternalLimits().empty());
    EXPECT_FALSE(law.isLeftLimited());
    EXPECT_FALSE(law.isRightLimited());
    expectStresses(law, {{-10.0, 1.0, 0}, {-0.002, 1.0, 0}, {0.0, 1.0, 0}, {0.5, 1.0, 0}, {1.0, 1.0, 0}, {10.0, 1.0, 0}});
}

TEST(VelboParabola, SettersRebuildTheLaw)
{
    struct Case {
        const char* name;
        std::function<void(VelboParabola&)> change;
        double fcd, ec2, ecu;
        double stressAtMinus1e3;
        std::vector<double> limits;
    };
    const std::vector<Case> cases = {
        {"setFcd", [](VelboParabola& l) { l.setFcd(-14.0); }, -14.0, kEc2, kEcu, -10.5, {kEcu, kEc2, 0.0}},
        {"setEc2", [](VelboParabola& l) { l.setEc2(-0.0025); }, kFcd, -0.0025, kEcu, kFcd * 0.64, {kEcu, -0.0025, 0.0}},
        {"setEcu", [](VelboParabola& l) { l.setEcu(-0.005); }, kFcd, kEc2, -0.005, -8.5, {-0.005, kEc2, 0.0}},
        {"setParam", [](VelboParabola& l) { l.setParam(-20.0, -0.001, -0.004); }, -20.0, -0.001, -0.004, -20.0, {-0.004, -0.001, 0.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VelboParabola law(kFcd, kEc2, kEcu);
        const Func1* pieces[] = {law.getFuncAt(0), law.getFuncAt(1), law.getFuncAt(2)};
        c.change(law);
        EXPECT_EQ(law.fcd(), c.fcd);
        EXPECT_EQ(law.ec2(), c.ec2);
        EXPECT_EQ(law.ecu(), c.ecu);
        EXPECT_EQ(law.maxCompressionDef(), c.ecu);
        EXPECT_EQ(law.maxCompUniformDef(), c.ec2);
        EXPECT_EQ(law.lawLimits(), c.limits);
        EXPECT_DOUBLE_EQ(law.valueFx(-0.001, nullptr), c.stressAtMinus1e3);
        EXPECT_DOUBLE_EQ(law.valueFx(-0.01, nullptr), c.fcd);
        // The same piece objects get the new coefficients.
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(law.getFuncAt(i), pieces[i]);
    }
}

TEST(VelboParabola, Ec2BeyondEcuKeepsTheOldBreakpointsWithTheNewCoefficients)
{
    const double ec2 = -0.004;
    VelboParabola law(kFcd, kEc2, kEcu);
    law.setEc2(ec2);
    EXPECT_EQ(law.ec2(), ec2);
    EXPECT_FALSE(law.lawIsComplete());
    EXPECT_EQ(law.lawLimits(), (std::vector<double>{kEcu, kEc2, 0.0}));
    const auto* middle = dynamic_cast<const FuncParabola*>(law.getFuncAt(1));
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(middle->a(), -(kFcd / (ec2 * ec2)));
    EXPECT_EQ(middle->b(), (kFcd + kFcd) / ec2);
    // -0.001 still falls in the middle piece, now with the new curve.
    const double r = -0.001 / ec2;
    EXPECT_DOUBLE_EQ(law.valueFx(-0.001, nullptr), kFcd * (2.0 * r - r * r));
}

TEST(VelboParabola, Ec2AtEcuRunsTheParabolaUpToEcuWithoutARectangle)
{
    // C90/105: the parabola reaches fcd at 2.6 per mille, the ultimate strain.
    const double fcd = (0.85 * -90.0) / 1.5;
    const double e = -0.0026;
    VelboParabola built(fcd, e, e);
    VelboParabola set(kFcd, kEc2, kEcu);
    set.setParam(fcd, e, e);
    for (const VelboParabola* law : {&built, &set}) {
        EXPECT_TRUE(law->lawIsComplete());
        EXPECT_EQ(law->getInternalLimits(), (std::vector<double>{e, 0.0}));
        EXPECT_EQ(law->lawLimits(), (std::vector<double>{e, e, 0.0}));
        EXPECT_TRUE(law->isLeftLimited());
        EXPECT_EQ(law->func1LeftLimit(), e);
        EXPECT_FALSE(law->isRightLimited());
        expectStresses(*law, {
                                 {-0.0013, fcd * 0.75, 0},
                                 {e, fcd, 0},  // the top of the parabola
                                 {-0.003, fcd, 0},
                                 {0.0, 0.0, 0},
                                 {0.002, 0.0, 0},
                             });
        expectPieces(*law, {
                               {std::nextafter(e, -1.0), Func1::FUNC1_CONST, 0},
                               {e, Func1::FUNC1_PARABOLA, 1},
                               {-1e-12, Func1::FUNC1_PARABOLA, 1},
                               {0.0, Func1::FUNC1_CONST, 2},
                           });
    }
}

TEST(VelboParabola, CompleteOnlyWhenEveryPieceIsSetUp)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double fcd, ec2, ecu;
        bool complete;
    };
    const Case cases[] = {
        {"C20/25", kFcd, kEc2, kEcu, true},
        {"ec2 at ecu", kFcd, kEcu, kEcu, true},
        // The sign of the stress is the facade's to judge.
        {"positive strength", -kFcd, kEc2, kEcu, true},
        {"ec2 beyond ecu", kFcd, -0.004, kEcu, false},
        {"ecu in tension", kFcd, kEc2, 0.001, false},
        {"ecu of zero", kFcd, kEc2, 0.0, false},
        {"ec2 and ecu of zero", kFcd, 0.0, 0.0, false},
        {"ec2 so small its square is zero", kFcd, -1e-200, kEcu, false},
        {"strength so large that 2 fcd overflows", -1e308, kEc2, kEcu, false},
        {"strength not a number", nan, kEc2, kEcu, false},
        {"ec2 not a number", kFcd, nan, kEcu, false},
        {"ecu not a number", kFcd, kEc2, nan, false},
        {"infinite strength", -inf, kEc2, kEcu, false},
        {"infinite ecu", kFcd, kEc2, -inf, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VelboParabola(c.fcd, c.ec2, c.ecu).lawIsComplete(), c.complete);
    }
    EXPECT_FALSE(VelboParabola().lawIsComplete());

    // A setter that spoils the law and one that mends it.
    VelboParabola law(kFcd, kEc2, kEcu);
    law.setEcu(0.001);
    EXPECT_FALSE(law.lawIsComplete());
    law.setEcu(kEcu);
    EXPECT_TRUE(law.lawIsComplete());
}

// ---------------------------------------------------------------- bilinear

TEST(VelboBilinear, StressIsElasticThenPerfectlyPlastic)
{
    const VelboBilinear law(kFyd, kEs, kEsu);
    expectStresses(law, {
                            {0.0, 0.0, 0},
                            {0.001, 210.0, 0},
                            {-0.001, -210.0, 0},
                            {-kEyd, -kFyd, 0},
                            {kEyd, kFyd, 0},
                            {0.005, kFyd, 0},
                            {-0.005, -kFyd, 0},
                            {kEsu, kFyd, 0},
                            {-kEsu, -kFyd, 0},
                            {-0.02, -kFyd, 0}, // piece 0 never reports the left limit
                            {0.02, kFyd, Func1::FUNC1_ERR_OUTLIMITS},
                        });
}

TEST(VelboBilinear, StrainOnABreakpointBelongsToThePieceOnItsRight)
{
    const VelboBilinear law(kFyd, kEs, kEsu);
    expectPieces(law, {
                          {-0.02, Func1::FUNC1_CONST, 0},
                          {std::nextafter(-kEyd, -1.0), Func1::FUNC1_CONST, 0},
                          {-kEyd, Func1::FUNC1_LINEAR, 1},
                          {std::nextafter(kEyd, 0.0), Func1::FUNC1_LINEAR, 1},
                          {kEyd, Func1::FUNC1_CONST, 2},
                          {kEsu, Func1::FUNC1_CONST, 2},
                          {std::nextafter(kEsu, 1.0), Func1::FUNC1_UNKNOWN, -1},
                      });
}

TEST(VelboBilinear, PiecesCarryTheLawCoefficients)
{
    const VelboBilinear law(kFyd, kEs, kEsu);
    const auto* first = dynamic_cast<const FuncConst*>(law.getFuncAt(0));
    const auto* middle = dynamic_cast<const FuncLinear*>(law.getFuncAt(1));
    const auto* last = dynamic_cast<const FuncConst*>(law.getFuncAt(2));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(middle, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(first->c(), -kFyd);
    EXPECT_EQ(middle->b(), kEs);
    EXPECT_EQ(middle->c(), 0.0);
    EXPECT_EQ(last->c(), kFyd);
}

TEST(VelboBilinear, DescribesItselfAndItsStrainLimits)
{
    const VelboBilinear law(kFyd, kEs, kEsu);
    EXPECT_EQ(law.fyd(), kFyd);
    EXPECT_EQ(law.Es(), kEs);
    EXPECT_EQ(law.esu(), kEsu);
    EXPECT_EQ(law.esy(), kEyd);
    EXPECT_EQ(law.lawType(), VelboCostitutiveLaw::LT_BILINEAR);
    EXPECT_EQ(law.lawType(), 1);
    EXPECT_EQ(law.lawDescr(), "Acciaio elastoplastico non incrudente");
    EXPECT_EQ(law.maxTractionDef(), kEsu);
    EXPECT_EQ(law.maxCompressionDef(), -kEsu);
    EXPECT_EQ(law.maxCompUniformDef(), 1.0);
    EXPECT_EQ(law.lawLimits(), (std::vector<double>{-kEsu, -kEyd, kEyd, kEsu}));
    EXPECT_TRUE(law.isLeftLimited());
    EXPECT_TRUE(law.isRightLimited());
}

TEST(VelboBilinear, DefaultLawKeepsItsOuterLimitsOnlyAndIsConstant)
{
    // fyd = Es = esu = 1: limits -1 ... 1 are accepted, internal limits
    // {-1, 1} are refused (the first is not above the left limit).
    const VelboBilinear law;
    EXPECT_EQ(law.fyd(), 1.0);
    EXPECT_EQ(law.Es(), 1.0);
    EXPECT_EQ(law.esu(), 1.0);
    EXPECT_EQ(law.lawLimits(), (std::vector<double>{-1.0, 1.0}));
    EXPECT_TRUE(law.getInternalLimits().empty());
    // Without internal limits every strain is tested against both sides.
    expectStresses(law, {
                            {-2.0, -1.0, Func1::FUNC1_ERR_OUTLIMITS},
                            {-1.0, -1.0, 0},
                            {0.0, -1.0, 0},
                            {0.5, -1.0, 0},
                            {1.0, -1.0, 0},
                            {2.0, -1.0, Func1::FUNC1_ERR_OUTLIMITS},
                        });
}

TEST(VelboBilinear, SettersRebuildTheLaw)
{
    struct Case {
        const char* name;
        std::function<void(VelboBilinear&)> change;
        double fyd, Es, esu;
        double stressAt1e3;
        std::vector<double> limits;
    };
    const std::vector<Case> cases = {
        {"setFyd", [](VelboBilinear& l) { l.setFyd(420.0); }, 420.0, kEs, kEsu, 210.0, {-kEsu, -0.002, 0.002, kEsu}},
        {"setEs", [](VelboBilinear& l) { l.setEs(200000.0); }, kFyd, 200000.0, kEsu, 200.0, {-kEsu, -kFyd / 200000.0, kFyd / 200000.0, kEsu}},
        {"setEsu", [](VelboBilinear& l) { l.setEsu(0.0675); }, kFyd, kEs, 0.0675, 210.0, {-0.0675, -kEyd, kEyd, 0.0675}},
        {"setParam", [](VelboBilinear& l) { l.setParam(300.0, 100000.0, 0.05); }, 300.0, 100000.0, 0.05, 100.0, {-0.05, -0.003, 0.003, 0.05}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VelboBilinear law(kFyd, kEs, kEsu);
        const Func1* pieces[] = {law.getFuncAt(0), law.getFuncAt(1), law.getFuncAt(2)};
        c.change(law);
        EXPECT_EQ(law.fyd(), c.fyd);
        EXPECT_EQ(law.Es(), c.Es);
        EXPECT_EQ(law.esu(), c.esu);
        EXPECT_EQ(law.esy(), c.fyd / c.Es);
        EXPECT_EQ(law.maxTractionDef(), c.esu);
        EXPECT_EQ(law.maxCompressionDef(), -c.esu);
        EXPECT_EQ(law.lawLimits(), c.limits);
        EXPECT_DOUBLE_EQ(law.valueFx(0.001, nullptr), c.stressAt1e3);
        EXPECT_DOUBLE_EQ(law.valueFx(-c.esu, nullptr), -c.fyd);
        EXPECT_DOUBLE_EQ(law.valueFx(c.esu, nullptr), c.fyd);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(law.getFuncAt(i), pieces[i]);
    }
}

TEST(VelboBilinear, EsuBelowTheYieldStrainKeepsTheOldInternalLimits)
{
    // The new outer limits are accepted, the yield strains then fall outside
    // them and are refused: the old ones stay.
    VelboBilinear law(kFyd, kEs, kEsu);
    law.setEsu(0.001);
    EXPECT_EQ(law.lawLimits(), (std::vector<double>{-0.001, -kEyd, kEyd, 0.001}));
    EXPECT_EQ(law.esy(), kEyd);
}

TEST(VelboBilinear, ZeroModulusLeavesALawWithoutInternalLimits)
{
    // e_yd = fyd / 0 is infinite: the internal limits are refused, the
    // outer ones stay and piece 0 serves every strain.
    const VelboBilinear law(kFyd, 0.0, kEsu);
    EXPECT_EQ(law.esy(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(law.lawLimits(), (std::vector<double>{-kEsu, kEsu}));
    expectStresses(law, {{-0.005, -kFyd, 0}, {0.0, -kFyd, 0}, {0.005, -kFyd, 0}});
}

TEST(VelboBilinear, CompleteOnlyWhenEveryPieceIsSetUp)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double fyd, Es, esu;
        bool complete;
    };
    const Case cases[] = {
        {"B450C", kFyd, kEs, kEsu, true},
        {"B500", 434.0, 200000.0, 0.0675, true},
        // The yield strain on the limit strain is refused as a breakpoint.
        {"yield at the limit strain", 210.0, 210000.0, 0.001, false},
        {"limit strain below the yield strain", kFyd, kEs, 0.001, false},
        {"modulus of zero", kFyd, 0.0, kEsu, false},
        {"negative modulus", kFyd, -kEs, kEsu, false},
        {"negative strength", -kFyd, kEs, kEsu, false},
        {"limit strain of zero", kFyd, kEs, 0.0, false},
        {"negative limit strain", kFyd, kEs, -kEsu, false},
        {"yield strain underflows to zero", 1e-300, 1e300, kEsu, false},
        {"strength not a number", nan, kEs, kEsu, false},
        {"modulus not a number", kFyd, nan, kEsu, false},
        {"limit strain not a number", kFyd, kEs, nan, false},
        {"infinite strength", inf, kEs, kEsu, false},
        {"infinite modulus", kFyd, inf, kEsu, false},
        {"infinite limit strain", kFyd, kEs, inf, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VelboBilinear(c.fyd, c.Es, c.esu).lawIsComplete(), c.complete);
    }
    EXPECT_FALSE(VelboBilinear().lawIsComplete());

    VelboBilinear law(kFyd, kEs, kEsu);
    law.setEsu(0.001);
    EXPECT_FALSE(law.lawIsComplete());
    law.setEsu(kEsu);
    EXPECT_TRUE(law.lawIsComplete());
}

// ------------------------------------------------------- shared behaviour

TEST(VelboCostitutiveLaw, DescriptionMoreStartsEmptyAndIsReplaced)
{
    std::vector<std::unique_ptr<VelboCostitutiveLaw>> laws;
    laws.emplace_back(new VelboParabola(kFcd, kEc2, kEcu));
    laws.emplace_back(new VelboBilinear(kFyd, kEs, kEsu));
    for (const auto& law : laws) {
        SCOPED_TRACE(law->lawDescr());
        EXPECT_EQ(law->lawDescriptionMore(), "");
        law->lawSetDescriptionMore("Calcestruzzo di prova");
        EXPECT_EQ(law->lawDescriptionMore(), "Calcestruzzo di prova");
        law->lawSetDescriptionMore("");
        EXPECT_EQ(law->lawDescriptionMore(), "");
    }
}

TEST(VelboCostitutiveLaw, CountersFollowLiveLawsOfEachKind)
{
    const unsigned int parabolas = VelboParabola::instances();
    const unsigned int bilinears = VelboBilinear::instances();
    {
        std::unique_ptr<VelboCostitutiveLaw> p1(new VelboParabola());
        std::unique_ptr<VelboCostitutiveLaw> p2(new VelboParabola(kFcd, kEc2, kEcu));
        EXPECT_EQ(VelboParabola::instances(), parabolas + 2);
        EXPECT_EQ(VelboBilinear::instances(), bilinears);
        {
            const VelboBilinear b1;
            const VelboBilinear b2(kFyd, kEs, kEsu);
            EXPECT_EQ(VelboBilinear::instances(), bilinears + 2);
            EXPECT_EQ(VelboParabola::instances(), parabolas + 2);
        }
        EXPECT_EQ(VelboBilinear::instances(), bilinears);
        // Deleted through the base, as the owner of the laws does.
        p1.reset();
        EXPECT_EQ(VelboParabola::instances(), parabolas + 1);
    }
    EXPECT_EQ(VelboParabola::instances(), parabolas);
    EXPECT_EQ(VelboBilinear::instances(), bilinears);
}
