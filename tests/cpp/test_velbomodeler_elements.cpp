#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <boost/format.hpp>

#include "domain_sections.h"
#include "live_counts.h"
#include "stream_capture.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbotriangle.h"

// Reads the laws of the facade's elements and calls its law listing.
struct VelboModelerInspector {
    static const VelboCostitutiveLaw* law(const VelboModeler& modeler, int lawId)
    {
        return modeler.m_laws.at(lawId);
    }
    static const VelboCostitutiveLaw* triangleLaw(const VelboModeler& modeler, int id)
    {
        return modeler.m_sectionTriangles.at(id)->getCostitutiveLaw();
    }
    static const VelboCostitutiveLaw* circleLaw(const VelboModeler& modeler, int id)
    {
        return modeler.m_sectionCircles.at(id)->getCostitutiveLaw();
    }
    static std::size_t lawCount(const VelboModeler& modeler) { return modeler.m_laws.size(); }
    static void printLawInfo(const VelboModeler& modeler) { modeler.m_print_law_info(); }
};

namespace {

using Inspector = VelboModelerInspector;

const std::string kNoCurrent = "ERR: None model current yet.\n";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kConcrete = "Calcestruzzo classe C20/25 secondo NTC2008";
const std::string kSteel = "Acciaio per c.a. B450C NTC2008";

// Model 1 current, with nodes 1 (0, 0), 2 (1, 0), 3 (0, 1) and 4 (2, 2).
class VelboModelerElements : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(modeler.addSection(1));
        ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
        ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
        ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
        ASSERT_TRUE(modeler.addNode(4, 2.0, 2.0));
        capture.clear();
    }

    StreamCapture capture;  // declared first: it outlives the facade
    VelboModeler modeler;
};

// ---------------------------------------------------------------------------
// Triangles

TEST_F(VelboModelerElements, AddTriangleListsItInTheCurrentModel)
{
    modeler.setLogLevel(1);
    EXPECT_TRUE(modeler.addTriangle(10, 1, 2, 3));
    EXPECT_EQ(capture.log(), "Added with success new triangle *10* to model *1*\n");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(modeler.trianglesSize(), 1);
    EXPECT_EQ(modeler.circlesSize(), 0);
    EXPECT_EQ(modeler.getTrianglesIds(), (MIntVInt{{10, {1, 2, 3}}}));
    EXPECT_EQ(modeler.getTrianglesCoords(), (MIntVDouble{{10, {0.0, 0.0, 1.0, 0.0, 0.0, 1.0}}}));
    EXPECT_EQ(Inspector::triangleLaw(modeler, 10), Inspector::law(modeler, -100));
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerElements, AddTriangleRefusalsInTheOrderTested)
{
    ASSERT_TRUE(modeler.addTriangle(10, 1, 2, 3));
    capture.clear();
    modeler.setLogLevel(1);
    const unsigned int triangles = VelboModeler::instancesOfTriangle();

    struct Case {
        int id, n1, n2, n3;
        std::string err;
    };
    const Case cases[] = {
        {-1, 99, 98, 97, "ERR: Cannot add triangle with id negative\n"},
        {10, 99, 98, 97, "ERR: Cannot add triangle with id yet present\n"},
        {11, 99, 98, 97, "ERR: Cannot set triangle with wrong id for node 1 \n"},
        {11, 1, 98, 97, "ERR: Cannot set triangle with wrong id for node 2 \n"},
        {11, 1, 2, 99, "ERR: Cannot set triangle with wrong id for node 3 \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_FALSE(modeler.addTriangle(c.id, c.n1, c.n2, c.n3));
        EXPECT_EQ(capture.err(), c.err);
        EXPECT_EQ(capture.log(), "");
        capture.clear();
    }
    EXPECT_EQ(modeler.trianglesSize(), 1);
    EXPECT_EQ(VelboModeler::instancesOfTriangle(), triangles);

    // The id stays taken in every model.
    ASSERT_TRUE(modeler.addSection(2));
    capture.clear();
    EXPECT_FALSE(modeler.addTriangle(10, 1, 2, 3));
    EXPECT_EQ(capture.err(), "ERR: Cannot add triangle with id yet present\n");
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerElements, ElementMethodsCheckTheCurrentModelFirst)
{
    VelboModeler fresh;
    capture.clear();
    EXPECT_FALSE(fresh.addTriangle(-1, 1, 2, 3));
    EXPECT_FALSE(fresh.addCircle(-1, 1, -1.0));
    EXPECT_EQ(fresh.trianglesSize(), -1);
    EXPECT_EQ(fresh.circlesSize(), -1);
    EXPECT_TRUE(fresh.getTrianglesIds().empty());
    EXPECT_TRUE(fresh.getTrianglesCoords().empty());
    EXPECT_TRUE(fresh.getTriangles().empty());
    EXPECT_TRUE(fresh.getCirclesIds().empty());
    EXPECT_TRUE(fresh.getCirclesRadius().empty());
    EXPECT_TRUE(fresh.getCircles().empty());
    std::string expected;
    for (int i = 0; i < 10; ++i) expected += kNoCurrent;
    EXPECT_EQ(capture.err(), expected);
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerElements, DegenerateTrianglesAndNodesOfOtherModelsAreAccepted)
{
    EXPECT_TRUE(modeler.addTriangle(10, 1, 2, 3));
    EXPECT_TRUE(modeler.addTriangle(12, 1, 1, 1));
    ASSERT_TRUE(modeler.addSection(2));
    EXPECT_TRUE(modeler.addTriangle(13, 1, 2, 3));  // model 1's nodes
    EXPECT_EQ(capture.err(), "");

    EXPECT_EQ(modeler.getTrianglesIds(), (MIntVInt{{13, {1, 2, 3}}}));
    EXPECT_EQ(modeler.trianglesSize(), 1);
    ASSERT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(modeler.getTrianglesIds(), (MIntVInt{{10, {1, 2, 3}}, {12, {1, 1, 1}}}));
    EXPECT_EQ(modeler.trianglesSize(), 2);
}

TEST_F(VelboModelerElements, TriangleListsAreByIdAndFollowTheNodes)
{
    ASSERT_TRUE(modeler.addTriangle(20, 2, 4, 3));
    ASSERT_TRUE(modeler.addTriangle(10, 1, 2, 3));
    ASSERT_TRUE(modeler.setNodeX(3, -5.0));
    const MIntVDouble coords = modeler.getTrianglesCoords();
    ASSERT_EQ(coords.size(), 2u);
    EXPECT_EQ(coords.begin()->first, 10);
    EXPECT_EQ(coords.at(10), (VDouble{0.0, 0.0, 1.0, 0.0, -5.0, 1.0}));
    EXPECT_EQ(coords.at(20), (VDouble{1.0, 0.0, 2.0, 2.0, -5.0, 1.0}));
}

TEST_F(VelboModelerElements, GetTrianglesCopiesShareTheFacadesNodes)
{
    ASSERT_TRUE(modeler.addTriangle(10, 1, 2, 3));
    ASSERT_TRUE(modeler.addTriangle(11, 2, 4, 3));
    const unsigned int edges = VelboModeler::instancesOfEdge2D();
    {
        MapTriangles triangles = modeler.getTriangles();
        ASSERT_EQ(triangles.size(), 2u);
        const VelboTriangle& t = triangles.at(10);
        EXPECT_EQ(t.id(), 10);
        EXPECT_EQ(t.getCostitutiveLaw(), nullptr);
        EXPECT_EQ(t.P1()->id(), 1);
        EXPECT_EQ(t.P2()->id(), 2);
        EXPECT_EQ(t.P3()->id(), 3);
        EXPECT_EQ(t.elementCalcArea(), 0.5);
        ASSERT_TRUE(modeler.setNodeY(3, 3.0));
        EXPECT_EQ(t.P3()->yn(), 3.0);
        EXPECT_EQ(triangles.at(11).P3()->yn(), 3.0);
    }
    // The copies' half-edges stay with the facade until it is destroyed.
    EXPECT_EQ(VelboModeler::instancesOfEdge2D(), edges + 6);
    EXPECT_EQ(modeler.getTriangles().size(), 2u);
    EXPECT_EQ(VelboModeler::instancesOfEdge2D(), edges + 12);
    EXPECT_EQ(capture.err(), "");
}

// ---------------------------------------------------------------------------
// Circles

TEST_F(VelboModelerElements, AddCircleListsItInTheCurrentModel)
{
    ASSERT_TRUE(modeler.addTriangle(10, 1, 2, 3));
    modeler.setLogLevel(1);
    capture.clear();
    EXPECT_TRUE(modeler.addCircle(10, 1, 8.0));  // a triangle 10 exists too
    EXPECT_TRUE(modeler.addCircle(20, 4, 2.5));
    EXPECT_EQ(capture.log(),
              "Added with success new circle *10* to model *1*\n"
              "Added with success new circle *20* to model *1*\n");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(modeler.circlesSize(), 2);
    EXPECT_EQ(modeler.trianglesSize(), 1);
    EXPECT_EQ(modeler.getCirclesIds(), (MIntVInt{{10, {1}}, {20, {4}}}));
    EXPECT_EQ(modeler.getCirclesRadius(), (MIntVDouble{{10, {8.0}}, {20, {2.5}}}));
    EXPECT_EQ(Inspector::circleLaw(modeler, 10), Inspector::law(modeler, -200));
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerElements, AddCircleRefusalsInTheOrderTested)
{
    ASSERT_TRUE(modeler.addCircle(20, 1, 8.0));
    modeler.setLogLevel(1);
    capture.clear();
    struct Case {
        int id, center;
        double radius;
        std::string err;
    };
    const Case cases[] = {
        {-1, 99, 0.0, "ERR: Cannot add circle with id negative\n"},
        {20, 99, 0.0, "ERR: Cannot add circle with id yet present\n"},
        {21, 99, 0.0, "ERR: Cannot set circle with wrong id for circle \n"},
        {21, 1, 0.0, "ERR: Cannot set circle with negative radius \n"},
        {21, 1, -5.0, "ERR: Cannot set circle with negative radius \n"},
        {21, 1, -kInf, "ERR: Cannot set circle with negative radius \n"},
        {21, 1, kInf, "ERR: Cannot set circle with radius not finite \n"},
        {21, 1, kNaN, "ERR: Cannot set circle with radius not finite \n"},
    };
    const Counts counts = Counts::now();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_FALSE(modeler.addCircle(c.id, c.center, c.radius));
        EXPECT_EQ(capture.err(), c.err);
        EXPECT_EQ(capture.log(), "");
        capture.clear();
        EXPECT_EQ(modeler.circlesSize(), 1);
        EXPECT_EQ(modeler.getCirclesRadius(), (MIntVDouble{{20, {8.0}}}));
        EXPECT_EQ(Counts::now(), counts);
    }
    // The refused id stays free.
    EXPECT_TRUE(modeler.addCircle(21, 1, 2.0));
}

TEST_F(VelboModelerElements, SetCircleRadiusWorksWhicheverModelIsCurrent)
{
    ASSERT_TRUE(modeler.addCircle(20, 1, 8.0));
    ASSERT_TRUE(modeler.addSection(2));
    modeler.setLogLevel(1);
    capture.clear();

    EXPECT_TRUE(modeler.setCircleRadius(20, -1.0));  // no sign check
    EXPECT_EQ(capture.err() + capture.log(), "");
    EXPECT_FALSE(modeler.setCircleRadius(99, 1.0));
    EXPECT_EQ(capture.err(), "ERR: Circle with id = 99 doesn't exist !!!\n");
    EXPECT_EQ(capture.log(), "");

    ASSERT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(modeler.getCirclesRadius(), (MIntVDouble{{20, {-1.0}}}));
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerElements, SetCircleRadiusRefusesARadiusThatIsNotFinite)
{
    ASSERT_TRUE(modeler.addCircle(20, 1, 8.0));
    modeler.setLogLevel(1);
    capture.clear();
    for (const double radius : {kNaN, kInf, -kInf}) {
        SCOPED_TRACE(radius);
        EXPECT_FALSE(modeler.setCircleRadius(20, radius));
        EXPECT_EQ(capture.err(), "ERR: Cannot set circle *20* with radius not finite \n");
        EXPECT_EQ(capture.log(), "");
        capture.clear();
        EXPECT_EQ(modeler.getCirclesRadius(), (MIntVDouble{{20, {8.0}}}));
        EXPECT_EQ(modeler.calcPointArea(), 64.0 * 3.141592653589793);
    }
    // An unknown id is reported first, as before.
    EXPECT_FALSE(modeler.setCircleRadius(99, kNaN));
    EXPECT_EQ(capture.err(), "ERR: Circle with id = 99 doesn't exist !!!\n");
}

TEST_F(VelboModelerElements, GetCirclesCopiesShareTheCentreNode)
{
    ASSERT_TRUE(modeler.addCircle(20, 4, 8.0));
    const MapCircles circles = modeler.getCircles();
    ASSERT_EQ(circles.size(), 1u);
    const VelboCircle& c = circles.at(20);
    EXPECT_EQ(c.id(), 20);
    EXPECT_EQ(c.radius(), 8.0);
    EXPECT_EQ(c.getCostitutiveLaw(), nullptr);
    ASSERT_NE(c.center(), nullptr);
    EXPECT_EQ(c.center()->id(), 4);
    ASSERT_TRUE(modeler.setNodeX(4, 7.5));
    EXPECT_EQ(c.center()->xn(), 7.5);
}

TEST(VelboModelerCircleCopies, OutliveTheFacadeWithTheirCentre)
{
    StreamCapture capture;
    const unsigned int nodes = VelboModeler::instancesOfNode2D();
    MapCircles circles;
    {
        VelboModeler modeler;
        ASSERT_TRUE(modeler.addSection(1));
        ASSERT_TRUE(modeler.addNode(4, 1.0, 2.0));
        ASSERT_TRUE(modeler.addNode(5, 3.0, 4.0));
        ASSERT_TRUE(modeler.addCircle(20, 4, 8.0));
        circles = modeler.getCircles();
        circles.at(20).setCenterNode(VelboNode2D(1.5, 2.5, 4));
        EXPECT_EQ(modeler.getNodeX(4), 1.5);
    }
    // Node 5 went with the facade, node 4 stays with the copy.
    EXPECT_EQ(VelboModeler::instancesOfNode2D(), nodes + 1);
    VelboCircle& c = circles.at(20);
    EXPECT_TRUE(c.getNodeCenter() == VelboNode2D(1.5, 2.5, 4));
    c.setCenterNode(VelboNode2D(6.0, 7.0, 8));
    EXPECT_EQ(c.getNodeCenter().id(), 8);
    circles.clear();
    EXPECT_EQ(VelboModeler::instancesOfNode2D(), nodes);
}

// ---------------------------------------------------------------------------
// Laws

TEST_F(VelboModelerElements, AddedLawsLogWithoutALineEnd)
{
    modeler.setLogLevel(1);
    const unsigned int parabolas = VelboModeler::instancesOfLawParabola();
    const unsigned int bilinears = VelboModeler::instancesOfLawBilinear();

    EXPECT_TRUE(modeler.addLawParaboleRectangle(5, "C30/37", -17.0, -0.002, -0.0035));
    EXPECT_TRUE(modeler.addLawBilinear(-1, "B500", 434.0, 200000.0, 0.0675));
    EXPECT_EQ(capture.log(),
              "INF: Added successfully law *C30/37* with id *5* !!!"
              "INF: Added successfully law *B500* with id *-1* !!!");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(VelboModeler::instancesOfLawParabola(), parabolas + 1);
    EXPECT_EQ(VelboModeler::instancesOfLawBilinear(), bilinears + 1);
    EXPECT_EQ(Inspector::law(modeler, 5)->lawDescriptionMore(), "C30/37");
    capture.clear();

    const int taken[] = {-100, -200, 5, -1};
    for (const int id : taken) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(modeler.addLawBilinear(id, "x", 1.0, 1.0, 1.0));
        EXPECT_FALSE(modeler.addLawParaboleRectangle(id, "x", -1.0, -0.002, -0.0035));
        EXPECT_EQ(capture.err(), "ERR: Law with same id exists !!!\n"
                                 "ERR: Law with same id exists !!!\n");
        EXPECT_EQ(capture.log(), "");
        capture.clear();
    }
    EXPECT_EQ(VelboModeler::instancesOfLawParabola(), parabolas + 1);
    EXPECT_EQ(VelboModeler::instancesOfLawBilinear(), bilinears + 1);
    EXPECT_EQ(capture.out(), "");
}

TEST_F(VelboModelerElements, SetTrianglesLawChangesEveryTriangleOfEveryModel)
{
    ASSERT_TRUE(modeler.addTriangle(10, 1, 2, 3));
    ASSERT_TRUE(modeler.addTriangle(11, 2, 4, 3));
    ASSERT_TRUE(modeler.addCircle(10, 1, 8.0));
    ASSERT_TRUE(modeler.addSection(2));
    ASSERT_TRUE(modeler.addTriangle(12, 1, 2, 4));
    ASSERT_TRUE(modeler.addLawParaboleRectangle(5, "C30/37", -17.0, -0.002, -0.0035));
    modeler.setLogLevel(1);
    capture.clear();

    EXPECT_TRUE(modeler.setTrianglesLaw(5));
    EXPECT_EQ(capture.log(), "INF: Changed nb. *3* triangles law with *C30/37* !!!\n");
    EXPECT_EQ(capture.err(), "");
    for (const int id : {10, 11, 12}) EXPECT_EQ(Inspector::triangleLaw(modeler, id), Inspector::law(modeler, 5));
    EXPECT_EQ(Inspector::circleLaw(modeler, 10), Inspector::law(modeler, -200));

    // A later triangle gets the default law again.
    ASSERT_TRUE(modeler.addTriangle(13, 1, 3, 4));
    EXPECT_EQ(Inspector::triangleLaw(modeler, 13), Inspector::law(modeler, -100));
}

TEST_F(VelboModelerElements, SetCirclesLawDoesNotCheckTheKindOfLaw)
{
    modeler.setLogLevel(1);
    EXPECT_TRUE(modeler.setCirclesLaw(-100));
    EXPECT_EQ(capture.log(), "INF: Changed nb. *0* circles law with *" + kConcrete + "* !!!\n");
    capture.clear();

    ASSERT_TRUE(modeler.addCircle(1, 1, 8.0));
    ASSERT_TRUE(modeler.addCircle(2, 2, 8.0));
    capture.clear();
    EXPECT_TRUE(modeler.setCirclesLaw(-100));
    EXPECT_EQ(capture.log(), "INF: Changed nb. *2* circles law with *" + kConcrete + "* !!!\n");
    EXPECT_EQ(Inspector::circleLaw(modeler, 1), Inspector::law(modeler, -100));
    EXPECT_EQ(Inspector::circleLaw(modeler, 2), Inspector::law(modeler, -100));
    EXPECT_EQ(capture.err(), "");
}

TEST_F(VelboModelerElements, SetLawOfAnUnknownIdChangesNothing)
{
    ASSERT_TRUE(modeler.addCircle(1, 1, 8.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    modeler.setLogLevel(1);
    capture.clear();
    EXPECT_FALSE(modeler.setCirclesLaw(77));
    EXPECT_FALSE(modeler.setTrianglesLaw(-7));
    EXPECT_EQ(capture.err(),
              "ERR: Law with id *77* don't exists !!!\n"
              "ERR: Law with id *-7* don't exists !!!\n");
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(Inspector::circleLaw(modeler, 1), Inspector::law(modeler, -200));
    EXPECT_EQ(Inspector::triangleLaw(modeler, 1), Inspector::law(modeler, -100));
}

// ---------------------------------------------------------------------------
// Law rules

// One law to add, with the line that refuses it ("" when it is built); %1%
// stands for the law id.
struct LawRow {
    const char* name;
    bool concrete;  // a parabola-rectangle law for the triangles, else a steel law for the bars
    double p1, p2, p3;
    const char* err;
};

constexpr double kDefaultFcd = -11.333333333333334;
constexpr double kDefaultEc2 = -0.002;
constexpr double kDefaultEcu = -0.0034999999999999996;
constexpr double kDefaultFyd = 391.304347826087;
constexpr double kDefaultEs = 210000.0;
constexpr double kDefaultEsu = 0.01;
constexpr double kPi = 3.141592653589793;

const char* const kNotFinite = "ERR: Law *%1%* has a parameter that is not finite !!!\n";
const char* const kConcreteSigns = "ERR: Concrete law *%1%* needs fcd, ec2 and ecu negative !!!\n";
const char* const kPeakBeyond = "ERR: Concrete law *%1%* needs ec2 not beyond ecu !!!\n";
const char* const kSteelSigns = "ERR: Steel law *%1%* needs fsd, Es and esu positive !!!\n";
const char* const kNoYield = "ERR: Steel law *%1%* needs esu beyond the yield strain fsd/Es !!!\n";
const char* const kNoPieces = "ERR: Law *%1%* pieces cannot be set up with these parameters !!!\n";

const LawRow kLawRows[] = {
    {"C20/25 as the default", true, kDefaultFcd, kDefaultEc2, kDefaultEcu, ""},
    {"C30/37", true, -17.0, -0.002, -0.0035, ""},
    {"C90/105, ec2 at ecu", true, -51.0, -0.0026, -0.0026, ""},
    {"peak past the ultimate strain", true, -17.0, -0.004, -0.0035, kPeakBeyond},
    {"fcd in tension", true, 17.0, -0.002, -0.0035, kConcreteSigns},
    {"fcd of zero", true, 0.0, -0.002, -0.0035, kConcreteSigns},
    {"ec2 in tension", true, -17.0, 0.002, -0.0035, kConcreteSigns},
    {"ec2 of zero", true, -17.0, 0.0, -0.0035, kConcreteSigns},
    {"ecu in tension", true, -17.0, -0.002, 0.0035, kConcreteSigns},
    {"ec2 and ecu of zero", true, -17.0, 0.0, 0.0, kConcreteSigns},
    {"all in tension", true, 17.0, 0.002, 0.0035, kConcreteSigns},
    {"fcd not a number", true, kNaN, -0.002, -0.0035, kNotFinite},
    {"ec2 infinite", true, -17.0, -kInf, -0.0035, kNotFinite},
    {"ecu infinite", true, -17.0, -0.002, -kInf, kNotFinite},
    {"square of ec2 underflows", true, -17.0, -1e-200, -0.0035, kNoPieces},
    {"2 fcd overflows", true, -1e308, -0.002, -0.0035, kNoPieces},

    {"B450C as the default", false, kDefaultFyd, kDefaultEs, kDefaultEsu, ""},
    {"B500", false, 434.78, 200000.0, 0.0675, ""},
    {"yields past ec2", false, 450.0, 200000.0, 0.01, ""},
    {"modulus of zero", false, 391.3, 0.0, 0.01, kSteelSigns},
    {"negative modulus", false, 391.3, -210000.0, 0.01, kSteelSigns},
    {"negative strength", false, -391.3, 210000.0, 0.01, kSteelSigns},
    {"strength of zero", false, 0.0, 210000.0, 0.01, kSteelSigns},
    {"limit strain of zero", false, 391.3, 210000.0, 0.0, kSteelSigns},
    {"negative limit strain", false, 391.3, 210000.0, -0.01, kSteelSigns},
    {"breaks before it yields", false, 391.3, 210000.0, 0.001, kNoYield},
    {"yields as it breaks", false, 210.0, 210000.0, 0.001, kNoYield},
    {"yield strain overflows", false, 391.3, 1e-320, 0.01, kNoYield},
    {"yield strain underflows", false, 1e-300, 1e300, 0.01, kNoPieces},
    {"strength not a number", false, kNaN, 210000.0, 0.01, kNotFinite},
    {"modulus infinite", false, 391.3, kInf, 0.01, kNotFinite},
    {"limit strain infinite", false, 391.3, 210000.0, kInf, kNotFinite},
};

// A 300 x 500 rectangle of two triangles with bars of radius 10 at (40, 460)
// and (260, 460) and of radius 8 at (40, 40) and (260, 40).
void addSmallSection(VelboModeler& modeler)
{
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(domain_sections::concreteRectangle(modeler));
    const double bars[][3] = {{40.0, 460.0, 10.0}, {260.0, 460.0, 10.0}, {40.0, 40.0, 8.0}, {260.0, 40.0, 8.0}};
    int id = 1;
    for (const auto& b : bars) {
        ASSERT_TRUE(modeler.addNode(10 + id, b[0], b[1]));
        ASSERT_TRUE(modeler.addCircle(id, 10 + id, b[2]));
        ++id;
    }
}

// The uniform strain planes of the small section, from the parameters in
// force: Fz and the moments about the concrete barycentre (150, 250).
struct UniformPoint {
    double fz, mx, my;
};

UniformPoint uniformPoint(double concreteStress, double barStress)
{
    const double big = kPi * 100.0;
    const double small = kPi * 64.0;
    return {concreteStress * 150000.0 + barStress * (2 * big + 2 * small),
            barStress * (2 * big * 210.0 - 2 * small * 210.0), 0.0};
}

void expectPoint(const VDouble& fz, const VDouble& mx, const VDouble& my, std::size_t k,
                 const UniformPoint& expected)
{
    SCOPED_TRACE(testing::Message() << "point " << k);
    ASSERT_LT(k, fz.size());
    const double scale = std::fabs(expected.fz) + std::fabs(expected.mx) / 500.0;
    EXPECT_NEAR(fz[k], expected.fz, 1e-12 * scale);
    EXPECT_NEAR(mx[k], expected.mx, 1e-12 * scale * 500.0);
    EXPECT_NEAR(my[k], expected.my, 1e-12 * scale * 300.0);
}

TEST(VelboModelerLawRules, EachLawIsRefusedOrBuiltAsItReads)
{
    for (const LawRow& row : kLawRows) {
        SCOPED_TRACE(row.name);
        StreamCapture capture;
        VelboModeler modeler;
        addSmallSection(modeler);
        const std::size_t laws = Inspector::lawCount(modeler);
        const Counts counts = Counts::now();
        capture.clear();

        const int id = row.concrete ? 7 : 8;
        const bool added = row.concrete ? modeler.addLawParaboleRectangle(id, "law", row.p1, row.p2, row.p3)
                                        : modeler.addLawBilinear(id, "law", row.p1, row.p2, row.p3);
        if (*row.err != '\0') {
            EXPECT_FALSE(added);
            EXPECT_EQ(capture.err(), (boost::format(row.err) % id).str());
            EXPECT_EQ(capture.log(), "");
            EXPECT_EQ(Inspector::lawCount(modeler), laws);
            EXPECT_EQ(Counts::now(), counts);
            // The id stays free, and the elements keep their laws.
            EXPECT_FALSE(modeler.setTrianglesLaw(id));
            EXPECT_EQ(Inspector::triangleLaw(modeler, 1), Inspector::law(modeler, -100));
            EXPECT_EQ(Inspector::circleLaw(modeler, 1), Inspector::law(modeler, -200));
            EXPECT_TRUE(modeler.addLawBilinear(id, "sound", kDefaultFyd, kDefaultEs, kDefaultEsu));
            continue;
        }
        ASSERT_TRUE(added);
        EXPECT_EQ(capture.err(), "");
        ASSERT_TRUE(row.concrete ? modeler.setTrianglesLaw(id) : modeler.setCirclesLaw(id));
        ASSERT_TRUE(modeler.buildDomain(1, 4, false));
        EXPECT_EQ(capture.err(), "");

        const double fcd = row.concrete ? row.p1 : kDefaultFcd;
        const double ec2 = row.concrete ? row.p2 : kDefaultEc2;
        const double fyd = row.concrete ? kDefaultFyd : row.p1;
        const double Es = row.concrete ? kDefaultEs : row.p2;
        // Uniform tension: the bars at their limit strain, past yield; the
        // concrete carries nothing.
        const VDouble fz = modeler.fzVector();
        const VDouble mx = modeler.mxVector();
        const VDouble my = modeler.myVector();
        expectPoint(fz, mx, my, 0, uniformPoint(0.0, fyd));
        // Uniform compression at ec2: the top of the parabola, fcd, and the
        // bars elastic or yielded.
        const double barStress = ec2 < -fyd / Es ? -fyd : Es * ec2;
        expectPoint(fz, mx, my, 4, uniformPoint(fcd, barStress));
    }
}

TEST(VelboModelerLawRules, Ec2AtEcuGivesTheDomainOfEc2AHairBelowEcu)
{
    // C90/105 against the same law whose parabola ends a hair before ecu.
    const double fcd = -51.0;
    const double ecu = -0.0026;
    StreamCapture capture;
    VDouble domains[2][3];
    int i = 0;
    for (const double ec2 : {ecu, ecu * (1.0 - 1e-12)}) {
        VelboModeler modeler;
        addSmallSection(modeler);
        ASSERT_TRUE(modeler.addLawParaboleRectangle(7, "C90/105", fcd, ec2, ecu));
        ASSERT_TRUE(modeler.setTrianglesLaw(7));
        ASSERT_TRUE(modeler.buildDomain(4, 20, false));
        domains[i][0] = modeler.fzVector();
        domains[i][1] = modeler.mxVector();
        domains[i][2] = modeler.myVector();
        ++i;
    }
    EXPECT_EQ(capture.err(), "");
    const double scale = -fcd * 150000.0;
    ASSERT_EQ(domains[0][0].size(), 17u * 21u);
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(domains[0][c].size(), domains[1][c].size());
        for (std::size_t k = 0; k < domains[0][c].size(); ++k) {
            SCOPED_TRACE(testing::Message() << "component " << c << " point " << k);
            // Moments carry a lever arm of up to the section's height.
            EXPECT_NEAR(domains[0][c][k], domains[1][c][k], 1e-9 * scale * (c == 0 ? 1.0 : 500.0));
        }
    }
}

// ---------------------------------------------------------------------------
// The law listing

TEST(VelboModelerLawListing, NewFacadeMarksTheDefaultLaws)
{
    StreamCapture capture;
    VelboModeler modeler;  // log level 0: the listing is written all the same
    Inspector::printLawInfo(modeler);
    EXPECT_EQ(capture.log(),
              "Costitutive laws:\n"
              "    id: * -200* - description: " + kSteel + " <-- current for *circles*  \n"
              "    id: * -100* - description: " + kConcrete + " <-- current for  *triangles* \n");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerLawListing, PadsShortTextsAndFollowsTheLawsLastGiven)
{
    StreamCapture capture;
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addLawBilinear(7, "B500", 434.0, 200000.0, 0.0675));
    ASSERT_TRUE(modeler.addLawParaboleRectangle(12345, "C30", -17.0, -0.002, -0.0035));
    ASSERT_TRUE(modeler.setCirclesLaw(7));
    ASSERT_TRUE(modeler.setTrianglesLaw(7));
    capture.clear();
    Inspector::printLawInfo(modeler);
    EXPECT_EQ(capture.log(),
              "Costitutive laws:\n"
              "    id: * -200* - description: " + kSteel + "                     \n"
              "    id: * -100* - description: " + kConcrete + "                     \n"
              "    id: *    7* - description:                 B500 "
              "<-- current for *circles* *triangles* \n"
              "    id: *12345* - description:                  C30                     \n");
    EXPECT_EQ(capture.err(), "");
}

}  // namespace
