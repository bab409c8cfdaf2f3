#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "coreobj/func1.h"
#include "coreobj/funcconst.h"
#include "coreobj/funclinear.h"
#include "coreobj/funcparabola.h"
#include "coreobj/funcpoly.h"
#include "velbocore/velboareaproperties.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velboedge2d.h"
#include "velbocore/velboglobal.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbotriangle.h"

namespace {

// ---------------------------------------------------------------------------
// Independent quadrature over a triangle: Gauss-Legendre on the unit square
// collapsed onto the unit triangle, (s, t) -> (u, v) = (s, t (1 - s)). With
// six points per direction it integrates the cubics used here exactly up to
// rounding.

struct GaussRule {
    std::vector<double> x; // on [0, 1]
    std::vector<double> w;
};

GaussRule gaussLegendre01(int n)
{
    GaussRule rule;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < n; ++i) {
        double x = std::cos(pi * (i + 0.75) / (n + 0.5));
        double dp = 0.0;
        for (int iter = 0; iter < 100; ++iter) {
            double p0 = 1.0;
            double p1 = x;
            for (int k = 2; k <= n; ++k) {
                const double p2 = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
                p0 = p1;
                p1 = p2;
            }
            dp = n * (x * p1 - p0) / (x * x - 1.0);
            const double dx = p1 / dp;
            x -= dx;
            if (std::fabs(dx) < 1e-16) {
                break;
            }
        }
        rule.x.push_back((x + 1.0) / 2.0);
        rule.w.push_back(1.0 / ((1.0 - x * x) * dp * dp));
    }
    return rule;
}

struct Pt {
    double x;
    double y;
};

double integrate(const std::array<Pt, 3>& p, const std::function<double(double, double)>& f)
{
    static const GaussRule rule = gaussLegendre01(6);
    const double ax = p[1].x - p[0].x;
    const double bx = p[2].x - p[0].x;
    const double ay = p[1].y - p[0].y;
    const double by = p[2].y - p[0].y;
    const double jac = std::fabs(ax * by - bx * ay);
    double sum = 0.0;
    for (std::size_t i = 0; i < rule.x.size(); ++i) {
        for (std::size_t j = 0; j < rule.x.size(); ++j) {
            const double u = rule.x[i];
            const double v = rule.x[j] * (1.0 - u);
            const double x = p[0].x + ax * u + bx * v;
            const double y = p[0].y + ay * u + by * v;
            sum += rule.w[i] * rule.w[j] * (1.0 - u) * f(x, y);
        }
    }
    return jac * sum;
}

// A triangle on nodes of its own (ids 1, 2, 3), as the facade makes them.
struct NodedTriangle {
    explicit NodedTriangle(const std::array<Pt, 3>& p, int id = 7)
        : n1(p[0].x, p[0].y, 1), n2(p[1].x, p[1].y, 2), n3(p[2].x, p[2].y, 3), t(id)
    {
        t.setP1(&n1)->setP2(&n2)->setP3(&n3);
    }
    VelboNode2D n1;
    VelboNode2D n2;
    VelboNode2D n3;
    VelboTriangle t;
};

// A law made of pieces owned by the test.
class PieceLaw : public VelboCostitutiveLaw {
public:
    PieceLaw(const std::vector<Func1*>& pieces, const std::vector<double>& limits)
    {
        for (Func1* piece : pieces) {
            addFunc(piece);
        }
        if (!limits.empty()) {
            setInternalLimits(limits);
        }
    }
    int lawType() const override { return LT_STRESSBLOCK; }
    std::string lawDescr() const override { return "test"; }
    double maxTractionDef() const override { return 1.0; }
    double maxCompressionDef() const override { return -1.0; }
    double maxCompUniformDef() const override { return -1.0; }
};

// Claims to be a constant but is not a FuncConst.
class FakeConst final : public Func1 {
public:
    double valueFx(double, int* errn) const override
    {
        if (errn != nullptr) {
            *errn = 0;
        }
        return 5.0;
    }
    int func1Type() const override { return FUNC1_CONST; }
};

FuncLinear strainField(double g, double e0)
{
    FuncLinear f;
    f.setB(g);
    f.setC(e0);
    return f;
}

const std::vector<std::array<Pt, 3>>& triangleTable()
{
    static const std::vector<std::array<Pt, 3>> table = {
        {{{0, 0}, {4, 0}, {0, 3}}},                      // counter-clockwise
        {{{0, 0}, {0, 3}, {4, 0}}},                      // clockwise
        {{{-2.5, 1.25}, {3.75, -4.0}, {1.0, 6.5}}},      // around the origin
        {{{1.0, 6.5}, {3.75, -4.0}, {-2.5, 1.25}}},      // same, reversed
        {{{10000.0, 20000.0}, {10001.5, 20000.25}, {10000.5, 20002.0}}}, // far away
        {{{-35000.0, 4000.0}, {-34000.0, 4100.0}, {-34800.0, 5200.0}}},  // far, large
        {{{0.1, 0.2}, {0.1000001, 0.2}, {0.1, 0.2000003}}},              // tiny
        {{{-1.0, -1.0}, {1.0, -1.0}, {0.0, 1e-6}}},                      // thin
    };
    return table;
}

double maxAbsCoord(const std::array<Pt, 3>& p)
{
    double m = 0.0;
    for (const Pt& q : p) {
        m = std::max({m, std::fabs(q.x), std::fabs(q.y)});
    }
    return m;
}

} // namespace

// ---------------------------------------------------------------------------

TEST(VelboTriangle, ConstructionLinksARingWithoutVertices)
{
    const unsigned int edgesBefore = VelboEdge2D::instances();
    {
        VelboTriangle t(5);
        EXPECT_EQ(VelboEdge2D::instances(), edgesBefore + 3);
        EXPECT_EQ(t.id(), 5);
        EXPECT_EQ(t.typeNameOfStruObject(), "triangolo");
        EXPECT_EQ(t.typeOfStruObject(), OBJ_ELEMENT);
        EXPECT_EQ(t.typeOfStruElement(), ELEM_TRIANGLE);
        EXPECT_TRUE(t.elementIsSolid());
        EXPECT_EQ(t.sizeOfNodes(), 3);
        EXPECT_EQ(t.sizeOfEdges(), 3);
        EXPECT_TRUE(t.ownsEdges());
        EXPECT_EQ(t.getCostitutiveLaw(), nullptr);
        EXPECT_EQ(t.mesh(), nullptr);
        EXPECT_EQ(t.getNextTriangle(), nullptr);
        EXPECT_EQ(t.getBeforeTriangle(), nullptr);

        VelboEdge2D* e[3] = {t.edgeAt(0), t.edgeAt(1), t.edgeAt(2)};
        EXPECT_EQ(t.elementFirstEdge(), e[0]);
        for (int k = 0; k < 3; ++k) {
            ASSERT_NE(e[k], nullptr);
            EXPECT_EQ(e[k]->getElement(), &t);
            EXPECT_FALSE(e[k]->isSliced());
            EXPECT_EQ(e[k]->getNext(), e[(k + 1) % 3]);
            EXPECT_EQ(e[k]->getBefore(), e[(k + 2) % 3]);
            EXPECT_EQ(t.nodeAt(k), nullptr);
        }
        EXPECT_FALSE(t.triangleIsWellDefined());
        EXPECT_EQ(t.edgeAt(3), nullptr);
        EXPECT_EQ(t.edgeAt(-1), nullptr);
        EXPECT_EQ(t.nodeAt(3), nullptr);
    }
    // An unmanaged triangle releases its own half-edges.
    EXPECT_EQ(VelboEdge2D::instances(), edgesBefore);
}

TEST(VelboTriangle, VerticesSitOnTheRingEdges)
{
    VelboNode2D a(0, 0, 1), b(1, 0, 2), c(0, 1, 3), d(5, 5, 4);
    VelboTriangle t;
    EXPECT_EQ(t.setP1(&a), &t);
    t.setP2(&b)->setP3(&c);
    EXPECT_TRUE(t.triangleIsWellDefined());
    // Edge k runs from vertex k to vertex k + 1.
    EXPECT_EQ(t.edgeAt(0)->getNodeStart(), &a);
    EXPECT_EQ(t.edgeAt(0)->getNodeEnd(), &b);
    EXPECT_EQ(t.edgeAt(1)->getNodeStart(), &b);
    EXPECT_EQ(t.edgeAt(1)->getNodeEnd(), &c);
    EXPECT_EQ(t.edgeAt(2)->getNodeStart(), &c);
    EXPECT_EQ(t.edgeAt(2)->getNodeEnd(), &a);
    EXPECT_EQ(t.P1(), &a);
    EXPECT_EQ(t.nodeAt(1), &b);

    // setNode: indices 0..2 as setP1..setP3; anything else changes nothing.
    EXPECT_FALSE(t.setNode(&d, 3));
    EXPECT_FALSE(t.setNode(&d, -1));
    EXPECT_FALSE(t.setNode(nullptr, 0));
    EXPECT_EQ(t.P1(), &a);
    EXPECT_EQ(t.P2(), &b);
    EXPECT_EQ(t.P3(), &c);
    EXPECT_TRUE(t.setNode(&d, 2));
    EXPECT_EQ(t.P3(), &d);
    EXPECT_EQ(t.edgeAt(1)->getNodeEnd(), &d);
}

TEST(VelboTriangle, GeometryOfTheReferenceTriangle)
{
    for (const std::array<Pt, 3>& p : {std::array<Pt, 3>{{{0, 0}, {4, 0}, {0, 3}}},
                                       std::array<Pt, 3>{{{0, 0}, {0, 3}, {4, 0}}}}) {
        NodedTriangle nt(p);
        const VelboTriangle& t = nt.t;
        EXPECT_DOUBLE_EQ(t.elementCalcArea(), 6.0);
        const VelboNode2D g = t.elementCalcBarycenter();
        EXPECT_EQ(g.id(), 0);
        EXPECT_DOUBLE_EQ(g.xn(), 4.0 / 3.0);
        EXPECT_DOUBLE_EQ(g.yn(), 1.0);

        const VelboAreaProperties a = t.elementCalcAreaProperties();
        EXPECT_DOUBLE_EQ(a.area(), 6.0);
        EXPECT_DOUBLE_EQ(a.sx(), 6.0);
        EXPECT_DOUBLE_EQ(a.sy(), 8.0);
        EXPECT_DOUBLE_EQ(a.ixx(), 9.0);
        EXPECT_DOUBLE_EQ(a.iyy(), 16.0);
        EXPECT_DOUBLE_EQ(a.ixy(), 6.0);
        EXPECT_DOUBLE_EQ(a.ixxy(), 7.2);
        EXPECT_DOUBLE_EQ(a.ixxx(), 16.2);
    }
    NodedTriangle ccw({{{0, 0}, {4, 0}, {0, 3}}});
    NodedTriangle cw({{{0, 0}, {0, 3}, {4, 0}}});
    EXPECT_EQ(ccw.t.triangleAreaSign(), 1);
    EXPECT_EQ(cw.t.triangleAreaSign(), -1);
    NodedTriangle flat({{{0, 0}, {1, 1}, {2, 2}}});
    EXPECT_EQ(flat.t.triangleAreaSign(), 0);
}

TEST(VelboTriangle, ExtentAndBounding)
{
    NodedTriangle nt({{{3, 5}, {-1, 2}, {4, 7}}});
    EXPECT_EQ(nt.t.elementYtop(), 2.0);
    EXPECT_EQ(nt.t.elementYbot(), 7.0);
    double xtop = 0, ytop = 0, xbot = 0, ybot = 0;
    nt.t.bounding(&xtop, &ytop, &xbot, &ybot);
    EXPECT_EQ(xtop, -1.0);
    EXPECT_EQ(ytop, 2.0);
    EXPECT_EQ(xbot, 4.0);
    EXPECT_EQ(ybot, 7.0);
    EXPECT_DOUBLE_EQ(VelboTriangle::triangleArea(0, 0, 4, 0, 0, 3), 6.0);
    EXPECT_DOUBLE_EQ(VelboTriangle::triangleArea(0, 0, 0, 3, 4, 0), 6.0);
}

// The closed forms against the quadrature, over triangles of both
// orientations, far from the origin, tiny and thin.
TEST(VelboTriangle, AreaIntegralsMatchQuadrature)
{
    struct Integrand {
        const char* name;
        int degree;
        double (VelboAreaProperties::*get)() const;
        std::function<double(double, double)> f;
    };
    const std::vector<Integrand> integrands = {
        {"area", 0, &VelboAreaProperties::area, [](double, double) { return 1.0; }},
        {"sx", 1, &VelboAreaProperties::sx, [](double, double y) { return y; }},
        {"sy", 1, &VelboAreaProperties::sy, [](double x, double) { return x; }},
        {"ixx", 2, &VelboAreaProperties::ixx, [](double, double y) { return y * y; }},
        {"iyy", 2, &VelboAreaProperties::iyy, [](double x, double) { return x * x; }},
        {"ixy", 2, &VelboAreaProperties::ixy, [](double x, double y) { return x * y; }},
        {"ixxy", 3, &VelboAreaProperties::ixxy, [](double x, double y) { return x * y * y; }},
        {"ixxx", 3, &VelboAreaProperties::ixxx, [](double, double y) { return y * y * y; }},
    };
    for (const std::array<Pt, 3>& p : triangleTable()) {
        NodedTriangle nt(p);
        const VelboAreaProperties props = nt.t.elementCalcAreaProperties();
        const double area = integrate(p, [](double, double) { return 1.0; });
        const double m = maxAbsCoord(p);
        for (const Integrand& in : integrands) {
            SCOPED_TRACE(testing::Message() << in.name << " of (" << p[0].x << ", " << p[0].y << "), ("
                                            << p[1].x << ", " << p[1].y << "), (" << p[2].x << ", "
                                            << p[2].y << ")");
            const double expected = integrate(p, in.f);
            const double tol = 1e-12 * area * std::pow(m, in.degree);
            EXPECT_NEAR((props.*in.get)(), expected, tol);
        }
        // area * barycentre = first moments
        const VelboNode2D g = nt.t.elementCalcBarycenter();
        EXPECT_NEAR(props.area() * g.xn(), props.sy(), 1e-13 * area * m);
        EXPECT_NEAR(props.area() * g.yn(), props.sx(), 1e-13 * area * m);
        EXPECT_DOUBLE_EQ(nt.t.elementCalcArea(), props.area());
    }
}

TEST(VelboTriangle, DegenerateTriangleHasZeroIntegrals)
{
    NodedTriangle nt({{{1, 2}, {3, 4}, {5, 6}}});
    const VelboAreaProperties p = nt.t.elementCalcAreaProperties();
    for (double v : {p.area(), p.sx(), p.sy(), p.ixx(), p.iyy(), p.ixy(), p.ixxy(), p.ixxx()}) {
        EXPECT_EQ(v, 0.0);
    }
    EXPECT_EQ(nt.t.elementCalcArea(), 0.0);
}

TEST(VelboTriangle, CopiesShareOrDuplicateNodesAsDocumented)
{
    NodedTriangle nt({{{0, 0}, {4, 0}, {0, 3}}}, 9);
    VelboParabola law(-11.333333333333334, -0.002, -0.0035);
    nt.t.setCostitutiveLaw(&law);

    // Copy constructor: same id and node objects, no law, equal.
    VelboTriangle byCopy(nt.t);
    EXPECT_EQ(byCopy.id(), 9);
    EXPECT_EQ(byCopy.P1(), &nt.n1);
    EXPECT_EQ(byCopy.P3(), &nt.n3);
    EXPECT_NE(byCopy.edgeAt(0), nt.t.edgeAt(0));
    EXPECT_EQ(byCopy.edgeAt(0)->getElement(), &byCopy);
    EXPECT_EQ(byCopy.getCostitutiveLaw(), nullptr);
    EXPECT_TRUE(byCopy == nt.t);

    // Assignment: id and nodes, the target's law and ring stay.
    VelboParabola otherLaw;
    VelboTriangle assigned(3);
    assigned.setCostitutiveLaw(&otherLaw);
    VelboEdge2D* ownEdge = assigned.edgeAt(0);
    assigned = nt.t;
    EXPECT_EQ(assigned.id(), 9);
    EXPECT_EQ(assigned.P2(), &nt.n2);
    EXPECT_EQ(assigned.edgeAt(0), ownEdge);
    EXPECT_EQ(assigned.getCostitutiveLaw(), &otherLaw);
    EXPECT_TRUE(assigned == nt.t);

    // clone: shares nodes, keeps the law.
    std::unique_ptr<VelboTriangle> cloned(nt.t.clone());
    EXPECT_EQ(cloned->P1(), &nt.n1);
    EXPECT_EQ(cloned->getCostitutiveLaw(), &law);
    EXPECT_EQ(cloned->id(), 9);

    // copy: new nodes with the same ids and coordinates, same law.
    const unsigned int nodesBefore = VelboNode2D::instances();
    std::unique_ptr<VelboTriangle> deep(nt.t.copy());
    EXPECT_EQ(VelboNode2D::instances(), nodesBefore + 3);
    EXPECT_EQ(deep->getCostitutiveLaw(), &law);
    EXPECT_EQ(deep->id(), 9);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NE(deep->nodeAt(k), nt.t.nodeAt(k));
        EXPECT_EQ(*deep->nodeAt(k), *nt.t.nodeAt(k));
    }
    EXPECT_TRUE(*deep == nt.t);
    // The copy's nodes are the caller's.
    for (int k = 0; k < 3; ++k) {
        delete deep->nodeAt(k);
    }
    EXPECT_EQ(VelboNode2D::instances(), nodesBefore);
}

TEST(VelboTriangle, EqualityComparesIdsAndNodesByValue)
{
    NodedTriangle a({{{0, 0}, {1, 0}, {0, 1}}});
    NodedTriangle b({{{0, 0}, {1, 0}, {0, 1}}});
    EXPECT_TRUE(a.t == b.t); // different node objects, equal values
    b.n2.rXn() = 2.0;        // current coordinate only
    EXPECT_FALSE(a.t == b.t);
    b.n2.nodeRestoreGeometry();
    EXPECT_TRUE(a.t == b.t);
    NodedTriangle other({{{0, 0}, {1, 0}, {0, 1}}}, 8);
    EXPECT_FALSE(a.t == other.t);

    // Missing vertices never get read: two empty triangles are equal, an
    // empty one differs from a complete one.
    VelboTriangle e1(7), e2(7);
    EXPECT_TRUE(e1 == e2);
    EXPECT_FALSE(e1 == a.t);
    EXPECT_FALSE(a.t == e1);
    const VelboNode2D missing = e1.getNodeP2();
    EXPECT_EQ(missing, VelboNode2D());
}

TEST(VelboTriangle, ValueVerticesAreHeldCopies)
{
    const unsigned int nodesBefore = VelboNode2D::instances();
    {
        VelboNode2D n(1.5, -2.5, 11);
        std::unique_ptr<VelboTriangle> t(new VelboTriangle(4));
        t->setNodeP1(n);
        t->setNodeP2(VelboNode2D(3, 0, 12));
        t->setNodeP3(VelboNode2D(0, 3, 13));
        EXPECT_EQ(VelboNode2D::instances(), nodesBefore + 3);
        EXPECT_NE(t->P1(), &n);
        EXPECT_EQ(t->getNodeP1(), n);
        n.setXn(100.0); // the argument is not the vertex
        EXPECT_DOUBLE_EQ(t->P1()->xn(), 1.5);
        VelboNode2D got = t->getNodeP2();
        got.setYn(50.0); // nor is the returned copy
        EXPECT_DOUBLE_EQ(t->P2()->yn(), 0.0);
        EXPECT_EQ(t->getNodeP3().id(), 13);

        // Replacing a held vertex releases the node it replaces.
        t->setNodeP1(VelboNode2D(9, 9, 14));
        EXPECT_EQ(VelboNode2D::instances(), nodesBefore + 3);
        EXPECT_EQ(t->getNodeP1(), VelboNode2D(9, 9, 14));

        // A copy keeps the shared vertex nodes alive after its source is gone.
        VelboTriangle copy(*t);
        VelboTriangle assigned;
        assigned = *t;
        t.reset();
        EXPECT_EQ(VelboNode2D::instances(), nodesBefore + 3);
        EXPECT_DOUBLE_EQ(copy.P1()->xn(), 9.0);
        EXPECT_DOUBLE_EQ(assigned.P3()->yn(), 3.0);
        EXPECT_DOUBLE_EQ(copy.elementCalcArea(), VelboTriangle::triangleArea(9, 9, 3, 0, 0, 3));
    }
    EXPECT_EQ(VelboNode2D::instances(), nodesBefore);
}

// The held nodes follow the vertices: a node is released once no vertex of
// the triangle uses it, and only then, whichever setter replaced it.
TEST(VelboTriangle, HeldNodesAreReleasedWhenNoVertexUsesThem)
{
    const unsigned int nodesBefore = VelboNode2D::instances();
    const auto live = [nodesBefore] { return VelboNode2D::instances() - nodesBefore; };
    {
        // Many writes through the three value setters keep three nodes.
        void (VelboTriangle::*const setters[3])(const VelboNode2D&) = {
            &VelboTriangle::setNodeP1, &VelboTriangle::setNodeP2, &VelboTriangle::setNodeP3};
        VelboTriangle t(1);
        for (int i = 0; i < 3000; ++i) {
            (t.*setters[i % 3])(VelboNode2D(i, -i, i));
            ASSERT_LE(live(), 3u) << "after write " << i;
        }
        EXPECT_EQ(live(), 3u);
        EXPECT_EQ(t.getNodeP1(), VelboNode2D(2997, -2997, 2997));
        EXPECT_EQ(t.getNodeP2(), VelboNode2D(2998, -2998, 2998));
        EXPECT_EQ(t.getNodeP3(), VelboNode2D(2999, -2999, 2999));

        // One held node serving two vertices lives while either uses it.
        VelboTriangle shared(2);
        shared.setNodeP1(VelboNode2D(1, 2, 3));
        shared.setP2(shared.P1());
        shared.setNodeP1(VelboNode2D(4, 5, 6));
        EXPECT_EQ(live(), 5u);
        EXPECT_EQ(shared.getNodeP2(), VelboNode2D(1, 2, 3));
        shared.setNodeP2(VelboNode2D(7, 8, 9));
        EXPECT_EQ(live(), 5u);
        EXPECT_EQ(shared.getNodeP2(), VelboNode2D(7, 8, 9));

        // A node of the caller in place of a held one releases it, through
        // setP3 and through setNode alike; the caller's node is not held.
        VelboNode2D outside(0.5, 0.5, 40);
        shared.setNodeP3(VelboNode2D(1, 1, 10));
        EXPECT_EQ(live(), 6u);
        shared.setP3(&outside);
        EXPECT_EQ(live(), 5u);
        EXPECT_TRUE(shared.setNode(&outside, 1));
        EXPECT_EQ(live(), 4u);
        EXPECT_EQ(shared.P2(), &outside);
        EXPECT_EQ(shared.getNodeP1(), VelboNode2D(4, 5, 6));
    }
    EXPECT_EQ(live(), 0u);

    {
        // Copies share the held nodes: a node goes with the last triangle
        // that uses it, whichever of them replaces its vertex first.
        VelboTriangle source(3);
        source.setNodeP1(VelboNode2D(1, 0, 1));
        source.setNodeP2(VelboNode2D(2, 0, 2));
        VelboTriangle byCopy(source);
        std::unique_ptr<VelboTriangle> cloned(source.clone());
        VelboTriangle assigned(4);
        assigned.setNodeP1(VelboNode2D(9, 9, 9));
        assigned.setNodeP3(VelboNode2D(8, 8, 8));
        EXPECT_EQ(live(), 4u);
        // The target of an assignment lets go of its own held nodes.
        assigned = source;
        EXPECT_EQ(live(), 2u);

        source.setNodeP1(VelboNode2D(5, 0, 5));
        EXPECT_EQ(live(), 3u);
        for (VelboTriangle* t : {&byCopy, cloned.get(), &assigned}) {
            EXPECT_EQ(t->getNodeP1(), VelboNode2D(1, 0, 1));
        }
        byCopy.setNodeP1(VelboNode2D(6, 0, 6));
        cloned->setNodeP1(VelboNode2D(6, 0, 6));
        EXPECT_EQ(live(), 5u);
        assigned.setNodeP1(VelboNode2D(6, 0, 6));
        EXPECT_EQ(live(), 5u); // the first P1 went with its last user
        EXPECT_EQ(assigned.getNodeP2(), VelboNode2D(2, 0, 2));
        EXPECT_EQ(source.getNodeP1(), VelboNode2D(5, 0, 5));
        cloned.reset();
        EXPECT_EQ(live(), 4u);
    }
    EXPECT_EQ(live(), 0u);
}

TEST(VelboTriangle, InstancesAndEdgeOwnership)
{
    const unsigned int trianglesBefore = VelboTriangle::instances();
    const unsigned int edgesBefore = VelboEdge2D::instances();
    VelboTriangle onStack; // not counted
    EXPECT_EQ(VelboTriangle::instances(), trianglesBefore);

    VelboTriangle* owning = new VelboTriangle(1);
    VelboTriangle* released = new VelboTriangle(2);
    EXPECT_EQ(VelboTriangle::instances(), trianglesBefore + 2);
    EXPECT_EQ(VelboEdge2D::instances(), edgesBefore + 9);

    delete owning;
    EXPECT_EQ(VelboTriangle::instances(), trianglesBefore + 1);
    EXPECT_EQ(VelboEdge2D::instances(), edgesBefore + 6);

    // A holder that releases the edges collects and deletes them itself.
    released->releaseEdges();
    EXPECT_FALSE(released->ownsEdges());
    VelboEdge2D* edges[3] = {released->edgeAt(0), released->edgeAt(1), released->edgeAt(2)};
    delete released;
    EXPECT_EQ(VelboEdge2D::instances(), edgesBefore + 6);
    for (VelboEdge2D* e : edges) {
        delete e;
    }
    EXPECT_EQ(VelboTriangle::instances(), trianglesBefore);
    EXPECT_EQ(VelboEdge2D::instances(), edgesBefore + 3);
}

TEST(VelboTriangle, EdgeInclusionNeedsChainedEdges)
{
    VelboNode2D a(0, 0), b(1, 0), c(0, 1);
    VelboTriangle source;
    source.setP1(&a)->setP2(&b)->setP3(&c);
    source.releaseEdges();
    VelboEdge2D* ab = source.edgeAt(0);
    VelboEdge2D* bc = source.edgeAt(1);
    VelboEdge2D* ca = source.edgeAt(2);

    const unsigned int edgesBefore = VelboEdge2D::instances();
    {
        VelboTriangle t;
        VelboEdge2D* own[3] = {t.edgeAt(0), t.edgeAt(1), t.edgeAt(2)};
        // Not chained: refused, nothing deleted.
        EXPECT_FALSE(t.setEdgesIncluded(bc, ab));
        EXPECT_FALSE(t.setEdgesIncluded(ab, ca, bc));
        EXPECT_EQ(VelboEdge2D::instances(), edgesBefore + 3);
        EXPECT_EQ(t.edgeAt(0), own[0]);

        // Two edges: the old edges 1, 2 go, the own edge 3 closes the ring.
        EXPECT_TRUE(t.setEdgesIncluded(ab, bc));
        EXPECT_EQ(VelboEdge2D::instances(), edgesBefore + 1);
        EXPECT_EQ(t.edgeAt(0), ab);
        EXPECT_EQ(t.edgeAt(1), bc);
        EXPECT_EQ(t.edgeAt(2), own[2]);
        EXPECT_EQ(ab->getElement(), &t);
        EXPECT_EQ(t.edgeAt(2)->getNodeStart(), &c);
        EXPECT_EQ(t.edgeAt(2)->getNodeEnd(), &a);
        EXPECT_EQ(t.P3(), &c);
        t.releaseEdges(); // ab, bc go back to the test
        delete own[2];
    }
    {
        VelboTriangle t;
        EXPECT_TRUE(t.setEdgesIncluded(ab, bc, ca));
        EXPECT_EQ(VelboEdge2D::instances(), edgesBefore);
        t.triangleEdgesReNext();
        EXPECT_EQ(t.elementFirstEdge(), ab);
        EXPECT_EQ(ca->getNext(), ab);
        EXPECT_EQ(ab->getBefore(), ca);
        EXPECT_DOUBLE_EQ(t.elementCalcArea(), 0.5);
        // t owns them now and deletes them.
    }
    EXPECT_EQ(VelboEdge2D::instances(), edgesBefore - 3);
}

// ---------------------------------------------------------------------------
// Forces

TEST(VelboTriangle, ForcesOfOnePieceMatchQuadrature)
{
    FuncConst constant;
    constant.setC(-12.5);
    FuncLinear linear;
    linear.setB(210000.0);
    linear.setC(3.0);
    FuncParabola parabola;
    parabola.setA(2.8e6);
    parabola.setB(-11333.0);
    parabola.setC(0.75);
    struct PieceCase {
        const char* name;
        Func1* piece;
    };
    const std::vector<PieceCase> pieces = {
        {"constant", &constant}, {"linear", &linear}, {"parabola", &parabola}};
    const std::vector<FuncLinear> fields = {strainField(0.0, -0.0015), strainField(1.5e-5, -0.001),
                                            strainField(-3e-7, 0.0004)};

    for (const PieceCase& pc : pieces) {
        // One piece and no internal limit: that piece serves every strain.
        PieceLaw law({pc.piece}, {});
        for (const std::array<Pt, 3>& p : triangleTable()) {
            NodedTriangle nt(p);
            nt.t.setCostitutiveLaw(&law);
            for (const FuncLinear& field : fields) {
                SCOPED_TRACE(testing::Message() << pc.name << " slope " << field.b() << " at ("
                                                << p[0].x << ", " << p[0].y << ")");
                auto sigma = [&](double, double y) { return law.valueFx(field.valueFx(y, nullptr), nullptr); };
                const double fz = integrate(p, sigma);
                const double mx = integrate(p, [&](double x, double y) { return sigma(x, y) * y; });
                const double my = integrate(p, [&](double x, double y) { return sigma(x, y) * x; });
                const double scaleF = integrate(p, [&](double x, double y) {
                    return std::fabs(sigma(x, y)) + std::fabs(law.valueFx(0.0, nullptr));
                });
                const double m = maxAbsCoord(p);
                const VelboSectionForces f = nt.t.elementForcesByLaw(field);
                EXPECT_NEAR(f.fz(), fz, 1e-10 * scaleF);
                EXPECT_NEAR(f.mx(), mx, 1e-10 * scaleF * m);
                EXPECT_NEAR(f.my(), my, 1e-10 * scaleF * m);
            }
        }
    }
}

TEST(VelboTriangle, ConstantAndLinearPiecesGiveTheClosedForms)
{
    NodedTriangle nt({{{-2.5, 1.25}, {3.75, -4.0}, {1.0, 6.5}}});
    const VelboAreaProperties a = nt.t.elementCalcAreaProperties();

    FuncConst constant;
    constant.setC(-7.0);
    PieceLaw constLaw({&constant}, {});
    nt.t.setCostitutiveLaw(&constLaw);
    VelboSectionForces f = nt.t.elementForcesByLaw(strainField(2e-4, -1e-3));
    EXPECT_DOUBLE_EQ(f.fz(), -7.0 * a.area());
    EXPECT_DOUBLE_EQ(f.mx(), -7.0 * a.sx());
    EXPECT_DOUBLE_EQ(f.my(), -7.0 * a.sy());

    FuncLinear linear;
    linear.setB(200.0);
    linear.setC(1.5);
    PieceLaw linLaw({&linear}, {});
    nt.t.setCostitutiveLaw(&linLaw);
    const double g = 0.25;
    const double e0 = -0.5;
    f = nt.t.elementForcesByLaw(strainField(g, e0));
    EXPECT_DOUBLE_EQ(f.fz(), 200.0 * g * a.sx() + (200.0 * e0 + 1.5) * a.area());
    EXPECT_DOUBLE_EQ(f.mx(), 200.0 * g * a.ixx() + (200.0 * e0 + 1.5) * a.sx());
    EXPECT_DOUBLE_EQ(f.my(), 200.0 * g * a.ixy() + (200.0 * e0 + 1.5) * a.sy());
}

TEST(VelboTriangle, ForcesUseThePieceAtTheBarycentre)
{
    // Concrete law; the triangle spans y in [0, 100], the field puts the
    // barycentre strain in the parabola, the rectangle or in tension.
    VelboParabola law(-11.333333333333334, -0.002, -0.0035);
    NodedTriangle nt({{{0, 0}, {300, 0}, {0, 100}}});
    nt.t.setCostitutiveLaw(&law);
    const double area = 15000.0;
    struct Case {
        FuncLinear field;
        double fz;
    };
    // All three fields keep the whole triangle on one piece.
    const std::vector<Case> cases = {
        {strainField(0.0, -0.003), -11.333333333333334 * area},
        {strainField(0.0, 0.001), 0.0},
        {strainField(0.0, -0.001), -8.5 * area},
    };
    for (const Case& c : cases) {
        const VelboSectionForces f = nt.t.elementForcesByLaw(c.field);
        EXPECT_NEAR(f.fz(), c.fz, 1e-9 * std::fabs(c.fz) + 1e-12);
    }

    // A strain gradient inside the parabola piece against the quadrature.
    const FuncLinear field = strainField(-1e-5, -0.0005); // -0.0005 .. -0.0015
    const std::array<Pt, 3> p = {{{0, 0}, {300, 0}, {0, 100}}};
    auto sigma = [&](double, double y) { return law.valueFx(field.valueFx(y, nullptr), nullptr); };
    const VelboSectionForces f = nt.t.elementForcesByLaw(field);
    EXPECT_NEAR(f.fz(), integrate(p, sigma), 1e-9 * 11.34 * area);
    EXPECT_NEAR(f.mx(), integrate(p, [&](double x, double y) { return sigma(x, y) * y; }), 1e-9 * 11.34 * area * 100);
    EXPECT_NEAR(f.my(), integrate(p, [&](double x, double y) { return sigma(x, y) * x; }), 1e-9 * 11.34 * area * 300);
}

TEST(VelboTriangle, StrainPastTheLastLimitUsesTheLastPiece)
{
    // Steel law limited to +-0.01: 0.02 lies past the last internal limit
    // and outside the outer limits, where the law's own value is +fyd.
    VelboBilinear law(391.304347826087, 210000.0, 0.01);
    NodedTriangle nt({{{0, 0}, {4, 0}, {0, 3}}});
    nt.t.setCostitutiveLaw(&law);
    const VelboSectionForces f = nt.t.elementForcesByLaw(strainField(0.0, 0.02));
    EXPECT_DOUBLE_EQ(f.fz(), law.valueFx(0.02, nullptr) * 6.0);
    EXPECT_DOUBLE_EQ(f.mx(), law.valueFx(0.02, nullptr) * 6.0);
    EXPECT_DOUBLE_EQ(f.my(), law.valueFx(0.02, nullptr) * 8.0);
    // Below the left limit the first piece applies as usual.
    const VelboSectionForces g = nt.t.elementForcesByLaw(strainField(0.0, -0.02));
    EXPECT_DOUBLE_EQ(g.fz(), -391.304347826087 * 6.0);
}

TEST(VelboTriangle, UnreadablePiecesAndMissingLawGiveZeroForces)
{
    NodedTriangle nt({{{0, 0}, {4, 0}, {0, 3}}});
    FuncPoly poly;
    poly.addCoeff(1.0);
    poly.addCoeff(2.0);
    FakeConst fake;
    PieceLaw polyLaw({&poly}, {});
    PieceLaw fakeLaw({&fake}, {});
    const std::vector<const VelboCostitutiveLaw*> laws = {&polyLaw, &fakeLaw, nullptr};
    for (const VelboCostitutiveLaw* law : laws) {
        nt.t.setCostitutiveLaw(law);
        const VelboSectionForces f = nt.t.elementForcesByLaw(strainField(1e-3, 1e-3));
        EXPECT_EQ(f.fz(), 0.0);
        EXPECT_EQ(f.mx(), 0.0);
        EXPECT_EQ(f.my(), 0.0);
    }
}

// ---------------------------------------------------------------------------
// Mesh making

TEST(VelboTriangle, MeshMakeHoldsADeepCopy)
{
    NodedTriangle nt({{{0, 0}, {4, 0}, {0, 3}}}, 21);
    VelboParabola law(-11.333333333333334, -0.002, -0.0035);
    nt.t.setCostitutiveLaw(&law);

    const unsigned int meshes = VelboMesh::instances();
    const unsigned int triangles = VelboTriangle::instances();
    const unsigned int nodes = VelboNode2D::instances();
    const unsigned int edges = VelboEdge2D::instances();

    VelboMesh* mesh = nt.t.meshMake();
    EXPECT_EQ(nt.t.mesh(), mesh);
    EXPECT_EQ(mesh->element(), &nt.t);
    EXPECT_EQ(VelboMesh::instances(), meshes + 1);
    EXPECT_EQ(VelboTriangle::instances(), triangles + 1);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 3);
    EXPECT_EQ(VelboEdge2D::instances(), edges + 3);

    VelboTriangle* copy = mesh->triangleFirst();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(mesh->triangleLast(), copy);
    EXPECT_FALSE(copy->ownsEdges());
    EXPECT_EQ(copy->id(), 21);
    EXPECT_EQ(copy->getCostitutiveLaw(), &law);
    EXPECT_EQ(copy->mesh(), nullptr);
    EXPECT_TRUE(*copy == nt.t);
    EXPECT_NE(copy->P1(), &nt.n1);

    std::vector<VelboNode2D*> chain;
    mesh->getNodes(chain);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(chain[0], copy->P1());
    EXPECT_EQ(chain[1], copy->P2());
    EXPECT_EQ(chain[2], copy->P3());
    EXPECT_EQ(mesh->nodeFirst(), chain[0]);
    EXPECT_EQ(mesh->nodeLast(), chain[2]);
    EXPECT_EQ(mesh->countCircles(), 0);

    // The forces now come from the mesh, equal to the direct ones.
    const FuncLinear field = strainField(-1e-5, -0.0005);
    const VelboSectionForces meshed = nt.t.elementForcesByLaw(field);
    const VelboSectionForces direct = copy->elementForcesByLaw(field);
    EXPECT_EQ(meshed.fz(), direct.fz());
    EXPECT_EQ(meshed.mx(), direct.mx());
    EXPECT_EQ(meshed.my(), direct.my());

    // A second mesh replaces the pointer; the first is the owner's to delete.
    VelboMesh* second = nt.t.meshMake();
    EXPECT_EQ(nt.t.mesh(), second);
    delete mesh;
    delete second;
    nt.t.elementSetMesh(nullptr);
    EXPECT_EQ(VelboMesh::instances(), meshes);
    EXPECT_EQ(VelboTriangle::instances(), triangles);
    EXPECT_EQ(VelboNode2D::instances(), nodes);
    EXPECT_EQ(VelboEdge2D::instances(), edges);
}

// ---------------------------------------------------------------------------
// Slicing primitives (the mesh tests cover whole passes)

TEST(VelboTriangle, IntersectedOnlyByStrictCrossings)
{
    NodedTriangle nt({{{0, 0}, {2, 0}, {0, 2}}});
    struct YCase {
        double y;
        bool hit;
    };
    for (const YCase& c : std::vector<YCase>{{1.0, true}, {0.0, false}, {2.0, false}, {-1.0, false},
                                             {1e-300, true}, {3.0, false}}) {
        EXPECT_EQ(nt.t.intersected(&c.y, nullptr), c.hit) << "y = " << c.y;
    }
    struct LineCase {
        Func2Linear line;
        bool hit;
    };
    const std::vector<LineCase> lines = {
        {Func2Linear(1, 1, -1), true},   // crosses two sides
        {Func2Linear(1, -1, 0), true},   // through P1 and the opposite side
        {Func2Linear(1, 1, 0), false},   // touches P1 only
        {Func2Linear(0, 1, 0), false},   // along a side
        {Func2Linear(1, 1, -2), false},  // along the hypotenuse
        {Func2Linear(1, 0, 5), false},   // outside
    };
    for (const LineCase& c : lines) {
        EXPECT_EQ(nt.t.intersected(nullptr, &c.line), c.hit)
            << c.line.a() << " " << c.line.b() << " " << c.line.c();
    }
    // Vertices within the bound of the line lie on it: y = 1e-14 then runs
    // along the side P1 -> P2.
    const Func2Linear nearSide(0, 1, -1e-14);
    EXPECT_TRUE(nt.t.intersected(nullptr, &nearSide));
    EXPECT_FALSE(nt.t.intersected(nullptr, &nearSide, 1e-12));
    EXPECT_TRUE(nt.t.intersected(nullptr, &lines[0].line, 1e-12));

    const double y = 1.0;
    const Func2Linear line(1, 1, -1);
    EXPECT_FALSE(nt.t.intersected(&y, &line));
    EXPECT_FALSE(nt.t.intersected(nullptr, nullptr));
}

TEST(VelboTriangle, SliceAndRemeshOfOneSplitSide)
{
    // Ray y = 1 through P2: only P3 -> P1 is cut, at N (0, 1).
    VelboNode2D a(0, 0, 1), b(2, 1, 2), c(0, 2, 3);
    VelboTriangle* t = new VelboTriangle(5);
    t->setP1(&a)->setP2(&b)->setP3(&c);
    t->releaseEdges();
    VelboEdge2D* ring[3] = {t->edgeAt(0), t->edgeAt(1), t->edgeAt(2)};

    const double y = 1.0;
    int nbEdges = 0;
    int nbNodes = 0;
    std::unique_ptr<VelboNode2D> n(t->triangleSlice(&nbEdges, &nbNodes, &y, nullptr));
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(nbEdges, 2);
    EXPECT_EQ(nbNodes, 1);
    EXPECT_EQ(n->id(), 0);
    EXPECT_EQ(n->xn(), 0.0);
    EXPECT_EQ(n->yn(), 1.0);
    EXPECT_EQ(n->getNextNode(), nullptr);
    EXPECT_EQ(t->triangleRemesh2(), nullptr); // only one split side

    VelboTriangle* first = t->triangleRemesh1();
    ASSERT_NE(first, nullptr);
    VelboTriangle* second = first->getNextTriangle();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getBeforeTriangle(), first);
    EXPECT_EQ(second->getNextTriangle(), nullptr);
    // (N, P1, P2) and (N, P2, P3), both of area 1, keeping the orientation.
    EXPECT_EQ(first->P1(), n.get());
    EXPECT_EQ(first->P2(), &a);
    EXPECT_EQ(first->P3(), &b);
    EXPECT_EQ(second->P1(), n.get());
    EXPECT_EQ(second->P2(), &b);
    EXPECT_EQ(second->P3(), &c);
    for (VelboTriangle* s : {first, second}) {
        EXPECT_EQ(s->id(), 0);
        EXPECT_DOUBLE_EQ(s->elementCalcArea(), 1.0);
        EXPECT_EQ(s->triangleAreaSign(), t->triangleAreaSign());
        EXPECT_FALSE(s->ownsEdges());
        EXPECT_EQ(s->elementFirstEdge(), s->edgeAt(0));
        for (int k = 0; k < 3; ++k) {
            EXPECT_FALSE(s->edgeAt(k)->isSliced());
            EXPECT_EQ(s->edgeAt(k)->getElement(), s);
            EXPECT_EQ(s->edgeAt(k)->getNext(), s->edgeAt((k + 1) % 3));
        }
    }
    // The diagonal N -> P2 is a twin pair.
    EXPECT_EQ(first->edgeAt(2)->getTwin(), second->edgeAt(0));
    EXPECT_EQ(second->edgeAt(0)->getTwin(), first->edgeAt(2));

    // Every half-edge of the old ring went over to the new triangles.
    std::vector<VelboEdge2D*> all;
    for (VelboTriangle* s : {first, second}) {
        for (int k = 0; k < 3; ++k) {
            all.push_back(s->edgeAt(k));
        }
    }
    for (VelboEdge2D* e : ring) {
        EXPECT_NE(std::find(all.begin(), all.end(), e), all.end());
    }
    delete t;
    delete first;
    delete second;
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::unique(all.begin(), all.end()), all.end());
    for (VelboEdge2D* e : all) {
        delete e;
    }
}

TEST(VelboTriangle, RemeshRefusesRingsWithoutSplitSides)
{
    NodedTriangle nt({{{0, 0}, {1, 0}, {0, 1}}});
    const unsigned int triangles = VelboTriangle::instances();
    const unsigned int edges = VelboEdge2D::instances();
    EXPECT_EQ(nt.t.triangleRemesh1(), nullptr);
    EXPECT_EQ(nt.t.triangleRemesh2(), nullptr);
    EXPECT_EQ(VelboTriangle::instances(), triangles);
    EXPECT_EQ(VelboEdge2D::instances(), edges);
    EXPECT_EQ(nt.t.edgeAt(0)->getElement(), &nt.t);
}
