#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "domain_sections.h"
#include "live_counts.h"
#include "model_state.h"
#include "stream_capture.h"
#include "threads_setting.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbosectionmodel.h"

// Spoils the facade's objects behind the checks of its entry points, to show
// what the build does with numbers that got in all the same.
struct VelboModelerInspector {
    static void rotateCurrent(VelboModeler& modeler, double degree)
    {
        modeler.m_getCurrent()->sectionRotate(degree, VelboNode2D(0.0, 0.0, 0));
        modeler.m_getCurrent()->sectionSavingGeometry();
    }
    static void setRadius(VelboModeler& modeler, int circle, double radius)
    {
        modeler.m_sectionCircles.at(circle)->setRadius(radius);
    }
    // Stores the law under id, which must be free; the facade owns it.
    static void addLaw(VelboModeler& modeler, int id, VelboCostitutiveLaw* law)
    {
        ASSERT_EQ(modeler.m_laws.count(id), 0u);
        modeler.m_laws[id] = law;
    }
};

namespace {

using Inspector = VelboModelerInspector;

constexpr double kPi = 3.141592653589793;

// Default laws: concrete C20/25 and steel B450C, N and mm.
const double kFcd = (0.85 * -20.0) / 1.5;  // -11.33 N/mm2, reached at -0.002
const double kFyd = 450.0 / 1.15;          // 391.3 N/mm2, reached before 0.002 and kept to 0.01

const std::string kNoCurrent = "ERR: None model current yet.\n";
const std::string kNoDomain = "ERR: We need to use buildDomain before.\n";
const std::string kBuildStart = "VelboModeler::buildDomain(): start\n";
const std::string kBuildDeformator = "VelboModeler::buildDomain(): ... build deformator\n";
const std::string kBuildTrue = "VelboModeler::buildDomain(): end. Return true !!! \n";
const std::string kBuildNotes =
    "VelboModeler::buildDomain(): ... domain yet exists and wont't be built\n"
    "VelboModeler::buildDomain(): ... NOTE: call buildDomain with rebuild = true if you want "
    "rebuild it !!!\n";

// A 300 x 500 rectangle (two triangles, x 0..300, y 0..500) with four bars
// of radius 10 at 40 from each side, in the current model; every id is
// shifted by `ids`.
void addRectangle(VelboModeler& modeler, int ids = 0)
{
    ASSERT_TRUE(modeler.addNode(ids + 1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(ids + 2, 300.0, 0.0));
    ASSERT_TRUE(modeler.addNode(ids + 3, 300.0, 500.0));
    ASSERT_TRUE(modeler.addNode(ids + 4, 0.0, 500.0));
    ASSERT_TRUE(modeler.addTriangle(ids + 1, ids + 1, ids + 2, ids + 3));
    ASSERT_TRUE(modeler.addTriangle(ids + 2, ids + 1, ids + 3, ids + 4));
    ASSERT_TRUE(modeler.addNode(ids + 11, 40.0, 40.0));
    ASSERT_TRUE(modeler.addNode(ids + 12, 260.0, 40.0));
    ASSERT_TRUE(modeler.addNode(ids + 13, 260.0, 460.0));
    ASSERT_TRUE(modeler.addNode(ids + 14, 40.0, 460.0));
    for (int i = 1; i <= 4; ++i) ASSERT_TRUE(modeler.addCircle(ids + i, ids + 10 + i, 10.0));
}

constexpr double kAc = 300.0 * 500.0;
const double kAs = 4.0 * kPi * 100.0;

// Tolerance for the moments: they are sums of forces of about 1e6 N times
// lever arms of a few 100 mm taken about the barycentre, on nodes turned
// through sine and cosine, so rounding leaves errors near 1e-7 N mm on
// moments of 1e8 N mm. 1e-9 of the largest moment is well above that and
// far below any real asymmetry, which moves a point by a sizeable part of
// the domain.
constexpr double kMomentTolerance = 1e-9;

class VelboModelerDomain : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(modeler.addSection(1));
        addRectangle(modeler);
        capture.clear();
    }

    StreamCapture capture;  // declared first: it outlives the facade
    VelboModeler modeler;
};

// The seven queries, each with its start line and whether it answered empty.
struct Query {
    std::string startLine;
    std::function<bool(const VelboModeler&)> empty;
};

const std::vector<Query>& queries()
{
    static const std::vector<Query> all = {
        {"VelboModeler::fzVector(): start\n", [](const VelboModeler& m) { return m.fzVector().empty(); }},
        {"VelboModeler::mxVector(): start\n", [](const VelboModeler& m) { return m.mxVector().empty(); }},
        {"VelboModeler::myVector(): start\n", [](const VelboModeler& m) { return m.myVector().empty(); }},
        {"VelboModeler::domainBounding(): start\n",
         [](const VelboModeler& m) { return m.domainBounding().empty(); }},
        {"VelboModeler::intersectAtXDir(): start\n",
         [](const VelboModeler& m) { return m.intersectAtXDir(0.0).empty(); }},
        {"VelboModeler::intersectAtYDir(): start\n",
         [](const VelboModeler& m) { return m.intersectAtYDir(0.0).empty(); }},
        {"VelboModeler::intersectAtZDir(): start\n",
         [](const VelboModeler& m) { return m.intersectAtZDir(0.0).empty(); }},
    };
    return all;
}

// ---------------------------------------------------------------------------
// Queries before a domain exists

TEST(VelboModelerDomainChecks, WithoutCurrentModelEverythingFailsAfterItsStartLine)
{
    VelboModeler modeler;
    StreamCapture capture;
    EXPECT_FALSE(modeler.buildDomain(1, 2, false));
    EXPECT_EQ(capture.log(), kBuildStart);
    EXPECT_EQ(capture.err(), kNoCurrent);
    capture.clear();
    for (const Query& q : queries()) {
        SCOPED_TRACE(q.startLine);
        EXPECT_TRUE(q.empty(modeler));
        EXPECT_EQ(capture.log(), q.startLine);
        EXPECT_EQ(capture.err(), kNoCurrent);
        EXPECT_EQ(capture.out(), "");
        capture.clear();
    }
}

TEST_F(VelboModelerDomain, QueriesBeforeABuildAskForIt)
{
    for (const Query& q : queries()) {
        SCOPED_TRACE(q.startLine);
        EXPECT_TRUE(q.empty(modeler));
        EXPECT_EQ(capture.log(), q.startLine);
        EXPECT_EQ(capture.err(), kNoDomain);
        EXPECT_EQ(capture.out(), "");
        capture.clear();
    }
}

// ---------------------------------------------------------------------------
// Building

TEST_F(VelboModelerDomain, BuildStoresOnePointPerDirectionAndStrainStep)
{
    const Counts before = Counts::now();
    EXPECT_TRUE(modeler.buildDomain(1, 2, false));
    EXPECT_EQ(capture.log(), kBuildStart + kBuildDeformator + kBuildTrue);
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.out(), "");
    const Counts after = Counts::now();
    EXPECT_EQ(after.points, before.points + 1);
    EXPECT_EQ(after.forces, before.forces + 15);  // the set owns its 15 points

    const VDouble fz = modeler.fzVector();
    const VDouble mx = modeler.mxVector();
    const VDouble my = modeler.myVector();
    ASSERT_EQ(fz.size(), 15u);
    ASSERT_EQ(mx.size(), 15u);
    ASSERT_EQ(my.size(), 15u);

    // Directions 0, 90, 180, 270 and 360 degrees, three strain steps each:
    // uniform tension (only the bars, yielded), a mixed plane, uniform
    // compression (concrete at fcd, bars yielded). Uniform strains slice
    // nothing, so those sums are exact up to a few roundings.
    const double tension = kFyd * kAs;
    const double compression = kFcd * kAc - kFyd * kAs;
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("direction " + std::to_string(i));
        EXPECT_NEAR(fz[3 * i], tension, 1e-12 * tension);
        EXPECT_NEAR(fz[3 * i + 2], compression, 1e-12 * -compression);
        EXPECT_LT(fz[3 * i + 1], 0.0);
        EXPECT_GT(fz[3 * i + 1], compression);
    }
    // 0 and 360 degrees are the same section up to rounding of the turn.
    const double scale = *std::max_element(mx.begin(), mx.end());
    ASSERT_GT(scale, 1e8);
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(fz[12 + j], fz[j], 1e-9 * tension);
        EXPECT_NEAR(mx[12 + j], mx[j], kMomentTolerance * scale);
        EXPECT_NEAR(my[12 + j], my[j], kMomentTolerance * scale);
    }
    // Turned by 90 degrees, the mixed plane bends about the other axis.
    EXPECT_NEAR(mx[1], scale, kMomentTolerance * scale);
    EXPECT_NEAR(my[1], 0.0, kMomentTolerance * scale);
    EXPECT_NEAR(mx[4], 0.0, kMomentTolerance * scale);
    EXPECT_GT(std::fabs(my[4]), 1e7);
}

TEST_F(VelboModelerDomain, BuildWritesTheSameLinesWhateverTheLogLevel)
{
    modeler.setLogLevel(1);
    EXPECT_TRUE(modeler.buildDomain(1, 1, false));
    EXPECT_EQ(capture.log(), kBuildStart + kBuildDeformator + kBuildTrue);
    EXPECT_EQ(capture.err(), "");
    modeler.setLogLevel(0);
}

TEST_F(VelboModelerDomain, SecondBuildWithoutRebuildKeepsTheDomain)
{
    ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    const VDouble fz = modeler.fzVector();
    const MIntVDouble nodes = modeler.getNodesCoords();
    const Counts counts = Counts::now();
    capture.clear();

    EXPECT_TRUE(modeler.buildDomain(2, 3, false));
    EXPECT_EQ(capture.log(), kBuildStart + kBuildNotes);
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(modeler.getNodesCoords(), nodes);  // nothing was turned
    EXPECT_EQ(Counts::now(), counts);
    EXPECT_EQ(modeler.fzVector(), fz);
}

TEST_F(VelboModelerDomain, RebuildReplacesTheDomain)
{
    const Counts before = Counts::now();
    ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    capture.clear();
    EXPECT_TRUE(modeler.buildDomain(2, 3, true));
    EXPECT_EQ(capture.log(), kBuildStart + kBuildDeformator + kBuildTrue);
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(modeler.fzVector().size(), 36u);  // 9 directions of 4 steps
    const Counts after = Counts::now();
    EXPECT_EQ(after.points, before.points + 1);
    EXPECT_EQ(after.forces, before.forces + 36);
}

TEST_F(VelboModelerDomain, DomainDoesNotFollowTheModelUntilRebuilt)
{
    ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    const VDouble fz = modeler.fzVector();
    // Widen the rectangle to 600 x 500.
    ASSERT_TRUE(modeler.setNodeX(2, 600.0));
    ASSERT_TRUE(modeler.setNodeX(3, 600.0));
    EXPECT_EQ(modeler.fzVector(), fz);
    ASSERT_TRUE(modeler.buildDomain(1, 2, true));
    const VDouble wider = modeler.fzVector();
    ASSERT_EQ(wider.size(), 15u);
    const double compression = kFcd * 2.0 * kAc - kFyd * kAs;
    EXPECT_NEAR(wider[2], compression, 1e-12 * -compression);
}

TEST_F(VelboModelerDomain, BuildLeavesTheNodesTurnedByAFullTurn)
{
    const MIntVDouble start = modeler.getNodesCoords();
    ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    const MIntVDouble turned = modeler.getNodesCoords();
    ASSERT_EQ(turned.size(), start.size());
    for (const auto& [id, xy] : start) {
        SCOPED_TRACE(id);
        // sin and cos of 2 pi about the barycentre: off by a few ulps of 500.
        EXPECT_NEAR(turned.at(id)[0], xy[0], 1e-9);
        EXPECT_NEAR(turned.at(id)[1], xy[1], 1e-9);
    }
    // The saved coordinates are those of the start.
    for (const auto& [id, node] : modeler.getNodes()) {
        VelboNode2D saved = node;
        saved.nodeRestoreGeometry();
        EXPECT_EQ(saved.xn(), start.at(id)[0]);
        EXPECT_EQ(saved.yn(), start.at(id)[1]);
    }
}

TEST_F(VelboModelerDomain, EachModelKeepsItsOwnDomain)
{
    ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    ASSERT_TRUE(modeler.addSection(2));
    capture.clear();
    EXPECT_TRUE(modeler.fzVector().empty());
    EXPECT_EQ(capture.err(), kNoDomain);
    ASSERT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(modeler.fzVector().size(), 15u);
}

// ---------------------------------------------------------------------------
// Refused builds: nothing is turned and no set is stored

TEST_F(VelboModelerDomain, BuildRefusesDivisionsItCannotMake)
{
    struct Case {
        int degreeDivision, ratioDivision;
        std::string err;
    };
    const Case cases[] = {
        {0, 2, "ERR: Cannot build domain with degreeDivision = 0 and ratioDivision = 2: both must be at least 1\n"},
        {1, 0, "ERR: Cannot build domain with degreeDivision = 1 and ratioDivision = 0: both must be at least 1\n"},
        {-3, 2, "ERR: Cannot build domain with degreeDivision = -3 and ratioDivision = 2: both must be at least 1\n"},
        {1, -1, "ERR: Cannot build domain with degreeDivision = 1 and ratioDivision = -1: both must be at least 1\n"},
        // (4 * 300000000 + 1) * 2 points do not fit an int.
        {300000000, 1, "ERR: Cannot build domain of 2400000002 points: too many\n"},
        {1, INT_MAX, "ERR: Cannot build domain of 10737418240 points: too many\n"},
        {INT_MAX, 1, "ERR: Cannot build domain of 17179869178 points: too many\n"},
        // The largest count two ints give: counted without overflow.
        {INT_MAX, INT_MAX, "ERR: Cannot build domain of 18446744067267100672 points: too many\n"},
        {INT_MAX - 1, INT_MAX - 2, "ERR: Cannot build domain of 18446744041497296910 points: too many\n"},
        // One point past the largest set an int can count.
        {1, 429496729, "ERR: Cannot build domain of 2147483650 points: too many\n"},
        {INT_MIN, INT_MIN,
         "ERR: Cannot build domain with degreeDivision = -2147483648 and ratioDivision = -2147483648: "
         "both must be at least 1\n"},
        {INT_MAX, INT_MIN,
         "ERR: Cannot build domain with degreeDivision = 2147483647 and ratioDivision = -2147483648: "
         "both must be at least 1\n"},
    };
    const MIntVDouble nodes = modeler.getNodesCoords();
    const Counts counts = Counts::now();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_FALSE(modeler.buildDomain(c.degreeDivision, c.ratioDivision, false));
        EXPECT_EQ(capture.err(), c.err);
        EXPECT_EQ(capture.log(), kBuildStart);
        EXPECT_EQ(modeler.getNodesCoords(), nodes);
        EXPECT_EQ(Counts::now(), counts);
        capture.clear();
        EXPECT_TRUE(modeler.fzVector().empty());
        EXPECT_EQ(capture.err(), kNoDomain);
        capture.clear();
    }
}

// The earlier domain is replaced only by a new one: a refused rebuild keeps it.
TEST_F(VelboModelerDomain, RefusedRebuildKeepsTheDomain)
{
    ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    const VDouble fz = modeler.fzVector();
    const VDouble my = modeler.myVector();
    const MIntVDouble nodes = modeler.getNodesCoords();
    const Counts counts = Counts::now();
    for (const auto& [degreeDivision, ratioDivision] : {std::pair{0, 2}, std::pair{INT_MAX, INT_MAX}}) {
        capture.clear();
        EXPECT_FALSE(modeler.buildDomain(degreeDivision, ratioDivision, true));
        EXPECT_EQ(capture.err().rfind("ERR: Cannot build domain ", 0), 0u) << capture.err();
        EXPECT_EQ(modeler.getNodesCoords(), nodes);
        EXPECT_EQ(Counts::now(), counts);
        capture.clear();
        EXPECT_EQ(modeler.fzVector(), fz);
        EXPECT_EQ(modeler.myVector(), my);
        EXPECT_EQ(capture.err(), "");
    }
}

TEST(VelboModelerDomainChecks, BuildRefusesAModelWithoutConcreteOrBars)
{
    StreamCapture capture;
    VelboModeler modeler;
    // Model 1: bars only. Model 2: concrete only.
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addCircle(1, 1, 10.0));
    ASSERT_TRUE(modeler.addSection(2));
    ASSERT_TRUE(modeler.addNode(2, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 300.0, 0.0));
    ASSERT_TRUE(modeler.addNode(4, 0.0, 500.0));
    ASSERT_TRUE(modeler.addTriangle(1, 2, 3, 4));
    // Model 3: nothing.
    ASSERT_TRUE(modeler.addSection(3));
    const Counts counts = Counts::now();

    struct Case {
        int model;
        std::string err;
    };
    const Case cases[] = {
        {1, "ERR: Cannot build domain of a model without triangles\n"},
        {2, "ERR: Cannot build domain of a model without circles\n"},
        {3, "ERR: Cannot build domain of a model without triangles\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        ASSERT_TRUE(modeler.setCurrent(c.model));
        const MIntVDouble nodes = modeler.getNodesCoords();
        capture.clear();
        EXPECT_FALSE(modeler.buildDomain(1, 2, true));
        EXPECT_EQ(capture.err(), c.err);  // refused before any deformator is made
        EXPECT_EQ(capture.log(), kBuildStart);
        EXPECT_EQ(modeler.getNodesCoords(), nodes);
        EXPECT_EQ(Counts::now(), counts);
        capture.clear();
        EXPECT_TRUE(modeler.domainBounding().empty());
        EXPECT_EQ(capture.err(), kNoDomain);
    }
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerDomainChecks, BuildRefusesNumbersThatAreNotFinite)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::function<void(VelboModeler&)> spoil;
        std::string err;
    };
    const Case cases[] = {
        {"concrete node x not a number", [&](VelboModeler& m) { m.setNodeX(1, nan); },
         "ERR: Cannot build domain of a model whose node *1* has a coordinate that is not finite\n"},
        {"concrete node y infinite", [&](VelboModeler& m) { m.setNodeY(3, inf); },
         "ERR: Cannot build domain of a model whose node *3* has a coordinate that is not finite\n"},
        {"bar centre infinite", [&](VelboModeler& m) { m.setNodeX(12, -inf); },
         "ERR: Cannot build domain of a model whose node *12* has a coordinate that is not finite\n"},
        {"every node turned by a non-number", [&](VelboModeler& m) { Inspector::rotateCurrent(m, nan); },
         "ERR: Cannot build domain of a model whose node *1* has a coordinate that is not finite\n"},
        {"bar radius infinite", [&](VelboModeler& m) { Inspector::setRadius(m, 2, inf); },
         "ERR: Cannot build domain of a model whose circle *2* has a radius that is not finite\n"},
        {"bar radius not a number", [&](VelboModeler& m) { Inspector::setRadius(m, 4, nan); },
         "ERR: Cannot build domain of a model whose circle *4* has a radius that is not finite\n"},
        {"concrete law strength not a number",
         [&](VelboModeler& m) {
             Inspector::addLaw(m, 7, new VelboParabola(nan, -0.002, -0.0035));
             m.setTrianglesLaw(7);
         },
         "ERR: Cannot build domain of a model whose law *7* has a value that is not finite\n"},
        {"steel law modulus infinite",
         [&](VelboModeler& m) {
             Inspector::addLaw(m, 8, new VelboBilinear(391.3, inf, 0.01));
             m.setCirclesLaw(8);
         },
         "ERR: Cannot build domain of a model whose law *8* has a value that is not finite\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamCapture capture;
        VelboModeler modeler;
        ASSERT_TRUE(modeler.addSection(1));
        addRectangle(modeler);
        c.spoil(modeler);
        std::ostringstream before;
        for (const auto& node : modeler.getNodesCoords()) {
            before << node.first << ' ' << node.second[0] << ' ' << node.second[1] << '\n';
        }
        const Counts counts = Counts::now();
        capture.clear();

        EXPECT_FALSE(modeler.buildDomain(1, 2, false));
        EXPECT_EQ(capture.err(), c.err);
        EXPECT_EQ(capture.log(), kBuildStart);  // refused before any deformator is made
        EXPECT_EQ(Counts::now(), counts);
        std::ostringstream after;
        for (const auto& node : modeler.getNodesCoords()) {
            after << node.first << ' ' << node.second[0] << ' ' << node.second[1] << '\n';
        }
        EXPECT_EQ(after.str(), before.str());
        // No domain was stored: every query asks for a build.
        capture.clear();
        for (const Query& q : queries()) {
            SCOPED_TRACE(q.startLine);
            EXPECT_TRUE(q.empty(modeler));
            EXPECT_EQ(capture.err(), kNoDomain);
            capture.clear();
        }
    }

    // A spoilt law that no element of the model uses does not matter.
    StreamCapture capture;
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    addRectangle(modeler);
    Inspector::addLaw(modeler, 9, new VelboBilinear(nan, nan, nan));
    EXPECT_TRUE(modeler.buildDomain(1, 2, false));
    EXPECT_EQ(capture.err(), "");
}

namespace {

// The four bars of addRectangle.
void addBars(VelboModeler& modeler)
{
    ASSERT_TRUE(modeler.addNode(11, 40.0, 40.0));
    ASSERT_TRUE(modeler.addNode(12, 260.0, 40.0));
    ASSERT_TRUE(modeler.addNode(13, 260.0, 460.0));
    ASSERT_TRUE(modeler.addNode(14, 40.0, 460.0));
    for (int i = 1; i <= 4; ++i) ASSERT_TRUE(modeler.addCircle(i, 10 + i, 10.0));
}

// A build that must be refused: false, exactly the given error output, the
// log lines of a build that ends false, the model as it was (nodes, meshes,
// counters), and no domain for the queries.
void expectRefusedBuild(VelboModeler& modeler, StreamCapture& capture, const std::string& err)
{
    const ModelState before = ModelState::of(modeler);
    capture.clear();
    EXPECT_FALSE(modeler.buildDomain(1, 2, false));
    EXPECT_EQ(capture.err(), err);
    EXPECT_EQ(capture.log(), kBuildStart + kBuildDeformator + "VelboModeler::buildDomain(): end. Return false !!! \n");
    EXPECT_EQ(firstDifference(ModelState::of(modeler), before), "");
    capture.clear();
    for (const Query& q : queries()) {
        SCOPED_TRACE(q.startLine);
        EXPECT_TRUE(q.empty(modeler));
        EXPECT_EQ(capture.err(), kNoDomain);
        capture.clear();
    }
}

}  // namespace

TEST(VelboModelerDomainChecks, BuildRefusesSectionsWithoutADomain)
{
    // The 300 x 500 rectangle of two triangles, with the bars of each row.
    const std::string span = "VelboSecDeformRC::interactionSurface-ERR: strain span of ";
    struct Case {
        const char* name;
        std::function<void(VelboModeler&)> complete;
        std::string err;
    };
    const Case cases[] = {
        // The strain planes run from the top of the concrete down to the
        // lowest bar: where that bar lies above the top, there are none.
        {"bars above the concrete",
         [](VelboModeler& m) {
             m.addNode(11, 40.0, -100.0);
             m.addNode(12, 260.0, -40.0);
             m.addCircle(1, 11, 10.0);
             m.addCircle(2, 12, 10.0);
         },
         span + "negative height at 0 degrees: the lowest bar lies above the top of the concrete !!!\n"},
        // Turned by 270 degrees about (150, 250), the bar lies at y = -600,
        // the concrete from 100 to 400.
        {"a bar far to one side",
         [](VelboModeler& m) {
             m.addNode(11, 1000.0, 250.0);
             m.addCircle(1, 11, 10.0);
         },
         span + "negative height at 270 degrees: the lowest bar lies above the top of the concrete !!!\n"},
        // A finite radius whose area overflows: the first point, in uniform
        // tension, has an infinite Fz.
        {"a bar whose area overflows",
         [](VelboModeler& m) {
             m.addNode(11, 40.0, 460.0);
             m.addCircle(1, 11, 1e160);
         },
         "VelboSecDeformRC::interactionSurface-ERR: forces not finite at 0 degrees, ratio 0 !!!\n"},
        // The strain path follows one law of each kind: the deformator says
        // when the elements of a kind do not share one.
        // An ultimate strain of -1e308 is a law's own; but it puts the
        // pivot depth all but at the bottom of the concrete, so the lowest
        // bar lies above it, and the bar strain where the top-fibre pivot
        // ends overflows: that path has no finite length.
        {"a path of no finite length",
         [](VelboModeler& m) {
             m.addNode(11, 150.0, 460.0);
             m.addCircle(1, 11, 10.0);
             m.addLawParaboleRectangle(8, "ecu -1e308", -11.33, -0.002, -1e308);
             m.setTrianglesLaw(8);
         },
         "VelboSecDeformRC::interactionSurface-ERR: strain path of no finite length at 0 degrees: "
         "the limit strains are too large !!!\n"},
        {"a fifth bar of another law",
         [](VelboModeler& m) {
             addBars(m);
             m.addLawBilinear(7, "B450C bis", kFyd, 210000.0, 0.01);
             m.setCirclesLaw(7);
             m.addNode(15, 150.0, 40.0);
             m.addCircle(5, 15, 10.0);
         },
         "VelboSectionRC::VelboSectionRC()-ERR: Rebars need have same costitutive law !!!"},
        {"a third triangle of another law",
         [](VelboModeler& m) {
             addBars(m);
             m.addLawParaboleRectangle(8, "C25/30", -14.17, -0.002, -0.0035);
             m.setTrianglesLaw(8);
             m.addNode(5, 150.0, 600.0);
             m.addTriangle(3, 4, 3, 5);
         },
         "VelboSectionRC::VelboSectionRC()-ERR: Concrete need have same costitutive law !!!"},
        {"both kinds of another law",
         [](VelboModeler& m) {
             addBars(m);
             m.addLawBilinear(7, "B450C bis", kFyd, 210000.0, 0.01);
             m.addLawParaboleRectangle(8, "C25/30", -14.17, -0.002, -0.0035);
             m.setCirclesLaw(7);
             m.setTrianglesLaw(8);
             m.addNode(5, 150.0, 600.0);
             m.addTriangle(3, 4, 3, 5);
             m.addNode(15, 150.0, 40.0);
             m.addCircle(5, 15, 10.0);
         },
         "VelboSectionRC::VelboSectionRC()-ERR: Rebars need have same costitutive law !!!"
         "VelboSectionRC::VelboSectionRC()-ERR: Concrete need have same costitutive law !!!"},
    };
    for (const char* threads : {"1", "4"}) {
        const ThreadsSetting setting(threads);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string("threads ") + threads + ", " + c.name);
            StreamCapture capture;
            VelboModeler modeler;
            ASSERT_TRUE(modeler.addSection(1));
            ASSERT_TRUE(domain_sections::concreteRectangle(modeler));
            c.complete(modeler);
            // Meshes sliced by the caller, which a refusal must leave as they are.
            ASSERT_TRUE(modeler.meshMake());
            ASSERT_TRUE(modeler.meshesSliceAtYrays(VDouble{120.0}));
            expectRefusedBuild(modeler, capture, c.err);
        }
    }
}

// The strain limits of the concrete come from the triangles' law and those of
// the bars from the circles' law: a law of the other kind gives strain planes
// no section reaches, and the build is refused before a deformator is made.
// A refused rebuild keeps the domain built before the law was given.
TEST(VelboModelerDomainChecks, BuildRefusesLawsOfTheWrongKind)
{
    const std::string whose = "ERR: Cannot build domain of a model whose ";
    const std::string steelOnConcrete = "triangles have law *-200*, a bilinear law for steel";
    const std::string concreteOnBars = "circles have law *-100*, a parabola-rectangle law for concrete";
    const std::string refusedByTheDeformator =
        kBuildStart + kBuildDeformator + "VelboModeler::buildDomain(): end. Return false !!! \n";
    struct Case {
        const char* name;
        std::function<void(VelboModeler&)> giveLaws;
        std::string err;  // empty: the build goes through
        std::string log;
    };
    const Case cases[] = {
        {"the steel law on the triangles", [](VelboModeler& m) { m.setTrianglesLaw(-200); },
         whose + steelOnConcrete + "\n", kBuildStart},
        {"an added bilinear law on the triangles",
         [](VelboModeler& m) {
             m.addLawBilinear(7, "B450C bis", kFyd, 210000.0, 0.01);
             m.setTrianglesLaw(7);
         },
         whose + "triangles have law *7*, a bilinear law for steel\n", kBuildStart},
        {"the concrete law on the circles", [](VelboModeler& m) { m.setCirclesLaw(-100); },
         whose + concreteOnBars + "\n", kBuildStart},
        {"an added parabola-rectangle law on the circles",
         [](VelboModeler& m) {
             m.addLawParaboleRectangle(8, "C25/30", -14.17, -0.002, -0.0035);
             m.setCirclesLaw(8);
         },
         whose + "circles have law *8*, a parabola-rectangle law for concrete\n", kBuildStart},
        {"both laws swapped",
         [](VelboModeler& m) {
             m.setTrianglesLaw(-200);
             m.setCirclesLaw(-100);
         },
         whose + steelOnConcrete + ", and whose " + concreteOnBars + "\n", kBuildStart},
        // Concrete of two laws is refused for that, whatever their kinds.
        {"the steel law on some triangles only",
         [](VelboModeler& m) {
             m.setTrianglesLaw(-200);
             m.addNode(5, 150.0, 600.0);
             m.addTriangle(3, 4, 3, 5);
         },
         "VelboSectionRC::VelboSectionRC()-ERR: Concrete need have same costitutive law !!!",
         refusedByTheDeformator},
        {"added laws of the right kinds",
         [](VelboModeler& m) {
             m.addLawBilinear(7, "B450C bis", kFyd, 210000.0, 0.01);
             m.addLawParaboleRectangle(8, "C25/30", -14.17, -0.002, -0.0035);
             m.setCirclesLaw(7);
             m.setTrianglesLaw(8);
         },
         "", kBuildStart + kBuildDeformator + kBuildTrue},
    };
    for (const bool rebuild : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(rebuild ? "rebuild, " : "build, ") + c.name);
            StreamCapture capture;
            VelboModeler modeler;
            ASSERT_TRUE(modeler.addSection(1));
            ASSERT_TRUE(domain_sections::concreteRectangle(modeler));
            addBars(modeler);
            ASSERT_TRUE(modeler.meshMake());
            ASSERT_TRUE(modeler.meshesSliceAtYrays(VDouble{120.0}));
            if (rebuild) {
                ASSERT_TRUE(modeler.buildDomain(1, 4, false));
            }
            c.giveLaws(modeler);
            const ModelState before = ModelState::of(modeler);
            ASSERT_EQ(before.points.empty(), !rebuild);
            capture.clear();

            const bool built = modeler.buildDomain(1, 2, rebuild);
            EXPECT_EQ(capture.err(), c.err);
            EXPECT_EQ(capture.log(), c.log);
            if (c.err.empty()) {
                // The added laws are the ones the build uses: in uniform
                // compression the concrete is at its fcd, the bars yield.
                EXPECT_TRUE(built);
                capture.clear();
                const VDouble bounds = modeler.domainBounding();
                ASSERT_EQ(bounds.size(), 6u);
                EXPECT_NEAR(bounds[0], -14.17 * kAc - kFyd * kAs, 1e-9 * 14.17 * kAc);
                EXPECT_EQ(modeler.fzVector().size(), 15u);
                continue;
            }
            EXPECT_FALSE(built);
            EXPECT_EQ(firstDifference(ModelState::of(modeler), before), "");
        }
    }
}

TEST(VelboModelerDomainChecks, BuildRefusesElementsOnNodesOfAnotherModel)
{
    // Model 1 is a rectangle of its own (ids from 100) with its domain, and
    // two more nodes, 8 (150, 460) and 9 (150, 250). Model 2 is a 300 x 500
    // rectangle of four triangles meeting at a middle node, with one bar
    // 40 above its bottom face; either may sit on a node of model 1, which a
    // build of model 2 would not turn with the rest of the section.
    struct Case {
        const char* name;
        int middle, bar;  // the node ids the triangles meet at and the bar sits on
        std::string err;
    };
    const Case cases[] = {
        {"triangles on a node of model 1", 9, 11,
         "ERR: Cannot build domain of a model whose triangle *1* uses node *9* of another model\n"},
        {"a bar on a node of model 1", 5, 8,
         "ERR: Cannot build domain of a model whose circle *1* uses node *8* of another model\n"},
        {"both", 9, 8, "ERR: Cannot build domain of a model whose triangle *1* uses node *9* of another model\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamCapture capture;
        VelboModeler modeler;
        ASSERT_TRUE(modeler.addSection(1));
        addRectangle(modeler, 100);
        ASSERT_TRUE(modeler.addNode(8, 150.0, 460.0));
        ASSERT_TRUE(modeler.addNode(9, 150.0, 250.0));
        ASSERT_TRUE(modeler.buildDomain(1, 2, false));
        const MIntVDouble otherNodes = modeler.getNodesCoords();
        const VDouble otherFz = modeler.fzVector();

        ASSERT_TRUE(modeler.addSection(2));
        ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
        ASSERT_TRUE(modeler.addNode(2, 300.0, 0.0));
        ASSERT_TRUE(modeler.addNode(3, 300.0, 500.0));
        ASSERT_TRUE(modeler.addNode(4, 0.0, 500.0));
        ASSERT_TRUE(modeler.addNode(5, 150.0, 250.0));
        ASSERT_TRUE(modeler.addNode(11, 150.0, 460.0));
        ASSERT_TRUE(modeler.addTriangle(1, 1, 2, c.middle));
        ASSERT_TRUE(modeler.addTriangle(2, 2, 3, c.middle));
        ASSERT_TRUE(modeler.addTriangle(3, 3, 4, c.middle));
        ASSERT_TRUE(modeler.addTriangle(4, 4, 1, c.middle));
        ASSERT_TRUE(modeler.addCircle(1, c.bar, 10.0));
        ASSERT_TRUE(modeler.meshMake());
        const MIntVDouble nodes = modeler.getNodesCoords();
        const MIntVDouble mesh = modeler.getTrianglesCoordsAtMesh(0);
        const Counts counts = Counts::now();
        capture.clear();

        EXPECT_FALSE(modeler.buildDomain(2, 2, false));
        EXPECT_EQ(capture.err(), c.err);
        EXPECT_EQ(capture.log(), kBuildStart);  // refused before any deformator is made
        EXPECT_EQ(Counts::now(), counts);
        EXPECT_EQ(modeler.getNodesCoords(), nodes);
        EXPECT_EQ(modeler.meshSize(), 4);
        EXPECT_EQ(modeler.getTrianglesCoordsAtMesh(0), mesh);
        capture.clear();
        for (const Query& q : queries()) {
            SCOPED_TRACE(q.startLine);
            EXPECT_TRUE(q.empty(modeler));
            EXPECT_EQ(capture.err(), kNoDomain);
            capture.clear();
        }

        // Model 1 and its domain are as they were.
        ASSERT_TRUE(modeler.setCurrent(1));
        EXPECT_EQ(modeler.getNodesCoords(), otherNodes);
        EXPECT_EQ(modeler.fzVector(), otherFz);
    }
}

TEST(VelboModelerDomainChecks, ABarOnACornerGivesNoDomainAndNoQueryAnswers)
{
    // The bar is centred on the corner node (300, 500); turned by 180
    // degrees that corner is the top of the concrete and the lowest bar
    // lies on it: the strain span has no height, the build stops there.
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(std::string("threads ") + threads);
        const ThreadsSetting setting(threads);
        StreamCapture capture;
        const Counts before = Counts::now();
        {
            VelboModeler modeler;
            ASSERT_TRUE(modeler.addSection(1));
            ASSERT_TRUE(domain_sections::concreteRectangle(modeler));
            ASSERT_TRUE(modeler.addCircle(1, 3, 10.0));
            capture.clear();

            EXPECT_FALSE(modeler.buildDomain(2, 5, false));
            EXPECT_EQ(capture.err(),
                      "VelboSecDeformRC::interactionSurface-ERR: strain span of zero height at 180 degrees: "
                      "the lowest bar lies on the top edge of the concrete !!!\n");
            EXPECT_EQ(capture.log(),
                      kBuildStart + kBuildDeformator + "VelboModeler::buildDomain(): end. Return false !!! \n");
            capture.clear();
            for (const Query& q : queries()) {
                SCOPED_TRACE(q.startLine);
                EXPECT_TRUE(q.empty(modeler));
                EXPECT_EQ(capture.err(), kNoDomain);
                capture.clear();
            }
        }
        EXPECT_EQ(Counts::now(), before);
    }
}

// ---------------------------------------------------------------------------
// The physical domain of the rectangle

TEST_F(VelboModelerDomain, BoundingMatchesTheStrengthOfTheSection)
{
    ASSERT_TRUE(modeler.buildDomain(4, 10, false));
    const VDouble fz = modeler.fzVector();
    const VDouble mx = modeler.mxVector();
    const VDouble my = modeler.myVector();
    capture.clear();
    const VDouble b = modeler.domainBounding();
    EXPECT_EQ(capture.log(), "VelboModeler::domainBounding(): start\n");
    ASSERT_EQ(b.size(), 6u);

    // Each pair is the range of 0 and of every stored value.
    const VDouble* vectors[] = {&fz, &mx, &my};
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        const auto [lo, hi] = std::minmax_element(vectors[c]->begin(), vectors[c]->end());
        EXPECT_EQ(b[2 * c], std::min(0.0, *lo));
        EXPECT_EQ(b[2 * c + 1], std::max(0.0, *hi));
        EXPECT_LE(b[2 * c], 0.0);
        EXPECT_GE(b[2 * c + 1], 0.0);
    }

    // Uniform compression: concrete at fcd, bars at -fyd; uniform tension:
    // bars at fyd, concrete carries none.
    const double fzMin = -(std::fabs(kFcd) * kAc + kFyd * kAs);
    const double fzMax = kFyd * kAs;
    EXPECT_NEAR(b[0], fzMin, 1e-12 * -fzMin);
    EXPECT_NEAR(b[1], fzMax, 1e-12 * fzMax);
    // Symmetric about both axes: the moment ranges are symmetric about 0.
    EXPECT_NEAR(b[2], -b[3], kMomentTolerance * b[3]);
    EXPECT_NEAR(b[4], -b[5], kMomentTolerance * b[5]);
    // The section is higher (500) than wide (300): Mx reaches further.
    EXPECT_GT(b[3], b[5]);
}

TEST_F(VelboModelerDomain, SectionSymmetricAboutItsVerticalAxisGivesASymmetricDomain)
{
    const int degreeDivision = 4;
    const int ratioDivision = 10;
    ASSERT_TRUE(modeler.buildDomain(degreeDivision, ratioDivision, false));
    const VDouble fz = modeler.fzVector();
    const VDouble mx = modeler.mxVector();
    const VDouble my = modeler.myVector();
    const int steps = ratioDivision + 1;
    const int directions = 4 * degreeDivision + 1;
    ASSERT_EQ(fz.size(), static_cast<size_t>(steps * directions));

    double scale = 0.0;
    for (size_t k = 0; k < mx.size(); ++k) scale = std::max({scale, std::fabs(mx[k]), std::fabs(my[k])});
    const double fzScale = std::fabs(kFcd) * kAc;
    // Direction i (at 90 i / degreeDivision degrees) mirrors direction
    // 4 degreeDivision - i (at -90 i / degreeDivision): same Fz and Mx, opposite My.
    for (int i = 0; i < directions; ++i) {
        for (int j = 0; j < steps; ++j) {
            const int k = i * steps + j;
            const int mirror = (directions - 1 - i) * steps + j;
            SCOPED_TRACE("slot " + std::to_string(k) + " and " + std::to_string(mirror));
            EXPECT_NEAR(fz[k], fz[mirror], 1e-12 * fzScale);
            EXPECT_NEAR(mx[k], mx[mirror], kMomentTolerance * scale);
            EXPECT_NEAR(my[k], -my[mirror], kMomentTolerance * scale);
        }
    }
}

TEST(VelboModelerDomainPath, EveryDirectionEndsInUniformCompressionAndFzNeverRises)
{
    // The reference sections: reinforced on both sides, on one side only,
    // with bars near the barycentre of a T, with their lowest bars exactly
    // at the pivot depth, and with bars near one edge. In every direction,
    // however deep its lowest bar, the path runs from uniform tension to
    // uniform compression: concrete at fcd, bars at -fyd, the moments about
    // the concrete barycentre those of the bars alone, in the section's
    // frame. Along the path every fibre is compressed further or stays on a
    // constant piece of its law, so Fz never rises (but for rounding).
    for (const domain_sections::Named& section : domain_sections::all()) {
        for (const auto& [degreeDivision, ratioDivision] : domain_sections::divisions()) {
            SCOPED_TRACE(section.name + " " + std::to_string(degreeDivision) + " " + std::to_string(ratioDivision));
            StreamCapture capture;
            VelboModeler modeler;
            section.build(modeler);
            const VelboNode2D g = modeler.calcSolidBarycenter();
            const MIntVDouble nodes = modeler.getNodesCoords();
            const MIntVDouble radii = modeler.getCirclesRadius();
            double bars = 0.0, barsMx = 0.0, barsMy = 0.0, size = 0.0;
            for (const auto& [circle, centre] : modeler.getCirclesIds()) {
                const double r = radii.at(circle)[0];
                const std::vector<double>& xy = nodes.at(centre[0]);
                const double area = r * (r * kPi);
                bars += area;
                barsMx += area * (xy[1] - g.yn());
                barsMy += area * (xy[0] - g.xn());
            }
            for (const auto& [id, xy] : nodes) {
                size = std::max({size, std::fabs(xy[0] - g.xn()), std::fabs(xy[1] - g.yn())});
            }
            const double fzCompression = kFcd * modeler.calcSolidArea() - kFyd * bars;
            const double fzTolerance = 1e-12 * std::fabs(fzCompression);

            ASSERT_TRUE(modeler.buildDomain(degreeDivision, ratioDivision, false));
            const VDouble fz = modeler.fzVector();
            const VDouble mx = modeler.mxVector();
            const VDouble my = modeler.myVector();
            const int steps = ratioDivision + 1;
            ASSERT_EQ(fz.size(), static_cast<size_t>(steps * (4 * degreeDivision + 1)));
            for (int i = 0; i <= 4 * degreeDivision; ++i) {
                SCOPED_TRACE("direction " + std::to_string(i));
                const int last = i * steps + ratioDivision;
                EXPECT_NEAR(fz[last], fzCompression, fzTolerance);
                EXPECT_NEAR(mx[last], -kFyd * barsMx, fzTolerance * size);
                EXPECT_NEAR(my[last], -kFyd * barsMy, fzTolerance * size);
                for (int j = 1; j <= ratioDivision; ++j) {
                    EXPECT_LE(fz[i * steps + j], fz[i * steps + j - 1] + fzTolerance) << "step " << j;
                }
            }
            EXPECT_NEAR(modeler.domainBounding()[0], fzCompression, fzTolerance);
        }
    }
}

// ---------------------------------------------------------------------------
// Cuts

struct Pt {
    double u, v;
};

// The crossing points of a cut in its two free components, checking the
// layout: centre, crossing points, closing copy of the first one.
std::vector<Pt> ringOf(const VFloat& polygon, int cut, float value, float tolerance)
{
    std::vector<Pt> ring;
    const int a = cut == 0 ? 1 : 0;
    const int b = cut == 2 ? 1 : 2;
    EXPECT_EQ(polygon.size() % 3, 0u);
    const size_t triples = polygon.size() / 3;
    EXPECT_GE(triples, 5u);  // centre, at least three points, closing copy
    if (triples < 5) return ring;
    EXPECT_EQ(polygon[cut], value);
    for (size_t t = 1; t < triples; ++t) {
        EXPECT_NEAR(polygon[3 * t + cut], value, tolerance) << "triple " << t;
    }
    for (int c = 0; c < 3; ++c) EXPECT_EQ(polygon[3 * (triples - 1) + c], polygon[3 + c]);
    for (size_t t = 1; t + 1 < triples; ++t) ring.push_back({polygon[3 * t + a], polygon[3 * t + b]});
    // Ordered by increasing angle about the centre.
    const Pt centre{polygon[a], polygon[b]};
    double last = -1.0;
    for (const Pt& p : ring) {
        double angle = std::atan2(p.v - centre.v, p.u - centre.u);
        if (angle < 0.0) angle += 2.0 * kPi;
        EXPECT_GE(angle, last - 1e-5);
        last = angle;
    }
    return ring;
}

// How many times the closed ring winds about the origin.
int windingAboutOrigin(const std::vector<Pt>& ring)
{
    double total = 0.0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Pt& p = ring[i];
        const Pt& q = ring[(i + 1) % ring.size()];
        double d = std::atan2(q.v, q.u) - std::atan2(p.v, p.u);
        if (d > kPi) d -= 2.0 * kPi;
        if (d < -kPi) d += 2.0 * kPi;
        total += d;
    }
    return static_cast<int>(std::lround(total / (2.0 * kPi)));
}

TEST_F(VelboModelerDomain, AxialCutThroughZeroIsARingAroundTheOrigin)
{
    ASSERT_TRUE(modeler.buildDomain(4, 10, false));
    const VDouble b = modeler.domainBounding();
    capture.clear();
    const VFloat polygon = modeler.intersectAtXDir(0.0);
    EXPECT_EQ(capture.log(), "VelboModeler::intersectAtXDir(): start\n");
    EXPECT_EQ(capture.err(), "");
    // The grid interpolates in single precision: Fz of the crossing points
    // is 0 to within a few float steps of the Fz range.
    const float tolerance = static_cast<float>(1e-6 * (b[1] - b[0]));
    const std::vector<Pt> ring = ringOf(polygon, 0, 0.0f, tolerance);
    EXPECT_EQ(polygon.size(), 3 * (ring.size() + 2));
    EXPECT_EQ(windingAboutOrigin(ring), 1);
    for (const Pt& p : ring) {
        EXPECT_LE(p.u, b[3] * (1 + 1e-6));
        EXPECT_GE(p.u, b[2] * (1 + 1e-6));
    }
}

TEST_F(VelboModelerDomain, AxialCutCrossesEachStrainPathOnce)
{
    // Four directions and three steps: every path goes from tension to
    // compression and crosses Fz = 0 once, between its first two steps.
    ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    const VDouble fz = modeler.fzVector();
    const VDouble mx = modeler.mxVector();
    const VDouble my = modeler.myVector();
    const VDouble b = modeler.domainBounding();
    const VFloat polygon = modeler.intersectAtXDir(0.0);
    // Single-precision grid: a few float steps of the range (see above).
    const std::vector<Pt> ring = ringOf(polygon, 0, 0.0f, static_cast<float>(1e-6 * (b[1] - b[0])));
    ASSERT_EQ(ring.size(), 4u);
    // The crossing points are float interpolations of the stored doubles.
    const double scale = *std::max_element(mx.begin(), mx.end());
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("direction " + std::to_string(i));
        const int k = 3 * i;
        const double t = (0.0 - fz[k]) / (fz[k + 1] - fz[k]);
        const Pt expected{mx[k] + t * (mx[k + 1] - mx[k]), my[k] + t * (my[k + 1] - my[k])};
        const bool found = std::any_of(ring.begin(), ring.end(), [&](const Pt& p) {
            return std::fabs(p.u - expected.u) < 1e-6 * scale && std::fabs(p.v - expected.v) < 1e-6 * scale;
        });
        EXPECT_TRUE(found) << "expected (" << expected.u << ", " << expected.v << ")";
    }
    EXPECT_EQ(windingAboutOrigin(ring), 1);
}

TEST_F(VelboModelerDomain, MomentCutsRunInTheOtherTwoComponents)
{
    ASSERT_TRUE(modeler.buildDomain(4, 10, false));
    const VDouble b = modeler.domainBounding();
    const float tolerance = static_cast<float>(1e-6 * (b[3] - b[2]));
    capture.clear();

    const VFloat alongMy = modeler.intersectAtYDir(0.0);  // Mx = 0: ring in (Fz, My)
    EXPECT_EQ(capture.log(), "VelboModeler::intersectAtYDir(): start\n");
    EXPECT_EQ(capture.err(), "");
    const std::vector<Pt> ringY = ringOf(alongMy, 1, 0.0f, tolerance);
    EXPECT_EQ(windingAboutOrigin(ringY), 1);
    capture.clear();

    const VFloat alongMx = modeler.intersectAtZDir(0.0);  // My = 0: ring in (Fz, Mx)
    const std::vector<Pt> ringZ = ringOf(alongMx, 2, 0.0f, tolerance);
    EXPECT_EQ(windingAboutOrigin(ringZ), 1);
    EXPECT_EQ(capture.log(), "VelboModeler::intersectAtZDir(): start\n"
                             "VelboModeler::intersectAtZDir(): cut at My = 0 with " +
                                 std::to_string(alongMx.size() / 3) + " vertices\n");
    EXPECT_EQ(capture.err(), "");

    // Both rings span the axial strength of the section.
    for (const std::vector<Pt>* ring : {&ringY, &ringZ}) {
        const auto [lo, hi] = std::minmax_element(ring->begin(), ring->end(),
                                                  [](const Pt& p, const Pt& q) { return p.u < q.u; });
        EXPECT_LT(lo->u, 0.5 * b[0]);
        EXPECT_GT(hi->u, 0.5 * b[1]);
    }
}

// The grid's line for a cut value outside the bounds of its component.
std::string rangeLine(const std::string& axis, const std::string& bound, float value, float min, float max)
{
    std::ostringstream os;
    os << axis << "Slice < m_min" << bound << " || " << axis << "Slice > m_max" << bound << " " << axis
       << "Slice=(" << value << ") m_min" << bound << "=(" << min << ") m_max" << bound << "=(" << max
       << ")\n";
    return os.str();
}

TEST_F(VelboModelerDomain, CutsOutsideTheDomainAreRefused)
{
    ASSERT_TRUE(modeler.buildDomain(2, 4, false));
    const VDouble b = modeler.domainBounding();
    auto f = [](double v) { return static_cast<float>(v); };
    capture.clear();

    EXPECT_TRUE(modeler.intersectAtZDir(1e12).empty());
    EXPECT_EQ(capture.err(), rangeLine("z", "Z", 1e12f, f(b[4]), f(b[5])) +
                                 "VelboModeler::intersectAtZDir(): toVertexIntersecZdir failed at My = 1e+12\n"
                                 "VelboModeler::intersectAtZDir(): no cut of the domain, return empty\n");
    EXPECT_EQ(capture.log(), "VelboModeler::intersectAtZDir(): start\n");
    capture.clear();

    EXPECT_TRUE(modeler.intersectAtYDir(1e12).empty());
    EXPECT_EQ(capture.err(), rangeLine("y", "Y", 1e12f, f(b[2]), f(b[3])) +
                                 "VelboModeler::intersectAtYDir(): no cut of the domain, return empty\n");
    EXPECT_EQ(capture.log(), "VelboModeler::intersectAtYDir(): start\n");
    capture.clear();

    EXPECT_TRUE(modeler.intersectAtXDir(-1e12).empty());
    EXPECT_EQ(capture.err(), rangeLine("x", "X", -1e12f, f(b[0]), f(b[1])) +
                                 "VelboModeler::intersectAtXDir(): no cut of the domain, return empty\n");
    EXPECT_EQ(capture.log(), "VelboModeler::intersectAtXDir(): start\n");
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerDomain, CutsAtNotANumberAreRefusedLikeCutsOutOfRange)
{
    ASSERT_TRUE(modeler.buildDomain(2, 4, false));
    const VDouble b = modeler.domainBounding();
    auto f = [](double v) { return static_cast<float>(v); };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const float fnan = std::numeric_limits<float>::quiet_NaN();
    capture.clear();

    EXPECT_TRUE(modeler.intersectAtXDir(nan).empty());
    EXPECT_EQ(capture.err(), rangeLine("x", "X", fnan, f(b[0]), f(b[1])) +
                                 "VelboModeler::intersectAtXDir(): no cut of the domain, return empty\n");
    capture.clear();

    EXPECT_TRUE(modeler.intersectAtYDir(nan).empty());
    EXPECT_EQ(capture.err(), rangeLine("y", "Y", fnan, f(b[2]), f(b[3])) +
                                 "VelboModeler::intersectAtYDir(): no cut of the domain, return empty\n");
    capture.clear();

    EXPECT_TRUE(modeler.intersectAtZDir(nan).empty());
    EXPECT_EQ(capture.err(), rangeLine("z", "Z", fnan, f(b[4]), f(b[5])) +
                                 "VelboModeler::intersectAtZDir(): toVertexIntersecZdir failed at My = nan\n"
                                 "VelboModeler::intersectAtZDir(): no cut of the domain, return empty\n");
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerDomain, CutAtTheLargestFzGivesTheUniformTensionPoints)
{
    ASSERT_TRUE(modeler.buildDomain(2, 4, false));
    const double fzMax = modeler.domainBounding()[1];
    const VDouble mx = modeler.mxVector();
    const double scale = *std::max_element(mx.begin(), mx.end());
    capture.clear();
    // A double just above the bound rounds to the same float and gives the same cut.
    const VFloat atBound = modeler.intersectAtXDir(fzMax);
    EXPECT_EQ(modeler.intersectAtXDir(std::nextafter(fzMax, 2.0 * fzMax)), atBound);
    EXPECT_EQ(capture.err(), "");
    // The bars are symmetric: uniform tension has no moment, up to rounding.
    ASSERT_GE(atBound.size(), 9u);
    for (std::size_t k = 0; k < atBound.size(); k += 3) {
        EXPECT_EQ(atBound[k], static_cast<float>(fzMax));
        EXPECT_LE(std::fabs(atBound[k + 1]), kMomentTolerance * scale);
        EXPECT_LE(std::fabs(atBound[k + 2]), kMomentTolerance * scale);
    }
    EXPECT_TRUE(modeler.intersectAtXDir(fzMax * (1.0 + 1e-6)).empty());
    EXPECT_NE(capture.err(), "");
}

// ---------------------------------------------------------------------------
// Counters

TEST(VelboModelerDomainLifecycle, EveryCounterReturnsAfterBuildsAndCuts)
{
    const Counts before = Counts::now();
    {
        StreamCapture capture;
        VelboModeler modeler;
        ASSERT_TRUE(modeler.addSection(1));
        addRectangle(modeler);
        ASSERT_TRUE(modeler.meshMake());
        ASSERT_TRUE(modeler.meshesSliceAtYrays({100.0, 250.0}));
        ASSERT_TRUE(modeler.buildDomain(2, 4, false));
        const Counts built = Counts::now();
        EXPECT_FALSE(modeler.intersectAtXDir(0.0).empty());
        EXPECT_FALSE(modeler.intersectAtYDir(0.0).empty());
        EXPECT_FALSE(modeler.intersectAtZDir(0.0).empty());
        EXPECT_TRUE(modeler.intersectAtZDir(1e12).empty());
        EXPECT_EQ(modeler.domainBounding().size(), 6u);
        EXPECT_EQ(Counts::now(), built);  // queries leave nothing behind
        ASSERT_TRUE(modeler.buildDomain(3, 5, true));
        ASSERT_TRUE(modeler.addSection(2));
        addRectangle(modeler, 100);
        ASSERT_TRUE(modeler.buildDomain(1, 2, false));
        EXPECT_FALSE(modeler.getTriangles().empty());
    }
    EXPECT_EQ(Counts::now(), before);
}

}  // namespace
