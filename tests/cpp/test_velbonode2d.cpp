#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "velbocore/velboglobal.h"
#include "velbocore/velbonode2d.h"

namespace {

void expectAt(const VelboNode2D& n, double x, double y, double xs, double ys)
{
    VelboNode2D saved(n);
    saved.nodeRestoreGeometry();
    EXPECT_EQ(n.xn(), x);
    EXPECT_EQ(n.yn(), y);
    EXPECT_EQ(saved.xn(), xs);
    EXPECT_EQ(saved.yn(), ys);
}

// The turn as any angle other than 90, 180 and 270 computes it.
void turned(double degree, double x, double y, double& ox, double& oy)
{
    const double rad = degree * 0.017453292519943295;
    ox = x * std::cos(rad) - y * std::sin(rad);
    oy = x * std::sin(rad) + y * std::cos(rad);
}

} // namespace

TEST(VelboNode2D, ConstructionSetsCoordinatesAndSavedCopy)
{
    const VelboNode2D byId;
    EXPECT_EQ(byId.id(), 0);
    expectAt(byId, 0.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(byId.getNextNode(), nullptr);
    EXPECT_EQ(byId.getBeforeNode(), nullptr);

    const VelboNode2D withId(7);
    EXPECT_EQ(withId.id(), 7);
    expectAt(withId, 0.0, 0.0, 0.0, 0.0);

    const VelboNode2D byXY(1.5, 2.5);
    EXPECT_EQ(byXY.id(), 0);
    expectAt(byXY, 1.5, 2.5, 1.5, 2.5);

    const VelboNode2D full(-3.0, 4.0, -2);
    EXPECT_EQ(full.id(), -2);
    expectAt(full, -3.0, 4.0, -3.0, 4.0);
}

TEST(VelboNode2D, KindAndTypeName)
{
    const VelboNode2D n;
    EXPECT_EQ(n.typeOfStruObject(), OBJ_NODE);
    EXPECT_EQ(n.typeOfStruObject(), 1);
    EXPECT_EQ(n.typeNameOfStruObject(), "nodo");
}

TEST(VelboNode2D, EqualityComparesIdCoordinatesAndSavedCoordinates)
{
    const VelboNode2D a(1.0, 2.0, 3);
    VelboNode2D copy(a);
    EXPECT_TRUE(copy == a);
    copy.setXn(1.5);
    EXPECT_FALSE(copy == a);

    VelboNode2D otherId(a);
    otherId.setId(4);
    EXPECT_FALSE(otherId == a);

    // Same id and current position, different saved position.
    VelboNode2D moved(0.0, 2.0, 3);
    moved.rXn() = 1.0;
    EXPECT_EQ(moved.xn(), a.xn());
    EXPECT_EQ(moved.yn(), a.yn());
    EXPECT_FALSE(moved == a);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const VelboNode2D notANumber(nan, 0.0, 1);
    EXPECT_FALSE(notANumber == notANumber);
}

TEST(VelboNode2D, CopyAndAssignmentCarryGeometryButNotLinks)
{
    VelboNode2D link1;
    VelboNode2D link2;
    VelboNode2D source(1.0, 2.0, 5);
    source.rXn() = 10.0; // current (10, 2), saved (1, 2)
    source.setNextNode(&link1);
    source.setBeforeNode(&link2);

    const VelboNode2D copy(source);
    EXPECT_EQ(copy.id(), 5);
    expectAt(copy, 10.0, 2.0, 1.0, 2.0);
    EXPECT_EQ(copy.getNextNode(), nullptr);
    EXPECT_EQ(copy.getBeforeNode(), nullptr);

    VelboNode2D target(9.0, 9.0, 9);
    target.setNextNode(&link2);
    target.setBeforeNode(&link1);
    target = source;
    EXPECT_TRUE(target == source);
    expectAt(target, 10.0, 2.0, 1.0, 2.0);
    EXPECT_EQ(target.getNextNode(), &link2);
    EXPECT_EQ(target.getBeforeNode(), &link1);
}

TEST(VelboNode2D, CloneSavesTheCurrentPosition)
{
    VelboNode2D n(1.0, 1.0, 8);
    n.nodeTranslate(2.0, 3.0);
    VelboNode2D other;
    n.setNextNode(&other);

    const std::unique_ptr<VelboNode2D> c(n.clone());
    EXPECT_EQ(c->id(), 8);
    expectAt(*c, 3.0, 4.0, 3.0, 4.0);
    EXPECT_EQ(c->getNextNode(), nullptr);
    EXPECT_FALSE(*c == n);
}

TEST(VelboNode2D, RotationAboutOriginTable)
{
    struct Case {
        double degree;
        double x, y;
        bool exact;      // expected values exact
        double ex, ey;   // used when exact
    };
    const Case cases[] = {
        {90.0, 1.0, 0.0, true, 0.0, 1.0},
        {180.0, 1.0, 0.0, true, -1.0, 0.0},
        {270.0, 1.0, 0.0, true, 0.0, -1.0},
        {180.0, 1.0, 2.0, true, -1.0, -2.0},
        {90.0, 3.0, -4.0, true, 4.0, 3.0},
        {270.0, 3.0, -4.0, true, -4.0, -3.0},
        {0.0, 3.0, -4.0, true, 3.0, -4.0},
        // Only 90, 180 and 270 are special: these go through sin and cos.
        {-90.0, 1.0, 0.0, false, 0.0, 0.0},
        {360.0, 1.0, 0.0, false, 0.0, 0.0},
        {450.0, 1.0, 0.0, false, 0.0, 0.0},
        {-270.0, 1.0, 0.0, false, 0.0, 0.0},
        {30.0, 2.0, 1.0, false, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degree);
        VelboNode2D n(c.x, c.y, 1);
        n.nodeRotate(c.degree);
        double ex = c.ex;
        double ey = c.ey;
        if (!c.exact) {
            turned(c.degree, c.x, c.y, ex, ey);
        }
        EXPECT_EQ(n.xn(), ex);
        EXPECT_EQ(n.yn(), ey);
        // Turning never touches the saved position.
        n.nodeRestoreGeometry();
        EXPECT_EQ(n.xn(), c.x);
        EXPECT_EQ(n.yn(), c.y);
    }
}

TEST(VelboNode2D, NonQuarterAnglesAreNotSnapped)
{
    VelboNode2D minus90(1.0, 0.0);
    minus90.nodeRotate(-90.0);
    EXPECT_EQ(minus90.yn(), -1.0);
    EXPECT_NE(minus90.xn(), 0.0);
    EXPECT_NEAR(minus90.xn(), 6.1e-17, 1e-18);

    VelboNode2D full(1.0, 0.0);
    full.nodeRotate(360.0);
    EXPECT_NE(full.yn(), 0.0);
    EXPECT_NEAR(full.yn(), 0.0, 1e-15);
}

TEST(VelboNode2D, RotationAboutBasePoint)
{
    const VelboNode2D base(1.0, 1.0);
    VelboNode2D n(2.0, 1.0);
    n.nodeRotate(90.0, base);
    EXPECT_EQ(n.xn(), 1.0);
    EXPECT_EQ(n.yn(), 2.0);

    // A node turned about itself stays in place.
    VelboNode2D self(5.0, -3.0);
    self.nodeRotate(37.0, self);
    EXPECT_EQ(self.xn(), 5.0);
    EXPECT_EQ(self.yn(), -3.0);
}

TEST(VelboNode2D, TranslationMovesOnlyCurrentPosition)
{
    VelboNode2D n(1.0, 2.0);
    n.nodeTranslate(VelboNode2D(5.0, 5.0), VelboNode2D(2.0, 4.0));
    expectAt(n, 4.0, 3.0, 1.0, 2.0);
    n.nodeTranslate(-4.0, 0.5);
    expectAt(n, 0.0, 3.5, 1.0, 2.0);
}

TEST(VelboNode2D, SavedGeometry)
{
    VelboNode2D n(1.0, 2.0);
    n.nodeRotate(90.0);
    n.nodeTranslate(10.0, 10.0);
    n.nodeRestoreGeometry();
    expectAt(n, 1.0, 2.0, 1.0, 2.0);

    // setXn / setYn set the saved copy too.
    n.setXn(7.0);
    n.setYn(8.0);
    n.nodeTranslate(1.0, 1.0);
    n.nodeRestoreGeometry();
    expectAt(n, 7.0, 8.0, 7.0, 8.0);

    // Writing through rXn / rYn leaves the saved copy.
    n.rXn() = -1.0;
    n.rYn() = -2.0;
    expectAt(n, -1.0, -2.0, 7.0, 8.0);
    n.nodeRestoreGeometry();
    expectAt(n, 7.0, 8.0, 7.0, 8.0);

    // Saving makes the current position the new reference.
    n.nodeRotate(180.0);
    n.nodeSavingGeometry();
    n.nodeTranslate(3.0, 3.0);
    n.nodeRestoreGeometry();
    expectAt(n, -7.0, -8.0, -7.0, -8.0);
}

TEST(VelboNode2D, Distance)
{
    const VelboNode2D o(0.0, 0.0);
    const VelboNode2D p(3.0, 4.0);
    EXPECT_EQ(VelboNode2D::measureDistanceFromNodes(&o, &p), 5.0);
    EXPECT_EQ(p.measureDistanceFrom(&o), 5.0);
    EXPECT_EQ(o.measureDistanceFrom(&o), 0.0);

    // Current coordinates count, not the saved ones.
    VelboNode2D q(0.0, 0.0);
    q.rXn() = -6.0;
    q.rYn() = -8.0;
    EXPECT_EQ(q.measureDistanceFrom(&o), 10.0);
}

TEST(VelboNode2D, ChainLinks)
{
    VelboNode2D a;
    VelboNode2D b;
    a.setNextNode(&b);
    b.setBeforeNode(&a);
    EXPECT_EQ(a.getNextNode(), &b);
    EXPECT_EQ(b.getBeforeNode(), &a);
    EXPECT_EQ(a.getBeforeNode(), nullptr);
}

TEST(VelboNode2D, OnlyHeapNodesAreCounted)
{
    const unsigned int before = VelboNode2D::instances();
    VelboNode2D* heap = new VelboNode2D(1.0, 2.0, 3);
    EXPECT_EQ(VelboNode2D::instances(), before + 1);
    VelboNode2D* cloned = heap->clone();
    EXPECT_EQ(VelboNode2D::instances(), before + 2);
    {
        const VelboNode2D onStack(*heap);
        std::vector<VelboNode2D> values(4, *heap);
        values.push_back(onStack);
        EXPECT_EQ(VelboNode2D::instances(), before + 2);
    }
    delete cloned;
    EXPECT_EQ(VelboNode2D::instances(), before + 1);
    delete heap;
    EXPECT_EQ(VelboNode2D::instances(), before);

    VelboNode2D* none = nullptr;
    delete none;
    EXPECT_EQ(VelboNode2D::instances(), before);
}

TEST(VelboNode2D, StreamOutput)
{
    std::ostringstream os;
    os << VelboNode2D(1.5, -2.0, 42) << VelboNode2D(0.0, 3.0);
    EXPECT_EQ(os.str(), "VelboNode2d: id = (1.5,-2)\nVelboNode2d: id = (0,3)\n");
}
