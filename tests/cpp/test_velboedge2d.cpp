#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "coreobj/func2linear.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velboedge2d.h"
#include "velbocore/velbonode2d.h"

namespace {

// Follows the next links from e until it comes back (at most 16 steps).
std::vector<VelboEdge2D*> ringOf(VelboEdge2D* e)
{
    std::vector<VelboEdge2D*> ring;
    VelboEdge2D* cur = e;
    do {
        ring.push_back(cur);
        cur = cur->getNext();
    } while (cur != nullptr && cur != e && ring.size() < 16);
    return ring;
}

void expectClosedRing(VelboEdge2D* e, std::size_t size)
{
    const std::vector<VelboEdge2D*> ring = ringOf(e);
    ASSERT_EQ(ring.size(), size);
    EXPECT_EQ(ring.back()->getNext(), e);
    for (std::size_t i = 0; i < ring.size(); ++i) {
        EXPECT_EQ(ring[i]->getNodeEnd(), ring[(i + 1) % ring.size()]->getNodeStart());
    }
}

void expectAt(const VelboNode2D* n, double x, double y)
{
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->xn(), x);
    EXPECT_EQ(n->yn(), y);
}

// Owns the nodes and the half-edges of the rings it builds, including what
// splitting adds to them.
class Rings : public ::testing::Test {
protected:
    ~Rings() override
    {
        std::set<VelboEdge2D*> all;
        for (VelboEdge2D* e : m_entries) {
            for (VelboEdge2D* r : ringOf(e)) {
                all.insert(r);
            }
        }
        for (VelboEdge2D* e : all) {
            delete e;
        }
    }

    VelboNode2D* node(double x, double y)
    {
        m_nodes.emplace_back(new VelboNode2D(x, y, static_cast<int>(m_nodes.size()) + 1));
        return m_nodes.back().get();
    }

    void adopt(VelboNode2D* n) { m_nodes.emplace_back(n); }

    // Closed ring a -> b -> c -> a; returns its first half-edge (a -> b).
    VelboEdge2D* ring(VelboNode2D* a, VelboNode2D* b, VelboNode2D* c,
                      VelboSectionElement* element = nullptr)
    {
        VelboEdge2D* e1 = new VelboEdge2D(element, false);
        VelboEdge2D* e2 = new VelboEdge2D(element, false);
        VelboEdge2D* e3 = new VelboEdge2D(element, false);
        e1->setNodes(a, b);
        e2->setNodes(b, c);
        e3->setNodes(c, a);
        e1->setNextEdge(e2);
        e2->setNextEdge(e3);
        e3->setNextEdge(e1);
        e1->setBeforeEdge(e3);
        e2->setBeforeEdge(e1);
        e3->setBeforeEdge(e2);
        m_entries.push_back(e1);
        return e1;
    }

    // The half-edge a -> b of the two-edge ring a -> b -> a.
    VelboEdge2D* single(double x1, double y1, double x2, double y2)
    {
        VelboNode2D* a = node(x1, y1);
        VelboNode2D* b = node(x2, y2);
        VelboEdge2D* e = new VelboEdge2D();
        VelboEdge2D* back = new VelboEdge2D();
        e->setNodes(a, b);
        back->setNodes(b, a);
        e->setNextEdge(back);
        back->setNextEdge(e);
        e->setBeforeEdge(back);
        back->setBeforeEdge(e);
        m_entries.push_back(e);
        return e;
    }

private:
    std::vector<std::unique_ptr<VelboNode2D>> m_nodes;
    std::vector<VelboEdge2D*> m_entries;
};

} // namespace

TEST(VelboEdge2D, Constructors)
{
    VelboCircle owner(1);
    VelboNode2D p(0.0, 0.0);
    VelboNode2D q(1.0, 0.0);

    const VelboEdge2D empty;
    EXPECT_EQ(empty.getNodeStart(), nullptr);
    EXPECT_EQ(empty.getNodeEnd(), nullptr);
    EXPECT_EQ(empty.getElement(), nullptr);
    EXPECT_EQ(empty.getTwin(), nullptr);
    EXPECT_EQ(empty.getNext(), nullptr);
    EXPECT_EQ(empty.getBefore(), nullptr);
    EXPECT_FALSE(empty.isSliced());
    EXPECT_FALSE(empty.edgeIsWellDefined());

    VelboEdge2D withElement(&owner, true);
    EXPECT_EQ(withElement.getElement(), &owner);
    EXPECT_TRUE(withElement.isSliced());
    withElement.setUnsliced();
    EXPECT_FALSE(withElement.isSliced());
    withElement.setNodes(&p, &q);
    withElement.setTwin(&withElement);

    const VelboEdge2D fromEdge(&withElement);
    EXPECT_EQ(fromEdge.getNodeStart(), &p);
    EXPECT_EQ(fromEdge.getNodeEnd(), &q);
    EXPECT_EQ(fromEdge.getElement(), nullptr);
    EXPECT_EQ(fromEdge.getTwin(), nullptr);
    EXPECT_FALSE(fromEdge.isSliced());
    EXPECT_TRUE(fromEdge.edgeIsWellDefined());

    // Every new half-edge is its own parent.
    EXPECT_FALSE(fromEdge.edgeIsAligned(&withElement));
    EXPECT_TRUE(fromEdge.edgeIsAligned(&fromEdge));
}

TEST(VelboEdge2D, GeometryQueries)
{
    VelboNode2D o(0.0, 0.0);
    VelboNode2D a(3.0, 4.0);
    VelboNode2D b(0.0, 5.0);
    VelboEdge2D oa;
    oa.setNodes(&o, &a);
    VelboEdge2D ab;
    ab.setNodes(&a, &b);
    VelboEdge2D half;
    half.setNodeStart(&o);
    EXPECT_FALSE(half.edgeIsWellDefined());
    half.setNodeEnd(&b);
    EXPECT_TRUE(half.edgeIsWellDefined());

    EXPECT_EQ(oa.edgeLenght(), 5.0);
    // (3, 4) x (-3, 1) = 3*1 - (-3)*4: counter-clockwise turn is positive.
    EXPECT_EQ(oa.edgeDotProd(&ab), 15.0);
    EXPECT_EQ(ab.edgeDotProd(&oa), -15.0);
    EXPECT_EQ(oa.edgeDotProd(&oa), 0.0);

    // Half-edges without both nodes are never read through.
    const VelboEdge2D open;
    const double y = 1.0;
    const Func2Linear line(1, 0, -1);
    EXPECT_EQ(open.edgeLenght(), 0.0);
    EXPECT_EQ(open.edgeDotProd(&oa), 0.0);
    EXPECT_EQ(oa.edgeDotProd(&open), 0.0);
    EXPECT_FALSE(open.edgeIsSlicedFromYRay(&y, nullptr));
    EXPECT_FALSE(open.edgeIsSlicedFromYRay(nullptr, &line));
    EXPECT_FALSE(oa.edgeIsAligned(nullptr));

    oa.edgeFlip();
    EXPECT_EQ(oa.getNodeStart(), &a);
    EXPECT_EQ(oa.getNodeEnd(), &o);
}

TEST_F(Rings, CutTestTable)
{
    struct Case {
        const char* what;
        double x1, y1, x2, y2;
        bool horizontal;
        double y;          // horizontal ray
        double a, b, c;    // line ray
        bool cut;
    };
    const Case cases[] = {
        {"horizontal side on the ray", 0, 0, 4, 0, true, 0.0, 0, 0, 0, false},
        {"horizontal side off the ray", 0, 0, 4, 0, true, 1.0, 0, 0, 0, false},
        {"vertical side, ray through start", 0, 0, 0, 2, true, 0.0, 0, 0, 0, false},
        {"vertical side, ray through end", 0, 0, 0, 2, true, 2.0, 0, 0, 0, false},
        {"vertical side, ray inside", 0, 0, 0, 2, true, 1.0, 0, 0, 0, true},
        {"downward side, ray inside", 0, 2, 0, 0, true, 1.0, 0, 0, 0, true},
        {"ray above", 0, 0, 0, 2, true, 3.0, 0, 0, 0, false},
        {"ray below", 0, 0, 0, 2, true, -1.0, 0, 0, 0, false},
        {"line x = 1 across", 0, 0, 2, 0, false, 0.0, 1, 0, -1, true},
        {"line x = 0 through start", 0, 0, 2, 0, false, 0.0, 1, 0, 0, false},
        {"line x = 2 through end", 0, 0, 2, 0, false, 0.0, 1, 0, -2, false},
        {"line y = 0 along the side", 0, 0, 2, 0, false, 0.0, 0, 1, 0, false},
        {"line x = 3 beyond", 0, 0, 2, 0, false, 0.0, 1, 0, -3, false},
        {"slanted line across", 0, 0, 4, 2, false, 0.0, 1, 1, -3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VelboEdge2D* e = single(c.x1, c.y1, c.x2, c.y2);
        const Func2Linear line(c.a, c.b, c.c);
        const double* yray = c.horizontal ? &c.y : nullptr;
        const Func2Linear* fray = c.horizontal ? nullptr : &line;
        EXPECT_EQ(e->edgeIsSlicedFromYRay(yray, fray), c.cut);
    }
}

TEST_F(Rings, WrongRayArgumentsChangeNothing)
{
    VelboEdge2D* e = single(0, 0, 0, 2);
    VelboNode2D* end = e->getNodeEnd();
    VelboEdge2D* next = e->getNext();
    const double y = 1.0;
    const Func2Linear line(0, 1, -1);
    const unsigned int nodes = VelboNode2D::instances();
    const unsigned int edges = VelboEdge2D::instances();

    EXPECT_FALSE(e->edgeIsSlicedFromYRay(&y, &line));
    EXPECT_FALSE(e->edgeIsSlicedFromYRay(nullptr, nullptr));
    EXPECT_EQ(e->edgeSlice(&y, &line), nullptr);
    EXPECT_EQ(e->edgeSlice(nullptr, nullptr), nullptr);
    // A ray that does not cut gives null too.
    const double outside = 5.0;
    EXPECT_EQ(e->edgeSlice(&outside, nullptr), nullptr);

    EXPECT_EQ(e->getNodeEnd(), end);
    EXPECT_EQ(e->getNext(), next);
    EXPECT_FALSE(e->isSliced());
    EXPECT_EQ(VelboNode2D::instances(), nodes);
    EXPECT_EQ(VelboEdge2D::instances(), edges);
}

TEST_F(Rings, SplitWithoutTwin)
{
    VelboCircle owner(3);
    VelboNode2D* p = node(0, 0);
    VelboNode2D* q = node(2, 2);
    VelboNode2D* r = node(0, 2);
    VelboEdge2D* e1 = ring(p, q, r, &owner);
    VelboEdge2D* e2 = e1->getNext();
    const unsigned int edges = VelboEdge2D::instances();
    const unsigned int nodes = VelboNode2D::instances();

    const double y = 1.0;
    VelboNode2D* n = e1->edgeSlice(&y, nullptr);
    ASSERT_NE(n, nullptr);
    adopt(n);
    EXPECT_EQ(VelboEdge2D::instances(), edges + 1);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);

    // Node at (1, 1), id 0, saved at the same place.
    EXPECT_EQ(n->id(), 0);
    expectAt(n, 1.0, 1.0);
    VelboNode2D saved(*n);
    saved.nodeRestoreGeometry();
    expectAt(&saved, 1.0, 1.0);

    VelboEdge2D* second = e1->getNext();
    ASSERT_NE(second, e2);
    EXPECT_EQ(e1->getNodeStart(), p);
    EXPECT_EQ(e1->getNodeEnd(), n);
    EXPECT_EQ(second->getNodeStart(), n);
    EXPECT_EQ(second->getNodeEnd(), q);
    EXPECT_EQ(second->getNext(), e2);
    EXPECT_EQ(second->getBefore(), e1);
    EXPECT_EQ(second->getElement(), &owner);
    EXPECT_EQ(second->getTwin(), nullptr);
    EXPECT_TRUE(e1->isSliced());
    EXPECT_TRUE(second->isSliced());
    EXPECT_TRUE(e1->edgeIsAligned(second));
    EXPECT_FALSE(e2->isSliced());
    // The old next keeps its before link.
    EXPECT_EQ(e2->getBefore(), e1);
    expectClosedRing(e1, 4);
}

TEST_F(Rings, SplitPositionOnLineRays)
{
    struct Case {
        double x1, y1, x2, y2;
        double a, b, c;
        double x, y;
    };
    const Case cases[] = {
        {0, 0, 2, 0, 1, 0, -1, 1.0, 0.0},
        {0, 0, 4, 2, 1, 1, -3, 2.0, 1.0},
        {2, 0, 0, 2, 1, -1, 0, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a * 100 + c.b * 10 + c.c);
        VelboEdge2D* e = single(c.x1, c.y1, c.x2, c.y2);
        const Func2Linear line(c.a, c.b, c.c);
        VelboNode2D* n = e->edgeSlice(nullptr, &line);
        ASSERT_NE(n, nullptr);
        adopt(n);
        expectAt(n, c.x, c.y);
        EXPECT_EQ(e->getNodeEnd(), n);
        expectClosedRing(e, 3);
    }
}

TEST_F(Rings, HorizontalRayPutsTheNodeExactlyOnTheRay)
{
    VelboEdge2D* e = single(0.1, 0.3, 0.7, 2.9);
    const double y = 1.1;
    VelboNode2D* n = e->edgeSlice(&y, nullptr);
    ASSERT_NE(n, nullptr);
    adopt(n);
    EXPECT_EQ(n->yn(), 1.1);
    EXPECT_EQ(n->xn(), 0.1 + ((0.7 - 0.1) / (2.9 - 0.3)) * (1.1 - 0.3));
}

TEST_F(Rings, ParallelLineRayGivesNullAndChangesNothing)
{
    // The line runs along the side; rounding gives opposite signs at the
    // two ends, but the determinant is exactly 0.
    const double x1 = 0.3, y1 = 1.1, x2 = 1.1, y2 = 3.0;
    const double a = y2 - y1;
    const double b = x1 - x2;
    const double c = -((a * x1 + b * y1) + (a * x2 + b * y2)) / 2.0;
    const Func2Linear line(a, b, c);

    VelboNode2D* p = node(x1, y1);
    VelboNode2D* q = node(x2, y2);
    VelboNode2D* r = node(0.0, 5.0);
    VelboNode2D* s = node(2.0, 0.0);
    VelboEdge2D* e1 = ring(p, q, r);
    VelboEdge2D* t1 = ring(q, p, s);
    VelboEdge2D* twin = t1;
    e1->setTwin(twin);
    twin->setTwin(e1);

    ASSERT_TRUE(e1->edgeIsSlicedFromYRay(nullptr, &line));
    const unsigned int nodes = VelboNode2D::instances();
    const unsigned int edges = VelboEdge2D::instances();
    EXPECT_EQ(e1->edgeSlice(nullptr, &line), nullptr);

    EXPECT_EQ(VelboNode2D::instances(), nodes);
    EXPECT_EQ(VelboEdge2D::instances(), edges);
    EXPECT_EQ(e1->getNodeEnd(), q);
    EXPECT_EQ(twin->getNodeEnd(), p);
    EXPECT_EQ(e1->getTwin(), twin);
    EXPECT_EQ(twin->getTwin(), e1);
    EXPECT_FALSE(e1->isSliced());
    EXPECT_FALSE(twin->isSliced());
    expectClosedRing(e1, 3);
    expectClosedRing(t1, 3);
}

TEST_F(Rings, LineCutNodeLiesOnTheHalfEdge)
{
    // Half-edges running almost along the line: both ends lie on it up to
    // rounding, so the values there are rounding noise, often of opposite
    // signs. Wherever such a cut falls, it falls on the half-edge.
    std::mt19937 rng(11u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double eps = std::numeric_limits<double>::epsilon();
    int cuts = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        SCOPED_TRACE(trial);
        const double angle = 6.283185307179586 * unit(rng);
        const double a = std::cos(angle);
        const double b = std::sin(angle);
        const double px = 200 * unit(rng) - 100;
        const double py = 200 * unit(rng) - 100;
        const Func2Linear line(a, b, -(a * px + b * py));
        // Ends on either side of (px, py) along the line's direction (-b, a).
        const double s = 0.1 + 10 * unit(rng);
        const double e = 0.1 + 10 * unit(rng);
        const double x1 = px + b * s;
        const double y1 = py - a * s;
        const double x2 = px - b * e;
        const double y2 = py + a * e;
        VelboEdge2D* edge = single(x1, y1, x2, y2);
        if (!edge->edgeIsSlicedFromYRay(nullptr, &line)) {
            continue;
        }
        VelboNode2D* n = edge->edgeSlice(nullptr, &line);
        if (n == nullptr) {
            continue; // exactly parallel in floating point
        }
        adopt(n);
        ++cuts;
        const double reach = std::fabs(x1) + std::fabs(y1) + std::fabs(x2) + std::fabs(y2);
        const double margin = 4 * eps * reach;
        EXPECT_GE(n->xn(), std::min(x1, x2) - margin);
        EXPECT_LE(n->xn(), std::max(x1, x2) + margin);
        EXPECT_GE(n->yn(), std::min(y1, y2) - margin);
        EXPECT_LE(n->yn(), std::max(y1, y2) + margin);
        const double length = std::hypot(x2 - x1, y2 - y1);
        const double cross = (x2 - x1) * (n->yn() - y1) - (y2 - y1) * (n->xn() - x1);
        EXPECT_LE(std::fabs(cross), margin * length);
        EXPECT_EQ(edge->getNodeEnd(), n);
    }
    EXPECT_GT(cuts, 100); // the rounding does give opposite signs
}

TEST_F(Rings, LineValuesWithinTheBoundLieOnTheLine)
{
    // The line y = 0 and ends 1e-13 off it: cut when every value counts,
    // lying on the line (so not cut) under a bound of 1e-12.
    const Func2Linear line(0, 1, 0);
    VelboNode2D below(0.0, -1e-13);
    VelboNode2D above(2.0, 1e-13);
    VelboNode2D far(1.0, 5.0);
    EXPECT_EQ(VelboEdge2D::sideOfLine(line, below, 0.0), -1);
    EXPECT_EQ(VelboEdge2D::sideOfLine(line, below, 1e-12), 0);
    EXPECT_EQ(VelboEdge2D::sideOfLine(line, above, 1e-12), 0);
    EXPECT_EQ(VelboEdge2D::sideOfLine(line, far, 1e-12), 1);

    VelboEdge2D* along = single(0.0, -1e-13, 2.0, 1e-13);
    EXPECT_TRUE(along->edgeIsSlicedFromYRay(nullptr, &line));
    EXPECT_FALSE(along->edgeIsSlicedFromYRay(nullptr, &line, 1e-12));
    const unsigned int nodes = VelboNode2D::instances();
    EXPECT_EQ(along->edgeSlice(nullptr, &line, 1e-12), nullptr);
    EXPECT_EQ(VelboNode2D::instances(), nodes);
    EXPECT_FALSE(along->isSliced());

    // An end within the bound touches the line and does not cut; a real
    // crossing still does.
    VelboEdge2D* touching = single(1.0, 5.0, 2.0, 1e-13);
    EXPECT_FALSE(touching->edgeIsSlicedFromYRay(nullptr, &line, 1e-12));
    VelboEdge2D* across = single(1.0, 5.0, 1.0, -5.0);
    VelboNode2D* n = across->edgeSlice(nullptr, &line, 1e-12);
    ASSERT_NE(n, nullptr);
    adopt(n);
    expectAt(n, 1.0, 0.0);

    // The bound is for lines only: horizontal rays stay exact.
    const double y = 0.0;
    EXPECT_TRUE(along->edgeIsSlicedFromYRay(&y, nullptr, 1e-12));
}

TEST_F(Rings, TwinSplitGivesFourCrosswisePieces)
{
    // Two rings sharing the diagonal P(0,0)-Q(2,2); both rays cut it at (1, 1).
    struct Case {
        const char* what;
        bool horizontal;
    };
    const Case cases[] = {{"y = 1", true}, {"x - 1 = 0", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VelboCircle left(1);
        VelboCircle right(2);
        VelboNode2D* p = node(0, 0);
        VelboNode2D* q = node(2, 2);
        VelboEdge2D* a1 = ring(p, q, node(0, 2), &left);  // P -> Q
        VelboEdge2D* b1 = ring(q, p, node(2, 0), &right); // Q -> P
        a1->setTwin(b1);
        b1->setTwin(a1);
        VelboEdge2D* aNext = a1->getNext();
        VelboEdge2D* bNext = b1->getNext();

        const double y = 1.0;
        const Func2Linear line(1, 0, -1);
        const unsigned int edges = VelboEdge2D::instances();
        VelboNode2D* n = c.horizontal ? a1->edgeSlice(&y, nullptr) : a1->edgeSlice(nullptr, &line);
        ASSERT_NE(n, nullptr);
        adopt(n);
        expectAt(n, 1.0, 1.0);
        EXPECT_EQ(VelboEdge2D::instances(), edges + 2);

        VelboEdge2D* a2 = a1->getNext();
        VelboEdge2D* b2 = b1->getNext();
        EXPECT_EQ(a2->getNext(), aNext);
        EXPECT_EQ(b2->getNext(), bNext);

        // P -> N, N -> Q in one ring; Q -> N, N -> P in the other.
        EXPECT_EQ(a1->getNodeStart(), p);
        EXPECT_EQ(a1->getNodeEnd(), n);
        EXPECT_EQ(a2->getNodeStart(), n);
        EXPECT_EQ(a2->getNodeEnd(), q);
        EXPECT_EQ(b1->getNodeStart(), q);
        EXPECT_EQ(b1->getNodeEnd(), n);
        EXPECT_EQ(b2->getNodeStart(), n);
        EXPECT_EQ(b2->getNodeEnd(), p);

        // Crosswise twins share their nodes in opposite order.
        EXPECT_EQ(a1->getTwin(), b2);
        EXPECT_EQ(b2->getTwin(), a1);
        EXPECT_EQ(a2->getTwin(), b1);
        EXPECT_EQ(b1->getTwin(), a2);

        for (const VelboEdge2D* e : {a1, a2, b1, b2}) {
            EXPECT_TRUE(e->isSliced());
        }
        EXPECT_EQ(a2->getElement(), &left);
        EXPECT_EQ(b2->getElement(), &right);
        EXPECT_TRUE(a1->edgeIsAligned(a2));
        EXPECT_TRUE(b1->edgeIsAligned(b2));
        EXPECT_FALSE(a1->edgeIsAligned(b2));

        expectClosedRing(a1, 4);
        expectClosedRing(b1, 4);
    }
}

TEST_F(Rings, RepeatedSplitsKeepTheFirstParent)
{
    VelboEdge2D* e = single(0, 0, 0, 4);
    const double y1 = 3.0;
    const double y2 = 1.0;
    VelboNode2D* n1 = e->edgeSlice(&y1, nullptr);
    ASSERT_NE(n1, nullptr);
    adopt(n1);
    VelboNode2D* n2 = e->edgeSlice(&y2, nullptr);
    ASSERT_NE(n2, nullptr);
    adopt(n2);

    expectClosedRing(e, 4);
    const std::vector<VelboEdge2D*> ring = ringOf(e);
    expectAt(ring[0]->getNodeEnd(), 0.0, 1.0);
    expectAt(ring[1]->getNodeEnd(), 0.0, 3.0);
    expectAt(ring[2]->getNodeEnd(), 0.0, 4.0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(ring[i]->edgeIsAligned(e));
        EXPECT_TRUE(ring[i]->isSliced());
    }
    EXPECT_FALSE(ring[3]->edgeIsAligned(e));
    EXPECT_FALSE(ring[3]->isSliced());
}

TEST_F(Rings, FlexWithoutParentStartsANewParent)
{
    VelboNode2D* p = node(0, 0);
    VelboNode2D* q = node(2, 0);
    VelboNode2D* r = node(1, 1);
    VelboEdge2D* e1 = ring(p, q, r);
    VelboNode2D* m = node(1, 0);

    e1->edgeFlex(m, false);
    VelboEdge2D* second = e1->getNext();
    EXPECT_EQ(e1->getNodeEnd(), m);
    EXPECT_EQ(second->getNodeStart(), m);
    EXPECT_EQ(second->getNodeEnd(), q);
    EXPECT_TRUE(e1->isSliced());
    EXPECT_TRUE(second->isSliced());
    EXPECT_FALSE(e1->edgeIsAligned(second));

    second->edgeUnparent();
    EXPECT_TRUE(second->edgeIsAligned(second));
    expectClosedRing(e1, 4);
}

TEST(VelboEdge2D, FlipAndTwin)
{
    VelboCircle owner(1);
    VelboNode2D p(0.0, 0.0);
    VelboNode2D q(1.0, 2.0);
    VelboEdge2D* e = new VelboEdge2D(&owner, true);
    e->setNodes(&p, &q);

    const unsigned int edges = VelboEdge2D::instances();
    VelboEdge2D* t = e->edgeFlipAndTwin();
    EXPECT_EQ(VelboEdge2D::instances(), edges + 1);
    EXPECT_EQ(t->getNodeStart(), &q);
    EXPECT_EQ(t->getNodeEnd(), &p);
    EXPECT_EQ(t->getElement(), nullptr);
    EXPECT_FALSE(t->isSliced());
    EXPECT_TRUE(t->edgeIsAligned(t));
    EXPECT_FALSE(t->edgeIsAligned(e));
    EXPECT_EQ(t->getTwin(), e);
    EXPECT_EQ(e->getTwin(), t);
    EXPECT_EQ(e->getNodeStart(), &p);

    delete t;
    delete e;
    EXPECT_EQ(VelboEdge2D::instances(), edges - 1);
}

TEST(VelboEdge2D, OnlyHeapHalfEdgesAreCounted)
{
    const unsigned int before = VelboEdge2D::instances();
    {
        VelboEdge2D onStack;
        std::vector<VelboEdge2D> values(3);
        EXPECT_EQ(VelboEdge2D::instances(), before);
    }
    VelboEdge2D* e = new VelboEdge2D();
    EXPECT_EQ(VelboEdge2D::instances(), before + 1);
    delete e;
    EXPECT_EQ(VelboEdge2D::instances(), before);
}
