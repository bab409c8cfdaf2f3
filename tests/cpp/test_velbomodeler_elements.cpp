#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

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
    static void printLawInfo(const VelboModeler& modeler) { modeler.m_print_law_info(); }
};

namespace {

using Inspector = VelboModelerInspector;

const std::string kNoCurrent = "ERR: None model current yet.\n";
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_FALSE(modeler.addCircle(c.id, c.center, c.radius));
        EXPECT_EQ(capture.err(), c.err);
        EXPECT_EQ(capture.log(), "");
        capture.clear();
    }
    EXPECT_EQ(modeler.circlesSize(), 1);

    // Not-a-number passes the radius test.
    EXPECT_TRUE(modeler.addCircle(21, 1, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(std::isnan(modeler.getCirclesRadius().at(21).at(0)));
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
