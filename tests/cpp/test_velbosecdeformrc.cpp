#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "section_fixture.h"
#include "stream_capture.h"
#include "threads_setting.h"

#include "velbocore/velbobilinear.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbosecdeformrc.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"
#include "velbocore/velbotriangle.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFcd = -11.333333333333334;  // C20/25
constexpr double kFyd = 391.304347826087;     // B450C

const std::string kNoRebar = "VelboSectionRC::VelboSectionRC()-ERR: None steel rebar !!!";
const std::string kRebarLaws = "VelboSectionRC::VelboSectionRC()-ERR: Rebars need have same costitutive law !!!";
const std::string kNoConcrete = "VelboSectionRC::VelboSectionRC()-ERR: None concrete elements !!!";
const std::string kConcreteLaws = "VelboSectionRC::VelboSectionRC()-ERR: Concrete need have same costitutive law !!!";
const std::string kSliceError = "VelboSecDeformRC::interactionSurface-ERR: errore di deformatorSliceFromLaw !!!";
const std::string kNoLaws = "VelboSecDeformRC::deformatorForces-ERR: Legami costitutivi non definiti !!!";

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A section with one default concrete law and one default steel law; its
// elements are numbered 1, 2, ... in order of making.
struct Section : SectionFixture {
    const VelboCostitutiveLaw* concrete;
    const VelboCostitutiveLaw* steel;

    Section() : concrete(law(VelboNTC2008LB::CONCRETE_C2025_PARABOLA)), steel(law(VelboNTC2008LB::STEEL_B450C_BILINEAR))
    {
        numberElements = true;
    }

    const VelboCostitutiveLaw* law(int code) { return own(VelboNTC2008LB().buildLaw(code)); }
};

// Concrete 0.3 x 0.7 (y from 0 to 0.7), bars at y = 0.1 and, the lowest,
// at y = 0.6.
struct PathSection : Section {
    explicit PathSection(double lowestBarY = 0.6)
    {
        rectangle(0.0, 0.0, 0.3, 0.7, concrete);
        bar(0.05, 0.1, 0.008, steel);
        bar(0.25, 0.1, 0.008, steel);
        bar(0.05, lowestBarY, 0.008, steel);
        bar(0.25, lowestBarY, 0.008, steel);
    }
};

// Concrete 300 x 500 (mm), three bars of 20 mm at the bottom and, unless
// reinforced on that side only, two of 12 mm at the top, 40 mm from the
// edges. Symmetric about x = 150.
struct BeamSection : Section {
    double as = 0.0;        // total bar area
    double asMoment = 0.0;  // sum of bar area times (y - 250)

    explicit BeamSection(bool topBars = true)
    {
        rectangle(0.0, 0.0, 300.0, 500.0, concrete);
        for (double x : {40.0, 150.0, 260.0}) {
            addBar(x, 460.0, 10.0);
        }
        if (!topBars) {
            return;
        }
        for (double x : {40.0, 260.0}) {
            addBar(x, 40.0, 6.0);
        }
    }

    void addBar(double x, double y, double r)
    {
        bar(x, y, r, steel);
        as += r * (r * kPi);
        asMoment += r * (r * kPi) * (y - 250.0);
    }
};

struct Plane {
    double xTop, xBot;
};

Plane planeAt(VelboSecDeformRC& d, double ratio)
{
    d.setDefRatio(ratio);
    Plane p{};
    d.xRange(&p.xTop, &p.xBot);
    return p;
}

// A point computed on its own: fresh meshes of the turned section.
std::unique_ptr<VelboSectionForces> standalonePoint(VelboSectionModel* model, double angle, double ratio,
                                                    const VelboNode2D& g)
{
    VelboSecDeformRC d(model);
    d.setAngle(angle);
    d.setDefRatio(ratio);
    model->meshesMake();
    EXPECT_TRUE(d.deformatorSliceFromLaw(d.clsLaw()));
    return std::unique_ptr<VelboSectionForces>(d.deformatorForces(g.xn(), g.yn(), nullptr));
}

// The ratio of point j of the direction at `angle` as the surface takes it:
// an even step, or, where the direction's points are spread along its curve,
// the spread one, its pilot made of standalone points.
double surfaceRatio(VelboSectionModel* model, double angle, const VelboBilinear* skipSteel, int ratioDivision, int j,
                    const VelboNode2D& g)
{
    VelboSecDeformRC d(model);
    d.setAngle(angle);
    VelboDirectionRatios ratios = d.directionRatios(skipSteel, ratioDivision);
    EXPECT_TRUE(ratios.takePilot([&](double ratio, double* point) {
        const std::unique_ptr<VelboSectionForces> f = standalonePoint(model, angle, ratio, g);
        point[0] = f->fz();
        point[1] = f->mx();
        point[2] = f->my();
        return true;
    }));
    return ratios.ratio(j);
}

void expectSamePoint(const VelboSectionForces& a, const VelboSectionForces& b)
{
    EXPECT_DOUBLE_EQ(a.fz(), b.fz());
    EXPECT_DOUBLE_EQ(a.mx(), b.mx());
    EXPECT_DOUBLE_EQ(a.my(), b.my());
}

} // namespace

// --- limits and the ultimate strain path -------------------------------------

TEST(VelboSecDeformRC, LimitsOfTheDefaultLaws)
{
    PathSection s;
    StreamCapture capture;
    const VelboSecDeformRC d(s.model.get());
    EXPECT_EQ(d.clsLaw(), s.concrete);
    EXPECT_EQ(d.maxTopTrac(), 0.01);
    EXPECT_EQ(d.maxBotTrac(), 0.01);
    EXPECT_EQ(d.maxTopComp(), -0.0034999999999999996);
    EXPECT_EQ(d.maxBotComp(), -0.0034999999999999996);
    EXPECT_EQ(d.maxCompUniform(), -0.002);
    EXPECT_DOUBLE_EQ(d.deformationMaxLength(), 0.0255);
    double yTop = 0.0;
    double yBot = 0.0;
    d.yRange(&yTop, &yBot);
    EXPECT_EQ(yTop, 0.0);
    EXPECT_EQ(yBot, 0.6);
    EXPECT_DOUBLE_EQ(d.hRange(), 0.6);
    // 3/7 of the concrete height.
    EXPECT_NEAR(d.yPivot(), 0.3, 1e-15);
    EXPECT_NEAR(d.xOverCompression(), -0.0005, 1e-15);
    EXPECT_EQ(capture.err(), "");
}

TEST(VelboSecDeformRC, StrainPlanesAlongThePath)
{
    // t is the distance along the path in units of 1e-4 (L = 255).
    struct Case {
        double t;
        double xTop, xBot;  // units of 1e-4
    };
    const std::vector<Case> cases = {
        {0, 100, 100},     // uniform tension
        {50, 50, 100},     // rebar pivot, top in tension
        {135, -35, 100},   // end of the rebar pivot
        {200, -35, 35},    // top-fibre pivot
        {240, -35, -5},    // end of the top-fibre pivot: zero strain at the concrete bottom
        {245, -30, -10},   // interior pivot
        {255, -20, -20},   // uniform compression
    };
    PathSection s;
    VelboSecDeformRC d(s.model.get());
    const double length = d.deformationMaxLength();
    for (const Case& c : cases) {
        const Plane p = planeAt(d, (c.t * 1e-4) / length);
        EXPECT_NEAR(p.xTop, c.xTop * 1e-4, 1e-15) << "t = " << c.t;
        EXPECT_NEAR(p.xBot, c.xBot * 1e-4, 1e-15) << "t = " << c.t;
    }
    // The two ends are exact.
    EXPECT_EQ(planeAt(d, 0.0).xTop, 0.01);
    EXPECT_EQ(planeAt(d, 1.0).xTop, -0.002);
    EXPECT_EQ(planeAt(d, 1.0).xBot, -0.002);

    // In the interior pivot every plane has the strain -0.002 at yPivot.
    d.setDefRatio(0.99);
    EXPECT_NEAR(d.deformationAt(d.yPivot()), -0.002, 1e-15);
}

TEST(VelboSecDeformRC, PathIsContinuousAcrossTheCaseBoundaries)
{
    PathSection s;
    VelboSecDeformRC d(s.model.get());
    const double length = d.deformationMaxLength();
    // A, A + B, A + B + S + E: the starts of cases 3, 4 and 5; L: case 6.
    for (double t : {100e-4, 135e-4, 240e-4, 255e-4}) {
        const double ratio = t / length;
        const Plane before = planeAt(d, ratio * (1.0 - 1e-12));
        const Plane at = planeAt(d, ratio);
        const Plane after = planeAt(d, std::fmin(ratio * (1.0 + 1e-12), 1.0));
        EXPECT_NEAR(before.xTop, at.xTop, 1e-13) << t;
        EXPECT_NEAR(before.xBot, at.xBot, 1e-13) << t;
        EXPECT_NEAR(after.xTop, at.xTop, 1e-13) << t;
        EXPECT_NEAR(after.xBot, at.xBot, 1e-13) << t;
    }
}

TEST(VelboSecDeformRC, LowestBarAbovePivotDepthEndsInUniformCompression)
{
    // Bars down to y = 0.2 only: E = 25 exceeds D = 20. The top-fibre pivot
    // runs on to bar strain -25, where the concrete bottom has no strain;
    // the interior pivot then takes the strain at the bottom from 0 to -20,
    // the bar strain rising to -20. The path is 280 long (units of 1e-4).
    PathSection s(0.2);
    VelboSecDeformRC d(s.model.get());
    EXPECT_NEAR(-d.xOverCompression(), 0.0025, 1e-15);
    const double length = d.deformationMaxLength();
    EXPECT_NEAR(length, 0.0280, 1e-15);
    struct Case {
        double t;
        double xTop, xBot;  // units of 1e-4
    };
    const std::vector<Case> cases = {
        {255, -35, -20},     // top-fibre pivot, where it used to end
        {260, -35, -25},     // its end: zero strain at the concrete bottom
        {270, -27.5, -22.5},  // interior pivot: -10 at the bottom
    };
    for (const Case& c : cases) {
        const Plane p = planeAt(d, (c.t * 1e-4) / length);
        EXPECT_NEAR(p.xTop, c.xTop * 1e-4, 1e-15) << "t = " << c.t;
        EXPECT_NEAR(p.xBot, c.xBot * 1e-4, 1e-15) << "t = " << c.t;
        EXPECT_NEAR(d.deformationAtRatio(), c.t * 1e-4, 1e-15) << "t = " << c.t;
    }
    d.setDefRatio(270e-4 / length);
    EXPECT_NEAR(d.deformationAt(d.yPivot()), -0.002, 1e-15);
    const Plane end = planeAt(d, 1.0);
    EXPECT_EQ(end.xTop, -0.002);
    EXPECT_EQ(end.xBot, -0.002);

    // Turned upside down, the lowest bar (0.6) lies below the pivot depth:
    // the path of that direction is the one of the limits.
    d.setAngle(180.0);
    EXPECT_DOUBLE_EQ(d.deformationMaxLength(), 0.0255);
}

TEST(VelboSecDeformRC, RatioOutsideTheUnitIntervalIsIgnored)
{
    PathSection s;
    VelboSecDeformRC d(s.model.get());
    d.setDefRatio(0.5);
    d.setDefRatio(2.0);
    EXPECT_EQ(d.defRatio(), 0.5);
}

// --- construction messages --------------------------------------------------

TEST(VelboSecDeformRC, ConstructorReportsMissingOrMixedLaws)
{
    struct Case {
        const char* name;
        int concreteLaws;  // 0: no triangles; 2: the two triangles differ
        int barLaws;       // 0: no circles; 2: the last circle differs
        std::string messages;
        bool mixed;
    };
    const std::vector<Case> cases = {
        {"reinforced concrete", 1, 1, "", false},
        {"empty model", 0, 0, kNoRebar + kNoConcrete, false},
        {"concrete only", 1, 0, kNoRebar, false},
        {"bars only", 0, 1, kNoConcrete, false},
        {"two bar laws", 1, 2, kRebarLaws, true},
        {"two concrete laws", 2, 1, kConcreteLaws, true},
        {"everything mixed", 2, 2, kRebarLaws + kConcreteLaws, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Section s;
        const VelboCostitutiveLaw* lastConcrete = nullptr;
        const VelboCostitutiveLaw* lastSteel = nullptr;
        if (c.concreteLaws > 0) {
            lastConcrete = c.concreteLaws == 2 ? s.law(VelboNTC2008LB::CONCRETE_C2530_PARABOLA) : s.concrete;
            s.triangle(s.node(0, 0), s.node(1, 0), s.node(1, 1), s.concrete);
            s.triangle(s.node(0, 0), s.node(1, 1), s.node(0, 1), lastConcrete);
        }
        if (c.barLaws > 0) {
            lastSteel = c.barLaws == 2 ? s.own(new VelboBilinear(400.0, 200000.0, 0.02)) : s.steel;
            s.bar(0.2, 0.8, 0.01, s.steel);
            s.bar(0.4, 0.8, 0.01, s.steel);
            s.bar(0.6, 0.8, 0.01, lastSteel);
        }
        StreamCapture capture;
        const VelboSecDeformRC d(s.model.get());
        EXPECT_EQ(capture.err(), c.messages);
        EXPECT_EQ(d.mixedLaws(), c.mixed);
        EXPECT_EQ(d.clsLaw(), lastConcrete);
        capture.clear();
        if (lastSteel) {
            EXPECT_EQ(d.maxTopTrac(), lastSteel->maxTractionDef());
        }
        if (lastConcrete) {
            EXPECT_EQ(d.maxTopComp(), lastConcrete->maxCompressionDef());
        }
        EXPECT_EQ(capture.err(), "");
    }
}

TEST(VelboSecDeformRC, LimitsWithoutLawsWriteTheirMessagesAndGiveZero)
{
    Section s;
    StreamCapture capture;
    const VelboSecDeformRC d(s.model.get());
    capture.clear();

    struct Case {
        double (VelboSecDeformRC::*limit)() const;
        std::string message;
    };
    const std::vector<Case> cases = {
        {&VelboSecDeformRC::maxTopTrac, "VelboSecDeformRC::maxTopTrac()-ERR: Legge costitutiva acciaio non definita"},
        {&VelboSecDeformRC::maxBotTrac, "VelboSecDeformRC::maxBotTrac()-ERR: Legge costitutiva acciaio non definita"},
        {&VelboSecDeformRC::maxTopComp,
         "VelboSecDeformRC::maxTopComp()-ERR: Legge costitutiva calcestruzzo non definita"},
        {&VelboSecDeformRC::maxBotComp,
         "VelboSecDeformRC::maxBotComp()-ERR: Legge costitutiva calcestruzzo non definita"},
        {&VelboSecDeformRC::maxCompUniform,
         "VelboSecDeformRC::maxCompUniform()-ERR: Legge costitutiva calcestruzzo non definita"},
    };
    std::string all;
    for (const Case& c : cases) {
        EXPECT_EQ((d.*c.limit)(), 0.0);
        all += c.message;
        EXPECT_EQ(capture.err(), all);
    }

    // The path length asks for its limits in a fixed order.
    capture.clear();
    EXPECT_EQ(d.deformationMaxLength(), 0.0);
    EXPECT_EQ(capture.err(), cases[0].message + cases[2].message + cases[1].message + cases[4].message);
}

// --- forces -----------------------------------------------------------------

TEST(VelboSecDeformRC, ForcesNeedBothLaws)
{
    Section s;
    s.rectangle(0, 0, 300, 500, s.concrete);
    StreamCapture capture;
    const VelboSecDeformRC d(s.model.get());
    capture.clear();
    bool ok = true;
    EXPECT_EQ(d.deformatorForces(0, 0, &ok), nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(capture.err(), kNoLaws);
    EXPECT_EQ(d.deformatorForces(0, 0, nullptr), nullptr);
}

TEST(VelboSecDeformRC, ForcesAreTakenAboutTheGivenPointAndTurnedBack)
{
    BeamSection s;
    VelboSecDeformRC d(s.model.get());
    const VelboNode2D g = s.model->sectionCalcSolidBarycenter();
    // Uniform tension: only the bars carry stress, all yielded.
    for (double angle : {0.0, 90.0, 30.0, 180.0}) {
        d.setAngle(angle);
        d.setDefRatio(0.0);
        bool ok = false;
        std::unique_ptr<VelboSectionForces> f(d.deformatorForces(g.xn(), g.yn(), &ok));
        ASSERT_TRUE(ok);
        ASSERT_NE(f, nullptr);
        EXPECT_NEAR(f->fz(), kFyd * s.as, 1e-12 * kFyd * s.as) << angle;
        EXPECT_NEAR(f->mx(), kFyd * s.asMoment, 1e-9 * kFyd * s.as) << angle;
        EXPECT_NEAR(f->my(), 0.0, 1e-9 * kFyd * s.as) << angle;
    }
}

// --- interaction surface ----------------------------------------------------

TEST(VelboSecDeformRC, UniformSurfaceOrderAndCount)
{
    BeamSection s;
    const VelboNode2D g = s.model->sectionCalcSolidBarycenter();
    const unsigned int setsBefore = VelboInteractionPoints::instances();

    VelboSecDeformRC d(s.model.get());
    std::unique_ptr<VelboInteractionPoints> points(d.interactionSurface(1, 2, VelboSecDeformRC::ISO_UNIFORM));
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(VelboInteractionPoints::instances(), setsBefore + 1);
    ASSERT_EQ(points->interactionPointsSize(), 15);
    EXPECT_EQ(points->ratioDivision(), 3u);
    for (int k = 0; k < 15; ++k) {
        EXPECT_NE(points->interactionPointAt(k), nullptr);
    }
    // The deformator and the model stay at the last point.
    EXPECT_EQ(d.angle(), 360.0);
    EXPECT_EQ(d.defRatio(), 1.0);
    EXPECT_EQ(s.model->meshesSize(), 2);

    // Slot 7 is direction 2 (180 degrees) at its middle ratio: 0.5 in even
    // steps; two steps leave the interior pivot between two points, so the
    // points are spread along the curve.
    const double middle = surfaceRatio(s.model.get(), 180.0, nullptr, 2, 1, g);
    EXPECT_GT(middle, 0.0);
    EXPECT_LT(middle, 1.0);
    std::unique_ptr<VelboSectionForces> expected = standalonePoint(s.model.get(), 180.0, middle, g);
    ASSERT_NE(expected, nullptr);
    expectSamePoint(*points->interactionPointAt(7), *expected);
    // Slot 4 is direction 1 (90 degrees) at its middle ratio.
    expected = standalonePoint(s.model.get(), 90.0, surfaceRatio(s.model.get(), 90.0, nullptr, 2, 1, g), g);
    expectSamePoint(*points->interactionPointAt(4), *expected);
}

TEST(VelboSecDeformRC, FirstAndLastPointOfEveryDirection)
{
    // Reinforced on both sides, and on one side only: the directions that put
    // the bars of the one-sided beam on the compressed side have their lowest
    // bar above the pivot depth, and end in uniform compression all the same.
    for (const bool topBars : {true, false}) {
        SCOPED_TRACE(topBars ? "both sides" : "one side");
        BeamSection s(topBars);
        VelboSecDeformRC d(s.model.get());
        const int degreeDivision = 2;
        const int ratioDivision = 4;
        std::unique_ptr<VelboInteractionPoints> points(
            d.interactionSurface(degreeDivision, ratioDivision, VelboSecDeformRC::ISO_UNIFORM));
        ASSERT_NE(points, nullptr);
        const int perDirection = ratioDivision + 1;
        ASSERT_EQ(points->interactionPointsSize(), (4 * degreeDivision + 1) * perDirection);

        // Uniform strains put every fibre on one constant piece of its law
        // (0 and +fyd in tension at 0.01; fcd, reached exactly at ec2, and
        // -fyd at -0.002), which every triangle integrates exactly: only
        // rounding is left, a relative 1e-12 for the forces. The moments
        // about the concrete barycentre come from the bars alone and are
        // turned back into the section's frame in every direction; their
        // rounding is relative to Fz times the section's size.
        const double ac = 300.0 * 500.0;
        const double tension = kFyd * s.as;
        const double compression = -(std::fabs(kFcd) * ac + kFyd * s.as);
        const double momentTolerance = 1e-12 * std::fabs(compression) * 500.0;
        for (int i = 0; i <= 4 * degreeDivision; ++i) {
            SCOPED_TRACE(i);
            const VelboSectionForces& first = *points->interactionPointAt(i * perDirection);
            EXPECT_NEAR(first.fz(), tension, 1e-12 * tension);
            EXPECT_NEAR(first.mx(), kFyd * s.asMoment, momentTolerance);
            EXPECT_NEAR(first.my(), 0.0, momentTolerance);
            const VelboSectionForces& last = *points->interactionPointAt(i * perDirection + ratioDivision);
            EXPECT_NEAR(last.fz(), compression, 1e-12 * std::fabs(compression));
            EXPECT_NEAR(last.mx(), -kFyd * s.asMoment, momentTolerance);
            EXPECT_NEAR(last.my(), 0.0, momentTolerance);
        }
        EXPECT_DOUBLE_EQ(points->getFzMax(), points->interactionPointAt(0)->fz());
        EXPECT_NEAR(points->getFzMin(), compression, 1e-12 * std::fabs(compression));
    }
}

TEST(VelboSecDeformRC, EveryPointUsesMeshesOfItsOwnDirection)
{
    // With two strain steps, step 1 compresses the top of the concrete and
    // follows the uniform-tension step, which slices nothing: it is the
    // point that meshes of the previous direction would spoil.
    BeamSection s;
    const VelboNode2D g = s.model->sectionCalcSolidBarycenter();
    VelboSecDeformRC d(s.model.get());
    const int degreeDivision = 2;
    std::unique_ptr<VelboInteractionPoints> points(
        d.interactionSurface(degreeDivision, 2, VelboSecDeformRC::ISO_UNIFORM));
    ASSERT_NE(points, nullptr);
    for (int i = 0; i <= 4 * degreeDivision; ++i) {
        SCOPED_TRACE(i);
        const double angle = (90.0 * i) / degreeDivision;
        const std::unique_ptr<VelboSectionForces> alone =
            standalonePoint(s.model.get(), angle, surfaceRatio(s.model.get(), angle, nullptr, 2, 1, g), g);
        ASSERT_NE(alone, nullptr);
        expectSamePoint(*points->interactionPointAt(3 * i + 1), *alone);
    }
}

TEST(VelboSecDeformRC, SkipSameBarValueSurface)
{
    BeamSection s;
    const VelboNode2D g = s.model->sectionCalcSolidBarycenter();
    VelboSecDeformRC d(s.model.get());
    const double length = d.deformationMaxLength();
    std::unique_ptr<VelboInteractionPoints> points(d.interactionSurface(1, 3, VelboSecDeformRC::ISO_SKIP_SAME_BARVALUE));
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->interactionPointsSize(), 5 * 5);
    EXPECT_EQ(points->ratioDivision(), 5u);

    // Direction 0: ratio 0, then evenly from the smaller of the ratio where
    // the top bars reach the yield strain and the one of esu.
    const VelboBilinear& steel = static_cast<const VelboBilinear&>(*s.steel);
    const double byBar = ((0.0 - 460.0) * (steel.esy() / (40.0 - 460.0))) / length;
    const double byCls = steel.esu() / length;
    const double minimum = std::fmin(byBar, byCls);
    for (int i : {0, 4}) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(points->interactionPointAt(5 * i)->fz(), kFyd * s.as, 1e-12 * kFyd * s.as);
    }
    // The model was left turned by 360 degrees; the standalone point turns
    // it back to 0.
    const std::unique_ptr<VelboSectionForces> second = standalonePoint(s.model.get(), 0.0, minimum, g);
    ASSERT_NE(second, nullptr);
    EXPECT_NEAR(points->interactionPointAt(1)->fz(), second->fz(), 1e-9 * std::fabs(second->fz()));
    EXPECT_NEAR(points->interactionPointAt(1)->mx(), second->mx(), 1e-9 * std::fabs(second->mx()));
}

TEST(VelboSecDeformRC, SkipSameBarValueWithoutAStartInsideThePathStepsEvenly)
{
    // Bars in one row have no depth range, so the ratio where they start to
    // yield is -infinity: that direction takes its points over the whole
    // path after ratio 0 (even steps, here spread along the curve), the same
    // number of points, each the integral of a plane of its own.
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> bars;
    };
    const std::vector<Case> cases = {
        {"one row", {{40, 460}, {150, 460}, {260, 460}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Section s;
        s.rectangle(0, 0, 300, 500, s.concrete);
        for (const auto& [x, y] : c.bars) {
            s.bar(x, y, 10, s.steel);
        }
        const VelboNode2D g = s.model->sectionCalcSolidBarycenter();
        VelboSecDeformRC d(s.model.get());
        std::unique_ptr<VelboInteractionPoints> points(d.interactionSurface(1, 3, VelboSecDeformRC::ISO_SKIP_SAME_BARVALUE));
        ASSERT_NE(points, nullptr);
        ASSERT_EQ(points->interactionPointsSize(), 5 * 5);
        for (int k = 0; k < points->interactionPointsSize(); ++k) {
            const VelboSectionForces& p = *points->interactionPointAt(k);
            EXPECT_TRUE(std::isfinite(p.fz()) && std::isfinite(p.mx()) && std::isfinite(p.my())) << k;
        }
        // Direction 0: ratio 0, then up to 1, from the first above 0.
        const VelboBilinear* steel = static_cast<const VelboBilinear*>(s.steel);
        double before = -1.0;
        for (int k = 0; k < 5; ++k) {
            SCOPED_TRACE(k);
            const double ratio = surfaceRatio(s.model.get(), 0.0, steel, 3, k, g);
            EXPECT_GT(ratio, before);
            before = ratio;
            if (k == 0 || k == 4) {
                EXPECT_EQ(ratio, k / 4.0);
            }
            const std::unique_ptr<VelboSectionForces> alone = standalonePoint(s.model.get(), 0.0, ratio, g);
            ASSERT_NE(alone, nullptr);
            const VelboSectionForces& p = *points->interactionPointAt(k);
            EXPECT_EQ(p.fz(), alone->fz());
            EXPECT_EQ(p.mx(), alone->mx());
            EXPECT_EQ(p.my(), alone->my());
        }
        // The path ends at uniform compression.
        EXPECT_EQ(d.defRatio(), 1.0);
    }
}

TEST(VelboSecDeformRC, SurfaceRefusesADirectionWithoutAPositiveStrainSpan)
{
    // The strain planes run from the top of the concrete (300 x 500) to the
    // lowest bar. Where the lowest bar lies on that top, above it, or where
    // either is not a number, no plane of the path exists: the surface is
    // refused, in the first such direction, with nothing stored.
    const std::string error = "VelboSecDeformRC::interactionSurface-ERR: strain span of ";
    const std::string onTheTop = " degrees: the lowest bar lies on the top edge of the concrete !!!\n";
    const std::string aboveTheTop = " degrees: the lowest bar lies above the top of the concrete !!!\n";
    struct Case {
        const char* name;
        std::function<void(Section&)> bars;
        int option;
        std::string message;
    };
    const Case cases[] = {
        // A bar centred on a corner node: that corner is the top at 0 or at 180 degrees.
        {"bar on the corner (0, 0)", [](Section& s) { s.circle(s.nodes[0].get(), 10, s.steel); },
         VelboSecDeformRC::ISO_UNIFORM, error + "zero height at 0" + onTheTop},
        {"bar on the corner (300, 500)", [](Section& s) { s.circle(s.nodes[2].get(), 10, s.steel); },
         VelboSecDeformRC::ISO_UNIFORM, error + "zero height at 180" + onTheTop},
        {"bars above the concrete",
         [](Section& s) {
             s.bar(40, -40, 10, s.steel);
             s.bar(260, -60, 10, s.steel);
         },
         VelboSecDeformRC::ISO_UNIFORM, error + "negative height at 0" + aboveTheTop},
        {"bars above the concrete, skipping planes",
         [](Section& s) {
             s.bar(40, -40, 10, s.steel);
             s.bar(260, -60, 10, s.steel);
         },
         VelboSecDeformRC::ISO_SKIP_SAME_BARVALUE, error + "negative height at 0" + aboveTheTop},
        // Turned by 270 degrees about the barycentre (150, 250), the bar is
        // at y = -600, the concrete from 100 to 400.
        {"bar far to the right", [](Section& s) { s.bar(1000, 250, 10, s.steel); }, VelboSecDeformRC::ISO_UNIFORM,
         error + "negative height at 270" + aboveTheTop},
        {"bar centre not a number", [](Section& s) { s.bar(std::nan(""), std::nan(""), 10, s.steel); },
         VelboSecDeformRC::ISO_UNIFORM,
         error + "undefined height at 0 degrees: the top of the concrete or the lowest bar is not a number !!!\n"},
    };
    for (const char* threads : {"1", "4"}) {
        const ThreadsSetting setting(threads);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string("threads ") + threads + ", " + c.name);
            Section s;
            s.rectangle(0, 0, 300, 500, s.concrete);
            c.bars(s);
            const unsigned int sets = VelboInteractionPoints::instances();
            const unsigned int forces = VelboSectionForces::instances();
            StreamCapture capture;
            VelboSecDeformRC d(s.model.get());
            EXPECT_EQ(d.interactionSurface(1, 4, c.option), nullptr);
            EXPECT_EQ(capture.err(), c.message);
            EXPECT_EQ(VelboInteractionPoints::instances(), sets);
            EXPECT_EQ(VelboSectionForces::instances(), forces);
        }
    }
}

TEST(VelboSecDeformRC, SurfaceStoresNoPointThatIsNotFinite)
{
    // A bar of radius 1e160 has an area that overflows: the first point, in
    // uniform tension, has an infinite Fz. It is refused.
    Section s;
    s.rectangle(0, 0, 300, 500, s.concrete);
    s.bar(40, 460, 1e160, s.steel);
    const unsigned int sets = VelboInteractionPoints::instances();
    const unsigned int forces = VelboSectionForces::instances();
    StreamCapture capture;
    VelboSecDeformRC d(s.model.get());
    EXPECT_EQ(d.interactionSurface(2, 3, VelboSecDeformRC::ISO_UNIFORM), nullptr);
    EXPECT_EQ(capture.err(), "VelboSecDeformRC::interactionSurface-ERR: forces not finite at 0 degrees, ratio 0 !!!\n");
    EXPECT_EQ(VelboInteractionPoints::instances(), sets);
    EXPECT_EQ(VelboSectionForces::instances(), forces);
}

TEST(VelboSecDeformRC, SurfaceOptionAndDivisionErrorsChangeNothing)
{
    // The quoted messages of the options keep no line end; the lines of
    // divisions the surface cannot make end theirs.
    const std::string divisions =
        "VelboSecDeformRC::interactionSurface-ERR: degree and ratio divisions must be 1 or more !!!\n";
    struct Case {
        const char* name;
        bool parabolaBars;
        int option;
        int degreeDivision, ratioDivision;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"unknown option", false, 2, 1, 2, "VelboSecDeformRC::interactionSurface-ERR: Option unavailable !!!"},
        {"negative option", false, -1, 1, 2, "VelboSecDeformRC::interactionSurface-ERR: Option unavailable !!!"},
        {"skip option on parabola bars", true, VelboSecDeformRC::ISO_SKIP_SAME_BARVALUE, 1, 2,
         "VelboSecDeformRC::interactionSurface-ERR: only for [VelboBilinear] law !!!"},
        {"no degree division", false, VelboSecDeformRC::ISO_UNIFORM, 0, 2, divisions},
        {"no ratio division", false, VelboSecDeformRC::ISO_SKIP_SAME_BARVALUE, 1, 0, divisions},
        {"more points than an int holds", false, VelboSecDeformRC::ISO_UNIFORM, 1000, 1000000,
         "VelboSecDeformRC::interactionSurface-ERR: too many points !!!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Section s;
        s.rectangle(0, 0, 300, 500, s.concrete);
        s.bar(40, 460, 10, c.parabolaBars ? s.concrete : s.steel);
        s.nodes.front()->nodeTranslate(1.0, 0.0);  // current differs from saved
        const unsigned int sets = VelboInteractionPoints::instances();
        VelboSecDeformRC d(s.model.get());
        StreamCapture capture;
        EXPECT_EQ(d.interactionSurface(c.degreeDivision, c.ratioDivision, c.option), nullptr);
        EXPECT_EQ(capture.err(), c.message);
        EXPECT_EQ(VelboInteractionPoints::instances(), sets);
        EXPECT_EQ(s.model->meshesSize(), 0);
        EXPECT_EQ(s.nodes.front()->xn(), 1.0);
        EXPECT_EQ(d.angle(), 0.0);
    }
}

TEST(VelboSecDeformRC, SurfaceStopsWithoutAPointAndReleasesWhatItMade)
{
    struct Case {
        const char* name;
        bool concrete;
        bool bars;
        std::string lastMessage;
    };
    const std::vector<Case> cases = {
        // No concrete law: the first slicing fails.
        {"bars only", false, true, kSliceError},
        // No bar law: the first point has no forces.
        {"concrete only", true, false, kNoLaws},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Section s;
        if (c.concrete) {
            s.rectangle(0, 0, 300, 500, s.concrete);
        }
        if (c.bars) {
            s.bar(40, 460, 10, s.steel);
            s.bar(40, 40, 10, s.steel);
        }
        const unsigned int sets = VelboInteractionPoints::instances();
        const unsigned int forces = VelboSectionForces::instances();
        StreamCapture capture;
        VelboSecDeformRC d(s.model.get());
        EXPECT_EQ(d.interactionSurface(2, 3, VelboSecDeformRC::ISO_UNIFORM), nullptr);
        EXPECT_TRUE(endsWith(capture.err(), c.lastMessage)) << capture.err();
        EXPECT_EQ(VelboInteractionPoints::instances(), sets);
        EXPECT_EQ(VelboSectionForces::instances(), forces);
    }
}

TEST(VelboSecDeformRC, SurfaceRefusesDivisionsBelowOne)
{
    BeamSection s;
    VelboSecDeformRC d(s.model.get());
    StreamCapture capture;
    for (const auto& [degrees, ratios] : {std::pair{0, 2}, std::pair{1, 0}, std::pair{-1, 3}}) {
        EXPECT_EQ(d.interactionSurface(degrees, ratios, VelboSecDeformRC::ISO_UNIFORM), nullptr);
    }
    EXPECT_NE(capture.err(), "");
}
