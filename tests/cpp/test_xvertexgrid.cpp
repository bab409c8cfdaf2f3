#include "velbocore/xvertexgrid.h"

#include "stream_capture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using Plane = XVertexGrid::DirPlane;
using Vertex = std::array<float, 3>;
using FreePoint = std::pair<float, float>;

static const float kNaN = std::numeric_limits<float>::quiet_NaN();
static const char* const kNoListsLine = "XVertexGrid::m_planeIintersect()-ERR: index lists not built !!!";

// Positions inside a triple of the cut coordinate and the two free ones.
struct Axes { int cut; int first; int second; };

static Axes axesOf(Plane plane)
{
    switch (plane) {
    case XVertexGrid::dp_XZ: return {1, 0, 2};
    case XVertexGrid::dp_XY: return {2, 0, 1};
    default: return {0, 1, 2};
    }
}

static Vertex compose(Plane plane, float cut, float first, float second)
{
    const Axes a = axesOf(plane);
    Vertex v{};
    v[a.cut] = cut;
    v[a.first] = first;
    v[a.second] = second;
    return v;
}

static XVertexGrid gridOf(unsigned int divR, unsigned int divS, const std::vector<Vertex>& vertices,
                          bool withLists = true)
{
    XVertexGrid grid(divR, divS);
    for (unsigned int i = 0; i < vertices.size(); ++i)
        grid.dataInsertAt(i, vertices[i][0], vertices[i][1], vertices[i][2]);
    if (withLists) {
        grid.toIndexRdir();
        grid.toIndexSdir();
    }
    return grid;
}

// A 2 x (n + 1) grid whose cut at 0 crosses exactly at the given free points,
// in the given order: line s runs from cut -1 to cut +1 at fixed free
// coordinates. The last line is never walked and repeats the first.
static XVertexGrid fanGrid(Plane plane, const std::vector<FreePoint>& crossings)
{
    std::vector<Vertex> vertices;
    for (const FreePoint& p : crossings) {
        vertices.push_back(compose(plane, -1.0f, p.first, p.second));
        vertices.push_back(compose(plane, 1.0f, p.first, p.second));
    }
    vertices.push_back(compose(plane, -1.0f, crossings[0].first, crossings[0].second));
    vertices.push_back(compose(plane, 1.0f, crossings[0].first, crossings[0].second));
    return gridOf(2, static_cast<unsigned int>(crossings.size() + 1), vertices);
}

static const unsigned int kBallDirections = 9;

// The vertices of a closed surface shaped like an interaction domain: divR
// points along the cut axis from -1 to 1 (a pole at each end, at the free
// coordinates of `pole`), 9 directions of which the last repeats the first,
// at 22.5 + 45 k degrees.
static std::vector<Vertex> ballVertices(Plane plane, unsigned int divR, FreePoint pole)
{
    std::vector<Vertex> vertices;
    for (unsigned int s = 0; s < kBallDirections; ++s) {
        const double theta = (22.5 + 45.0 * s) * 0.017453292519943295;
        for (unsigned int r = 0; r < divR; ++r) {
            const double c = -1.0 + 2.0 * r / (divR - 1);
            const double rho = std::sqrt(std::fmax(0.0, 1.0 - c * c));
            vertices.push_back(compose(plane, static_cast<float>(c),
                                       static_cast<float>(rho * std::cos(theta)) + pole.first,
                                       static_cast<float>(rho * std::sin(theta)) + pole.second));
        }
    }
    return vertices;
}

static XVertexGrid ballGrid(Plane plane, unsigned int divR = 5, FreePoint pole = {0.0f, 0.0f})
{
    return gridOf(divR, kBallDirections, ballVertices(plane, divR, pole));
}

static bool cut(XVertexGrid& grid, Plane plane, float value, unsigned int* nb, bool reord = true)
{
    switch (plane) {
    case XVertexGrid::dp_XZ: return grid.toVertexIntersecYdir(value, nb, reord);
    case XVertexGrid::dp_XY: return grid.toVertexIntersecZdir(value, nb, reord);
    default: return grid.toVertexIntersecXdir(value, nb, reord);
    }
}

static std::vector<float> polygon(const XVertexGrid& grid, Plane plane)
{
    switch (plane) {
    case XVertexGrid::dp_XZ: return grid.vertexIntersecYdir();
    case XVertexGrid::dp_XY: return grid.vertexIntersecZdir();
    default: return grid.vertexIntersecXdir();
    }
}

// The free coordinates of the crossing points of a polygon, without the
// centre and the closing copy.
static std::vector<FreePoint> ringOf(const std::vector<float>& poly, Plane plane)
{
    const Axes a = axesOf(plane);
    std::vector<FreePoint> ring;
    for (std::size_t k = 1; k + 1 < poly.size() / 3; ++k)
        ring.emplace_back(poly[3 * k + a.first], poly[3 * k + a.second]);
    return ring;
}

static const Plane kPlanes[] = {XVertexGrid::dp_YZ, XVertexGrid::dp_XZ, XVertexGrid::dp_XY};

// ---------------------------------------------------------------------------
// Vertices and index lists

TEST(XVertexGrid, StorageAndAddressing)
{
    XVertexGrid grid(3, 2);
    EXPECT_EQ(grid.countVertex(), 6u);
    EXPECT_EQ(grid.divisionR(), 3u);
    EXPECT_EQ(grid.divisionS(), 2u);
    EXPECT_EQ(grid.indexLinear(2, 1), 5u);
    EXPECT_EQ(grid.indexLinear(1, 0), 1u);
    for (unsigned int k = 0; k < 18; ++k)
        EXPECT_EQ(grid.valueAt(k), 0.0f);

    EXPECT_TRUE(grid.dataInsertAt(4, 1.5f, -2.5f, 3.5f));
    EXPECT_EQ(grid.valueAt(12), 1.5f);
    EXPECT_EQ(grid.valueAt(13), -2.5f);
    EXPECT_EQ(grid.valueAt(14), 3.5f);
    EXPECT_EQ(grid.toVertex()[13], -2.5f);

    // Nothing is written or read outside the vertex storage.
    EXPECT_FALSE(grid.dataInsertAt(6, 9.0f, 9.0f, 9.0f));
    EXPECT_TRUE(std::isnan(grid.valueAt(18)));
    float b[6];
    grid.calBounding(b, nullptr, nullptr, nullptr);
    EXPECT_EQ(b[1], 1.5f);

    struct Empty { unsigned int divR; unsigned int divS; };
    for (const Empty& e : {Empty{0, 4}, Empty{4, 0}, Empty{0, 0}}) {
        XVertexGrid none(e.divR, e.divS);
        EXPECT_EQ(none.countVertex(), 0u);
        EXPECT_EQ(none.countIndexQuadStrip(), 0u);
        none.toIndexQuadStrip();
        none.toIndexRdir();
    }
}

TEST(XVertexGrid, IndexListsOfAThreeByTwoGrid)
{
    XVertexGrid grid(3, 2);
    const unsigned int* rdir = grid.toIndexRdir();
    EXPECT_EQ(std::vector<unsigned int>(rdir, rdir + 6), (std::vector<unsigned int>{0, 1, 2, 3, 4, 5}));
    const unsigned int* sdir = grid.toIndexSdir();
    EXPECT_EQ(std::vector<unsigned int>(sdir, sdir + 6), (std::vector<unsigned int>{0, 3, 1, 4, 2, 5}));
    ASSERT_EQ(grid.countIndexQuadStrip(), 6u);
    const unsigned int* strip = grid.toIndexQuadStrip();
    EXPECT_EQ(std::vector<unsigned int>(strip, strip + 6), (std::vector<unsigned int>{0, 3, 1, 4, 2, 5}));

    XVertexGrid wide(2, 3);
    ASSERT_EQ(wide.countIndexQuadStrip(), 8u);
    strip = wide.toIndexQuadStrip();
    EXPECT_EQ(std::vector<unsigned int>(strip, strip + 8), (std::vector<unsigned int>{0, 2, 1, 3, 2, 4, 3, 5}));
    sdir = wide.toIndexSdir();
    EXPECT_EQ(std::vector<unsigned int>(sdir, sdir + 6), (std::vector<unsigned int>{0, 2, 4, 1, 3, 5}));
}

TEST(XVertexGrid, DoublesThatFitAFloat)
{
    const double largest = std::numeric_limits<float>::max();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case { double value; bool fits; };
    const Case cases[] = {
        {0.0, true}, {-largest, true}, {largest, true}, {1e-320, true},
        {inf, true}, {-inf, true}, {std::numeric_limits<double>::quiet_NaN(), true},
        {std::nextafter(largest, inf), false}, {-1e39, false}, {std::numeric_limits<double>::max(), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XVertexGrid::fitsFloat(c.value), c.fits) << c.value;
}

TEST(XVertexGrid, BoundsStartAtZeroAndIgnoreNaN)
{
    XVertexGrid grid(2, 2);
    grid.dataInsertAt(0, 2.0f, 3.0f, 4.0f);
    grid.dataInsertAt(1, kNaN, -1.0f, kNaN);
    float b[6];
    grid.calBounding(b, nullptr, nullptr, nullptr);
    const float expected[6] = {0.0f, 2.0f, -1.0f, 3.0f, 0.0f, 4.0f};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(b[k], expected[k]) << k;
}

// ---------------------------------------------------------------------------
// Cuts

TEST(XVertexGrid, CutWalksAllButTheLastLineOfEachDirection)
{
    // Vertex 2 -> 3 spans x = 0.5 but lies on the last line along the first
    // direction; the first walk only tests vertices 0 and 2, both at x = 0.
    XVertexGrid grid = gridOf(2, 2, {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {1, 1, 1}});
    unsigned int nb = 99;
    EXPECT_TRUE(grid.toVertexIntersecXdir(0.5f, &nb, true));
    EXPECT_EQ(nb, 3u);
    EXPECT_EQ(grid.vertexIntersecXdir(), (std::vector<float>{0.5f, 0, 0, 0.5f, 0, 0, 0.5f, 0, 0}));

    // Here the crossing lies on the first walk (vertex 0 -> 2); vertex 1 -> 3
    // is the last line along the second direction and is not walked.
    XVertexGrid other = gridOf(2, 2, {{0, 0, 0}, {0, 1, 0}, {1, 0, 1}, {1, 1, 1}});
    EXPECT_TRUE(other.toVertexIntersecXdir(0.5f, &nb, true));
    EXPECT_EQ(nb, 3u);
    EXPECT_EQ(other.vertexIntersecXdir(), (std::vector<float>{0.5f, 0, 0.5f, 0.5f, 0, 0.5f, 0.5f, 0, 0.5f}));
}

TEST(XVertexGrid, CrossingsComeInWalkOrderUnlessOrdered)
{
    // First walk (0 -> 2) crosses at (-1.5, -1.5), second walk (0 -> 1) at
    // (2.5, 2.5); the centre is their mean (0.5, 0.5).
    XVertexGrid grid = gridOf(2, 2, {{0, 0, 0}, {1, 5, 5}, {1, -3, -3}, {1, 9, 9}});
    unsigned int nb = 0;
    EXPECT_TRUE(grid.toVertexIntersecXdir(0.5f, &nb, false));
    EXPECT_EQ(nb, 4u);
    EXPECT_EQ(grid.vertexIntersecXdir(),
              (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f, -1.5f, -1.5f, 0.5f, 2.5f, 2.5f, 0.5f, -1.5f, -1.5f}));

    // By angle about the centre: (2.5, 2.5) at 45 degrees before (-1.5, -1.5) at 225.
    EXPECT_TRUE(grid.toVertexIntersecXdir(0.5f, nullptr, true));
    EXPECT_EQ(grid.vertexIntersecXdir(),
              (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f, 2.5f, 2.5f, 0.5f, -1.5f, -1.5f, 0.5f, 2.5f, 2.5f}));
    EXPECT_EQ(grid.sliceX_oY(), 0.5f);
    EXPECT_EQ(grid.sliceX_oZ(), 0.5f);
    EXPECT_EQ(grid.sliceX_minY(), -1.5f);
    EXPECT_EQ(grid.sliceX_maxY(), 2.5f);
    EXPECT_EQ(grid.sliceX_minZ(), -1.5f);
    EXPECT_EQ(grid.sliceX_maxZ(), 2.5f);
}

TEST(XVertexGrid, PolygonLayoutInEveryPlane)
{
    for (Plane plane : kPlanes) {
        SCOPED_TRACE(plane);
        XVertexGrid grid = ballGrid(plane);
        unsigned int nb = 0;
        ASSERT_TRUE(cut(grid, plane, 0.1f, &nb));
        const std::vector<float> poly = polygon(grid, plane);
        // Centre, one crossing per walked direction, closing copy.
        ASSERT_EQ(nb, 10u);
        ASSERT_EQ(poly.size(), 30u);

        const Axes a = axesOf(plane);
        EXPECT_EQ(poly[a.cut], 0.1f);
        EXPECT_NEAR(poly[a.first], 0.0f, 1e-6f);
        EXPECT_NEAR(poly[a.second], 0.0f, 1e-6f);
        for (std::size_t k = 1; k < 10; ++k)
            EXPECT_NEAR(poly[3 * k + a.cut], 0.1f, 1e-6f);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(poly[27 + c], poly[3 + c]);

        // Increasing angle about the centre, starting at 22.5 degrees.
        double previous = -1.0;
        for (const FreePoint& p : ringOf(poly, plane)) {
            double angle = std::atan2(p.second - poly[a.second], p.first - poly[a.first]);
            if (angle < 0)
                angle += 2 * M_PI;
            EXPECT_GT(angle, previous);
            previous = angle;
        }
        EXPECT_NEAR(previous, (22.5 + 7 * 45.0) * M_PI / 180.0, 1e-5);
    }
}

TEST(XVertexGrid, CutsInDifferentDirectionsAreIndependent)
{
    XVertexGrid grid = ballGrid(XVertexGrid::dp_YZ);
    ASSERT_TRUE(grid.toVertexIntersecXdir(0.1f, nullptr, true));
    const std::vector<float> first = grid.vertexIntersecXdir();

    StreamCapture capture;
    grid.toVertexIntersecYdir(0.1f, nullptr, true);
    grid.toVertexIntersecZdir(5.0f, nullptr, true);
    EXPECT_EQ(grid.vertexIntersecXdir(), first);

    // A second cut in the same direction replaces the first.
    ASSERT_TRUE(grid.toVertexIntersecXdir(-0.6f, nullptr, true));
    EXPECT_NE(grid.vertexIntersecXdir(), first);
    EXPECT_EQ(grid.vertexIntersecXdir()[0], -0.6f);
}

TEST(XVertexGrid, CutsInsideTheBoundsThatFindNoCrossing)
{
    struct Case { const char* what; std::vector<Vertex> vertices; unsigned int divR; float value; };
    const Case cases[] = {
        // Every x is at least 1, but the bounds start at 0, so 0.5 is in range.
        {"below every vertex", {{1, 0, 0}, {2, 0, 0}, {1, 1, 1}, {2, 1, 1}}, 2, 0.5f},
        // A vertex exactly on a plane inside the bounds is crossed by no segment.
        {"through inner vertices",
         {{0, 0, 0}, {0.5f, 1, 2}, {1, 0, 0}, {0, 3, 3}, {0.5f, 4, 5}, {1, 3, 3}}, 3, 0.5f},
    };
    for (const Case& c : cases) {
        XVertexGrid grid = gridOf(c.divR, 2, c.vertices);
        unsigned int nb = 0;
        StreamCapture capture;
        EXPECT_TRUE(grid.toVertexIntersecXdir(c.value, &nb, true)) << c.what;
        EXPECT_EQ(nb, 1u) << c.what;
        EXPECT_EQ(grid.vertexIntersecXdir(), (std::vector<float>{c.value, 0, 0})) << c.what;
        EXPECT_EQ(capture.err(), "") << c.what;
    }
}

// A flat face at x = 1 (and one at x = -1) whose vertices are the compass
// points, in this order along the second direction.
static XVertexGrid compassFan(Plane plane)
{
    return fanGrid(plane, {{-1, 0}, {0, -1}, {1, 1}, {0, 1}, {1, -1}, {-1, -1}, {1, 0}, {-1, 1}});
}

TEST(XVertexGrid, CutAtABoundGivesTheVerticesOnThePlane)
{
    const std::vector<FreePoint> byAngle{{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    struct Case {
        const char* what;
        XVertexGrid (*make)(Plane);
        float value;
        FreePoint centre;
        std::vector<FreePoint> ring;
    };
    const Case cases[] = {
        // Every direction meets at the pole: one point, taken once.
        {"the lower pole", [](Plane p) { return ballGrid(p, 5, {2, -3}); }, -1.0f, {2, -3}, {{2, -3}}},
        {"the upper pole", [](Plane p) { return ballGrid(p, 5, {2, -3}); }, 1.0f, {2, -3}, {{2, -3}}},
        // A flat face: its vertices by angle about their mean.
        {"the upper face", compassFan, 1.0f, {0, 0}, byAngle},
        // The last line repeats the first vertex of the face: it is not taken twice.
        {"the lower face", compassFan, -1.0f, {0, 0}, byAngle},
    };
    for (const Case& c : cases) {
        for (Plane plane : kPlanes) {
            SCOPED_TRACE(std::string(c.what) + " plane " + std::to_string(plane));
            XVertexGrid grid = c.make(plane);
            unsigned int nb = 0;
            StreamCapture capture;
            ASSERT_TRUE(cut(grid, plane, c.value, &nb));
            EXPECT_EQ(capture.err(), "");
            const std::vector<float> poly = polygon(grid, plane);
            const Vertex centre = compose(plane, c.value, c.centre.first, c.centre.second);
            EXPECT_EQ(std::vector<float>(poly.begin(), poly.begin() + 3),
                      std::vector<float>(centre.begin(), centre.end()));
            EXPECT_EQ(ringOf(poly, plane), c.ring);
            const Axes a = axesOf(plane);
            for (std::size_t k = 1; k < poly.size() / 3; ++k)
                EXPECT_EQ(poly[3 * k + a.cut], c.value);
            EXPECT_EQ(std::vector<float>(poly.end() - 3, poly.end()),
                      std::vector<float>(poly.begin() + 3, poly.begin() + 6));
            EXPECT_EQ(nb, c.ring.size() + 2);
        }
    }

    // The last vertex repeats vertex 1, the end of the first line, and is
    // left out while that one is on the plane: at x = 1 only vertex 1 remains.
    XVertexGrid grid = gridOf(2, 2, {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {1, 1, 1}});
    unsigned int nb = 0;
    EXPECT_TRUE(grid.toVertexIntersecXdir(1.0f, &nb, true));
    EXPECT_EQ(grid.vertexIntersecXdir(), (std::vector<float>{1, 0, 0, 1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(nb, 3u);
    EXPECT_TRUE(grid.toVertexIntersecXdir(0.0f, &nb, true));
    EXPECT_EQ(grid.vertexIntersecXdir(), (std::vector<float>{0, 0.5f, 0.5f, 0, 1, 1, 0, 0, 0, 0, 1, 1}));
    EXPECT_EQ(nb, 4u);
    // The ranges and the centre are those of the vertices taken.
    EXPECT_EQ(grid.sliceX_minY(), 0.0f);
    EXPECT_EQ(grid.sliceX_maxY(), 1.0f);
    EXPECT_EQ(grid.sliceX_minZ(), 0.0f);
    EXPECT_EQ(grid.sliceX_maxZ(), 1.0f);
    EXPECT_EQ(grid.sliceX_oY(), 0.5f);
    EXPECT_EQ(grid.sliceX_oZ(), 0.5f);

    // Unordered, the vertices come in index order.
    XVertexGrid unordered = gridOf(2, 2, {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {1, 1, 1}});
    EXPECT_TRUE(unordered.toVertexIntersecXdir(0.0f, &nb, false));
    EXPECT_EQ(unordered.vertexIntersecXdir(),
              (std::vector<float>{0, 0.5f, 0.5f, 0, 0, 0, 0, 1, 1, 0, 0, 0}));
}

TEST(XVertexGrid, CutAtABoundTakesTheLastVertexWhereTheOneItRepeatsIsOff)
{
    // The last vertex ends the last line, which repeats the first: it stands
    // for the end of the first line (vertex divR - 1), and rounding can leave
    // either of the two alone on a bound. The ball's lines end at the pole
    // (2, -3), at 1 on the cut axis, or at -1 with the cut axis turned over.
    const unsigned int divR = 5;
    const unsigned int last = divR * kBallDirections - 1;
    const unsigned int otherEnd = divR * 5 - 1;  // the end of the line at 202.5 degrees
    struct Arrangement {
        const char* what;
        bool pastPole;         // the last vertex one float step outwards
        FreePoint lastAt;      // and at these free coordinates
        bool otherEndMoves;    // another end goes with it, to (1.5, -3)
        FreePoint centre;
        std::vector<FreePoint> ring;
    };
    const Arrangement arrangements[] = {
        // Alone on the bound, which is its own: it is the outline.
        {"alone", true, {2.5f, -3}, false, {2.5f, -3}, {{2.5f, -3}}},
        // Beside the end it repeats, a rounding apart: that end stands for both.
        {"beside its repeat", false, {2, std::nextafter(-3.0f, 0.0f)}, false, {2, -3}, {{2, -3}}},
        // With another end, the one it repeats off the bound: both, about their mean.
        {"with another end", true, {2.5f, -3}, true, {2, -3}, {{2.5f, -3}, {1.5f, -3}}},
    };
    for (const Arrangement& arrangement : arrangements) {
        for (const float end : {1.0f, -1.0f}) {
            for (Plane plane : kPlanes) {
                SCOPED_TRACE(std::string(arrangement.what) + (end > 0 ? " at the maximum" : " at the minimum") +
                             " plane " + std::to_string(plane));
                const Axes a = axesOf(plane);
                std::vector<Vertex> vertices = ballVertices(plane, divR, {2, -3});
                for (Vertex& v : vertices)
                    v[a.cut] *= end;
                const float bound = arrangement.pastPole ? std::nextafter(end, 2.0f * end) : end;
                vertices[last] = compose(plane, bound, arrangement.lastAt.first, arrangement.lastAt.second);
                if (arrangement.otherEndMoves)
                    vertices[otherEnd] = compose(plane, bound, 1.5f, -3);
                XVertexGrid grid = gridOf(divR, kBallDirections, vertices);

                unsigned int nb = 0;
                StreamCapture capture;
                const bool done = cut(grid, plane, bound, &nb);
                EXPECT_EQ(capture.err(), "");
                EXPECT_TRUE(done);
                if (!done)
                    continue;
                const std::vector<float> poly = polygon(grid, plane);
                const Vertex centre = compose(plane, bound, arrangement.centre.first, arrangement.centre.second);
                EXPECT_EQ(std::vector<float>(poly.begin(), poly.begin() + 3),
                          std::vector<float>(centre.begin(), centre.end()));
                EXPECT_EQ(ringOf(poly, plane), arrangement.ring);
                for (std::size_t k = 1; k < poly.size() / 3; ++k)
                    EXPECT_EQ(poly[3 * k + a.cut], bound);
                EXPECT_EQ(std::vector<float>(poly.end() - 3, poly.end()),
                          std::vector<float>(poly.begin() + 3, poly.begin() + 6));
                EXPECT_EQ(nb, arrangement.ring.size() + 2);
            }
        }
    }
}

TEST(XVertexGrid, CutAtABoundWithNoVertexOnItFails)
{
    // Every cut coordinate is at least 1: the bound 0 comes from the start of
    // the bounds, and no vertex lies there.
    struct Case { Plane plane; const char* line; };
    const Case cases[] = {
        {XVertexGrid::dp_YZ, "xSlice on a bound with no vertex on it xSlice=(0) m_minX=(0) m_maxX=(2)\n"},
        {XVertexGrid::dp_XZ, "ySlice on a bound with no vertex on it ySlice=(0) m_minY=(0) m_maxY=(2)\n"},
        {XVertexGrid::dp_XY, "zSlice on a bound with no vertex on it zSlice=(0) m_minZ=(0) m_maxZ=(2)\n"},
    };
    for (const Case& c : cases) {
        XVertexGrid grid = gridOf(2, 2, {compose(c.plane, 1, 0, 0), compose(c.plane, 2, 0, 0),
                                         compose(c.plane, 1, 1, 1), compose(c.plane, 2, 1, 1)});
        unsigned int nb = 99;
        StreamCapture capture;
        EXPECT_FALSE(cut(grid, c.plane, 0.0f, &nb));
        EXPECT_EQ(capture.err(), c.line);
        EXPECT_EQ(nb, 0u);
        EXPECT_EQ(polygon(grid, c.plane), std::vector<float>()) << c.line;
    }
}

// ---------------------------------------------------------------------------
// Ordering by polar angle

TEST(XVertexGrid, OrdersCrossingsByPolarAngle)
{
    struct Case {
        const char* what;
        std::vector<FreePoint> walked;
        std::vector<FreePoint> ordered;
    };
    const Case cases[] = {
        {"the eight compass points, straight left at pi between above and below",
         {{-1, 0}, {0, -1}, {1, 1}, {0, 1}, {1, -1}, {-1, -1}, {1, 0}, {-1, 1}},
         {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}}},
        {"a point at the centre sorts at pi/2",
         {{-1, -1}, {0, 0}, {1, 1}},
         {{1, 1}, {0, 0}, {-1, -1}}},
        {"equal angles swap when the orientation is negative",
         {{1, 1e-8f}, {2, 1e-8f}, {-1.5f, -1e-8f}, {-1.5f, -1e-8f}},
         {{2, 1e-8f}, {1, 1e-8f}, {-1.5f, -1e-8f}, {-1.5f, -1e-8f}}},
        {"equal angles keep their order otherwise",
         {{2, 1e-8f}, {1, 1e-8f}, {-1.5f, -1e-8f}, {-1.5f, -1e-8f}},
         {{2, 1e-8f}, {1, 1e-8f}, {-1.5f, -1e-8f}, {-1.5f, -1e-8f}}},
    };
    for (const Case& c : cases) {
        for (Plane plane : kPlanes) {
            XVertexGrid grid = fanGrid(plane, c.walked);
            unsigned int nb = 0;
            ASSERT_TRUE(cut(grid, plane, 0.0f, &nb)) << c.what;
            const std::vector<float> poly = polygon(grid, plane);
            const Axes a = axesOf(plane);
            EXPECT_EQ(poly[a.first], 0.0f) << c.what;   // the centre is exact here
            EXPECT_EQ(poly[a.second], 0.0f) << c.what;
            EXPECT_EQ(ringOf(poly, plane), c.ordered) << c.what << " plane " << plane;
            EXPECT_EQ(nb, c.walked.size() + 2) << c.what;
        }
    }
}

// ---------------------------------------------------------------------------
// Failures

TEST(XVertexGrid, OutOfRangeCutWritesItsLine)
{
    struct Case { Plane plane; float value; const char* line; std::size_t left; };
    const Case cases[] = {
        {XVertexGrid::dp_YZ, 2.5f, "xSlice < m_minX || xSlice > m_maxX xSlice=(2.5) m_minX=(0) m_maxX=(1)\n", 3},
        {XVertexGrid::dp_YZ, -0.25f, "xSlice < m_minX || xSlice > m_maxX xSlice=(-0.25) m_minX=(0) m_maxX=(1)\n", 3},
        {XVertexGrid::dp_XZ, 1234567.0f, "ySlice < m_minY || ySlice > m_maxY ySlice=(1.23457e+06) m_minY=(-2) m_maxY=(3)\n", 0},
        {XVertexGrid::dp_XY, 0.1f, "zSlice < m_minZ || zSlice > m_maxZ zSlice=(0.1) m_minZ=(0) m_maxZ=(0)\n", 3},
        // A value that is not a number lies in no range.
        {XVertexGrid::dp_YZ, kNaN, "xSlice < m_minX || xSlice > m_maxX xSlice=(nan) m_minX=(0) m_maxX=(1)\n", 3},
        {XVertexGrid::dp_XZ, kNaN, "ySlice < m_minY || ySlice > m_maxY ySlice=(nan) m_minY=(-2) m_maxY=(3)\n", 0},
        {XVertexGrid::dp_XY, kNaN, "zSlice < m_minZ || zSlice > m_maxZ zSlice=(nan) m_minZ=(0) m_maxZ=(0)\n", 3},
    };
    for (const Case& c : cases) {
        XVertexGrid grid = gridOf(2, 2, {{0, -2, 0}, {1, 3, 0}, {1, 0, 0}, {0.5f, 0, 0}});
        unsigned int nb = 99;
        StreamCapture capture;
        EXPECT_FALSE(cut(grid, c.plane, c.value, &nb));
        EXPECT_EQ(capture.err(), c.line);
        EXPECT_EQ(capture.out(), "");
        EXPECT_EQ(capture.log(), "");
        EXPECT_EQ(nb, 0u);
        // X and Z keep their centre placeholder, Y keeps nothing.
        EXPECT_EQ(polygon(grid, c.plane), std::vector<float>(c.left, 0.0f)) << c.line;
    }
}

TEST(XVertexGrid, FailedCutClearsRangesButKeepsTheCentre)
{
    XVertexGrid grid = gridOf(2, 2, {{0, 0, 0}, {1, 5, 5}, {1, -3, -3}, {1, 9, 9}});
    ASSERT_TRUE(grid.toVertexIntersecXdir(0.5f, nullptr, true));
    ASSERT_EQ(grid.sliceX_maxY(), 2.5f);

    StreamCapture capture;
    EXPECT_FALSE(grid.toVertexIntersecXdir(3.0f, nullptr, true));
    EXPECT_EQ(grid.sliceX_minY(), 0.0f);
    EXPECT_EQ(grid.sliceX_maxY(), 0.0f);
    EXPECT_EQ(grid.sliceX_minZ(), 0.0f);
    EXPECT_EQ(grid.sliceX_maxZ(), 0.0f);
    EXPECT_EQ(grid.sliceX_oY(), 0.5f);
    EXPECT_EQ(grid.sliceX_oZ(), 0.5f);
    EXPECT_EQ(grid.vertexIntersecXdir(), (std::vector<float>{0, 0, 0}));
}

TEST(XVertexGrid, CutBeforeTheIndexListsAreBuilt)
{
    struct Case { Plane plane; std::vector<float> left; };
    const Case cases[] = {
        {XVertexGrid::dp_YZ, {0.5f, 0, 0}},
        {XVertexGrid::dp_XZ, {0, 0.5f, 0}},
        {XVertexGrid::dp_XY, {0, 0, 0.5f}},
    };
    for (const Case& c : cases) {
        XVertexGrid grid = gridOf(2, 2, {{1, 1, 1}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}}, false);
        unsigned int nb = 99;
        StreamCapture capture;
        EXPECT_FALSE(cut(grid, c.plane, 0.5f, &nb));
        EXPECT_EQ(capture.err(), kNoListsLine);
        EXPECT_EQ(nb, 0u);
        EXPECT_EQ(polygon(grid, c.plane), c.left);
    }

    // One list is not enough.
    XVertexGrid grid = gridOf(2, 2, {{1, 1, 1}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}}, false);
    grid.toIndexRdir();
    StreamCapture capture;
    EXPECT_FALSE(grid.toVertexIntersecXdir(0.5f, nullptr, true));
    EXPECT_EQ(capture.err(), kNoListsLine);
}

// ---------------------------------------------------------------------------
// Point checks and the outline as two lists

TEST(XVertexGrid, PointChecksAgainstTheOutline)
{
    const double dir = 30.0 * 0.017453292519943295;
    const float ca = static_cast<float>(std::cos(dir));
    const float sa = static_cast<float>(std::sin(dir));
    struct Case { const char* what; float scale; bool inside; };
    const Case cases[] = {
        {"inside", 0.2f, true},
        {"outside", 2.0f, false},
    };
    for (Plane plane : kPlanes) {
        const XVertexGrid grid = ballGrid(plane);
        for (const Case& c : cases) {
            const Vertex p = compose(plane, 0.1f, c.scale * ca, c.scale * sa);
            float checkMin = 99.0f;
            float checkMax = 99.0f;
            bool check = !c.inside;
            bool ok = false;
            switch (plane) {
            case XVertexGrid::dp_XZ: ok = grid.checkYdir(p[0], p[1], p[2], &checkMin, &checkMax, &check); break;
            case XVertexGrid::dp_XY: ok = grid.checkZdir(p[0], p[1], p[2], &checkMin, &checkMax, &check); break;
            default: ok = grid.checkXdir(p[0], p[1], p[2], &checkMin, &checkMax, &check); break;
            }
            ASSERT_TRUE(ok) << c.what << " plane " << plane;
            EXPECT_EQ(check, c.inside) << c.what << " plane " << plane;
            // The outline is met at checkMin * P and checkMax * P, on both sides of the origin.
            EXPECT_LT(checkMin, 0.0f) << c.what;
            if (c.inside) {
                EXPECT_GT(checkMax, 1.0f);
            } else {
                EXPECT_GT(checkMax, 0.0f);
                EXPECT_LT(checkMax, 1.0f);
            }
            const float radius = checkMax * c.scale;
            EXPECT_GT(radius, 0.9f) << c.what;
            EXPECT_LT(radius, 1.0f) << c.what;
            EXPECT_NEAR(checkMin, -checkMax, 1e-4f) << c.what;
        }
    }
}

TEST(XVertexGrid, PointCheckSpecialCases)
{
    const XVertexGrid grid = ballGrid(XVertexGrid::dp_XY);
    float checkMin = 99.0f;
    float checkMax = 99.0f;
    bool check = true;

    // Outside the z bounds: a success with nothing found, whatever y is.
    EXPECT_TRUE(grid.checkZdir(0.0f, 0.1f, 1.5f, &checkMin, &checkMax, &check));
    EXPECT_EQ(checkMin, 0.0f);
    EXPECT_EQ(checkMax, 0.0f);
    EXPECT_FALSE(check);

    // With x = 0 the line is the y axis: the ratios are 0/0 and y decides.
    check = false;
    EXPECT_TRUE(grid.checkZdir(0.0f, 0.3f, 0.1f, &checkMin, &checkMax, &check));
    EXPECT_TRUE(std::isnan(checkMin));
    EXPECT_TRUE(std::isnan(checkMax));
    EXPECT_TRUE(check);
    EXPECT_TRUE(grid.checkZdir(0.0f, 3.0f, 0.1f, &checkMin, &checkMax, &check));
    EXPECT_FALSE(check);

    // An axis-aligned square: the line through (1, 0.5) meets its vertical sides
    // at (-2, -1) and (2, 1).
    const XVertexGrid square = fanGrid(XVertexGrid::dp_YZ, {{2, 2}, {-2, 2}, {-2, -2}, {2, -2}});
    check = false;
    EXPECT_TRUE(square.checkXdir(0.5f, 1.0f, 0.5f, &checkMin, &checkMax, &check));
    EXPECT_EQ(checkMin, -2.0f);
    EXPECT_EQ(checkMax, 2.0f);
    EXPECT_TRUE(check);

    // Exactly at a pole nothing is crossed: a failure.
    check = true;
    EXPECT_FALSE(grid.checkZdir(0.1f, 0.1f, 1.0f, &checkMin, &checkMax, &check));
    EXPECT_EQ(checkMin, 0.0f);
    EXPECT_EQ(checkMax, 0.0f);
    EXPECT_FALSE(check);

    // Without index lists: the walk's line and a failure.
    const XVertexGrid bare = gridOf(2, 2, {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {1, 1, 1}}, false);
    StreamCapture capture;
    check = true;
    EXPECT_FALSE(bare.checkXdir(0.5f, 0.1f, 0.1f, &checkMin, &checkMax, &check));
    EXPECT_FALSE(check);
    EXPECT_EQ(capture.err(), kNoListsLine);
}

TEST(XVertexGrid, GridIntersectGivesTheOrderedOutline)
{
    const XVertexGrid grid = fanGrid(XVertexGrid::dp_XZ, {{-1, 0}, {0, 2}, {1, 0}, {0, -2}});
    std::vector<double> xs{42.0};
    std::vector<double> zs;
    float min2 = 9, max2 = 9, min3 = 9, max3 = 9, o2 = 9, o3 = 9;
    unsigned int nb = 0;
    ASSERT_TRUE(grid.gridIntersect(XVertexGrid::dp_XZ, 0.0f, xs, zs, &min2, &max2, &min3, &max3, &o2, &o3, &nb));
    // No centre and no closing copy.
    EXPECT_EQ(xs, (std::vector<double>{1, 0, -1, 0}));
    EXPECT_EQ(zs, (std::vector<double>{0, 2, 0, -2}));
    EXPECT_EQ(nb, 4u);
    EXPECT_EQ(min2, -1.0f);
    EXPECT_EQ(max2, 1.0f);
    EXPECT_EQ(min3, -2.0f);
    EXPECT_EQ(max3, 2.0f);
    EXPECT_EQ(o2, 0.0f);
    EXPECT_EQ(o3, 0.0f);

    // Every output may be left out.
    EXPECT_TRUE(grid.gridIntersect(XVertexGrid::dp_XZ, 0.5f, xs, zs,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(xs.size(), 4u);

    // A plane the surface does not reach leaves the lists alone; no range test is made.
    StreamCapture capture;
    EXPECT_FALSE(grid.gridIntersect(XVertexGrid::dp_XZ, 7.0f, xs, zs, &min2, &max2, &min3, &max3, &o2, &o3, &nb));
    EXPECT_EQ(xs, (std::vector<double>{1, 0, -1, 0}));
    EXPECT_EQ(nb, 0u);
    EXPECT_EQ(min2, 0.0f);
    EXPECT_EQ(o3, 0.0f);
    EXPECT_EQ(capture.err(), "");
}

// ---------------------------------------------------------------------------
// Bounding computations

TEST(XVertexGrid, BoundingBoxAndScales)
{
    XVertexGrid grid = gridOf(2, 1, {{-1, 0, 0}, {1, 4, -6}});
    float b[6];
    float sx = 0, sy = 0, sz = 0;
    grid.calBounding(b, &sx, &sy, &sz);
    const float expected[6] = {-1, 1, 0, 4, -6, 0};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(b[k], expected[k]) << k;
    EXPECT_EQ(sx, 2.0f);
    EXPECT_EQ(sy, 1.0f);
    EXPECT_EQ(sz, static_cast<float>(4.0 / 6.0));

    // A flat axis gives an infinite scale, not an error.
    XVertexGrid flat = gridOf(1, 1, {{2, 2, 0}});
    flat.calBounding(b, &sx, &sy, &sz);
    EXPECT_TRUE(std::isinf(sz));
}

TEST(XVertexGrid, BoundingRadiusAndCentres)
{
    struct Case { std::array<float, 6> box; std::array<float, 3> scale; float radius; };
    const Case cases[] = {
        {{0, 3, 0, 4, 0, 0}, {1, 1, 1}, 2.5f},
        {{0, 3, 0, 4, 0, 0}, {2, 2, 2}, 5.0f},
        {{-1, 1, -1, 1, -1, 1}, {1, 1, 1}, static_cast<float>(std::sqrt(3.0))},
        {{0, 0, 0, 0, 0, 0}, {1, 1, 1}, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XVertexGrid::calBoundingRadius(c.box.data(), c.scale[0], c.scale[1], c.scale[2]), c.radius);

    const float box[6] = {0, 4, -2, 6, 1, 2};
    float centre[3];
    XVertexGrid::calBoundingCentroid(centre, box, 1.0f, 2.0f, 0.5f);
    EXPECT_EQ(centre[0], 2.0f);
    EXPECT_EQ(centre[1], 4.0f);
    EXPECT_EQ(centre[2], 0.75f);

    const XVertexGrid grid = gridOf(2, 2, {{0, 0, 0}, {2, 4, 8}, {4, 0, 0}, {2, 4, 4}});
    grid.calCentroid(centre, 1.0f, 0.5f, 2.0f);
    EXPECT_EQ(centre[0], 2.0f);
    EXPECT_EQ(centre[1], 1.0f);
    EXPECT_EQ(centre[2], 6.0f);

    const XVertexGrid none(0, 3);
    none.calCentroid(centre, 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(std::isnan(centre[0]));
}
