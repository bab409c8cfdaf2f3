// The ultimate strain path of a reinforced-concrete section: its planes, the
// quantities each stage is measured in, the span test and the ranges it is
// taken over.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "default_limits.h"
#include "section_fixture.h"

#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velbostrainpath.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

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
    EXPECT_DOUBLE_EQ(VelboStrainPath::limitsLength(limits), 0.0255);
    // 3/7 of the concrete height.
    EXPECT_NEAR(VelboStrainPath::pivotDepth(ranges, limits.topComp, limits.compUniform), 0.3, 1e-15);
    // -0.0035 at the top, 0 at the bottom of the concrete: -0.0005 at 0.6.
    EXPECT_NEAR(VelboStrainPath::overCompression(ranges, limits.topComp), -0.0005, 1e-15);
    EXPECT_EQ(VelboStrainPath(limits, ranges).length(), VelboStrainPath::limitsLength(limits));
}

TEST(VelboStrainPath, LengthOfADirectionFollowsItsLowestBar)
{
    // Bar strain S down to -E; then, well below the pivot depth (0.3), the
    // bar strain down to -D: the length of the limits alone, bit for bit.
    // Above it, the strain at the bottom of the concrete from 0 down to -D:
    // A + B + S + E + D.
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
        {"lowest bar at 0.2", sevenTenthsHigh(0.2), 25, 280},
        {"lowest bar at 0.1", sevenTenthsHigh(0.1), 30, 285},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(-VelboStrainPath::overCompression(c.ranges, limits.topComp), c.e * 1e-4, 1e-15);
        const VelboStrainPath path(limits, c.ranges);
        if (c.length == 0) {
            EXPECT_EQ(path.length(), VelboStrainPath::limitsLength(limits));
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
        // pivot takes the strain at the bottom of the concrete (0.7) from 0
        // to -20 (L = 280).
        {0.2, 200, -35, 35},
        {0.2, 250, -35, -15},
        {0.2, 255, -35, -20},
        {0.2, 259, -35, -24},
        {0.2, 260, -35, -25},      // zero strain at the concrete bottom
        {0.2, 264, -32, -24},      // interior pivot: -4 at the bottom
        {0.2, 270, -27.5, -22.5},  // -10 at the bottom
        {0.2, 280, -20, -20},      // uniform compression
        // The lowest bar at 0.1: E = 30, L = 285.
        {0.1, 265, -35, -30},
        {0.1, 270, -31.25, -27.5},
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
        {0.2, {260.5, 265.0, 270.0, 275.0, 279.9}},
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

TEST(VelboStrainPath, LowestBarAtOrAHairFromThePivotDepth)
{
    // Concrete 700 high, pivot depth 300. At it (E equals D bit for bit) and
    // within a hair of it on either side, the interior pivot hardly moves the
    // bar strain: it is measured in the strain at the bottom of the concrete,
    // and the path is A + B + S + E + D long. A bar clearly below the pivot
    // depth keeps the bar strain and the length of the limits.
    const VelboStrainPath::Limits limits = defaultLimits();
    const double d = -limits.compUniform;
    struct Case {
        const char* name;
        double lowestBar;
        bool byBottom;
    };
    const Case cases[] = {
        {"at the pivot depth", 300.0, true},
        {"a rounding step above", std::nextafter(300.0, 0.0), true},
        {"a rounding step below", std::nextafter(300.0, 1000.0), true},
        {"a micrometre below", 300.001, true},
        {"a tenth below", 300.1, false},
        {"well below", 600.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const VelboStrainPath::Ranges ranges{0.0, 700.0, 60.0, c.lowestBar};
        const VelboStrainPath path(limits, ranges);
        EXPECT_EQ(path.interiorPivotByBottom(), c.byBottom);
        const double e = -VelboStrainPath::overCompression(ranges, limits.topComp);
        if (!c.byBottom) {
            EXPECT_EQ(path.length(), VelboStrainPath::limitsLength(limits));
            continue;
        }
        EXPECT_EQ(path.length(), (((limits.topTrac - limits.topComp) + limits.botTrac) + e) + d);
        // Halfway along the interior pivot: -d/2 at the bottom of the
        // concrete, -d at the pivot depth, whatever the bar strain.
        const double t = (((limits.topTrac - limits.topComp) + limits.botTrac) + e) + d / 2;
        const Plane p = planeAt(path, t / path.length());
        const double slope = (p.xBot - p.xTop) / c.lowestBar;
        EXPECT_NEAR(p.xTop + slope * 300.0, -d, 1e-15);
        EXPECT_NEAR(p.xTop + slope * 700.0, -d / 2, 1e-15);
        const Plane end = planeAt(path, 1.0);
        EXPECT_EQ(end.xTop, limits.compUniform);
        EXPECT_EQ(end.xBot, limits.compUniform);
    }
}

TEST(VelboStrainPath, SpreadWhereTheInteriorPivotIsShorterThanAStep)
{
    // The interior pivot spans D - E of bar strain; with ratioDivision even
    // steps of L / ratioDivision, a direction is spread when that is shorter
    // than one step, or the bar lies at or above the pivot depth.
    const VelboStrainPath::Limits limits = defaultLimits();
    struct Case {
        double lowestBar;  // concrete from 0 to 0.7, pivot at 0.3
        int ratioDivision;
        bool spread;
    };
    // Below the pivot: at 0.6, D - E = 15 (units of 1e-4) and L = 255:
    // shorter than a step of 16 steps (15.9), not of 18 (14.2).
    const Case cases[] = {
        {0.6, 16, true}, {0.6, 18, false},  {0.6, 100, false},
        {0.7, 12, true}, {0.7, 13, false},  // D - E = 20
        {0.3, 1000000, true},                // at the pivot depth
        {0.2, 1000000, true},                // above it
        {0.6, 0, false},                     // no division
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lowestBar) + " at " + std::to_string(c.ratioDivision));
        EXPECT_EQ(VelboStrainPath(limits, sevenTenthsHigh(c.lowestBar)).spreadAt(c.ratioDivision), c.spread);
    }
}

TEST(VelboStrainPath, StagesMeasuredInTheirOwnQuantities)
{
    // ratioInStage moves the top strain through the rebar pivot, the depth
    // of the neutral axis through the top-fibre pivot and the strain at the
    // bottom of the concrete through the interior pivot; stageFraction finds
    // the fraction of the plane with a strain at a depth.
    const VelboStrainPath::Limits limits = defaultLimits();
    for (const double lowestBar : {0.6, 0.2}) {
        SCOPED_TRACE(lowestBar);
        const VelboStrainPath path(limits, sevenTenthsHigh(lowestBar));
        EXPECT_EQ(path.ratioInStage(VelboStrainPath::STAGE_REBAR_PIVOT, 0.0), 0.0);
        EXPECT_EQ(path.ratioInStage(VelboStrainPath::STAGE_INTERIOR_PIVOT, 1.0), 1.0);
        double previous = 0.0;
        for (int s = 0; s < VelboStrainPath::kStages; ++s) {
            const auto stage = static_cast<VelboStrainPath::Stage>(s);
            for (const double fraction : {0.0, 0.25, 0.5, 0.75, 1.0}) {
                SCOPED_TRACE(std::to_string(s) + " " + std::to_string(fraction));
                const double ratio = path.ratioInStage(stage, fraction);
                EXPECT_GE(ratio, previous - 1e-15);
                previous = ratio;
                const Plane p = planeAt(path, ratio);
                const auto strainAt = [&](double depth) { return p.xTop + (p.xBot - p.xTop) * (depth / lowestBar); };
                switch (stage) {
                case VelboStrainPath::STAGE_REBAR_PIVOT:
                    EXPECT_NEAR(p.xTop, limits.topTrac + fraction * (limits.topComp - limits.topTrac), 1e-15);
                    break;
                case VelboStrainPath::STAGE_TOP_PIVOT: {
                    // The neutral axis from its depth with the bar at S to
                    // the bottom of the concrete.
                    const double first = -limits.topComp * lowestBar / (limits.botTrac - limits.topComp);
                    const double axis = first + fraction * (0.7 - first);
                    EXPECT_NEAR(strainAt(axis), 0.0, 1e-15);
                    break;
                }
                case VelboStrainPath::STAGE_INTERIOR_PIVOT:
                    EXPECT_NEAR(strainAt(0.7), fraction * limits.compUniform, 1e-15);
                    EXPECT_NEAR(strainAt(0.3), limits.compUniform, 1e-15);
                    break;
                }
                // Back from a strain at a depth to the fraction.
                if (fraction > 0.0 && fraction < 1.0) {
                    EXPECT_NEAR(path.stageFraction(stage, 0.05, strainAt(0.05)), fraction, 1e-9);
                }
            }
        }
        // No plane of the top-fibre pivot is in tension beyond 0.01 at the
        // top: not a number, or outside the stage.
        const double none = path.stageFraction(VelboStrainPath::STAGE_TOP_PIVOT, 0.0, 0.02);
        EXPECT_FALSE(none > 0.0 && none < 1.0);
    }
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
