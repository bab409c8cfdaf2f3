#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "stream_capture.h"
#include "velbocore/velbomodeler.h"

// Cuts of the interaction domain at its bounds: the outline there is made of
// the domain's own points.

namespace {

using Triple = std::array<float, 3>;

// A 300 x 500 beam with three bars of diameter 20 at 50 above its bottom
// face (y = 450) and none at the top, so the uniform states carry a moment.
void addOneSidedBeam(VelboModeler& modeler)
{
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 300.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 300.0, 500.0));
    ASSERT_TRUE(modeler.addNode(4, 0.0, 500.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    ASSERT_TRUE(modeler.addTriangle(2, 1, 3, 4));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(modeler.addNode(5 + i, 50.0 + 100.0 * i, 450.0));
        ASSERT_TRUE(modeler.addCircle(1 + i, 5 + i, 10.0));
    }
}

std::vector<Triple> triplesOf(const VFloat& values)
{
    std::vector<Triple> triples;
    for (std::size_t k = 0; k + 2 < values.size(); k += 3)
        triples.push_back({values[k], values[k + 1], values[k + 2]});
    return triples;
}

class VelboModelerCuts : public ::testing::Test {
protected:
    void SetUp() override
    {
        addOneSidedBeam(modeler);
        ASSERT_TRUE(modeler.buildDomain(8, 20, false));
        bounds = modeler.domainBounding();
        const VDouble fz = modeler.fzVector();
        const VDouble mx = modeler.mxVector();
        const VDouble my = modeler.myVector();
        for (std::size_t i = 0; i < fz.size(); ++i)
            points.push_back({static_cast<float>(fz[i]), static_cast<float>(mx[i]), static_cast<float>(my[i])});
        capture.clear();
    }

    VFloat cutAt(int component, double value) const
    {
        switch (component) {
        case 0: return modeler.intersectAtXDir(value);
        case 1: return modeler.intersectAtYDir(value);
        default: return modeler.intersectAtZDir(value);
        }
    }

    // The distinct single-precision points of the domain whose component
    // equals the value, leaving out the last one (uniform compression at
    // 360 degrees, which repeats 0 degrees).
    std::vector<Triple> pointsAt(int component, float value) const
    {
        std::vector<Triple> found;
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            if (points[i][component] == value && std::find(found.begin(), found.end(), points[i]) == found.end())
                found.push_back(points[i]);
        return found;
    }

    StreamCapture capture;  // declared first: it outlives the facade
    VelboModeler modeler;
    VDouble bounds;
    std::vector<Triple> points;
};

TEST_F(VelboModelerCuts, CutAtEachBoundGivesTheDomainPointsOnIt)
{
    const char* const names[] = {"intersectAtXDir", "intersectAtYDir", "intersectAtZDir"};
    for (int b = 0; b < 6; ++b) {
        const int component = b / 2;
        SCOPED_TRACE(std::string(names[component]) + (b % 2 == 0 ? " at the minimum" : " at the maximum"));
        const float value = static_cast<float>(bounds[b]);
        capture.clear();
        const std::vector<Triple> cut = triplesOf(cutAt(component, bounds[b]));
        EXPECT_EQ(capture.err(), "");

        // Centre, the points, the first point again.
        ASSERT_GE(cut.size(), 3u);
        EXPECT_EQ(cut.back(), cut[1]);
        std::vector<Triple> ring(cut.begin() + 1, cut.end() - 1);
        std::vector<Triple> expected = pointsAt(component, value);
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
}

TEST_F(VelboModelerCuts, CutsAtTheAxialBoundsGiveTheMomentOfTheBars)
{
    // Uniform tension and uniform compression in every direction: the bars'
    // force, +-3 As fyd, acts 200 below the barycentre of the concrete.
    for (int b = 0; b < 2; ++b) {
        const VFloat cut = cutAt(0, bounds[b]);
        const double steel = 3.0 * 3.141592653589793 * 100.0 * 450.0 / 1.15;
        ASSERT_FALSE(cut.empty());
        for (const Triple& p : triplesOf(cut)) {
            EXPECT_NEAR(p[1], (b == 0 ? -200.0 : 200.0) * steel, 1e-6 * 200.0 * steel);
            EXPECT_NEAR(p[2], 0.0, 1e-9 * 200.0 * steel);
        }
    }
    EXPECT_EQ(capture.err(), "");
}

}  // namespace
