#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "stream_capture.h"
#include "velbocore/velboareaproperties.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbonode2d.h"

namespace {

constexpr double kPi = 3.141592653589793;
const std::string kNoCurrent = "ERR: None model current yet.\n";

bool allZero(const VelboAreaProperties& p)
{
    return p.area() == 0.0 && p.sx() == 0.0 && p.sy() == 0.0 && p.ixx() == 0.0 && p.iyy() == 0.0 &&
           p.ixy() == 0.0 && p.ixxy() == 0.0 && p.ixxx() == 0.0;
}

bool isDefaultNode(const VelboNode2D& n) { return n.id() == 0 && n.xn() == 0.0 && n.yn() == 0.0; }

// ---------------------------------------------------------------------------
// No current model

TEST(VelboModelerProperties, EveryMethodChecksTheCurrentModel)
{
    VelboModeler modeler;
    StreamCapture capture;
    struct Case {
        std::string name;
        std::function<bool()> failsAsExpected;
    };
    const Case cases[] = {
        {"calcSolidBarycenter", [&] { return isDefaultNode(modeler.calcSolidBarycenter()); }},
        {"calcPointBarycenter(true)", [&] { return isDefaultNode(modeler.calcPointBarycenter(true)); }},
        {"calcPointBarycenter(false)", [&] { return isDefaultNode(modeler.calcPointBarycenter(false)); }},
        {"calcIdealBarycenter", [&] { return isDefaultNode(modeler.calcIdealBarycenter()); }},
        {"calcSolidAreaProperties", [&] { return allZero(modeler.calcSolidAreaProperties()); }},
        {"calcPointAreaProperties", [&] { return allZero(modeler.calcPointAreaProperties()); }},
        {"calcIdealAreaProperties", [&] { return allZero(modeler.calcIdealAreaProperties()); }},
        {"setNCoeff", [&] { return !modeler.setNCoeff(15.0f); }},
        {"nCoeff", [&] { return modeler.nCoeff() == 0.0f; }},
        {"calcSolidArea", [&] { return modeler.calcSolidArea() == 0.0; }},
        {"calcPointArea", [&] { return modeler.calcPointArea() == 0.0; }},
        {"calcIdealArea", [&] { return modeler.calcIdealArea() == 0.0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.failsAsExpected());
        EXPECT_EQ(capture.err(), kNoCurrent);
        EXPECT_EQ(capture.log(), "");
        EXPECT_EQ(capture.out(), "");
        capture.clear();
    }
}

// ---------------------------------------------------------------------------
// The homogenisation coefficient

TEST(VelboModelerProperties, EachModelKeepsItsOwnCoefficient)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addSection(2));
    EXPECT_EQ(modeler.nCoeff(), 1.0f);
    EXPECT_TRUE(modeler.setNCoeff(15.0f));
    EXPECT_EQ(modeler.nCoeff(), 15.0f);
    ASSERT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(modeler.nCoeff(), 1.0f);
    for (const float n : {0.0f, -2.5f}) {
        EXPECT_TRUE(modeler.setNCoeff(n));
        EXPECT_EQ(modeler.nCoeff(), n);
    }
    ASSERT_TRUE(modeler.setCurrent(2));
    EXPECT_EQ(modeler.nCoeff(), 15.0f);
}

TEST(VelboModelerProperties, SetNCoeffRefusesAValueThatIsNotFinite)
{
    const float big = std::numeric_limits<float>::max();
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addCircle(1, 1, 10.0));
    ASSERT_TRUE(modeler.setNCoeff(15.0f));
    const double area = modeler.calcIdealArea();
    StreamCapture capture;
    // A double past the float range reaches the facade as an infinity.
    for (const float n : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), big * 2.0f}) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(modeler.setNCoeff(n));
        EXPECT_EQ(capture.err(), "ERR: Cannot set n coefficient not finite\n");
        EXPECT_EQ(capture.log() + capture.out(), "");
        capture.clear();
        EXPECT_EQ(modeler.nCoeff(), 15.0f);
        EXPECT_EQ(modeler.calcIdealArea(), area);
    }
    // The largest float is a number like any other.
    EXPECT_TRUE(modeler.setNCoeff(big));
    EXPECT_EQ(modeler.nCoeff(), big);
    EXPECT_EQ(capture.err(), "");
}

TEST(VelboModelerProperties, ModelWithoutElementsGivesZerosAndNaNsSilently)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    StreamCapture capture;
    EXPECT_EQ(modeler.calcSolidArea(), 0.0);
    EXPECT_EQ(modeler.calcPointArea(), 0.0);
    EXPECT_EQ(modeler.calcIdealArea(), 0.0);
    EXPECT_TRUE(allZero(modeler.calcIdealAreaProperties()));
    const VelboNode2D g = modeler.calcSolidBarycenter();
    EXPECT_TRUE(std::isnan(g.xn()));
    EXPECT_TRUE(std::isnan(g.yn()));
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST(VelboModelerProperties, TrianglesOnlyHaveNoBars)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 3.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 0.0, 6.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    ASSERT_TRUE(modeler.setNCoeff(15.0f));
    StreamCapture capture;

    EXPECT_EQ(modeler.calcPointArea(), 0.0);
    EXPECT_EQ(modeler.calcSolidArea(), 9.0);
    EXPECT_EQ(modeler.calcIdealArea(), 9.0);
    const VelboNode2D bars = modeler.calcPointBarycenter(true);
    EXPECT_TRUE(std::isnan(bars.xn()));
    EXPECT_TRUE(std::isnan(bars.yn()));
    const VelboNode2D solid = modeler.calcSolidBarycenter();
    const VelboNode2D ideal = modeler.calcIdealBarycenter();
    EXPECT_EQ(solid.xn(), 1.0);
    EXPECT_EQ(solid.yn(), 2.0);
    EXPECT_EQ(ideal.xn(), solid.xn());
    EXPECT_EQ(ideal.yn(), solid.yn());
    EXPECT_EQ(solid.id(), 0);
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

// ---------------------------------------------------------------------------
// A 300 x 500 rectangle of two triangles with four bars of radius 10 at
// 40 from each side; integrals about the origin at its lower left corner.

class VelboModelerRectangle : public ::testing::Test {
protected:
    static constexpr double b = 300.0;
    static constexpr double h = 500.0;
    static constexpr double r = 10.0;
    static constexpr float n = 15.0f;

    void SetUp() override
    {
        ASSERT_TRUE(modeler.addSection(1));
        ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
        ASSERT_TRUE(modeler.addNode(2, b, 0.0));
        ASSERT_TRUE(modeler.addNode(3, b, h));
        ASSERT_TRUE(modeler.addNode(4, 0.0, h));
        ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
        ASSERT_TRUE(modeler.addTriangle(2, 1, 3, 4));
        ASSERT_TRUE(modeler.addNode(11, 40.0, 40.0));
        ASSERT_TRUE(modeler.addNode(12, 260.0, 40.0));
        ASSERT_TRUE(modeler.addNode(13, 260.0, 460.0));
        ASSERT_TRUE(modeler.addNode(14, 40.0, 460.0));
        for (int i = 1; i <= 4; ++i) ASSERT_TRUE(modeler.addCircle(i, 10 + i, r));
        ASSERT_TRUE(modeler.setNCoeff(n));
    }

    // Relative tolerance: the values are short sums of exact products.
    static void expectClose(double got, double expected)
    {
        EXPECT_NEAR(got, expected, 1e-12 * std::fabs(expected)) << "expected " << expected;
    }

    VelboModeler modeler;
};

TEST_F(VelboModelerRectangle, AreasAndBarycentres)
{
    StreamCapture capture;
    const double ac = b * h;             // 150000
    const double as = 4.0 * kPi * r * r; // four bars
    expectClose(modeler.calcSolidArea(), ac);
    expectClose(modeler.calcPointArea(), as);
    expectClose(modeler.calcIdealArea(), ac + 15.0 * as);
    expectClose(modeler.calcIdealArea(), modeler.calcSolidArea() + 15.0 * modeler.calcPointArea());

    const VelboNode2D barycentres[] = {modeler.calcSolidBarycenter(), modeler.calcPointBarycenter(true),
                                       modeler.calcPointBarycenter(false), modeler.calcIdealBarycenter()};
    for (const VelboNode2D& g : barycentres) {
        expectClose(g.xn(), 150.0);
        expectClose(g.yn(), 250.0);
        EXPECT_EQ(g.id(), 0);
    }
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST_F(VelboModelerRectangle, BarycentresWeighBarsByAreaOrByOne)
{
    // A thicker bar at the top right pulls the area-weighted barycentre only.
    ASSERT_TRUE(modeler.setCircleRadius(3, 20.0));
    const VelboNode2D byOne = modeler.calcPointBarycenter(false);
    const VelboNode2D byArea = modeler.calcPointBarycenter(true);
    expectClose(byOne.xn(), 150.0);
    expectClose(byOne.yn(), 250.0);
    // Weights 1, 1, 4, 1 (areas in units of pi * 100).
    expectClose(byArea.xn(), (40.0 + 260.0 + 4.0 * 260.0 + 40.0) / 7.0);
    expectClose(byArea.yn(), (40.0 + 40.0 + 4.0 * 460.0 + 460.0) / 7.0);

    const double ac = b * h;
    const double as = kPi * 100.0 * 7.0;
    const VelboNode2D ideal = modeler.calcIdealBarycenter();
    expectClose(ideal.xn(), (ac * 150.0 + 15.0 * as * byArea.xn()) / (ac + 15.0 * as));
    expectClose(ideal.yn(), (ac * 250.0 + 15.0 * as * byArea.yn()) / (ac + 15.0 * as));
}

TEST_F(VelboModelerRectangle, SolidAreaProperties)
{
    const VelboAreaProperties p = modeler.calcSolidAreaProperties();
    expectClose(p.area(), b * h);
    expectClose(p.sx(), b * h * h / 2.0);                       // integral of y
    expectClose(p.sy(), h * b * b / 2.0);                       // integral of x
    expectClose(p.ixx(), b * h * h * h / 3.0);                  // y^2
    expectClose(p.iyy(), h * b * b * b / 3.0);                  // x^2
    expectClose(p.ixy(), (b * b / 2.0) * (h * h / 2.0));        // x y
    expectClose(p.ixxy(), (b * b / 2.0) * (h * h * h / 3.0));   // x y^2
    expectClose(p.ixxx(), b * h * h * h * h / 4.0);             // y^3
}

TEST_F(VelboModelerRectangle, PointAreaPropertiesPutEachBarAtItsCentre)
{
    const double a = kPi * r * r;
    const double xs[] = {40.0, 260.0, 260.0, 40.0};
    const double ys[] = {40.0, 40.0, 460.0, 460.0};
    double sx = 0, sy = 0, ixx = 0, iyy = 0, ixy = 0;
    for (int i = 0; i < 4; ++i) {
        sx += a * ys[i];
        sy += a * xs[i];
        ixx += a * ys[i] * ys[i];
        iyy += a * xs[i] * xs[i];
        ixy += a * xs[i] * ys[i];
    }
    // sx = 1e5 pi, sy = 6e4 pi, ixx = 4.264e7 pi, iyy = 1.384e7 pi, ixy = 1.5e7 pi
    expectClose(sx, 1e5 * kPi);
    expectClose(ixx, 4.264e7 * kPi);

    const VelboAreaProperties p = modeler.calcPointAreaProperties();
    expectClose(p.area(), 4.0 * a);
    expectClose(p.sx(), sx);
    expectClose(p.sy(), sy);
    expectClose(p.ixx(), ixx);
    expectClose(p.iyy(), iyy);
    expectClose(p.ixy(), ixy);
    EXPECT_EQ(p.ixxy(), 0.0);
    EXPECT_EQ(p.ixxx(), 0.0);
}

TEST_F(VelboModelerRectangle, IdealAreaPropertiesCountTheBarsNTimes)
{
    // Concrete plus 15 times the bars of the two tests above; the bars add
    // nothing to the third-order integrals.
    const VelboAreaProperties i = modeler.calcIdealAreaProperties();
    expectClose(i.area(), 1.5e5 + 15.0 * 400.0 * kPi);
    expectClose(i.sx(), 3.75e7 + 15.0 * 1e5 * kPi);
    expectClose(i.sy(), 2.25e7 + 15.0 * 6e4 * kPi);
    expectClose(i.ixx(), 1.25e10 + 15.0 * 4.264e7 * kPi);
    expectClose(i.iyy(), 4.5e9 + 15.0 * 1.384e7 * kPi);
    expectClose(i.ixy(), 5.625e9 + 15.0 * 1.5e7 * kPi);
    const VelboAreaProperties c = modeler.calcSolidAreaProperties();
    EXPECT_EQ(i.ixxy(), c.ixxy());
    EXPECT_EQ(i.ixxx(), c.ixxx());
    expectClose(i.ixxy(), 1.875e12);
    expectClose(i.ixxx(), 4.6875e12);

    // n = 0 leaves the concrete alone.
    ASSERT_TRUE(modeler.setNCoeff(0.0f));
    EXPECT_EQ(modeler.calcIdealArea(), modeler.calcSolidArea());
    EXPECT_EQ(modeler.calcIdealAreaProperties().ixx(), c.ixx());
}

TEST_F(VelboModelerRectangle, PropertiesFollowTheCurrentModel)
{
    ASSERT_TRUE(modeler.addSection(2));
    EXPECT_EQ(modeler.calcSolidArea(), 0.0);
    EXPECT_EQ(modeler.calcPointArea(), 0.0);
    ASSERT_TRUE(modeler.setCurrent(1));
    expectClose(modeler.calcSolidArea(), b * h);
}

}  // namespace
