#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "coreobj/func2linear.h"
#include "coreobj/funclinear.h"
#include "coreobj/funcparabola.h"
#include "velbocore/velboareaproperties.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velboedge2d.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbomeshgroup.h"
#include "velbocore/velbomeshmacro.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbotriangle.h"

namespace {

struct Pt {
    double x;
    double y;
};

// A law of one piece, valid at every strain.
class OnePieceLaw : public VelboCostitutiveLaw {
public:
    explicit OnePieceLaw(Func1* piece) { addFunc(piece); }
    int lawType() const override { return LT_STRESSBLOCK; }
    std::string lawDescr() const override { return "test"; }
    double maxTractionDef() const override { return 1.0; }
    double maxCompressionDef() const override { return -1.0; }
    double maxCompUniformDef() const override { return -1.0; }
};

// A section triangle on nodes of its own (ids 1, 2, 3) and its mesh.
struct Meshed {
    explicit Meshed(const std::array<Pt, 3>& p, const VelboCostitutiveLaw* law = nullptr)
        : n1(p[0].x, p[0].y, 1), n2(p[1].x, p[1].y, 2), n3(p[2].x, p[2].y, 3), t(7)
    {
        t.setP1(&n1)->setP2(&n2)->setP3(&n3);
        t.setCostitutiveLaw(law);
        mesh.reset(t.meshMake());
    }
    ~Meshed() { t.elementSetMesh(nullptr); }

    std::vector<VelboTriangle*> triangles() const
    {
        std::vector<VelboTriangle*> v;
        mesh->getTriangles(v);
        return v;
    }
    std::vector<VelboNode2D*> nodes() const
    {
        std::vector<VelboNode2D*> v;
        mesh->getNodes(v);
        return v;
    }
    bool slice(const std::vector<double>& rays)
    {
        mesh->setRays(rays);
        return mesh->remeshWithRays();
    }

    VelboNode2D n1;
    VelboNode2D n2;
    VelboNode2D n3;
    VelboTriangle t;
    std::unique_ptr<VelboMesh> mesh;
};

FuncLinear strainField(double g, double e0)
{
    FuncLinear f;
    f.setB(g);
    f.setC(e0);
    return f;
}

void expectAt(const VelboNode2D* node, double x, double y, int id)
{
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->xn(), x);
    EXPECT_EQ(node->yn(), y);
    EXPECT_EQ(node->id(), id);
}

void expectVertices(const VelboTriangle* t, const VelboNode2D* a, const VelboNode2D* b, const VelboNode2D* c)
{
    EXPECT_EQ(t->P1(), a);
    EXPECT_EQ(t->P2(), b);
    EXPECT_EQ(t->P3(), c);
}

// Every chained triangle has a closed ring of its own three unsliced
// half-edges, twins pair up inside the mesh, and the half-edges without a
// twin run along the outline of the original triangle.
void expectSoundMesh(const VelboMesh& mesh, double perimeter)
{
    std::vector<VelboTriangle*> triangles;
    mesh.getTriangles(triangles);
    const std::set<const VelboSectionElement*> inMesh(triangles.begin(), triangles.end());
    std::vector<VelboNode2D*> nodes;
    mesh.getNodes(nodes);
    const std::set<const VelboNode2D*> chained(nodes.begin(), nodes.end());
    ASSERT_EQ(chained.size(), nodes.size()) << "a node chained twice";
    EXPECT_EQ(mesh.countNodes(), static_cast<int>(nodes.size()));
    EXPECT_EQ(mesh.nodeLast(), nodes.back());
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        EXPECT_EQ(nodes[i]->getBeforeNode(), nodes[i - 1]);
    }

    ASSERT_FALSE(triangles.empty());
    EXPECT_EQ(mesh.triangleFirst(), triangles.front());
    EXPECT_EQ(mesh.triangleLast(), triangles.back());
    EXPECT_EQ(triangles.front()->getBeforeTriangle(), nullptr);
    double outline = 0.0;
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const VelboTriangle* t = triangles[i];
        if (i > 0) {
            EXPECT_EQ(t->getBeforeTriangle(), triangles[i - 1]);
        }
        EXPECT_FALSE(t->ownsEdges());
        EXPECT_EQ(t->mesh(), nullptr);
        EXPECT_EQ(t->elementFirstEdge(), t->edgeAt(0));
        for (int k = 0; k < 3; ++k) {
            const VelboEdge2D* e = t->edgeAt(k);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->getElement(), t);
            EXPECT_FALSE(e->isSliced());
            EXPECT_EQ(e->getNext(), t->edgeAt((k + 1) % 3));
            EXPECT_EQ(e->getBefore(), t->edgeAt((k + 2) % 3));
            EXPECT_EQ(e->getNodeEnd(), e->getNext()->getNodeStart());
            EXPECT_EQ(chained.count(e->getNodeStart()), 1u) << "vertex not in the node chain";
            const VelboEdge2D* twin = e->getTwin();
            if (twin == nullptr) {
                outline += e->edgeLenght();
                continue;
            }
            EXPECT_EQ(twin->getTwin(), e);
            EXPECT_EQ(twin->getNodeStart(), e->getNodeEnd());
            EXPECT_EQ(twin->getNodeEnd(), e->getNodeStart());
            EXPECT_EQ(inMesh.count(twin->getElement()), 1u);
        }
    }
    EXPECT_NEAR(outline, perimeter, 1e-9 * perimeter);
}

double perimeterOf(const std::array<Pt, 3>& p)
{
    double s = 0.0;
    for (int k = 0; k < 3; ++k) {
        const Pt& a = p[k];
        const Pt& b = p[(k + 1) % 3];
        s += std::hypot(b.x - a.x, b.y - a.y);
    }
    return s;
}

std::vector<double> snapshot(const VelboMesh& mesh)
{
    std::vector<VelboTriangle*> triangles;
    mesh.getTriangles(triangles);
    std::vector<double> v;
    for (const VelboTriangle* t : triangles) {
        for (int k = 0; k < 3; ++k) {
            v.push_back(t->nodeAt(k)->xn());
            v.push_back(t->nodeAt(k)->yn());
        }
    }
    v.push_back(mesh.countNodes());
    return v;
}

// The sub-triangles tile the element: areas and static moments add up to
// the element's, to the rounding of coordinates of size reach on triangles
// of size extent, and no sub-triangle is turned over.
void expectTiling(const VelboMesh& mesh, const VelboTriangle& element, double reach, double extent)
{
    std::vector<VelboTriangle*> triangles;
    mesh.getTriangles(triangles);
    const double n = static_cast<double>(triangles.size());
    const double rounding = 16 * std::numeric_limits<double>::epsilon() * reach * extent * n;
    const VelboAreaProperties whole = element.elementCalcAreaProperties();
    const double cross = element.edgeAt(0)->edgeDotProd(element.edgeAt(1));
    double area = 0.0;
    double sx = 0.0;
    double sy = 0.0;
    for (const VelboTriangle* t : triangles) {
        const VelboAreaProperties p = t->elementCalcAreaProperties();
        area += p.area();
        sx += p.sx();
        sy += p.sy();
        const double c = t->edgeAt(0)->edgeDotProd(t->edgeAt(1));
        EXPECT_GE(c * (cross > 0 ? 1 : -1), -rounding) << "a sub-triangle is turned over";
    }
    EXPECT_NEAR(area, whole.area(), rounding);
    EXPECT_NEAR(sx, whole.sx(), rounding * reach);
    EXPECT_NEAR(sy, whole.sy(), rounding * reach);
}

// Every cut node (id 0) lies on the side it was cut on: the two halves of
// that side, or pieces of them, join it to two neighbours on either side of
// it along one straight line.
void expectCutNodesOnTheirSides(const VelboMesh& mesh, double reach)
{
    std::map<const VelboNode2D*, std::set<const VelboNode2D*>> neighbours;
    std::vector<VelboTriangle*> triangles;
    mesh.getTriangles(triangles);
    for (const VelboTriangle* t : triangles) {
        for (int k = 0; k < 3; ++k) {
            const VelboEdge2D* e = t->edgeAt(k);
            neighbours[e->getNodeStart()].insert(e->getNodeEnd());
            neighbours[e->getNodeEnd()].insert(e->getNodeStart());
        }
    }
    const double margin = 16 * std::numeric_limits<double>::epsilon() * reach;
    std::vector<VelboNode2D*> nodes;
    mesh.getNodes(nodes);
    for (const VelboNode2D* node : nodes) {
        if (node->id() != 0) {
            continue;
        }
        bool between = false;
        for (const VelboNode2D* s : neighbours[node]) {
            for (const VelboNode2D* e : neighbours[node]) {
                const double sx = s->xn() - node->xn();
                const double sy = s->yn() - node->yn();
                const double ex = e->xn() - node->xn();
                const double ey = e->yn() - node->yn();
                const double lengths = std::hypot(sx, sy) + std::hypot(ex, ey);
                if (s != e && sx * ex + sy * ey <= 0.0 && std::fabs(sx * ey - sy * ex) <= margin * lengths) {
                    between = true;
                }
            }
        }
        EXPECT_TRUE(between) << "cut node (" << node->xn() << ", " << node->yn() << ") off its side";
    }
}

} // namespace

// ---------------------------------------------------------------------------
// The documented slicing examples

TEST(VelboMesh, HorizontalRayThroughTwoSides)
{
    Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
    ASSERT_TRUE(m.slice({0.5}));

    const std::vector<VelboNode2D*> nodes = m.nodes();
    ASSERT_EQ(nodes.size(), 5u);
    VelboNode2D* P1 = nodes[0];
    VelboNode2D* P2 = nodes[1];
    VelboNode2D* P3 = nodes[2];
    VelboNode2D* N1 = nodes[3];
    VelboNode2D* N2 = nodes[4];
    expectAt(P1, 0, 0, 1);
    expectAt(P2, 1, 0, 2);
    expectAt(P3, 0, 1, 3);
    expectAt(N1, 0.5, 0.5, 0);
    expectAt(N2, 0, 0.5, 0);
    // Cut nodes carry the crossing as their saved position too.
    EXPECT_EQ(*N1, VelboNode2D(0.5, 0.5, 0));

    const std::vector<VelboTriangle*> t = m.triangles();
    ASSERT_EQ(t.size(), 3u);
    expectVertices(t[0], N1, P3, N2);
    expectVertices(t[1], N1, N2, P1);
    expectVertices(t[2], N1, P1, P2);
    const double areas[3] = {0.125, 0.125, 0.25};
    for (int k = 0; k < 3; ++k) {
        EXPECT_DOUBLE_EQ(t[k]->elementCalcArea(), areas[k]);
        EXPECT_EQ(t[k]->id(), 0);
    }
    expectSoundMesh(*m.mesh, 2 + std::sqrt(2.0));
}

TEST(VelboMesh, TwoHorizontalRaysInOneList)
{
    Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
    ASSERT_TRUE(m.slice({0.25, 0.75}));

    const std::vector<VelboNode2D*> n = m.nodes();
    ASSERT_EQ(n.size(), 7u);
    VelboNode2D *P1 = n[0], *P2 = n[1], *P3 = n[2], *N1 = n[3], *N2 = n[4], *M1 = n[5], *M2 = n[6];
    expectAt(N1, 0.75, 0.25, 0);
    expectAt(N2, 0, 0.25, 0);
    expectAt(M1, 0.25, 0.75, 0);
    expectAt(M2, 0, 0.75, 0);

    const std::vector<VelboTriangle*> t = m.triangles();
    ASSERT_EQ(t.size(), 5u);
    // The second ray cuts only the first triangle of the first one.
    expectVertices(t[0], M1, P3, M2);
    expectVertices(t[1], M1, M2, N2);
    expectVertices(t[2], M1, N2, N1);
    expectVertices(t[3], N1, N2, P1);
    expectVertices(t[4], N1, P1, P2);
    EXPECT_EQ(m.mesh->getYRays(), (std::vector<double>{0.25, 0.75}));
    expectSoundMesh(*m.mesh, 2 + std::sqrt(2.0));
}

TEST(VelboMesh, HorizontalRayThroughAVertex)
{
    Meshed m({{{0, 0}, {2, 1}, {0, 2}}});
    ASSERT_TRUE(m.slice({1.0}));
    const std::vector<VelboNode2D*> n = m.nodes();
    ASSERT_EQ(n.size(), 4u);
    expectAt(n[3], 0, 1, 0);
    const std::vector<VelboTriangle*> t = m.triangles();
    ASSERT_EQ(t.size(), 2u);
    expectVertices(t[0], n[3], n[0], n[1]);
    expectVertices(t[1], n[3], n[1], n[2]);
    EXPECT_DOUBLE_EQ(t[0]->elementCalcArea(), 1.0);
    EXPECT_DOUBLE_EQ(t[1]->elementCalcArea(), 1.0);
    expectSoundMesh(*m.mesh, 2 + 2 * std::sqrt(5.0));
}

TEST(VelboMesh, LineRays)
{
    {
        // x + y - 1 = 0 cuts P1 -> P2 and P3 -> P1; P1 is alone.
        Meshed m({{{0, 0}, {2, 0}, {0, 2}}});
        m.mesh->setRays(std::vector<Func2Linear>{Func2Linear(1, 1, -1)});
        ASSERT_TRUE(m.mesh->remeshWithRays());
        const std::vector<VelboNode2D*> n = m.nodes();
        ASSERT_EQ(n.size(), 5u);
        expectAt(n[3], 1, 0, 0);
        expectAt(n[4], 0, 1, 0);
        const std::vector<VelboTriangle*> t = m.triangles();
        ASSERT_EQ(t.size(), 3u);
        expectVertices(t[0], n[4], n[0], n[3]);
        expectVertices(t[1], n[4], n[3], n[1]);
        expectVertices(t[2], n[4], n[1], n[2]);
        expectSoundMesh(*m.mesh, 4 + 2 * std::sqrt(2.0));
    }
    {
        // x - y = 0 through P1 cuts only P2 -> P3, at (1, 1).
        Meshed m({{{0, 0}, {2, 0}, {0, 2}}});
        m.mesh->setRays(std::vector<Func2Linear>{Func2Linear(1, -1, 0)});
        ASSERT_TRUE(m.mesh->remeshWithRays());
        const std::vector<VelboNode2D*> n = m.nodes();
        ASSERT_EQ(n.size(), 4u);
        expectAt(n[3], 1, 1, 0);
        const std::vector<VelboTriangle*> t = m.triangles();
        ASSERT_EQ(t.size(), 2u);
        expectVertices(t[0], n[3], n[2], n[0]);
        expectVertices(t[1], n[3], n[0], n[1]);
        expectSoundMesh(*m.mesh, 4 + 2 * std::sqrt(2.0));
    }
}

TEST(VelboMesh, RayAcrossSharedSidesSplitsEachOnce)
{
    // After y = 0.5 the line x = 0.25 crosses the inner sides N2 -> N1 and
    // P1 -> N1: the first triangle to reach each splits it for both rings,
    // the neighbour only counts the two halves.
    Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
    ASSERT_TRUE(m.slice({0.5}));
    m.mesh->setRays(std::vector<Func2Linear>{Func2Linear(1, 0, -0.25)});
    ASSERT_TRUE(m.mesh->remeshWithRays());
    EXPECT_EQ(m.mesh->countNodes(), 9);
    EXPECT_EQ(m.mesh->countTriangles(), 9);
    const std::vector<VelboNode2D*> n = m.nodes();
    expectAt(n[5], 0.25, 0.75, 0); // on N1 -> P3
    expectAt(n[6], 0.25, 0.5, 0);  // on N2 -> N1, shared
    expectAt(n[7], 0.25, 0.25, 0); // on P1 -> N1, shared
    expectAt(n[8], 0.25, 0, 0);    // on P1 -> P2
    double area = 0.0;
    for (const VelboTriangle* t : m.triangles()) {
        area += t->elementCalcArea();
        const double xs[3] = {t->P1()->xn(), t->P2()->xn(), t->P3()->xn()};
        EXPECT_TRUE(std::all_of(xs, xs + 3, [](double x) { return x <= 0.25; })
                    || std::all_of(xs, xs + 3, [](double x) { return x >= 0.25; }));
    }
    EXPECT_DOUBLE_EQ(area, 0.5);
    expectSoundMesh(*m.mesh, 2 + std::sqrt(2.0));
}

TEST(VelboMesh, RaysThatDoNotCrossChangeNothing)
{
    // Touching a vertex, running along a side, outside, or a side already
    // lying on the ray.
    const std::vector<std::vector<double>> yLists = {{0.0}, {1.0}, {5.0}, {-0.5, 1.5}};
    for (const std::vector<double>& rays : yLists) {
        Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
        VelboTriangle* before = m.mesh->triangleFirst();
        EXPECT_TRUE(m.slice(rays));
        EXPECT_EQ(m.mesh->triangleFirst(), before);
        EXPECT_EQ(m.mesh->countTriangles(), 1);
        EXPECT_EQ(m.mesh->countNodes(), 3);
    }
    const std::vector<Func2Linear> lines = {Func2Linear(1, 1, 0), Func2Linear(0, 1, 0),
                                            Func2Linear(1, 1, -1), Func2Linear(1, 0, 3)};
    for (const Func2Linear& line : lines) {
        Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
        m.mesh->setRays(std::vector<Func2Linear>{line});
        EXPECT_TRUE(m.mesh->remeshWithRays());
        EXPECT_EQ(m.mesh->countTriangles(), 1);
        EXPECT_EQ(m.mesh->countNodes(), 3);
    }
}

TEST(VelboMesh, RemeshWithRaysNeedsRaysButNotTriangles)
{
    Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
    EXPECT_FALSE(m.mesh->remeshWithRays());
    EXPECT_EQ(m.mesh->countTriangles(), 1);

    VelboMesh empty(nullptr);
    EXPECT_EQ(empty.element(), nullptr);
    EXPECT_EQ(empty.countTriangles(), 0);
    EXPECT_EQ(empty.countNodes(), 0);
    EXPECT_EQ(empty.countCircles(), 0);
    EXPECT_FALSE(empty.remeshWithRays());
    empty.setRays(std::vector<double>{1.0});
    EXPECT_TRUE(empty.remeshWithRays());
    empty.setRays(std::vector<double>{});
    empty.setRays(std::vector<Func2Linear>{Func2Linear(1, 0, 0)});
    EXPECT_TRUE(empty.remeshWithRays());
    EXPECT_TRUE(empty.getYRays().empty());
    ASSERT_EQ(empty.getFuncRays().size(), 1u);
    EXPECT_EQ(empty.getFuncRays()[0].a(), 1.0);
}

TEST(VelboMesh, StoredRaysAreReappliedToTheCurrentDivision)
{
    // A new horizontal list does not undo the earlier cuts, and the stored
    // line rays are applied again after it.
    Meshed m({{{0, 0}, {2, 0}, {0, 2}}});
    m.mesh->setRays(std::vector<Func2Linear>{Func2Linear(1, -1, 0)});
    ASSERT_TRUE(m.mesh->remeshWithRays());
    ASSERT_EQ(m.mesh->countTriangles(), 2);
    ASSERT_TRUE(m.slice({0.5}));
    EXPECT_EQ(m.mesh->getFuncRays().size(), 1u);
    const std::vector<double> once = snapshot(*m.mesh);
    ASSERT_TRUE(m.slice({0.5}));
    EXPECT_EQ(snapshot(*m.mesh), once);
    for (const VelboTriangle* t : m.triangles()) {
        const double lo = std::min({t->P1()->yn(), t->P2()->yn(), t->P3()->yn()});
        const double hi = std::max({t->P1()->yn(), t->P2()->yn(), t->P3()->yn()});
        EXPECT_TRUE(hi <= 0.5 || lo >= 0.5);
    }
    expectSoundMesh(*m.mesh, 4 + 2 * std::sqrt(2.0));
}

TEST(VelboMesh, SameLineAgainCutsNothingMore)
{
    // One triangle and the line -0.1 x + 0.3 y - 0.4 = 0, given twice, applied
    // again, or applied again after a horizontal ray: the cut nodes of the
    // first pass lie on the line only to rounding, and a side running along
    // the line must not be cut again.
    const std::array<Pt, 3> p = {{{0, 0}, {5, 0}, {6, 6}}};
    const Func2Linear line(-0.1, 0.3, -0.4);
    Meshed once(p);
    once.mesh->setRays(std::vector<Func2Linear>{line});
    ASSERT_TRUE(once.mesh->remeshWithRays());
    ASSERT_EQ(once.mesh->countTriangles(), 3);

    Meshed twice(p);
    twice.mesh->setRays(std::vector<Func2Linear>{line, line});
    ASSERT_TRUE(twice.mesh->remeshWithRays());
    EXPECT_EQ(snapshot(*twice.mesh), snapshot(*once.mesh));
    ASSERT_TRUE(twice.mesh->remeshWithRays());
    EXPECT_EQ(snapshot(*twice.mesh), snapshot(*once.mesh));
    expectTiling(*twice.mesh, twice.t, 6, 6);

    // y = 2 cuts the two pieces it crosses, and the line then finds nothing.
    ASSERT_TRUE(once.slice({2.0}));
    EXPECT_EQ(once.mesh->countTriangles(), 7);
    expectTiling(*once.mesh, once.t, 6, 6);
    expectCutNodesOnTheirSides(*once.mesh, 6);
    expectSoundMesh(*once.mesh, perimeterOf(p));
}

TEST(VelboMesh, RandomSequencesOfRaysTileTheElement)
{
    // Triangles of many shapes, sizes and distances from the origin, each
    // sliced by a sequence of steps: a new line (at random, through a vertex,
    // along a side), a line given again, a new horizontal ray (at random,
    // through a vertex or a cut node), a horizontal ray given again. Every
    // step re-applies all the rays given so far.
    std::mt19937 rng(20240917u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        const double offset = (trial % 4 == 3) ? 1e4 : 0.0;
        const double size = (trial % 5 == 4) ? 1e-3 : 100.0;
        std::array<Pt, 3> p;
        for (Pt& q : p) {
            q = {offset + size * (unit(rng) - 0.5), -offset + size * (unit(rng) - 0.5)};
        }
        if (trial % 7 == 0) {
            p[1].y = p[0].y;
        }
        const double reach = std::fabs(offset) + size;
        const double ylo = std::min({p[0].y, p[1].y, p[2].y});
        const double yhi = std::max({p[0].y, p[1].y, p[2].y});
        const double xlo = std::min({p[0].x, p[1].x, p[2].x});
        const double xhi = std::max({p[0].x, p[1].x, p[2].x});

        Meshed m(p);
        std::vector<Func2Linear> lines;
        std::vector<double> yRays;
        const int steps = 2 + trial % 5;
        for (int step = 0; step < steps; ++step) {
            const int kind = static_cast<int>(unit(rng) * 4);
            if (kind == 0 || (kind == 1 && lines.empty())) {
                const int i = static_cast<int>(unit(rng) * 3);
                const Pt& v = p[i];
                const Pt& w = p[(i + 1) % 3];
                const double choice = unit(rng);
                if (choice < 0.2) { // along the side v -> w
                    const double a = w.y - v.y;
                    const double b = v.x - w.x;
                    lines.emplace_back(a, b, -(a * v.x + b * v.y));
                } else {
                    const double angle = 6.283185307179586 * unit(rng);
                    const double a = std::cos(angle);
                    const double b = std::sin(angle);
                    const Pt through = choice < 0.4 ? v
                                                    : Pt{xlo + (xhi - xlo) * unit(rng), ylo + (yhi - ylo) * unit(rng)};
                    lines.emplace_back(a, b, -(a * through.x + b * through.y));
                }
            } else if (kind == 1) {
                lines.push_back(lines[static_cast<std::size_t>(unit(rng) * lines.size())]);
            } else if (kind == 2 || yRays.empty()) {
                const double choice = unit(rng);
                const std::vector<VelboNode2D*> nodes = m.nodes();
                if (choice < 0.2) {
                    yRays.push_back(p[static_cast<int>(unit(rng) * 3)].y);
                } else if (choice < 0.4) {
                    yRays.push_back(nodes[static_cast<std::size_t>(unit(rng) * nodes.size())]->yn());
                } else {
                    yRays.push_back(ylo + (yhi - ylo) * (1.2 * unit(rng) - 0.1));
                }
            } else {
                yRays.push_back(yRays[static_cast<std::size_t>(unit(rng) * yRays.size())]);
            }
            m.mesh->setRays(lines);
            m.mesh->setRays(yRays);
            ASSERT_TRUE(m.mesh->remeshWithRays()) << "step " << step;
            expectTiling(*m.mesh, m.t, reach, size);
            expectCutNodesOnTheirSides(*m.mesh, reach);
        }
        expectSoundMesh(*m.mesh, perimeterOf(p));
        // Every sub-triangle lies on one side of every line, to rounding.
        const double margin = 16 * std::numeric_limits<double>::epsilon() * reach;
        for (const VelboTriangle* t : m.triangles()) {
            for (const Func2Linear& line : lines) {
                double lo = 0.0;
                double hi = 0.0;
                for (int k = 0; k < 3; ++k) {
                    const double v = line.valueFxy(t->nodeAt(k)->xn(), t->nodeAt(k)->yn(), nullptr);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
                const double scale = std::fabs(line.a()) + std::fabs(line.b());
                EXPECT_TRUE(lo >= -margin * scale || hi <= margin * scale) << lo << " " << hi;
            }
        }
        // The rays given again find every cut already made.
        const std::vector<double> done = snapshot(*m.mesh);
        ASSERT_TRUE(m.mesh->remeshWithRays());
        EXPECT_EQ(snapshot(*m.mesh), done);
    }
}

TEST(VelboMesh, ForcesAreTheSumOverSubTriangles)
{
    VelboParabola law(-11.333333333333334, -0.002, -0.0035);
    Meshed m({{{0, 0}, {300, 0}, {0, 500}}}, &law);
    VelboTriangle plain(m.t); // same geometry, no mesh
    plain.setCostitutiveLaw(&law);
    // Crosses ec2 and 0 inside the triangle.
    const FuncLinear field = strainField(-1e-5, 0.001);

    VelboSectionForces unsliced = m.t.elementForcesByLaw(field);
    VelboSectionForces direct = plain.elementForcesByLaw(field);
    EXPECT_EQ(unsliced.fz(), direct.fz());
    EXPECT_EQ(unsliced.mx(), direct.mx());
    EXPECT_EQ(unsliced.my(), direct.my());

    // Slice at the law's breakpoints: y where the strain is ec2 and 0.
    ASSERT_TRUE(m.slice({(-0.002 - 0.001) / -1e-5, 0.001 / 1e-5}));
    ASSERT_EQ(m.mesh->countTriangles(), 7);
    VelboSectionForces sum;
    for (const VelboTriangle* t : m.triangles()) {
        EXPECT_EQ(t->getCostitutiveLaw(), &law);
        sum += t->elementForcesByLaw(field);
    }
    const VelboSectionForces sliced = m.t.elementForcesByLaw(field);
    EXPECT_EQ(sliced.fz(), sum.fz());
    EXPECT_EQ(sliced.mx(), sum.mx());
    EXPECT_EQ(sliced.my(), sum.my());
    EXPECT_NE(sliced.fz(), unsliced.fz());

    // Against a fine midpoint sum of the law over the triangle.
    double fz = 0.0;
    double mx = 0.0;
    double my = 0.0;
    const int n = 1000;
    const double h = 1.0 / n;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; i + j < n; ++j) {
            // lower cells (i, j) and, when inside, the upper cell
            for (int up = 0; up < 2; ++up) {
                if (up == 1 && i + j + 1 >= n) {
                    continue;
                }
                const double u = (i + (up ? 2.0 : 1.0) / 3.0) * h;
                const double v = (j + (up ? 2.0 : 1.0) / 3.0) * h;
                const double x = 300 * u;
                const double y = 500 * v;
                const double dA = 300.0 * 500.0 * h * h / 2;
                const double s = law.valueFx(field.valueFx(y, nullptr), nullptr) * dA;
                fz += s;
                mx += s * y;
                my += s * x;
            }
        }
    }
    EXPECT_NEAR(sliced.fz(), fz, 1e-4 * std::fabs(fz));
    EXPECT_NEAR(sliced.mx(), mx, 1e-4 * std::fabs(mx));
    EXPECT_NEAR(sliced.my(), my, 1e-4 * std::fabs(my));
}

TEST(VelboMesh, DeletingAMeshReleasesWhatItHeld)
{
    struct Case {
        std::vector<double> yRays;
        std::vector<Func2Linear> lines;
    };
    const std::vector<Case> cases = {
        {{}, {}},
        {{0.5}, {}},
        {{0.2, 0.4, 0.6, 0.8}, {Func2Linear(1, -1, 0), Func2Linear(1, 0, -0.3)}},
    };
    for (const Case& c : cases) {
        const unsigned int meshes = VelboMesh::instances();
        const unsigned int triangles = VelboTriangle::instances();
        const unsigned int nodes = VelboNode2D::instances();
        const unsigned int edges = VelboEdge2D::instances();
        {
            Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
            m.mesh->setRays(c.yRays);
            m.mesh->setRays(c.lines);
            m.mesh->remeshWithRays();
            const unsigned int heldTriangles = m.mesh->countTriangles();
            const unsigned int heldNodes = m.mesh->countNodes();
            EXPECT_EQ(VelboMesh::instances(), meshes + 1);
            EXPECT_EQ(VelboTriangle::instances(), triangles + heldTriangles);
            EXPECT_EQ(VelboNode2D::instances(), nodes + heldNodes);
            // The section triangle's own three half-edges, then the mesh's.
            EXPECT_EQ(VelboEdge2D::instances(), edges + 3 + 3 * heldTriangles);
            m.mesh.reset();
            EXPECT_EQ(VelboMesh::instances(), meshes);
            EXPECT_EQ(VelboTriangle::instances(), triangles);
            EXPECT_EQ(VelboNode2D::instances(), nodes);
            EXPECT_EQ(VelboEdge2D::instances(), edges + 3);
        }
        EXPECT_EQ(VelboEdge2D::instances(), edges);
    }
}

TEST(VelboMesh, DeletingACircleMesh)
{
    const unsigned int circles = VelboCircle::instances();
    const unsigned int nodes = VelboNode2D::instances();
    VelboNode2D centre(1, 2, 5);
    VelboCircle c(3);
    c.setCenter(&centre)->setRadius(0.5);
    std::unique_ptr<VelboMesh> mesh(c.meshMake());
    EXPECT_EQ(mesh->countCircles(), 1);
    EXPECT_EQ(mesh->countNodes(), 1);
    EXPECT_EQ(mesh->countTriangles(), 0);
    std::vector<VelboCircle*> chain;
    mesh->getCircles(chain);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(mesh->triangleForcesByLaw(strainField(0, 0)).fz(), 0.0);
    mesh.reset();
    c.elementSetMesh(nullptr);
    EXPECT_EQ(VelboCircle::instances(), circles);
    EXPECT_EQ(VelboNode2D::instances(), nodes);
}

// A pass that meets a ring it cannot remesh stops there with false; what it
// did stays, and the mesh still releases everything, the extra halves of the
// split ring included.
TEST(VelboMesh, FailedPassKeepsTheMeshReleasable)
{
    struct Case {
        const char* name;
        std::vector<double> yRays;
        std::vector<Func2Linear> lines;
    };
    const std::vector<Case> cases = {
        {"six sliced halves", {1.0}, {}},              // two cuts plus the foreign split
        {"no second aligned pair", {}, {Func2Linear(1, -1, 0)}}, // one cut plus the foreign split
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned int triangles = VelboTriangle::instances();
        const unsigned int nodes = VelboNode2D::instances();
        const unsigned int edges = VelboEdge2D::instances();
        {
            Meshed m({{{0, 0}, {2, 0}, {0, 2}}});
            VelboTriangle* t = m.mesh->triangleFirst();
            // A split of P1 -> P2 whose halves do not share a parent.
            VelboNode2D* foreign = new VelboNode2D(1.0, 0.0);
            t->edgeAt(0)->edgeFlex(foreign, false);
            m.mesh->nodeLast()->setNextNode(foreign);
            foreign->setBeforeNode(m.mesh->nodeLast());
            m.mesh->setNodeLast(foreign);

            m.mesh->setRays(c.yRays);
            m.mesh->setRays(c.lines);
            EXPECT_FALSE(m.mesh->remeshWithRays());
            EXPECT_EQ(m.mesh->triangleFirst(), t);
            EXPECT_EQ(m.mesh->countTriangles(), 1);
            expectAt(t->P1(), 0, 0, 1);
            expectAt(t->P2(), 2, 0, 2);
            expectAt(t->P3(), 0, 2, 3);
            EXPECT_GT(m.mesh->countNodes(), 4);
        }
        EXPECT_EQ(VelboTriangle::instances(), triangles);
        EXPECT_EQ(VelboNode2D::instances(), nodes);
        EXPECT_EQ(VelboEdge2D::instances(), edges);
    }
}

// ---------------------------------------------------------------------------
// Random triangles and rays

TEST(VelboMesh, RandomSlicingKeepsASoundDivision)
{
    std::mt19937 rng(20240611u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    FuncParabola piece;
    piece.setA(-2.5e6);
    piece.setB(-9000.0);
    piece.setC(1.5);
    OnePieceLaw law(&piece);

    for (int trial = 0; trial < 400; ++trial) {
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        const double offset = (trial % 4 == 3) ? 1e4 : 0.0;
        const double size = (trial % 5 == 4) ? 1e-3 : 100.0;
        std::array<Pt, 3> p;
        for (Pt& q : p) {
            q = {offset + size * (unit(rng) - 0.5), -offset + size * (unit(rng) - 0.5)};
        }
        // Snap one vertex ordinate onto another now and then: horizontal sides.
        if (trial % 7 == 0) {
            p[1].y = p[0].y;
        }
        const double ylo = std::min({p[0].y, p[1].y, p[2].y});
        const double yhi = std::max({p[0].y, p[1].y, p[2].y});
        const double xlo = std::min({p[0].x, p[1].x, p[2].x});
        const double xhi = std::max({p[0].x, p[1].x, p[2].x});

        std::vector<double> yRays;
        const int nbY = 1 + static_cast<int>(unit(rng) * 4);
        for (int k = 0; k < nbY; ++k) {
            yRays.push_back(ylo + (yhi - ylo) * (1.4 * unit(rng) - 0.2));
        }
        // A ray through a vertex.
        yRays.push_back(p[trial % 3].y);
        std::vector<Func2Linear> lines;
        if (trial % 2 == 1) {
            const int nbL = 1 + static_cast<int>(unit(rng) * 3);
            for (int k = 0; k < nbL; ++k) {
                const double angle = 6.283185307179586 * unit(rng);
                const double a = std::cos(angle);
                const double b = std::sin(angle);
                const double px = xlo + (xhi - xlo) * unit(rng);
                const double py = ylo + (yhi - ylo) * unit(rng);
                lines.emplace_back(a, b, -(a * px + b * py));
            }
        }

        Meshed m(p, &law);
        VelboTriangle plain(m.t);
        plain.setCostitutiveLaw(&law);
        m.mesh->setRays(yRays);
        m.mesh->setRays(lines);
        ASSERT_TRUE(m.mesh->remeshWithRays());
        const std::vector<VelboTriangle*> triangles = m.triangles();

        // Areas add up, to the rounding that coordinates far from the origin
        // allow for a small triangle.
        const double conditioning = (std::fabs(offset) + size) / size;
        const double area = plain.elementCalcArea();
        double sum = 0.0;
        for (const VelboTriangle* t : triangles) {
            sum += t->elementCalcArea();
        }
        EXPECT_NEAR(sum, area, 1e-11 * conditioning * area);

        // Every sub-triangle lies on one side of every ray. Horizontal cuts
        // are exact; a line cut is rounded, also where it crosses a side
        // lying on a horizontal ray, so with lines both kinds get a margin.
        const double scale = std::fabs(offset) + size;
        const double margin = lines.empty() ? 0.0 : 1e-12 * scale;
        for (const VelboTriangle* t : triangles) {
            const double ys[3] = {t->P1()->yn(), t->P2()->yn(), t->P3()->yn()};
            for (double c : yRays) {
                const bool below = std::all_of(ys, ys + 3, [&](double y) { return y <= c + margin; });
                const bool above = std::all_of(ys, ys + 3, [&](double y) { return y >= c - margin; });
                EXPECT_TRUE(below || above) << "ray y = " << c;
            }
            for (const Func2Linear& line : lines) {
                double lo = 0.0;
                double hi = 0.0;
                for (int k = 0; k < 3; ++k) {
                    const double v = line.valueFxy(t->nodeAt(k)->xn(), t->nodeAt(k)->yn(), nullptr);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
                EXPECT_TRUE(lo >= -margin || hi <= margin) << lo << " " << hi;
            }
        }

        // Rings close, twins pair, the outline is the original one.
        expectSoundMesh(*m.mesh, perimeterOf(p));

        // A piece valid everywhere gives the unsliced forces.
        const FuncLinear field = strainField(2e-5, -1e-3 + 1e-5 * offset);
        const VelboSectionForces whole = plain.elementForcesByLaw(field);
        const VelboSectionForces parts = m.t.elementForcesByLaw(field);
        double bound = 0.0;
        for (const VelboTriangle* t : triangles) {
            const VelboSectionForces f = t->elementForcesByLaw(field);
            bound += std::fabs(f.fz());
        }
        const double reach = std::fabs(offset) + size;
        const double tol = 1e-11 * conditioning * bound;
        EXPECT_NEAR(parts.fz(), whole.fz(), tol);
        EXPECT_NEAR(parts.mx(), whole.mx(), tol * reach);
        EXPECT_NEAR(parts.my(), whole.my(), tol * reach);

        // Slicing again along the same horizontal rays changes nothing when
        // all cuts were horizontal (then every cut node lies exactly on its
        // ray).
        if (lines.empty()) {
            const std::vector<double> once = snapshot(*m.mesh);
            ASSERT_TRUE(m.mesh->remeshWithRays());
            EXPECT_EQ(snapshot(*m.mesh), once);
        }
    }
}

TEST(VelboMesh, GroupAndMacroHoldNothing)
{
    Meshed m({{{0, 0}, {1, 0}, {0, 1}}});
    const std::vector<VelboMesh*> meshes = {m.mesh.get()};
    const unsigned int before = VelboMesh::instances();
    {
        VelboMeshGroup group(meshes, nullptr);
        VelboMeshMacro macro;
        (void)group;
        (void)macro;
    }
    EXPECT_EQ(VelboMesh::instances(), before);
    EXPECT_EQ(m.mesh->countTriangles(), 1);
}
