// The ultimate strain path of a reinforced-concrete section: its planes, the
// ratios of a direction, the span test and the ranges it is taken over.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "section_fixture.h"

#include "velbocore/velbobilinear.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velbostrainpath.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The limits of the default laws, C20/25 and B450C.
VelboStrainPath::Limits defaultLimits()
{
    const std::unique_ptr<VelboCostitutiveLaw> concrete(
        VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
    const std::unique_ptr<VelboCostitutiveLaw> steel(VelboNTC2008LB().buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
    return {steel->maxTractionDef(), concrete->maxCompressionDef(), steel->maxTractionDef(),
            concrete->maxCompUniformDef()};
}

// Concrete from y = 0 to 0.7, bars from y = 0.1 down to `lowestBar`.
VelboStrainPath::Ranges sevenTenthsHigh(double lowestBar)
{
    return {0.0, 0.7, 0.1, lowestBar};
}

struct Plane {
    double xTop, xBot;
};

Plane planeAt(const VelboStrainPath& path, double ratio)
{
    Plane p{kNaN, kNaN};
    path.plane(ratio, &p.xTop, &p.xBot);
    return p;
}

}  // namespace

TEST(VelboStrainPath, LengthPivotAndOverCompressionOfTheDefaultLaws)
{
    const VelboStrainPath::Limits limits = defaultLimits();
    const VelboStrainPath::Ranges ranges = sevenTenthsHigh(0.6);
    // 0.01 + 0.0035 + 0.01 + 0.002.
    EXPECT_DOUBLE_EQ(VelboStrainPath::length(limits), 0.0255);
    // 3/7 of the concrete height.
    EXPECT_NEAR(VelboStrainPath::pivotDepth(ranges, limits.topComp, limits.compUniform), 0.3, 1e-15);
    // -0.0035 at the top, 0 at the bottom of the concrete: -0.0005 at 0.6.
    EXPECT_NEAR(VelboStrainPath::overCompression(ranges, limits.topComp), -0.0005, 1e-15);
    EXPECT_EQ(VelboStrainPath(limits, ranges).length(), VelboStrainPath::length(limits));
}

TEST(VelboStrainPath, LengthOfADirectionFollowsItsLowestBar)
{
    // Bar strain S down to -E and, above the pivot depth (0.3), back up to
    // -D: a path longer by 2 (E - D). At or below it the length is the one
    // of the limits alone, bit for bit.
    const VelboStrainPath::Limits limits = defaultLimits();
    struct Case {
        const char* name;
        VelboStrainPath::Ranges ranges;
        double e;       // units of 1e-4
        double length;  // units of 1e-4; 0: the length of the limits
    };
    const Case cases[] = {
        {"lowest bar at 0.6", sevenTenthsHigh(0.6), 5, 0},
        {"lowest bar below the concrete", sevenTenthsHigh(0.8), -5, 0},
        {"lowest bar at 0.2", sevenTenthsHigh(0.2), 25, 265},
        {"lowest bar at 0.1", sevenTenthsHigh(0.1), 30, 275},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(-VelboStrainPath::overCompression(c.ranges, limits.topComp), c.e * 1e-4, 1e-15);
        const VelboStrainPath path(limits, c.ranges);
        if (c.length == 0) {
            EXPECT_EQ(path.length(), VelboStrainPath::length(limits));
        } else {
            EXPECT_NEAR(path.length(), c.length * 1e-4, 1e-15);
        }
    }
}

TEST(VelboStrainPath, PlanesAlongThePath)
{
    // t is the distance along the path in units of 1e-4 (L = 255).
    struct Case {
        double lowestBar;
        double t;
        double xTop, xBot;  // units of 1e-4
    };
    const std::vector<Case> cases = {
        {0.6, 50, 50, 100},    // rebar pivot, top in tension
        {0.6, 100, 0, 100},    // top at zero strain
        {0.6, 135, -35, 100},  // end of the rebar pivot
        {0.6, 200, -35, 35},   // top-fibre pivot
        {0.6, 240, -35, -5},   // its end: zero strain at the concrete bottom
        {0.6, 245, -30, -10},  // interior pivot
        {0.6, 250, -25, -15},
        // The lowest bar above the pivot depth (0.3): E = 25 exceeds D = 20.
        // The top-fibre pivot runs on to bar strain -25, then the interior
        // pivot raises it to -20 (L = 265).
        {0.2, 200, -35, 35},
        {0.2, 250, -35, -15},
        {0.2, 255, -35, -20},
        {0.2, 259, -35, -24},
        {0.2, 260, -35, -25},      // zero strain at the concrete bottom
        {0.2, 261, -32, -24},      // interior pivot
        {0.2, 262.5, -27.5, -22.5},
        {0.2, 264, -23, -21},
        {0.2, 265, -20, -20},      // uniform compression
        // The lowest bar at 0.1: E = 30, L = 275.
        {0.1, 265, -35, -30},
        {0.1, 270, -27.5, -25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("lowest bar " + std::to_string(c.lowestBar) + ", t = " + std::to_string(c.t));
        const VelboStrainPath path(defaultLimits(), sevenTenthsHigh(c.lowestBar));
        const Plane p = planeAt(path, (c.t * 1e-4) / path.length());
        EXPECT_NEAR(p.xTop, c.xTop * 1e-4, 1e-15);
        EXPECT_NEAR(p.xBot, c.xBot * 1e-4, 1e-15);
    }
}

TEST(VelboStrainPath, EndsAreExactAndRatiosOffThePathGiveUniformCompression)
{
    const VelboStrainPath::Limits limits = defaultLimits();
    const VelboStrainPath path(limits, sevenTenthsHigh(0.6));
    struct Case {
        double ratio;
        double xTop, xBot;
    };
    const Case cases[] = {
        {0.0, limits.topTrac, limits.botTrac},
        {-0.0, limits.topTrac, limits.botTrac},
        {1.0, limits.compUniform, limits.compUniform},
        {-0.25, limits.compUniform, limits.compUniform},
        {kNaN, limits.compUniform, limits.compUniform},
        {1.5, limits.compUniform, limits.compUniform},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ratio);
        const Plane p = planeAt(path, c.ratio);
        EXPECT_EQ(p.xTop, c.xTop);
        EXPECT_EQ(p.xBot, c.xBot);
    }
    // Either output may be left out.
    double xBot = 0.0;
    path.plane(0.0, nullptr, &xBot);
    EXPECT_EQ(xBot, limits.botTrac);
}

TEST(VelboStrainPath, InteriorPivotPlanesPassThroughThePivot)
{
    // Every plane of the interior pivot has the strain of uniform
    // compression at the pivot depth below the top, whether the lowest bar
    // lies below that depth or above it.
    const VelboStrainPath::Limits limits = defaultLimits();
    struct Case {
        double lowestBar;
        std::vector<double> t;  // units of 1e-4
    };
    const Case cases[] = {
        {0.6, {240.5, 243.0, 247.0, 252.0, 254.9}},
        {0.2, {260.5, 262.0, 263.0, 264.0, 264.9}},
    };
    for (const Case& c : cases) {
        const VelboStrainPath::Ranges ranges = sevenTenthsHigh(c.lowestBar);
        const VelboStrainPath path(limits, ranges);
        const double pivot = VelboStrainPath::pivotDepth(ranges, limits.topComp, limits.compUniform);
        for (const double t : c.t) {
            SCOPED_TRACE("lowest bar " + std::to_string(c.lowestBar) + ", t = " + std::to_string(t));
            const Plane p = planeAt(path, (t * 1e-4) / path.length());
            const double span = ranges.barBottom - ranges.clsTop;
            const double atPivot = p.xTop + (p.xBot - p.xTop) * (pivot / span);
            EXPECT_NEAR(atPivot, limits.compUniform, 1e-15);
            EXPECT_GT(p.xTop, limits.topComp);
            EXPECT_LT(p.xTop, limits.compUniform);
        }
    }
}

TEST(VelboStrainPath, EveryPathIsContinuousAndEndsInUniformCompression)
{
    // Across each stage boundary (A, A + B, A + B + S + E, the length) the
    // plane moves by no more than rounding, and the last step reaches the
    // uniform compression plane exactly.
    const VelboStrainPath::Limits limits = defaultLimits();
    for (const double lowestBar : {0.6, 0.2, 0.1}) {
        SCOPED_TRACE(lowestBar);
        const VelboStrainPath::Ranges ranges = sevenTenthsHigh(lowestBar);
        const VelboStrainPath path(limits, ranges);
        const double e = -VelboStrainPath::overCompression(ranges, limits.topComp);
        const double a = limits.topTrac;
        const double b = -limits.topComp;
        for (const double t : {a, a + b, a + b + limits.botTrac + e, path.length()}) {
            SCOPED_TRACE(t);
            const double ratio = t / path.length();
            const Plane before = planeAt(path, ratio * (1.0 - 1e-12));
            const Plane at = planeAt(path, ratio);
            EXPECT_NEAR(before.xTop, at.xTop, 1e-13);
            EXPECT_NEAR(before.xBot, at.xBot, 1e-13);
        }
        const Plane end = planeAt(path, 1.0);
        EXPECT_EQ(end.xTop, limits.compUniform);
        EXPECT_EQ(end.xBot, limits.compUniform);
    }
}

TEST(VelboStrainPath, LowestBarExactlyAtThePivotDepth)
{
    // Concrete 700 high, lowest bar 300 below its top: E equals D bit for
    // bit. The path is the one of a bar below the pivot depth (the interior
    // pivot is empty): the top-fibre pivot runs to bar strain -D and the
    // last step is uniform compression.
    const VelboStrainPath::Limits limits = defaultLimits();
    const VelboStrainPath::Ranges ranges{0.0, 700.0, 60.0, 300.0};
    ASSERT_EQ(-VelboStrainPath::overCompression(ranges, limits.topComp), -limits.compUniform);
    const VelboStrainPath path(limits, ranges);
    EXPECT_EQ(path.length(), VelboStrainPath::length(limits));
    const Plane nearEnd = planeAt(path, 1.0 - 1e-9);
    EXPECT_EQ(nearEnd.xTop, limits.topComp);
    EXPECT_NEAR(nearEnd.xBot, limits.compUniform, 1e-10);
    EXPECT_GT(nearEnd.xBot, limits.compUniform);
    const Plane end = planeAt(path, 1.0);
    EXPECT_EQ(end.xTop, limits.compUniform);
    EXPECT_EQ(end.xBot, limits.compUniform);
}

TEST(VelboStrainPath, SpanFromTheTopOfTheConcreteToTheLowestBar)
{
    struct Case {
        const char* name;
        double clsTop, barBottom;
        VelboStrainPath::Span span;
    };
    const Case cases[] = {
        {"lowest bar below the top", 0.0, 460.0, VelboStrainPath::SPAN_POSITIVE},
        {"a hair below the top", 0.0, 1e-300, VelboStrainPath::SPAN_POSITIVE},
        {"lowest bar on the top", 40.0, 40.0, VelboStrainPath::SPAN_ZERO},
        {"on the top, signed zeros", -0.0, 0.0, VelboStrainPath::SPAN_ZERO},
        {"lowest bar above the top", 0.0, -100.0, VelboStrainPath::SPAN_NEGATIVE},
        {"a hair above the top", 1e-300, 0.0, VelboStrainPath::SPAN_NEGATIVE},
        {"no concrete", kNaN, 460.0, VelboStrainPath::SPAN_UNDEFINED},
        {"no bars", 0.0, kNaN, VelboStrainPath::SPAN_UNDEFINED},
        {"both infinite", kInf, kInf, VelboStrainPath::SPAN_UNDEFINED},
        {"bar infinitely low", 0.0, kInf, VelboStrainPath::SPAN_POSITIVE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VelboStrainPath::span({c.clsTop, 500.0, 0.0, c.barBottom}), c.span);
    }
}

TEST(VelboStrainPath, RatiosOfADirection)
{
    const std::unique_ptr<VelboBilinear> steel(new VelboBilinear(391.304347826087, 200000.0, 0.01));
    const VelboStrainPath::Limits limits = defaultLimits();
    const double length = VelboStrainPath::length(limits);

    // Even steps over the path, both ends included.
    std::vector<double> ratios{7.0};
    VelboStrainPath(limits, {0.0, 500.0, 40.0, 460.0}).ratios(nullptr, 4, ratios);
    EXPECT_EQ(ratios, (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));

    // Skipping the planes where the bars have not yielded: 0, then even
    // steps from the first ratio where a bar yields.
    VelboStrainPath(limits, {0.0, 500.0, 40.0, 460.0}).ratios(steel.get(), 2, ratios);
    const double byBar = ((0.0 - 460.0) * (steel->esy() / (40.0 - 460.0))) / length;
    const double byCls = steel->esu() / length;
    const double start = std::fmin(byBar, byCls);
    // The bottom bars yield first: 460 / 420 of their yield strain over L.
    EXPECT_NEAR(start, 0.0840, 1e-4);
    EXPECT_EQ(ratios, (std::vector<double>{0.0, start, (1.0 - start) * 0.5 + start, 1.0}));

    // A direction whose lowest bar lies above the pivot depth has a longer
    // path: the same distances along it give smaller ratios, so the first
    // of them is still the plane where the bars start to yield.
    const VelboStrainPath shallow(limits, {0.0, 500.0, 40.0, 100.0});
    ASSERT_GT(shallow.length(), length);
    shallow.ratios(steel.get(), 2, ratios);
    const double shallowStart =
        std::fmin(((0.0 - 100.0) * (steel->esy() / (40.0 - 100.0))) / shallow.length(), steel->esu() / shallow.length());
    EXPECT_NEAR(shallowStart * shallow.length(), 100.0 / 60.0 * steel->esy(), 1e-15);
    EXPECT_EQ(ratios, (std::vector<double>{0.0, shallowStart, (1.0 - shallowStart) * 0.5 + shallowStart, 1.0}));

    // Bars in one row give no such ratio: even steps over the whole path,
    // the same count.
    VelboStrainPath(limits, {0.0, 500.0, 460.0, 460.0}).ratios(steel.get(), 2, ratios);
    EXPECT_EQ(ratios, (std::vector<double>{0.0, 1.0 / 3.0, 2.0 / 3.0, 1.0}));
}

TEST(VelboStrainPath, RangesOfAModel)
{
    struct Case {
        const char* name;
        bool concrete, bars;
        VelboStrainPath::Ranges expected;
    };
    const Case cases[] = {
        {"both", true, true, {-10.0, 490.0, 30.0, 450.0}},
        {"concrete only", true, false, {-10.0, 490.0, kNaN, kNaN}},
        {"bars only", false, true, {kNaN, kNaN, 30.0, 450.0}},
        {"empty", false, false, {kNaN, kNaN, kNaN, kNaN}},
    };
    const auto same = [](double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SectionFixture s;
        // The ranges read the geometry alone: one law serves both kinds.
        const std::unique_ptr<VelboCostitutiveLaw> law(
            VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
        if (c.concrete) {
            s.rectangle(0.0, -10.0, 300.0, 490.0, law.get());
        }
        if (c.bars) {
            s.bar(40.0, 450.0, 10.0, law.get());
            s.bar(40.0, 30.0, 10.0, law.get());
        }
        const VelboStrainPath::Ranges r = VelboStrainPath::rangesOf(*s.model);
        EXPECT_TRUE(same(r.clsTop, c.expected.clsTop)) << r.clsTop;
        EXPECT_TRUE(same(r.clsBottom, c.expected.clsBottom)) << r.clsBottom;
        EXPECT_TRUE(same(r.barTop, c.expected.barTop)) << r.barTop;
        EXPECT_TRUE(same(r.barBottom, c.expected.barBottom)) << r.barBottom;
    }
}
