#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "live_counts.h"
#include "stream_capture.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbonode2d.h"

// Reads the facade's private state that no public method shows.
struct VelboModelerInspector {
    static std::vector<int> lawIds(const VelboModeler& modeler)
    {
        std::vector<int> ids;
        for (const auto& entry : modeler.m_laws) ids.push_back(entry.first);
        return ids;
    }
    static std::string lawDescription(const VelboModeler& modeler, int id)
    {
        return modeler.m_laws.at(id)->lawDescriptionMore();
    }
};

namespace {

// The ten count lines of the information table, as the facade writes them.
std::string countLines(const Counts& c)
{
    return "Section models     ==> " + std::to_string(c.models) + "\n" +
           "Meshes             ==> " + std::to_string(c.meshes) + "\n" +
           "Nodes              ==> " + std::to_string(c.nodes) + "\n" +
           "Triangles          ==> " + std::to_string(c.triangles) + "\n" +
           "Circles            ==> " + std::to_string(c.circles) + "\n" +
           "Edges              ==> " + std::to_string(c.edges) + "\n" +
           "Laws bilinear      ==> " + std::to_string(c.bilinear) + "\n" +
           "Laws parabola rec. ==> " + std::to_string(c.parabola) + "\n" +
           "Interaction points ==> " + std::to_string(c.points) + "\n" +
           "Forces             ==> " + std::to_string(c.forces) + "\n";
}

const std::string kNoCurrent = "ERR: None model current yet.\n";
const std::string kDashes = "--------------------------\n";

// ---------------------------------------------------------------------------
// A new facade

TEST(VelboModelerNew, HasNoModelAndTheTwoDefaultLaws)
{
    const Counts before = Counts::now();
    VelboModeler modeler;
    const Counts after = Counts::now();
    EXPECT_EQ(after.parabola, before.parabola + 1);
    EXPECT_EQ(after.bilinear, before.bilinear + 1);
    EXPECT_EQ(after.models, before.models);
    EXPECT_EQ(after.nodes, before.nodes);

    EXPECT_EQ(VelboModelerInspector::lawIds(modeler), (std::vector<int>{-200, -100}));
    EXPECT_EQ(VelboModelerInspector::lawDescription(modeler, -100),
              "Calcestruzzo classe C20/25 secondo NTC2008");
    EXPECT_EQ(VelboModelerInspector::lawDescription(modeler, -200), "Acciaio per c.a. B450C NTC2008");

    StreamCapture capture;
    EXPECT_EQ(modeler.getCurrent(), -1);
    EXPECT_EQ(capture.err(), "No current model yet. Return -1\n");
    capture.clear();

    EXPECT_TRUE(modeler.getIndexes().empty());
    EXPECT_EQ(modeler.sizeOfSectionModels(), 0);
    EXPECT_EQ(capture.log(), "");  // the note on no models is gated by the log switch
    EXPECT_EQ(capture.err(), "");

    EXPECT_EQ(modeler.nodesSize(), -1);
    EXPECT_EQ(capture.err(), kNoCurrent);
    capture.clear();

    EXPECT_EQ(modeler.getCurrentType(), "");
    EXPECT_EQ(capture.err(), kNoCurrent);
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerNew, NotesThatItHasNoModelsWhenLogging)
{
    StreamCapture capture;  // outlives the facade, whose destructor logs
    VelboModeler modeler;
    modeler.setLogLevel(1);
    EXPECT_TRUE(modeler.getIndexes().empty());
    EXPECT_EQ(capture.log(), "VelboModeler: No models. \n");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerNew, MethodsOnTheCurrentModelFailWithTheirFailureValue)
{
    VelboModeler modeler;
    StreamCapture capture;
    EXPECT_FALSE(modeler.addNode(1, 0.0, 0.0));
    EXPECT_TRUE(modeler.getNodesCoords().empty());
    EXPECT_TRUE(modeler.getNodes().empty());
    modeler.sectionRotate(90.0, 0.0, 0.0);
    EXPECT_FALSE(modeler.setCurrent(0));
    EXPECT_EQ(capture.err(), kNoCurrent + kNoCurrent + kNoCurrent + kNoCurrent + kNoCurrent);
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(capture.out(), "");
}

// ---------------------------------------------------------------------------
// The log switch: any non-zero level turns it on

class VelboModelerLogSwitch : public ::testing::TestWithParam<int> {};

TEST_P(VelboModelerLogSwitch, GatesTheSuccessLines)
{
    const int level = GetParam();
    StreamCapture capture;  // outlives the facade, whose destructor logs
    VelboModeler modeler;
    modeler.setLogLevel(level);
    ASSERT_TRUE(modeler.addSection(3));
    ASSERT_TRUE(modeler.addNode(4, 1.0, 2.0));
    const std::string expected =
        level == 0 ? ""
                   : "Added with success new section model id = 3\n"
                     "Added with success new node 2D *4* to model *3*\n";
    EXPECT_EQ(capture.log(), expected);
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.out(), "");
}

INSTANTIATE_TEST_SUITE_P(Levels, VelboModelerLogSwitch, ::testing::Values(0, 1, -1, 7));

// ---------------------------------------------------------------------------
// Section models

TEST(VelboModelerSections, AddSectionAcceptsZeroAndRefusesNegativeOrTakenIds)
{
    StreamCapture capture;  // outlives the facade, whose destructor logs
    VelboModeler modeler;
    modeler.setLogLevel(1);

    EXPECT_TRUE(modeler.addSection(0));
    EXPECT_EQ(capture.log(), "Added with success new section model id = 0\n");
    EXPECT_EQ(modeler.getCurrent(), 0);
    capture.clear();

    struct Refusal {
        int id;
        std::string err;
    };
    const Refusal refusals[] = {
        {-1, "ERR: Cannot add section model with id negative\n"},
        {0, "ERR: Cannot add section model with id yet present\n"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.id);
        EXPECT_FALSE(modeler.addSection(r.id));
        EXPECT_EQ(capture.err(), r.err);
        EXPECT_EQ(capture.log(), "");
        EXPECT_EQ(modeler.sizeOfSectionModels(), 1);
        capture.clear();
    }
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerSections, IndexesAreAscending)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(5));
    ASSERT_TRUE(modeler.addSection(2));
    ASSERT_TRUE(modeler.addSection(9, false));
    EXPECT_EQ(modeler.getIndexes(), (VInt{2, 5, 9}));
    EXPECT_EQ(modeler.sizeOfSectionModels(), 3);
    EXPECT_EQ(modeler.getCurrent(), 2);
}

TEST(VelboModelerSections, OnlyAddSectionMakesTheFirstCurrentModel)
{
    StreamCapture capture;  // outlives the facade, whose destructor logs
    VelboModeler modeler;
    modeler.setLogLevel(1);

    ASSERT_TRUE(modeler.addSection(1, false));
    capture.clear();
    EXPECT_EQ(modeler.getCurrent(), -1);
    EXPECT_FALSE(modeler.setCurrent(1));
    EXPECT_EQ(capture.err(), "No current model yet. Return -1\n" + kNoCurrent);
    EXPECT_EQ(capture.log(), "");
    capture.clear();

    ASSERT_TRUE(modeler.addSection(2));
    EXPECT_EQ(modeler.getCurrent(), 2);
    EXPECT_EQ(modeler.getCurrentType(), "SectionModel");
    capture.clear();

    EXPECT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(capture.log(), "New current model id = 1\n");
    EXPECT_EQ(modeler.getCurrent(), 1);
    capture.clear();

    EXPECT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(capture.log(), "Model id = 1 is yet current !!!\n");
    EXPECT_EQ(modeler.getCurrent(), 1);
    capture.clear();

    EXPECT_FALSE(modeler.setCurrent(7));
    EXPECT_EQ(capture.err(), "ERR: Model id = 7 don't exists !!!\n");
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(modeler.getCurrent(), 1);

    ASSERT_TRUE(modeler.addSection(3, false));
    EXPECT_EQ(modeler.getCurrent(), 1);
    EXPECT_EQ(capture.out(), "");
}

// ---------------------------------------------------------------------------
// Nodes

TEST(VelboModelerNodes, NodeIdsAreUniqueAcrossModels)
{
    StreamCapture capture;  // outlives the facade, whose destructor logs
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    modeler.setLogLevel(1);

    EXPECT_TRUE(modeler.addNode(5, 1.5, -2.5));
    EXPECT_EQ(capture.log(), "Added with success new node 2D *5* to model *1*\n");
    EXPECT_EQ(modeler.nodesSize(), 1);
    capture.clear();

    EXPECT_FALSE(modeler.addNode(-1, 0.0, 0.0));
    EXPECT_EQ(capture.err(), "ERR: Cannot add node with id negative\n");
    capture.clear();

    ASSERT_TRUE(modeler.addSection(2));
    capture.clear();
    EXPECT_FALSE(modeler.addNode(5, 9.0, 9.0));
    EXPECT_EQ(capture.err(), "ERR: Cannot add node with id yet present\n");
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(modeler.nodesSize(), 0);
    EXPECT_TRUE(modeler.addNode(0, 3.0, 4.0));
    EXPECT_EQ(modeler.nodesSize(), 1);

    // Node 5 of model 1 stays readable while model 2 is current.
    EXPECT_EQ(modeler.getNodeX(5), 1.5);
    EXPECT_EQ(modeler.getNodeY(5), -2.5);
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerNodes, UnknownNodeIdsAreReported)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    StreamCapture capture;

    EXPECT_THROW(modeler.getNodeX(42), exc_id_not_present);
    EXPECT_EQ(capture.err(), "ERR: Node2D with id = 42 doesn't exist !!!\n");
    capture.clear();
    EXPECT_THROW(modeler.getNodeY(-3), exc_id_not_present);
    EXPECT_EQ(capture.err(), "ERR: Node2D with id = -3 doesn't exist !!!\n");
    capture.clear();

    EXPECT_FALSE(modeler.setNodeX(42, 1.0));
    EXPECT_EQ(capture.err(), "ERR: Node2D with id = 42 doesn't exist !!!\n");
    capture.clear();
    EXPECT_FALSE(modeler.setNodeY(43, 1.0));
    EXPECT_EQ(capture.err(), "ERR: Node2D with id = 43 doesn't exist !!!\n");
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(capture.out(), "");

    try {
        modeler.getNodeX(42);
        FAIL() << "getNodeX of an unknown id must throw";
    } catch (const exc_id_not_present& e) {
        EXPECT_STREQ(e.what(), "Id dosn't exists");
    }
}

TEST(VelboModelerNodes, SetNodeMovesTheSavedPositionToo)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 1.0, 2.0));
    StreamCapture capture;
    EXPECT_TRUE(modeler.setNodeX(1, 10.0));
    EXPECT_TRUE(modeler.setNodeY(1, 20.0));
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");

    EXPECT_EQ(modeler.getNodeX(1), 10.0);
    EXPECT_EQ(modeler.getNodeY(1), 20.0);
    // A restore of the saved geometry keeps the new position.
    VelboNode2D copy = modeler.getNodes().at(1);
    copy.nodeRestoreGeometry();
    EXPECT_EQ(copy.xn(), 10.0);
    EXPECT_EQ(copy.yn(), 20.0);
}

TEST(VelboModelerNodes, ListsHoldTheCurrentModelsNodesByAscendingId)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(7, 7.0, 70.0));
    ASSERT_TRUE(modeler.addNode(3, 3.0, 30.0));
    ASSERT_TRUE(modeler.addSection(2));
    ASSERT_TRUE(modeler.addNode(4, 4.0, 40.0));

    EXPECT_EQ(modeler.getNodesCoords(), (MIntVDouble{{4, {4.0, 40.0}}}));
    ASSERT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(modeler.getNodesCoords(), (MIntVDouble{{3, {3.0, 30.0}}, {7, {7.0, 70.0}}}));

    MapNodes nodes = modeler.getNodes();
    ASSERT_EQ(nodes.size(), 2u);
    auto it = nodes.begin();
    EXPECT_EQ(it->first, 3);
    EXPECT_EQ(it->second.id(), 3);
    EXPECT_EQ(it->second.xn(), 3.0);
    EXPECT_EQ(it->second.yn(), 30.0);
    EXPECT_EQ(it->second.getNextNode(), nullptr);
    EXPECT_EQ(it->second.getBeforeNode(), nullptr);
    ++it;
    EXPECT_EQ(it->first, 7);
    EXPECT_EQ(it->second.id(), 7);

    // The copies are the caller's: changing one leaves the facade's node.
    nodes.at(3).setXn(-1.0);
    EXPECT_EQ(modeler.getNodeX(3), 3.0);
}

TEST(VelboModelerNodes, SectionRotateTurnsTheCurrentModelAndSavesIt)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 1.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 2.0, 1.0));
    ASSERT_TRUE(modeler.addSection(2));
    ASSERT_TRUE(modeler.addNode(3, 1.0, 0.0));
    ASSERT_TRUE(modeler.setCurrent(1));

    StreamCapture capture;
    modeler.sectionRotate(90.0, 0.0, 0.0);
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
    // 90 degrees is exact.
    EXPECT_EQ(modeler.getNodeX(1), 0.0);
    EXPECT_EQ(modeler.getNodeY(1), 1.0);
    EXPECT_EQ(modeler.getNodeX(2), -1.0);
    EXPECT_EQ(modeler.getNodeY(2), 2.0);
    // The node of model 2 stays where it was.
    EXPECT_EQ(modeler.getNodeX(3), 1.0);
    EXPECT_EQ(modeler.getNodeY(3), 0.0);

    // The turned position is also the saved one.
    VelboNode2D copy = modeler.getNodes().at(1);
    copy.nodeRestoreGeometry();
    EXPECT_EQ(copy.xn(), 0.0);
    EXPECT_EQ(copy.yn(), 1.0);

    // About another point: (-1, 2) turns by 90 degrees about (1, 1) to (0, -1).
    modeler.sectionRotate(90.0, 1.0, 1.0);
    EXPECT_EQ(modeler.getNodeX(2), 0.0);
    EXPECT_EQ(modeler.getNodeY(2), -1.0);
}

TEST(VelboModelerNodes, SectionRotateRefusesATurnThatGivesNumbersThatAreNotFinite)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    StreamCapture capture;  // outlives the facade and its banners
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 1.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 2.0, 1.0));
    modeler.sectionRotate(30.0, 0.5, 0.5);  // turned off the axes, and saved there
    const MapNodes before = modeler.getNodes();
    modeler.setLogLevel(1);
    capture.clear();

    const std::string notFinite = "ERR: Cannot rotate section with angle or centre not finite\n";
    const double huge = std::numeric_limits<double>::max();
    struct Case {
        double degree, x, y;
        std::string err;
    };
    const Case cases[] = {
        {nan, 0.0, 0.0, notFinite}, {inf, 0.0, 0.0, notFinite}, {-inf, 0.0, 0.0, notFinite},
        {90.0, nan, 0.0, notFinite}, {90.0, 0.0, inf, notFinite}, {90.0, -inf, 0.0, notFinite},
        {nan, nan, nan, notFinite},
        // A finite centre so far away that a half turn about it carries the
        // nodes past the largest double.
        {180.0, huge, 0.0, "ERR: Cannot rotate section: node *1* would be turned beyond the range of numbers\n"},
        {180.0, 0.0, -huge, "ERR: Cannot rotate section: node *1* would be turned beyond the range of numbers\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.degree << " about (" << c.x << ", " << c.y << ")");
        modeler.sectionRotate(c.degree, c.x, c.y);
        EXPECT_EQ(capture.err(), c.err);
        EXPECT_EQ(capture.log() + capture.out(), "");
        capture.clear();
        const MapNodes after = modeler.getNodes();
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [id, node] : before) {
            VelboNode2D saved = after.at(id);
            EXPECT_EQ(saved.xn(), node.xn());
            EXPECT_EQ(saved.yn(), node.yn());
            saved.nodeRestoreGeometry();
            EXPECT_EQ(saved.xn(), node.xn());
            EXPECT_EQ(saved.yn(), node.yn());
        }
    }

    // Without a current model the current-model check speaks first.
    VelboModeler empty;
    empty.sectionRotate(nan, 0.0, 0.0);
    EXPECT_EQ(capture.err(), kNoCurrent);
}

TEST(VelboModelerNodes, SectionRotateByAFullTurnIsNotExact)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 1.0, 0.0));
    modeler.sectionRotate(360.0, 0.0, 0.0);
    EXPECT_NEAR(modeler.getNodeX(1), 1.0, 1e-15);
    EXPECT_NEAR(modeler.getNodeY(1), 0.0, 1e-15);
    EXPECT_NE(modeler.getNodeY(1), 0.0);  // sin(2*pi) in double is not 0
}

// ---------------------------------------------------------------------------
// Information table

TEST(VelboModelerInfo, PrintInfoWritesTheTableWithoutAnyFacade)
{
    const Counts counts = Counts::now();
    StreamCapture capture;
    VelboModeler::printInfo("hello");
    EXPECT_EQ(capture.log(), kDashes + "    INFO *VelboModeler*   \n" + kDashes + "hello\n" +
                                 countLines(counts));
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerInfo, PrintInfoCountsTheLiveObjectsWhateverTheLogLevel)
{
    VelboModeler modeler;  // log level 0
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    const Counts counts = Counts::now();
    StreamCapture capture;
    VelboModeler::printInfo("");
    EXPECT_EQ(capture.log(),
              kDashes + "    INFO *VelboModeler*   \n" + kDashes + "\n" + countLines(counts));
}

// ---------------------------------------------------------------------------
// Destruction and counters

// A facade with two models, nodes, elements, copies handed out and meshes.
void populate(VelboModeler& modeler)
{
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    ASSERT_TRUE(modeler.addCircle(1, 1, 0.1));
    ASSERT_TRUE(modeler.addSection(2));
    ASSERT_TRUE(modeler.addNode(4, 2.0, 2.0));
    ASSERT_TRUE(modeler.addTriangle(2, 2, 4, 3));
    ASSERT_TRUE(modeler.addLawBilinear(5, "steel", 400.0, 200000.0, 0.01));
    ASSERT_TRUE(modeler.addLawParaboleRectangle(6, "concrete", -20.0, -0.002, -0.0035));
    ASSERT_TRUE(modeler.meshMake());
    ASSERT_TRUE(modeler.meshesSliceAtYrays({0.5, 1.5}));
    EXPECT_EQ(modeler.getTriangles().size(), 1u);
    EXPECT_EQ(modeler.getNodes().size(), 1u);
    ASSERT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(modeler.getCircles().size(), 1u);
}

TEST(VelboModelerLifecycle, ObjectsAreCountedWhileTheFacadeLives)
{
    const Counts before = Counts::now();
    {
        VelboModeler modeler;
        ASSERT_TRUE(modeler.addSection(1));
        ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
        ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
        ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
        ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
        ASSERT_TRUE(modeler.addCircle(1, 1, 0.1));
        const Counts live = Counts::now();
        EXPECT_EQ(live.models, before.models + 1);
        EXPECT_EQ(live.nodes, before.nodes + 3);
        EXPECT_EQ(live.triangles, before.triangles + 1);
        EXPECT_EQ(live.edges, before.edges + 3);
        EXPECT_EQ(live.circles, before.circles + 1);
        EXPECT_EQ(live.parabola, before.parabola + 1);
        EXPECT_EQ(live.bilinear, before.bilinear + 1);
    }
    EXPECT_EQ(Counts::now(), before);
}

TEST(VelboModelerLifecycle, DestructionReturnsEveryCounter)
{
    const Counts before = Counts::now();
    {
        VelboModeler modeler;
        populate(modeler);
    }
    EXPECT_EQ(Counts::now(), before);
}

TEST(VelboModelerLifecycle, DestructorIsSilentAtLogLevelZero)
{
    auto modeler = std::make_unique<VelboModeler>();
    populate(*modeler);
    StreamCapture capture;
    modeler.reset();
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.out(), "");
}

class VelboModelerBanners : public ::testing::TestWithParam<int> {};

TEST_P(VelboModelerBanners, DestructorWritesBothBannersWithTheCounts)
{
    const Counts before = Counts::now();
    auto modeler = std::make_unique<VelboModeler>();
    populate(*modeler);
    modeler->setLogLevel(GetParam());
    const Counts live = Counts::now();

    StreamCapture capture;
    modeler.reset();
    EXPECT_EQ(capture.log(), "Deleting VelboModeler ...\n" + kDashes +
                                 "      before garbage      \n" + kDashes + "\n" +
                                 countLines(live) + "Deleting VelboModeler ...\n" + kDashes +
                                 "      after deleting      \n" + kDashes + "\n" +
                                 countLines(before));
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.out(), "");
}

INSTANTIATE_TEST_SUITE_P(Levels, VelboModelerBanners, ::testing::Values(1, -2));

}  // namespace
