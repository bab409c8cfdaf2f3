#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "live_counts.h"
#include "stream_capture.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbonode2d.h"

namespace {

const std::string kNoCurrent = "ERR: None model current yet.\n";
const std::string kWrongIndex = "ERR: Wrong mesh index \n";

std::vector<int> idsOf(const VecNodes& nodes)
{
    std::vector<int> ids;
    for (const VelboNode2D& n : nodes) ids.push_back(n.id());
    return ids;
}

// The seven queries that take a mesh index, each answering whether it gave
// its failure value.
struct IndexedQuery {
    std::string name;
    std::function<bool(const VelboModeler&, int)> fails;
};

const std::vector<IndexedQuery>& indexedQueries()
{
    static const std::vector<IndexedQuery> queries = {
        {"nodesSizeAtMesh", [](const VelboModeler& m, int i) { return m.nodesSizeAtMesh(i) == -1; }},
        {"trianglesSizeAtMesh",
         [](const VelboModeler& m, int i) { return m.trianglesSizeAtMesh(i) == -1; }},
        {"circlesSizeAtMesh", [](const VelboModeler& m, int i) { return m.circlesSizeAtMesh(i) == -1; }},
        {"getNodesAtMesh", [](const VelboModeler& m, int i) { return m.getNodesAtMesh(i).empty(); }},
        {"getTrianglesIdsAtMesh",
         [](const VelboModeler& m, int i) { return m.getTrianglesIdsAtMesh(i).empty(); }},
        {"getTrianglesCoordsAtMesh",
         [](const VelboModeler& m, int i) { return m.getTrianglesCoordsAtMesh(i).empty(); }},
        {"getCirclesAtMesh", [](const VelboModeler& m, int i) { return m.getCirclesAtMesh(i).empty(); }},
    };
    return queries;
}

// ---------------------------------------------------------------------------
// Checks

TEST(VelboModelerMeshes, EveryMethodChecksTheCurrentModel)
{
    VelboModeler modeler;
    StreamCapture capture;
    EXPECT_EQ(modeler.meshSize(), 0);
    EXPECT_EQ(capture.err(), kNoCurrent);
    capture.clear();
    EXPECT_FALSE(modeler.meshMake());
    EXPECT_FALSE(modeler.meshReset());
    EXPECT_FALSE(modeler.meshesSliceAtYrays({0.5}));
    EXPECT_FALSE(modeler.meshesSliceAtRays({{1.0, 1.0, -1.0}}));
    EXPECT_EQ(capture.err(), kNoCurrent + kNoCurrent + kNoCurrent + kNoCurrent);
    capture.clear();
    for (const IndexedQuery& q : indexedQueries()) {
        SCOPED_TRACE(q.name);
        EXPECT_TRUE(q.fails(modeler, 0));
        EXPECT_EQ(capture.err(), kNoCurrent);
        capture.clear();
    }
    EXPECT_EQ(capture.log(), "");
    EXPECT_EQ(capture.out(), "");
}

TEST(VelboModelerMeshes, IndexOutsideTheMeshListIsRefused)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    ASSERT_TRUE(modeler.addTriangle(2, 2, 3, 1));
    modeler.setLogLevel(1);
    StreamCapture capture;

    // Before meshMake there is no mesh at all.
    EXPECT_EQ(modeler.meshSize(), 0);
    EXPECT_TRUE(indexedQueries()[0].fails(modeler, 0));
    EXPECT_EQ(capture.err(), kWrongIndex);
    capture.clear();

    ASSERT_TRUE(modeler.meshMake());
    EXPECT_EQ(modeler.meshSize(), 2);
    for (const IndexedQuery& q : indexedQueries()) {
        for (const int index : {2, -1}) {
            SCOPED_TRACE(q.name + " at " + std::to_string(index));
            EXPECT_TRUE(q.fails(modeler, index));
            EXPECT_EQ(capture.err(), kWrongIndex);
            capture.clear();
        }
        q.fails(modeler, 1);  // the last valid index
        EXPECT_EQ(capture.err(), "");
    }
    EXPECT_EQ(modeler.nodesSizeAtMesh(1), 3);
    EXPECT_EQ(capture.log(), "");  // no mesh method logs, whatever the level
    EXPECT_EQ(capture.out(), "");
    modeler.setLogLevel(0);
}

// ---------------------------------------------------------------------------
// One triangle (0, 0), (1, 0), (0, 1) with node ids 1, 2, 3 and id 7

class VelboModelerOneTriangle : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(modeler.addSection(1));
        ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
        ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
        ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
        ASSERT_TRUE(modeler.addTriangle(7, 1, 2, 3));
    }

    void expectUnsliced() const
    {
        EXPECT_EQ(modeler.meshSize(), 1);
        EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 1);
        EXPECT_EQ(modeler.nodesSizeAtMesh(0), 3);
        EXPECT_EQ(modeler.getTrianglesIdsAtMesh(0), (MIntVInt{{0, {1, 2, 3}}}));
        EXPECT_EQ(modeler.getTrianglesCoordsAtMesh(0),
                  (MIntVDouble{{0, {0.0, 0.0, 1.0, 0.0, 0.0, 1.0}}}));
    }

    StreamCapture capture;
    VelboModeler modeler;
};

TEST_F(VelboModelerOneTriangle, MeshMakeCopiesTheTriangle)
{
    EXPECT_TRUE(modeler.meshMake());
    expectUnsliced();
    EXPECT_EQ(modeler.circlesSizeAtMesh(0), 0);
    EXPECT_TRUE(modeler.getCirclesAtMesh(0).empty());
    const VecNodes nodes = modeler.getNodesAtMesh(0);
    EXPECT_EQ(idsOf(nodes), (std::vector<int>{1, 2, 3}));

    // A mesh is a copy: moving a facade node leaves it.
    ASSERT_TRUE(modeler.setNodeX(2, 5.0));
    EXPECT_EQ(modeler.getTrianglesCoordsAtMesh(0).at(0).at(2), 1.0);
    // meshMake again replaces the list by meshes of the moved triangle.
    EXPECT_TRUE(modeler.meshMake());
    EXPECT_EQ(modeler.meshSize(), 1);
    EXPECT_EQ(modeler.getTrianglesCoordsAtMesh(0).at(0).at(2), 5.0);
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST_F(VelboModelerOneTriangle, HorizontalRaySplitsIntoThreeTriangles)
{
    ASSERT_TRUE(modeler.meshMake());
    EXPECT_TRUE(modeler.meshesSliceAtYrays({0.5}));
    EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 3);
    EXPECT_EQ(modeler.getTrianglesIdsAtMesh(0),
              (MIntVInt{{0, {0, 3, 0}}, {1, {0, 0, 1}}, {2, {0, 1, 2}}}));
    EXPECT_EQ(modeler.getTrianglesCoordsAtMesh(0),
              (MIntVDouble{{0, {0.5, 0.5, 0.0, 1.0, 0.0, 0.5}},
                           {1, {0.5, 0.5, 0.0, 0.5, 0.0, 0.0}},
                           {2, {0.5, 0.5, 0.0, 0.0, 1.0, 0.0}}}));
    EXPECT_EQ(modeler.nodesSizeAtMesh(0), 5);
    const VecNodes nodes = modeler.getNodesAtMesh(0);
    EXPECT_EQ(idsOf(nodes), (std::vector<int>{1, 2, 3, 0, 0}));
    ASSERT_EQ(nodes.size(), 5u);
    EXPECT_EQ(nodes[3].xn(), 0.5);
    EXPECT_EQ(nodes[3].yn(), 0.5);
    EXPECT_EQ(nodes[4].xn(), 0.0);
    EXPECT_EQ(nodes[4].yn(), 0.5);
    for (const VelboNode2D& n : nodes) {  // copies, not links into the mesh
        EXPECT_EQ(n.getNextNode(), nullptr);
        EXPECT_EQ(n.getBeforeNode(), nullptr);
    }
    EXPECT_EQ(modeler.circlesSizeAtMesh(0), 0);
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST_F(VelboModelerOneTriangle, ResetWorksOnlyAfterASuccessfulSlicing)
{
    ASSERT_TRUE(modeler.meshMake());
    EXPECT_FALSE(modeler.meshReset());
    expectUnsliced();

    ASSERT_TRUE(modeler.meshesSliceAtYrays({0.5}));
    EXPECT_TRUE(modeler.meshReset());
    expectUnsliced();
    EXPECT_FALSE(modeler.meshReset());
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST_F(VelboModelerOneTriangle, SlicingWithoutMeshesSucceedsAndAllowsAReset)
{
    EXPECT_EQ(modeler.meshSize(), 0);
    EXPECT_TRUE(modeler.meshesSliceAtYrays({0.5}));
    EXPECT_EQ(modeler.meshSize(), 0);
    EXPECT_TRUE(modeler.meshReset());
    expectUnsliced();
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST_F(VelboModelerOneTriangle, LineRayThroughTwoVerticesCutsNothing)
{
    ASSERT_TRUE(modeler.meshMake());
    EXPECT_TRUE(modeler.meshesSliceAtRays({{1.0, 1.0, -1.0}}));
    expectUnsliced();
    // The slicing counted as a success: a reset is possible.
    EXPECT_TRUE(modeler.meshReset());
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST_F(VelboModelerOneTriangle, EmptyRayListOnFreshMeshesFailsSilently)
{
    ASSERT_TRUE(modeler.meshMake());
    EXPECT_FALSE(modeler.meshesSliceAtRays({}));
    expectUnsliced();
    EXPECT_FALSE(modeler.meshReset());  // a failed slicing allows no reset
    EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
}

TEST_F(VelboModelerOneTriangle, ShortRayRowIsRefusedBeforeAnyMeshIsTouched)
{
    ASSERT_TRUE(modeler.meshMake());
    struct Case {
        VVDouble rays;
        std::string err;
    };
    // The line x - y = 0 alone would cut the triangle in two.
    const Case cases[] = {
        {{{1.0, 1.0}}, "ERR: Ray at row 0 needs three numbers a, b, c, it has 2\n"},
        {{{}}, "ERR: Ray at row 0 needs three numbers a, b, c, it has 0\n"},
        {{{1.0, -1.0, 0.0}, {2.0}}, "ERR: Ray at row 1 needs three numbers a, b, c, it has 1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_FALSE(modeler.meshesSliceAtRays(c.rays));
        EXPECT_EQ(capture.err(), c.err);
        capture.clear();
        expectUnsliced();
        EXPECT_FALSE(modeler.meshReset());
    }
    EXPECT_TRUE(modeler.meshesSliceAtRays({{1.0, -1.0, 0.0}}));
    EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 2);
    EXPECT_EQ(capture.log() + capture.out(), "");
}

TEST(VelboModelerMeshes, LineRaysAreReadAsABC)
{
    // The triangle (0, 0), (2, 0), (0, 2) with node ids 1, 2, 3.
    struct Case {
        std::string line;
        VVDouble rays;
        MIntVInt ids;
        MIntVDouble coords;
    };
    const Case cases[] = {
        // x + y - 1 = 0: (0, 0) is the lone vertex on one side of it.
        // Numbers after the third of a row are ignored.
        {"x + y - 1 = 0",
         {{1.0, 1.0, -1.0, 99.0}},
         {{0, {0, 1, 0}}, {1, {0, 0, 2}}, {2, {0, 2, 3}}},
         {{0, {0.0, 1.0, 0.0, 0.0, 1.0, 0.0}},
          {1, {0.0, 1.0, 1.0, 0.0, 2.0, 0.0}},
          {2, {0.0, 1.0, 2.0, 0.0, 0.0, 2.0}}}},
        // x + 2 y - 2 = 0 runs through (2, 0) and cuts the side from (0, 2) to (0, 0).
        {"x + 2y - 2 = 0",
         {{1.0, 2.0, -2.0}},
         {{0, {0, 1, 2}}, {1, {0, 2, 3}}},
         {{0, {0.0, 1.0, 0.0, 0.0, 2.0, 0.0}}, {1, {0.0, 1.0, 2.0, 0.0, 0.0, 2.0}}}},
        // 2 x + y - 2 = 0 runs through (0, 2) and cuts the side from (0, 0) to (2, 0).
        {"2x + y - 2 = 0",
         {{2.0, 1.0, -2.0}},
         {{0, {0, 2, 3}}, {1, {0, 3, 1}}},
         {{0, {1.0, 0.0, 2.0, 0.0, 0.0, 2.0}}, {1, {1.0, 0.0, 0.0, 2.0, 0.0, 0.0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        VelboModeler modeler;
        ASSERT_TRUE(modeler.addSection(1));
        ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
        ASSERT_TRUE(modeler.addNode(2, 2.0, 0.0));
        ASSERT_TRUE(modeler.addNode(3, 0.0, 2.0));
        ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
        ASSERT_TRUE(modeler.meshMake());
        StreamCapture capture;
        EXPECT_TRUE(modeler.meshesSliceAtRays(c.rays));
        EXPECT_EQ(modeler.getTrianglesIdsAtMesh(0), c.ids);
        EXPECT_EQ(modeler.getTrianglesCoordsAtMesh(0), c.coords);
        EXPECT_EQ(capture.err() + capture.log() + capture.out(), "");
    }
}

TEST(VelboModelerMeshes, SlicingAgainKeepsTheAreaOfTheTriangle)
{
    // The line through (2, 2) given twice, then a horizontal ray, which
    // applies the stored line once more: the pieces always cover the
    // triangle of area 6 once, and the line cuts only the first time.
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 6.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 2.0, 2.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    ASSERT_TRUE(modeler.meshMake());
    const auto area = [&modeler]() {
        double sum = 0.0;
        for (const auto& entry : modeler.getTrianglesCoordsAtMesh(0)) {
            const VDouble& c = entry.second;
            sum += 0.5 * std::fabs((c[2] - c[0]) * (c[5] - c[1]) - (c[4] - c[0]) * (c[3] - c[1]));
        }
        return sum;
    };
    ASSERT_TRUE(modeler.meshesSliceAtRays({{-0.5, 0.4, 0.2}}));
    EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 2);
    EXPECT_NEAR(area(), 6.0, 1e-12);
    ASSERT_TRUE(modeler.meshesSliceAtRays({{-0.5, 0.4, 0.2}}));
    EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 2);
    EXPECT_NEAR(area(), 6.0, 1e-12);
    ASSERT_TRUE(modeler.meshesSliceAtYrays({1.0}));
    EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 6);
    EXPECT_NEAR(area(), 6.0, 1e-12);
}

TEST(VelboModelerMeshes, QueriesSeeTheMeshesOfTheCurrentModel)
{
    VelboModeler modeler;
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
    ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
    ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
    ASSERT_TRUE(modeler.addNode(4, 1.0, 1.0));
    ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
    ASSERT_TRUE(modeler.addTriangle(2, 2, 4, 3));
    ASSERT_TRUE(modeler.addSection(2));
    ASSERT_TRUE(modeler.addTriangle(3, 1, 2, 4));
    ASSERT_TRUE(modeler.meshMake());
    ASSERT_TRUE(modeler.meshesSliceAtYrays({0.5}));
    EXPECT_EQ(modeler.meshSize(), 1);
    EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 3);

    ASSERT_TRUE(modeler.setCurrent(1));
    EXPECT_EQ(modeler.meshSize(), 0);
    ASSERT_TRUE(modeler.meshMake());
    EXPECT_EQ(modeler.meshSize(), 2);
    // One mesh per triangle, in the order they were added.
    EXPECT_EQ(modeler.getTrianglesIdsAtMesh(0), (MIntVInt{{0, {1, 2, 3}}}));
    EXPECT_EQ(modeler.getTrianglesIdsAtMesh(1), (MIntVInt{{0, {2, 4, 3}}}));

    ASSERT_TRUE(modeler.setCurrent(2));
    EXPECT_EQ(modeler.trianglesSizeAtMesh(0), 3);
}

// ---------------------------------------------------------------------------
// Counters

TEST(VelboModelerMeshes, MeshesAreCountedAndReleasedWithTheFacade)
{
    const Counts before = Counts::now();
    {
        VelboModeler modeler;
        ASSERT_TRUE(modeler.addSection(1));
        ASSERT_TRUE(modeler.addNode(1, 0.0, 0.0));
        ASSERT_TRUE(modeler.addNode(2, 1.0, 0.0));
        ASSERT_TRUE(modeler.addNode(3, 0.0, 1.0));
        ASSERT_TRUE(modeler.addNode(4, 1.0, 1.0));
        ASSERT_TRUE(modeler.addTriangle(1, 1, 2, 3));
        ASSERT_TRUE(modeler.addTriangle(2, 2, 4, 3));
        ASSERT_TRUE(modeler.addCircle(1, 4, 0.1));
        const Counts elements = Counts::now();

        ASSERT_TRUE(modeler.meshMake());
        const Counts meshed = Counts::now();
        EXPECT_EQ(meshed.meshes, elements.meshes + 2);
        EXPECT_EQ(meshed.triangles, elements.triangles + 2);
        EXPECT_EQ(meshed.nodes, elements.nodes + 6);

        ASSERT_TRUE(modeler.meshesSliceAtYrays({0.25, 0.75}));
        ASSERT_TRUE(modeler.meshesSliceAtRays({{1.0, -1.0, 0.0}}));
        EXPECT_EQ(Counts::now().meshes, elements.meshes + 2);
        ASSERT_TRUE(modeler.meshReset());
        EXPECT_EQ(Counts::now(), meshed);  // the sliced meshes are gone
        ASSERT_TRUE(modeler.meshesSliceAtYrays({0.5}));
        ASSERT_TRUE(modeler.meshMake());   // a second set replaces the sliced one
        EXPECT_EQ(modeler.meshSize(), 2);
    }
    EXPECT_EQ(Counts::now(), before);
}

}  // namespace
