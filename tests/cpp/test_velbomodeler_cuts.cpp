#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "domain_sections.h"
#include "stream_capture.h"
#include "velbocore/velbomodeler.h"

// Cuts of the interaction domain at its bounds, where the outline is made of
// the domain's own points, and beyond the range of single precision, where
// the grid of the cuts cannot hold the numbers.

namespace {

using Triple = std::array<float, 3>;

struct Bar {
    double x, y, radius;
};

// A 300 x 500 rectangle of two triangles with the given bars, as model 1.
void addBeam(VelboModeler& modeler, const std::vector<Bar>& bars)
{
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(domain_sections::concreteRectangle(modeler));
    int id = 1;
    for (const Bar& bar : bars) {
        ASSERT_TRUE(modeler.addNode(4 + id, bar.x, bar.y));
        ASSERT_TRUE(modeler.addCircle(id, 4 + id, bar.radius));
        ++id;
    }
}

std::vector<Triple> triplesOf(const VFloat& values)
{
    std::vector<Triple> triples;
    for (std::size_t k = 0; k + 2 < values.size(); k += 3)
        triples.push_back({values[k], values[k + 1], values[k + 2]});
    return triples;
}

const char* const kCutNames[] = {"intersectAtXDir", "intersectAtYDir", "intersectAtZDir"};

VFloat cutOf(const VelboModeler& modeler, int component, double value)
{
    switch (component) {
    case 0: return modeler.intersectAtXDir(value);
    case 1: return modeler.intersectAtYDir(value);
    default: return modeler.intersectAtZDir(value);
    }
}

std::string startLine(int component)
{
    return std::string("VelboModeler::") + kCutNames[component] + "(): start\n";
}

// The domain's points in single precision, direction by direction.
std::vector<Triple> pointsOf(const VelboModeler& modeler)
{
    const VDouble fz = modeler.fzVector();
    const VDouble mx = modeler.mxVector();
    const VDouble my = modeler.myVector();
    std::vector<Triple> points;
    for (std::size_t i = 0; i < fz.size(); ++i)
        points.push_back({static_cast<float>(fz[i]), static_cast<float>(mx[i]), static_cast<float>(my[i])});
    return points;
}

// The distinct points whose component equals the value. The last direction
// (360 degrees) repeats the first; its last point, uniform compression,
// counts only where the first direction's last point is not on the value:
// rounding can leave either of the two alone on a bound.
std::vector<Triple> domainPointsAt(const std::vector<Triple>& points, std::size_t perDirection, int component,
                                   float value)
{
    std::vector<Triple> found;
    const auto take = [&](const Triple& p) {
        if (p[component] == value && std::find(found.begin(), found.end(), p) == found.end())
            found.push_back(p);
    };
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        take(points[i]);
    if (points.size() > perDirection && points[perDirection - 1][component] != value)
        take(points.back());
    return found;
}

// The cut at a bound: the centre, the expected points (by angle, in any
// order here), the first point again, and nothing on the error stream.
void expectCutAtBound(const VelboModeler& modeler, StreamCapture& capture, int component, double bound,
                      std::vector<Triple> expected)
{
    const float value = static_cast<float>(bound);
    capture.clear();
    const std::vector<Triple> cut = triplesOf(cutOf(modeler, component, bound));
    EXPECT_EQ(capture.err(), "");

    // Centre, the points, the first point again.
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ(cut.back(), cut[1]);
    std::vector<Triple> ring(cut.begin() + 1, cut.end() - 1);
    ASSERT_FALSE(expected.empty());
    std::sort(ring.begin(), ring.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ring, expected);

    // The centre lies among the points.
    EXPECT_EQ(cut[0][component], value);
    for (int c = 0; c < 3; ++c) {
        const auto [lo, hi] = std::minmax_element(
            ring.begin(), ring.end(), [c](const Triple& p, const Triple& q) { return p[c] < q[c]; });
        EXPECT_GE(cut[0][c], (*lo)[c]) << c;
        EXPECT_LE(cut[0][c], (*hi)[c]) << c;
    }
}

// A square of the given side, (0, 0) to (side, side), of two triangles, with
// a bar of the given radius inset by `inset` from each corner, as model 1.
void addSquare(VelboModeler& modeler, double side, double inset, double radius)
{
    const double far = side - inset;
    domain_sections::fromLists(modeler, {{0, 0}, {side, 0}, {side, side}, {0, side}}, {{1, 2, 3}, {1, 3, 4}},
                               {{inset, inset, radius}, {far, inset, radius}, {far, far, radius},
                                {inset, far, radius}},
                               1);
}

// The rectangle with one bar of the given radius at (50, 450), its domain
// built at (2, 4).
void addBeamWithOneBar(VelboModeler& modeler, double radius)
{
    addBeam(modeler, {{50.0, 450.0, radius}});
    ASSERT_TRUE(modeler.buildDomain(2, 4, false));
}

// What the cuts read: a refused cut leaves all of it as it was.
struct DomainState {
    VDouble fz, mx, my, bounds;
    explicit DomainState(const VelboModeler& m)
        : fz(m.fzVector()), mx(m.mxVector()), my(m.myVector()), bounds(m.domainBounding()) {}
    bool operator==(const DomainState& o) const
    {
        return fz == o.fz && mx == o.mx && my == o.my && bounds == o.bounds;
    }
};

class VelboModelerCuts : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Three bars of diameter 20 at 50 above the bottom face (y = 450)
        // and none at the top, so the uniform states carry a moment.
        addBeam(modeler, {{50.0, 450.0, 10.0}, {150.0, 450.0, 10.0}, {250.0, 450.0, 10.0}});
        ASSERT_TRUE(modeler.buildDomain(8, 20, false));
        bounds = modeler.domainBounding();
        points = pointsOf(modeler);
        capture.clear();
    }

    // The distinct single-precision points of the domain whose component
    // equals the value.
    std::vector<Triple> pointsAt(int component, float value) const
    {
        return domainPointsAt(points, 21, component, value);
    }

    StreamCapture capture;  // declared first: it outlives the facade
    VelboModeler modeler;
    VDouble bounds;
    std::vector<Triple> points;
};

TEST_F(VelboModelerCuts, CutAtEachBoundGivesTheDomainPointsOnIt)
{
    for (int b = 0; b < 6; ++b) {
        const int component = b / 2;
        SCOPED_TRACE(std::string(kCutNames[component]) + (b % 2 == 0 ? " at the minimum" : " at the maximum"));
        expectCutAtBound(modeler, capture, component, bounds[b], pointsAt(component, static_cast<float>(bounds[b])));
    }
}

TEST_F(VelboModelerCuts, CutsAtTheAxialBoundsGiveTheMomentOfTheBars)
{
    // Uniform tension and uniform compression in every direction: the bars'
    // force, +-3 As fyd, acts 200 below the barycentre of the concrete.
    for (int b = 0; b < 2; ++b) {
        const VFloat cut = cutOf(modeler, 0, bounds[b]);
        const double steel = 3.0 * 3.141592653589793 * 100.0 * 450.0 / 1.15;
        ASSERT_FALSE(cut.empty());
        for (const Triple& p : triplesOf(cut)) {
            EXPECT_NEAR(p[1], (b == 0 ? -200.0 : 200.0) * steel, 1e-6 * 200.0 * steel);
            EXPECT_NEAR(p[2], 0.0, 1e-9 * 200.0 * steel);
        }
    }
    EXPECT_EQ(capture.err(), "");
}

// ---------------------------------------------------------------------------
// The last point of the domain, uniform compression at 360 degrees

// At ratioDivision 1 the domain holds only the uniform states of each
// direction. In a square with a bar near each corner their moments are
// rounding noise about 0, and at some bounds only the 360-degree uniform
// compression lies there.
TEST(VelboModelerCutsAtTheLastPoint, ACutWhereOnlyTheLastPointLiesGivesThatPoint)
{
    struct Case {
        double side, inset, radius;
        int bound;  // index into domainBounding
    };
    const Case cases[] = {
        {300.0, 30.0, 10.0, 2},  // Mx min
        {400.0, 80.0, 12.0, 3},  // Mx max
        {300.0, 30.0, 10.0, 4},  // My min
        {400.0, 80.0, 12.0, 5},  // My max
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("square " + std::to_string(c.side) + ", bound " + std::to_string(c.bound));
        StreamCapture capture;
        VelboModeler modeler;
        addSquare(modeler, c.side, c.inset, c.radius);
        ASSERT_TRUE(modeler.buildDomain(1, 1, false));
        const int component = c.bound / 2;
        const double bound = modeler.domainBounding()[c.bound];
        const std::vector<Triple> points = pointsOf(modeler);
        // The case holds: the last point and no other lies on the bound.
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            ASSERT_NE(points[i][component], static_cast<float>(bound)) << i;
        ASSERT_EQ(points.back()[component], static_cast<float>(bound));

        capture.clear();
        const std::vector<Triple> cut = triplesOf(cutOf(modeler, component, bound));
        EXPECT_EQ(capture.err(), "");
        EXPECT_EQ(cut, std::vector<Triple>(3, points.back()));
    }
}

TEST(VelboModelerCutsAtTheLastPoint, EveryBoundOfAFamilyOfSquaresGivesItsPoints)
{
    // Every bound of these domains at (1, 1). The uniform compression of the
    // first and of the last direction often both lie on a moment bound, a
    // rounding apart, and the outline holds only the first direction's; at
    // other bounds only the last direction's lies there.
    for (const double side : {300.0, 400.0, 500.0, 600.0})
        for (const double fraction : {0.1, 0.2})
            for (const double radius : {8.0, 10.0, 12.0}) {
                SCOPED_TRACE("square " + std::to_string(side) + " inset " + std::to_string(fraction) + " radius " +
                             std::to_string(radius));
                StreamCapture capture;
                VelboModeler modeler;
                addSquare(modeler, side, fraction * side, radius);
                ASSERT_TRUE(modeler.buildDomain(1, 1, false));
                const VDouble bounds = modeler.domainBounding();
                const std::vector<Triple> points = pointsOf(modeler);
                for (int b = 0; b < 6; ++b) {
                    SCOPED_TRACE(b);
                    const int component = b / 2;
                    expectCutAtBound(modeler, capture, component, bounds[b],
                                     domainPointsAt(points, 2, component, static_cast<float>(bounds[b])));
                }
            }
}

// ---------------------------------------------------------------------------
// Values beyond the range of single precision

TEST(VelboModelerCutsBeyondFloats, ADomainBeyondTheFloatRangeIsNotCut)
{
    // Fz reaches 1.2e43 and the moments 2.5e45: finite doubles without a float.
    StreamCapture capture;
    VelboModeler modeler;
    addBeamWithOneBar(modeler, 1e20);
    const DomainState before(modeler);
    ASSERT_GT(before.bounds[1], 1e43);
    for (int component = 0; component < 3; ++component) {
        for (const double value : {0.0, 6e42, before.bounds[2 * component + 1]}) {
            SCOPED_TRACE(std::string(kCutNames[component]) + " at " + std::to_string(value));
            capture.clear();
            EXPECT_TRUE(cutOf(modeler, component, value).empty());
            EXPECT_EQ(capture.err(), "ERR: Cannot cut a domain whose points lie beyond the range of single "
                                     "precision\n");
            EXPECT_EQ(capture.log(), startLine(component));
        }
    }
    capture.clear();
    EXPECT_TRUE(DomainState(modeler) == before);
}

TEST_F(VelboModelerCuts, ACutValueBeyondTheFloatRangeIsRefused)
{
    const DomainState before(modeler);
    const double justAbove = std::nextafter(static_cast<double>(FLT_MAX), HUGE_VAL);
    for (const double value : {1e39, -1e39, justAbove, DBL_MAX, -DBL_MAX}) {
        for (int component = 0; component < 3; ++component) {
            SCOPED_TRACE(std::string(kCutNames[component]));
            std::ostringstream line;
            line << "ERR: Cannot cut the domain at " << value
                 << ": the value lies beyond the range of single precision\n";
            capture.clear();
            EXPECT_TRUE(cutOf(modeler, component, value).empty());
            EXPECT_EQ(capture.err(), line.str());
            EXPECT_EQ(capture.log(), startLine(component));
        }
    }
    // The largest float and the infinities have a float: they lie outside
    // the domain as before.
    const std::string rangeStart[] = {"xSlice < m_minX", "ySlice < m_minY", "zSlice < m_minZ"};
    for (const double value : {static_cast<double>(FLT_MAX), HUGE_VAL, -HUGE_VAL}) {
        for (int component = 0; component < 3; ++component) {
            capture.clear();
            EXPECT_TRUE(cutOf(modeler, component, value).empty());
            EXPECT_EQ(capture.err().rfind(rangeStart[component], 0), 0u) << capture.err();
        }
    }
    capture.clear();
    EXPECT_TRUE(DomainState(modeler) == before);
}

TEST(VelboModelerCutsBeyondFloats, ACutWhoseOutlineOverflowsIsRefused)
{
    // The points fit a float (Mx up to 2.2e38), but between points of
    // opposite sign the differences do not: the interpolation overflows.
    StreamCapture capture;
    VelboModeler modeler;
    addBeamWithOneBar(modeler, 3.7e16);
    const DomainState before(modeler);
    ASSERT_LT(before.bounds[3], FLT_MAX);
    ASSERT_GT(before.bounds[3], 2e38);
    for (int component = 0; component < 3; ++component) {
        SCOPED_TRACE(kCutNames[component]);
        capture.clear();
        EXPECT_TRUE(cutOf(modeler, component, 0.0).empty());
        EXPECT_EQ(capture.err(), "ERR: Cannot cut the domain at 0: the outline overflows single precision\n");
        EXPECT_EQ(capture.log(), startLine(component));

        // At a bound nothing is interpolated: the domain's points come back.
        capture.clear();
        const VFloat atBound = cutOf(modeler, component, before.bounds[2 * component]);
        EXPECT_FALSE(atBound.empty());
        EXPECT_TRUE(std::all_of(atBound.begin(), atBound.end(), [](float v) { return std::isfinite(v); }));
        EXPECT_EQ(capture.err(), "");
    }
    capture.clear();
    EXPECT_TRUE(DomainState(modeler) == before);
}

}  // namespace
