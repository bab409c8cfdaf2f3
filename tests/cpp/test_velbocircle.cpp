#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "coreobj/funclinear.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbosectionforces.h"

namespace {

constexpr double kPi = 3.141592653589793;

FuncLinear strainField(double b, double c)
{
    FuncLinear f;
    f.setB(b);
    f.setC(c);
    return f;
}

// A bar of radius 10 at (100, -50) with a steel law (yield strain 0.002).
class Bar : public ::testing::Test {
protected:
    Bar() : m_law(400.0, 200000.0, 0.01), m_center(100.0, -50.0, 5), m_bar(7)
    {
        m_bar.setCenter(&m_center)->setRadius(10.0);
        m_bar.setCostitutiveLaw(&m_law);
    }

    VelboBilinear m_law;
    VelboNode2D m_center;
    VelboCircle m_bar;
};

} // namespace

TEST(VelboCircle, NewCircleIsEmpty)
{
    const VelboCircle c(4);
    EXPECT_EQ(c.id(), 4);
    EXPECT_EQ(c.center(), nullptr);
    EXPECT_EQ(c.radius(), 0.0);
    EXPECT_EQ(c.getCostitutiveLaw(), nullptr);
    EXPECT_EQ(c.mesh(), nullptr);
    EXPECT_EQ(c.elementFirstEdge(), nullptr);
    EXPECT_EQ(c.nextElement(), nullptr);
    EXPECT_EQ(c.beforeElement(), nullptr);
    EXPECT_EQ(c.nextCircle(), nullptr);
    EXPECT_EQ(c.beforeCircle(), nullptr);
    EXPECT_EQ(VelboCircle().id(), 0);
}

TEST(VelboCircle, KindAndAccessTable)
{
    VelboNode2D n(1.0, 2.0, 3);
    VelboNode2D other(4.0, 5.0, 6);
    VelboCircle c(1);
    c.setCenter(&n);

    EXPECT_EQ(c.typeOfStruObject(), OBJ_ELEMENT);
    EXPECT_EQ(c.typeOfStruElement(), ELEM_CIRCLE);
    EXPECT_EQ(c.typeNameOfStruObject(), "cerchio");
    EXPECT_FALSE(c.elementIsSolid());
    EXPECT_EQ(c.sizeOfNodes(), 1);
    EXPECT_EQ(c.sizeOfEdges(), 0);

    for (int i : {-1, 0, 1, 2}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.nodeAt(i), i == 0 ? &n : nullptr);
        EXPECT_EQ(c.edgeAt(i), nullptr);
    }

    EXPECT_FALSE(c.setNode(&other, 1));
    EXPECT_FALSE(c.setNode(&other, -1));
    EXPECT_FALSE(c.setNode(nullptr, 0));
    EXPECT_EQ(c.center(), &n);
    EXPECT_TRUE(c.setNode(&other, 0));
    EXPECT_EQ(c.center(), &other);
}

TEST(VelboCircle, RadiusAccessors)
{
    VelboCircle c;
    EXPECT_EQ(c.setRadius(2.5), &c);
    EXPECT_EQ(c.radius(), 2.5);
    c.setRadiusNC(-1.0);
    EXPECT_EQ(c.radius(), -1.0);
    c.rRadius() = 3.0;
    EXPECT_EQ(c.radius(), 3.0);
}

TEST(VelboCircle, ElementLinksReturnTheLinkedElement)
{
    VelboCircle a(1);
    VelboCircle b(2);
    EXPECT_EQ(a.setNextElement(&b), &b);
    EXPECT_EQ(a.setBeforeElement(&b), &b);
    EXPECT_EQ(a.nextElement(), &b);
    EXPECT_EQ(a.beforeElement(), &b);
    EXPECT_EQ(a.setNextElement(nullptr), nullptr);

    a.setNextCircle(&b);
    b.setBeforeCircle(&a);
    EXPECT_EQ(a.nextCircle(), &b);
    EXPECT_EQ(b.beforeCircle(), &a);

    // The base makes no mesh.
    EXPECT_EQ(a.VelboSectionElement::meshMake(), nullptr);
}

TEST_F(Bar, AreaPropertiesSitAtTheCentre)
{
    const double a = 10.0 * (10.0 * kPi);
    EXPECT_EQ(m_bar.elementCalcArea(), a);
    EXPECT_DOUBLE_EQ(a, 100.0 * kPi);

    for (double r : {10.0, -10.0}) {
        SCOPED_TRACE(r);
        m_bar.setRadius(r);
        const VelboAreaProperties p = m_bar.elementCalcAreaProperties();
        EXPECT_EQ(p.area(), a);
        EXPECT_EQ(p.sx(), -50.0 * a);
        EXPECT_EQ(p.sy(), 100.0 * a);
        EXPECT_EQ(p.ixx(), -50.0 * (-50.0 * a));
        EXPECT_EQ(p.iyy(), 100.0 * (100.0 * a));
        EXPECT_EQ(p.ixy(), -50.0 * (100.0 * a));
        EXPECT_DOUBLE_EQ(p.ixx(), 2500.0 * a);
        EXPECT_DOUBLE_EQ(p.iyy(), 10000.0 * a);
        EXPECT_DOUBLE_EQ(p.ixy(), -5000.0 * a);
        EXPECT_EQ(p.ixxy(), 0.0);
        EXPECT_EQ(p.ixxx(), 0.0);
    }

    EXPECT_EQ(m_bar.elementYtop(), -50.0);
    EXPECT_EQ(m_bar.elementYbot(), -50.0);
    const VelboNode2D g = m_bar.elementCalcBarycenter();
    EXPECT_EQ(g.id(), 0);
    EXPECT_EQ(g.xn(), 100.0);
    EXPECT_EQ(g.yn(), -50.0);

    // The geometry follows the node's current position.
    m_center.nodeTranslate(1.0, 2.0);
    EXPECT_EQ(m_bar.elementYtop(), -48.0);
    EXPECT_EQ(m_bar.elementCalcAreaProperties().sy(), 101.0 * a);
}

TEST_F(Bar, ScaledPropertiesOfTheIdealSection)
{
    const VelboAreaProperties p = m_bar.elementCalcAreaProperties();
    const VelboAreaProperties q = p * 2.5f;
    EXPECT_EQ(q.area(), p.area() * 2.5);
    EXPECT_EQ(q.sx(), p.sx() * 2.5);
    EXPECT_EQ(q.sy(), p.sy() * 2.5);
    EXPECT_EQ(q.ixx(), p.ixx() * 2.5);
    EXPECT_EQ(q.iyy(), p.iyy() * 2.5);
    EXPECT_EQ(q.ixy(), p.ixy() * 2.5);
    EXPECT_EQ(q.ixxy(), 0.0);
    EXPECT_EQ(q.ixxx(), 0.0);
}

TEST_F(Bar, ForcesAreTheStressAtTheCentreTimesTheArea)
{
    struct Case {
        const char* what;
        double b, c;       // strain field b*y + c
        double stress;     // expected stress at the centre
    };
    const Case cases[] = {
        {"uniform elastic tension", 0.0, 0.001, 200.0},
        {"uniform elastic compression", 0.0, -0.0005, -100.0},
        {"uniform yielded compression", 0.0, -0.003, -400.0},
        {"field read at the centre's y", 0.0001, 0.006, 200.0},
        // Beyond the law's limit the last piece still answers.
        {"beyond the limit strain", 0.0, 0.05, 400.0},
    };
    const double a = 10.0 * (10.0 * kPi);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const VelboSectionForces f = m_bar.elementForcesByLaw(strainField(c.b, c.c));
        EXPECT_NEAR(f.fz(), c.stress * a, 1e-9 * std::abs(c.stress * a));
        EXPECT_DOUBLE_EQ(f.mx(), f.fz() * -50.0);
        EXPECT_DOUBLE_EQ(f.my(), f.fz() * 100.0);

        const double strain = c.b * -50.0 + c.c;
        const double stress = m_law.valueFx(strain, nullptr);
        EXPECT_EQ(f.fz(), stress * a);
        EXPECT_EQ(f.mx(), stress * a * -50.0);
        EXPECT_EQ(f.my(), stress * a * 100.0);
    }
}

TEST(VelboCircle, NoLawOrNoCentreGivesNoForce)
{
    VelboBilinear law(400.0, 200000.0, 0.01);
    VelboNode2D n(1.0, 1.0);
    VelboCircle noLaw(1);
    noLaw.setCenter(&n)->setRadius(1.0);
    VelboCircle noCentre(2);
    noCentre.setRadius(1.0);
    noCentre.setCostitutiveLaw(&law);

    for (const VelboCircle* c : {&noLaw, &noCentre}) {
        const VelboSectionForces f = c->elementForcesByLaw(strainField(0.0, 0.001));
        EXPECT_EQ(f.fz(), 0.0);
        EXPECT_EQ(f.mx(), 0.0);
        EXPECT_EQ(f.my(), 0.0);
    }
    // Without a centre there is no position to report.
    EXPECT_TRUE(std::isnan(noCentre.elementYtop()));
    EXPECT_TRUE(std::isnan(noCentre.elementCalcBarycenter().xn()));
    EXPECT_EQ(noCentre.elementCalcAreaProperties().area(), kPi);
}

TEST_F(Bar, CopiesShareTheCentreAndDropLawMeshAndLinks)
{
    VelboCircle other(99);
    m_bar.setNextElement(&other);
    m_bar.setNextCircle(&other);

    VelboCircle copy(m_bar);
    EXPECT_EQ(copy.id(), 7);
    EXPECT_EQ(copy.center(), &m_center);
    EXPECT_EQ(copy.radius(), 10.0);
    EXPECT_EQ(copy.getCostitutiveLaw(), nullptr);
    EXPECT_EQ(copy.nextElement(), nullptr);
    EXPECT_EQ(copy.nextCircle(), nullptr);
    EXPECT_TRUE(copy == m_bar);

    copy.setCenterNode(VelboNode2D(3.0, 4.0, 8));
    EXPECT_EQ(m_bar.center(), &m_center);
    EXPECT_EQ(m_bar.getNodeCenter().id(), 8);
    EXPECT_EQ(m_bar.getNodeCenter().xn(), 3.0);
    EXPECT_EQ(m_center.yn(), 4.0);

    // Assignment takes id and geometry, keeps the target's law and links.
    VelboBilinear law2;
    VelboCircle target(1);
    target.setCostitutiveLaw(&law2);
    target.setNextCircle(&other);
    target = m_bar;
    EXPECT_EQ(target.id(), 7);
    EXPECT_EQ(target.center(), &m_center);
    EXPECT_EQ(target.radius(), 10.0);
    EXPECT_EQ(target.getCostitutiveLaw(), &law2);
    EXPECT_EQ(target.nextCircle(), &other);
}

TEST_F(Bar, CopyIsDeepAndCloneShares)
{
    m_center.rXn() = 120.0; // current (120, -50), saved (100, -50)

    const unsigned int circles = VelboCircle::instances();
    const unsigned int nodes = VelboNode2D::instances();
    std::unique_ptr<VelboCircle> deep(m_bar.copy());
    std::unique_ptr<VelboNode2D> deepCentre(deep->center());
    EXPECT_EQ(VelboCircle::instances(), circles + 1);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
    EXPECT_EQ(deep->id(), 7);
    EXPECT_EQ(deep->radius(), 10.0);
    EXPECT_EQ(deep->getCostitutiveLaw(), &m_law);
    ASSERT_NE(deep->center(), &m_center);
    EXPECT_EQ(deep->center()->id(), 5);
    EXPECT_EQ(deep->center()->xn(), 120.0);
    deep->center()->nodeRestoreGeometry();
    EXPECT_EQ(deep->center()->xn(), 120.0);
    deep->setCenterNode(VelboNode2D(0.0, 0.0, 1));
    EXPECT_EQ(m_center.id(), 5);

    std::unique_ptr<VelboCircle> shallow(m_bar.clone());
    EXPECT_EQ(VelboCircle::instances(), circles + 2);
    EXPECT_EQ(shallow->id(), 7);
    EXPECT_EQ(shallow->radius(), 10.0);
    EXPECT_EQ(shallow->center(), &m_center);
    EXPECT_EQ(shallow->getCostitutiveLaw(), &m_law);
    EXPECT_TRUE(*shallow == m_bar);

    shallow.reset();
    deep.reset();
    EXPECT_EQ(VelboCircle::instances(), circles);
}

TEST(VelboCircle, EqualityTable)
{
    VelboNode2D n1(1.0, 2.0, 3);
    VelboNode2D n1same(1.0, 2.0, 3);
    VelboNode2D n2(1.0, 2.5, 3);
    auto make = [](int id, VelboNode2D* centre, double r) {
        VelboCircle c(id);
        c.setCenter(centre)->setRadius(r);
        return c;
    };
    struct Case {
        const char* what;
        VelboCircle a, b;
        bool equal;
    };
    const Case cases[] = {
        {"same centre object", make(1, &n1, 2.0), make(1, &n1, 2.0), true},
        {"equal centres by value", make(1, &n1, 2.0), make(1, &n1same, 2.0), true},
        {"different centres", make(1, &n1, 2.0), make(1, &n2, 2.0), false},
        {"different ids", make(1, &n1, 2.0), make(2, &n1, 2.0), false},
        {"different radii", make(1, &n1, 2.0), make(1, &n1, -2.0), false},
        {"both without centre", make(1, nullptr, 2.0), make(1, nullptr, 2.0), true},
        {"one without centre", make(1, nullptr, 2.0), make(1, &n1, 2.0), false},
        {"the other without centre", make(1, &n1, 2.0), make(1, nullptr, 2.0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.a == c.b, c.equal);
    }
}

TEST(VelboCircle, CircleWithoutCentreNode)
{
    const unsigned int nodes = VelboNode2D::instances();
    std::unique_ptr<VelboCircle> c(new VelboCircle(3));
    EXPECT_TRUE(c->getNodeCenter() == VelboNode2D());

    // The first setCenterNode makes a node the circle keeps alive.
    c->setCenterNode(VelboNode2D(1.0, 2.0, 4));
    ASSERT_NE(c->center(), nullptr);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
    EXPECT_TRUE(c->getNodeCenter() == VelboNode2D(1.0, 2.0, 4));
    VelboNode2D* held = c->center();
    c->setCenterNode(VelboNode2D(5.0, 6.0, 7));
    EXPECT_EQ(c->center(), held);

    // Copies share the node and keep it alive after the source is gone.
    VelboCircle copy(*c);
    VelboCircle assigned;
    assigned = *c;
    c.reset();
    EXPECT_EQ(copy.center(), held);
    EXPECT_EQ(copy.getNodeCenter().xn(), 5.0);
    assigned.setCenterNode(VelboNode2D(8.0, 9.0, 10));
    EXPECT_EQ(copy.getNodeCenter().id(), 10);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
}

TEST(VelboCircle, SharedCentreLivesWithItsLastHolder)
{
    const unsigned int nodes = VelboNode2D::instances();
    std::shared_ptr<VelboNode2D> node(new VelboNode2D(1.0, 2.0, 4));
    std::unique_ptr<VelboCircle> c(new VelboCircle(3));
    c->shareCenter(node);
    EXPECT_EQ(c->center(), node.get());

    // The owner and the circle go; the copy keeps the node and writes into it.
    const VelboCircle copy(*c);
    VelboNode2D* const shared = node.get();
    node.reset();
    c.reset();
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
    ASSERT_EQ(copy.center(), shared);
    EXPECT_TRUE(copy.getNodeCenter() == VelboNode2D(1.0, 2.0, 4));
    VelboCircle writer(copy);
    writer.setCenterNode(VelboNode2D(5.0, 6.0, 7));
    EXPECT_EQ(copy.getNodeCenter().id(), 7);

    // A centre set by pointer is not owned: the shared one is let go.
    VelboNode2D other(0.0, 0.0, 9);
    writer.setCenter(&other);
    EXPECT_TRUE(writer.setNode(&other, 0));
    EXPECT_EQ(writer.center(), &other);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
}

// A centre given by shareCenter is filed under its id by the giver: while
// the circle it was given to lives, writes through it or its copies keep the
// id; afterwards the copies write the id too.
TEST(VelboCircle, FiledCentreKeepsItsIdWhileItsCircleLives)
{
    std::shared_ptr<VelboNode2D> node(new VelboNode2D(1.0, 2.0, 4));
    std::unique_ptr<VelboCircle> filer(new VelboCircle(3));
    filer->shareCenter(node);
    VelboCircle copy(*filer);
    VelboCircle assigned;
    assigned = copy;
    const std::unique_ptr<VelboCircle> cloned(filer->clone());

    struct Write {
        const char* what;
        VelboCircle* through;
    };
    const Write writes[] = {
        {"the filer", filer.get()}, {"a copy", &copy}, {"an assigned copy", &assigned}, {"a clone", cloned.get()}};
    double x = 10.0;
    for (const Write& w : writes) {
        SCOPED_TRACE(w.what);
        EXPECT_TRUE(w.through->centerIdKept());
        w.through->setCenterNode(VelboNode2D(x, x + 1.0, 9));
        EXPECT_TRUE(*node == VelboNode2D(x, x + 1.0, 4));
        x += 10.0;
    }
    // Assigning a circle to itself keeps its filing.
    VelboCircle& self = *filer;
    *filer = self;
    EXPECT_TRUE(filer->centerIdKept());

    filer.reset();
    EXPECT_FALSE(copy.centerIdKept());
    copy.setCenterNode(VelboNode2D(5.0, 6.0, 7));
    EXPECT_TRUE(*node == VelboNode2D(5.0, 6.0, 7));
}

TEST(VelboCircle, OtherCentresTakeTheWrittenId)
{
    VelboNode2D unowned(1.0, 2.0, 4);
    std::shared_ptr<VelboNode2D> shared(new VelboNode2D(1.0, 2.0, 4));
    VelboNode2D elsewhere(0.0, 0.0, 8);

    VelboCircle byPointer;
    byPointer.setCenter(&unowned);
    VelboCircle repointed;
    repointed.shareCenter(shared);
    repointed.setCenter(&elsewhere);
    VelboCircle made;
    made.setCenterNode(VelboNode2D(0.0, 0.0, 1));
    VelboCircle owned;
    owned.shareCenter(shared);
    owned.ownCenter();

    for (VelboCircle* c : {&byPointer, &repointed, &made, &owned}) {
        EXPECT_FALSE(c->centerIdKept());
        c->setCenterNode(VelboNode2D(3.0, 4.0, 5));
        EXPECT_TRUE(c->getNodeCenter() == VelboNode2D(3.0, 4.0, 5));
    }
    EXPECT_EQ(unowned.id(), 5);
    EXPECT_EQ(elsewhere.id(), 5);
    // The owned copy wrote into a node of its own.
    EXPECT_TRUE(*shared == VelboNode2D(1.0, 2.0, 4));
}

TEST(VelboCircle, OwnCentreIsACopyHeldByTheCircleAndItsLaterCopies)
{
    const unsigned int nodes = VelboNode2D::instances();
    VelboNode2D source(1.0, 2.0, 4);
    source.rXn() = 1.5;  // current (1.5, 2), saved (1, 2)
    VelboCircle a(3);
    a.setCenter(&source)->setRadius(2.0);

    std::unique_ptr<VelboCircle> b(new VelboCircle(a));
    EXPECT_EQ(b->ownCenter(), b.get());
    ASSERT_NE(b->center(), &source);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
    EXPECT_TRUE(*b->center() == source);
    EXPECT_TRUE(*b == a);

    b->setCenterNode(VelboNode2D(7.0, 8.0, 9));
    EXPECT_EQ(source.xn(), 1.5);
    EXPECT_EQ(source.yn(), 2.0);
    EXPECT_EQ(source.id(), 4);

    // A later copy shares the owned node and keeps it after b is gone.
    const VelboCircle c(*b);
    b.reset();
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
    EXPECT_TRUE(c.getNodeCenter() == VelboNode2D(7.0, 8.0, 9));

    // Without a centre there is nothing to copy.
    VelboCircle bare(5);
    bare.ownCenter();
    EXPECT_EQ(bare.center(), nullptr);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);
}

TEST(VelboCircle, CopyWithoutCentreHasNoCentre)
{
    const VelboCircle c(2);
    const std::unique_ptr<VelboCircle> deep(c.copy());
    EXPECT_EQ(deep->center(), nullptr);
    EXPECT_EQ(deep->id(), 2);
}

TEST_F(Bar, MeshHoldsADeepCopy)
{
    const unsigned int circles = VelboCircle::instances();
    const unsigned int nodes = VelboNode2D::instances();
    VelboMesh* mesh = m_bar.meshMake();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(m_bar.mesh(), mesh);
    EXPECT_EQ(mesh->element(), &m_bar);
    VelboCircle* inner = mesh->circleFirst();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(mesh->circleLast(), inner);
    EXPECT_NE(inner, &m_bar);
    EXPECT_TRUE(*inner == m_bar);
    EXPECT_EQ(inner->getCostitutiveLaw(), &m_law);
    EXPECT_NE(inner->center(), &m_center);
    EXPECT_EQ(mesh->nodeFirst(), inner->center());
    EXPECT_EQ(mesh->nodeLast(), inner->center());
    EXPECT_EQ(mesh->triangleFirst(), nullptr);
    EXPECT_EQ(VelboCircle::instances(), circles + 1);
    EXPECT_EQ(VelboNode2D::instances(), nodes + 1);

    delete mesh;
    EXPECT_EQ(VelboCircle::instances(), circles);
    EXPECT_EQ(VelboNode2D::instances(), nodes);
}

TEST(VelboCircle, OnlyHeapCirclesAreCounted)
{
    const unsigned int before = VelboCircle::instances();
    {
        VelboCircle onStack(1);
        const VelboCircle copy(onStack);
        EXPECT_EQ(VelboCircle::instances(), before);
    }
    VelboSectionElement* e = new VelboCircle(1);
    EXPECT_EQ(VelboCircle::instances(), before + 1);
    delete e;
    EXPECT_EQ(VelboCircle::instances(), before);
}
