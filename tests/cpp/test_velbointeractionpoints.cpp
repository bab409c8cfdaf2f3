#include "velbocore/velbointeractionpoints.h"

#include "velbocore/velbosectionforces.h"
#include "velbocore/xvertexgrid.h"

#include "double_bits.h"
#include "stream_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

static VelboSectionForces* point(double fz, double mx, double my)
{
    VelboSectionForces* p = new VelboSectionForces();
    p->setFz(fz);
    p->setMx(mx);
    p->setMy(my);
    return p;
}

// A set of n slots, slot i holding (i + 1, 10 (i + 1), 100 (i + 1)).
static std::unique_ptr<VelboInteractionPoints> filledSet(int n, unsigned int perPath)
{
    auto set = std::make_unique<VelboInteractionPoints>(n, perPath);
    for (int i = 0; i < n; ++i)
        set->interactionPointsInsertAt(i, point(i + 1.0, 10.0 * (i + 1), 100.0 * (i + 1)));
    return set;
}

TEST(VelboInteractionPoints, ConstructorsStartEmptyAtZero)
{
    VelboInteractionPoints empty;
    EXPECT_EQ(empty.interactionPointsSize(), 0);
    EXPECT_EQ(empty.ratioDivision(), 0u);

    VelboInteractionPoints sized(6, 3);
    EXPECT_EQ(sized.interactionPointsSize(), 6);
    EXPECT_EQ(sized.ratioDivision(), 3u);
    EXPECT_EQ(sized.interactionPointAt(5), nullptr);

    for (const VelboInteractionPoints* set : {&empty, &sized}) {
        EXPECT_EQ(set->getFzMin(), 0.0);
        EXPECT_EQ(set->getFzMax(), 0.0);
        EXPECT_EQ(set->getMxMin(), 0.0);
        EXPECT_EQ(set->getMxMax(), 0.0);
        EXPECT_EQ(set->getMyMin(), 0.0);
        EXPECT_EQ(set->getMyMax(), 0.0);
    }

    sized.setRatioDivision(7);
    EXPECT_EQ(sized.ratioDivision(), 7u);
}

TEST(VelboInteractionPoints, BoundsAlwaysContainZeroAndOnlyWiden)
{
    VelboInteractionPoints set(3, 3);
    set.interactionPointsInsertAt(1, point(5.0, -2.0, 4.0));
    set.interactionPointsInsertAt(0, point(3.0, -7.0, -1.0));
    EXPECT_EQ(set.getFzMin(), 0.0);   // every Fz is positive
    EXPECT_EQ(set.getFzMax(), 5.0);
    EXPECT_EQ(set.getMxMin(), -7.0);
    EXPECT_EQ(set.getMxMax(), 0.0);   // every Mx is negative
    EXPECT_EQ(set.getMyMin(), -1.0);
    EXPECT_EQ(set.getMyMax(), 4.0);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    set.interactionPointsInsertAt(2, point(nan, 9.0, nan));
    EXPECT_EQ(set.getFzMin(), 0.0);
    EXPECT_EQ(set.getFzMax(), 5.0);
    EXPECT_EQ(set.getMxMax(), 9.0);
    EXPECT_EQ(set.getMyMin(), -1.0);
    EXPECT_EQ(set.getMyMax(), 4.0);

    // Destroying the points keeps the extremes of everything ever stored.
    set.interactionPointsDestroy();
    EXPECT_EQ(set.interactionPointsSize(), 0);
    EXPECT_EQ(set.getMxMin(), -7.0);
    EXPECT_EQ(set.getMxMax(), 9.0);
    EXPECT_EQ(set.ratioDivision(), 3u);

    set.interactionPointsPushBack(point(-1.0, 1.0, 1.0));
    EXPECT_EQ(set.interactionPointsSize(), 1);
    EXPECT_EQ(set.getFzMin(), -1.0);
    EXPECT_EQ(set.getFzMax(), 5.0);
}

TEST(VelboInteractionPoints, ConvertersFollowSlotOrder)
{
    VelboInteractionPoints set(3, 3);
    set.interactionPointsInsertAt(2, point(3.0, 30.0, 300.0));
    set.interactionPointsInsertAt(0, point(1.0, 10.0, 100.0));
    set.interactionPointsInsertAt(1, point(2.0, 20.0, 200.0));

    EXPECT_EQ(set.interactionPointsFzToVector(), (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(set.interactionPointsMxToVector(), (std::vector<double>{10.0, 20.0, 30.0}));
    EXPECT_EQ(set.interactionPointsMyToVector(), (std::vector<double>{100.0, 200.0, 300.0}));
    EXPECT_EQ(set.interactionPointAt(1)->mx(), 20.0);

    set.interactionPointsPushBack(point(4.0, 40.0, 400.0));
    EXPECT_EQ(set.interactionPointsFzToVector(), (std::vector<double>{1.0, 2.0, 3.0, 4.0}));
}

TEST(VelboInteractionPoints, PointAtChecksTheIndex)
{
    auto set = filledSet(3, 3);
    EXPECT_THROW(set->interactionPointAt(3), std::out_of_range);
    EXPECT_THROW(set->interactionPointAt(-1), std::out_of_range);
    EXPECT_EQ(set->interactionPointsSize(), 3);
}

TEST(VelboInteractionPoints, OwnsItsPoints)
{
    const unsigned int forces = VelboSectionForces::instances();
    const unsigned int sets = VelboInteractionPoints::instances();
    {
        // Half filled, as a build that stops part-way leaves it.
        VelboInteractionPoints set(4, 2);
        set.interactionPointsInsertAt(0, point(1.0, 1.0, 1.0));
        set.interactionPointsInsertAt(2, point(1.0, 1.0, 1.0));
        EXPECT_EQ(VelboSectionForces::instances(), forces + 2);
        EXPECT_EQ(VelboInteractionPoints::instances(), sets + 1);
    }
    EXPECT_EQ(VelboSectionForces::instances(), forces);
    EXPECT_EQ(VelboInteractionPoints::instances(), sets);

    {
        VelboInteractionPoints set;
        set.interactionPointsPushBack(point(1.0, 1.0, 1.0));
        set.interactionPointsDestroy();
        EXPECT_EQ(VelboSectionForces::instances(), forces);
        EXPECT_EQ(VelboInteractionPoints::instances(), sets + 1);
    }
    EXPECT_EQ(VelboInteractionPoints::instances(), sets);
}

// The hand-over of a whole domain: the set of a list of points, in slot
// order, is the set that inserting them one by one in that order makes,
// down to which zero a bound holds.
TEST(VelboInteractionPoints, AWholeListGivesTheSetThatInsertingItInOrderGives)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Triple { double fz, mx, my; };
    const std::vector<std::vector<Triple>> lists = {
        {},
        {{3.0, -2.0, 4.0}},
        {{5.0, -2.0, 4.0}, {-1.0, 7.0, -3.0}, {2.0, 7.0, -3.0}},
        // Zeros of both signs: a bound equal to the one it holds takes the
        // later value.
        {{-0.0, 0.0, -0.0}, {0.0, -0.0, -0.0}, {-0.0, -0.0, 0.0}},
        {{0.0, -0.0, 1.0}, {-0.0, 2.0, -0.0}},
        // Values that are not a number change no bound.
        {{nan, 1.0, -2.0}, {4.0, nan, nan}, {-4.0, -1.0, nan}},
    };
    const unsigned int forces = VelboSectionForces::instances();
    for (std::size_t c = 0; c < lists.size(); ++c) {
        SCOPED_TRACE("list " + std::to_string(c));
        const std::vector<Triple>& list = lists[c];
        VelboInteractionPoints inserted(static_cast<int>(list.size()), 3);
        std::vector<VelboSectionForces*> points;
        for (std::size_t i = 0; i < list.size(); ++i) {
            inserted.interactionPointsInsertAt(static_cast<int>(i), point(list[i].fz, list[i].mx, list[i].my));
            points.push_back(point(list[i].fz, list[i].mx, list[i].my));
        }
        {
            const VelboInteractionPoints taken(std::move(points), 3);
            EXPECT_TRUE(points.empty());
            EXPECT_EQ(taken.interactionPointsSize(), inserted.interactionPointsSize());
            EXPECT_EQ(taken.ratioDivision(), 3u);
            const auto sameBits = [](const std::vector<double>& a, const std::vector<double>& b) {
                if (a.size() != b.size()) return false;
                for (std::size_t i = 0; i < a.size(); ++i)
                    if (bits(a[i]) != bits(b[i])) return false;
                return true;
            };
            EXPECT_TRUE(sameBits(taken.interactionPointsFzToVector(), inserted.interactionPointsFzToVector()));
            EXPECT_TRUE(sameBits(taken.interactionPointsMxToVector(), inserted.interactionPointsMxToVector()));
            EXPECT_TRUE(sameBits(taken.interactionPointsMyToVector(), inserted.interactionPointsMyToVector()));
            const double takenBounds[] = {taken.getFzMin(), taken.getFzMax(), taken.getMxMin(),
                                          taken.getMxMax(), taken.getMyMin(), taken.getMyMax()};
            const double insertedBounds[] = {inserted.getFzMin(), inserted.getFzMax(), inserted.getMxMin(),
                                             inserted.getMxMax(), inserted.getMyMin(), inserted.getMyMax()};
            for (int b = 0; b < 6; ++b) {
                EXPECT_EQ(bits(takenBounds[b]), bits(insertedBounds[b]))
                    << "bound " << b << ": " << hex(takenBounds[b]) << " instead of " << hex(insertedBounds[b]);
            }
            // It owns the points it took.
            EXPECT_EQ(VelboSectionForces::instances(), forces + 2 * list.size());
        }
        EXPECT_EQ(VelboSectionForces::instances(), forces + list.size());
    }
}

TEST(VelboInteractionPoints, InsertOutsideTheContractLeaksNothing)
{
    const unsigned int forces = VelboSectionForces::instances();
    {
        VelboInteractionPoints set(2, 2);
        set.interactionPointsInsertAt(0, point(1.0, 1.0, 1.0));
        // A second point for a filled slot replaces the first one.
        set.interactionPointsInsertAt(0, point(2.0, 2.0, 2.0));
        EXPECT_EQ(set.interactionPointAt(0)->fz(), 2.0);
        // A point without a slot is released; the bounds do not see it.
        set.interactionPointsInsertAt(5, point(-9.0, -9.0, -9.0));
        set.interactionPointsInsertAt(-1, point(-9.0, -9.0, -9.0));
        EXPECT_EQ(set.getFzMin(), 0.0);
        EXPECT_EQ(set.interactionPointsSize(), 2);
        set.interactionPointsInsertAt(1, nullptr);
        set.interactionPointsPushBack(nullptr);
        EXPECT_EQ(set.interactionPointsSize(), 2);
        EXPECT_EQ(set.interactionPointAt(1), nullptr);
        EXPECT_EQ(VelboSectionForces::instances(), forces + 1);
    }
    EXPECT_EQ(VelboSectionForces::instances(), forces);
}

TEST(VelboInteractionPoints, GridHasOneLinePerStrainPath)
{
    struct Case { int n; unsigned int perPath; unsigned int divR; unsigned int divS; };
    const Case cases[] = {
        {6, 3, 3, 2},
        {6, 2, 2, 3},
        {4, 1, 1, 4},
        {15, 3, 3, 5},
    };
    for (const Case& c : cases) {
        auto set = filledSet(c.n, c.perPath);
        std::unique_ptr<XVertexGrid> grid(set->interactionPointsGrid());
        ASSERT_NE(grid, nullptr) << c.n << "/" << c.perPath;
        EXPECT_EQ(grid->divisionR(), c.divR);
        EXPECT_EQ(grid->divisionS(), c.divS);
        ASSERT_EQ(grid->countVertex(), static_cast<unsigned int>(c.n));
        // Vertex i is slot i, with x = Fz, y = Mx, z = My.
        for (unsigned int i = 0; i < grid->countVertex(); ++i) {
            EXPECT_EQ(grid->valueAt(3 * i), static_cast<float>(i + 1.0));
            EXPECT_EQ(grid->valueAt(3 * i + 1), static_cast<float>(10.0 * (i + 1)));
            EXPECT_EQ(grid->valueAt(3 * i + 2), static_cast<float>(100.0 * (i + 1)));
        }
    }
}

TEST(VelboInteractionPoints, GridRefusals)
{
    struct Case { int n; unsigned int perPath; const char* why; };
    const Case cases[] = {
        {3, 3, "three points or fewer"},
        {3, 1, "three points or fewer"},
        {6, 4, "not a whole number of strain paths"},
        {7, 2, "not a whole number of strain paths"},
        {6, 0, "no points per path"},
        {0, 0, "nothing at all"},
    };
    for (const Case& c : cases) {
        auto set = filledSet(c.n, c.perPath);
        StreamCapture capture;
        EXPECT_EQ(set->interactionPointsGrid(), nullptr) << c.why;
        EXPECT_EQ(capture.out() + capture.err() + capture.log(), "") << c.why;
    }

    // A set with an empty slot is not complete either.
    VelboInteractionPoints partial(4, 2);
    partial.interactionPointsInsertAt(0, point(1.0, 1.0, 1.0));
    EXPECT_EQ(partial.interactionPointsGrid(), nullptr);
    const std::vector<double> fz = partial.interactionPointsFzToVector();
    ASSERT_EQ(fz.size(), 4u);
    EXPECT_EQ(fz[0], 1.0);
    EXPECT_TRUE(std::isnan(fz[1]));
}

TEST(VelboInteractionPoints, GridNeedsValuesThatFitAFloat)
{
    const double largest = std::numeric_limits<float>::max();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case { double fz, mx, my; bool grid; };
    const Case cases[] = {
        {largest, -largest, 0.0, true},
        {1e39, 0.0, 0.0, false},
        {0.0, -1e39, 0.0, false},
        {0.0, 0.0, std::nextafter(largest, inf), false},
        // These convert exactly.
        {inf, std::numeric_limits<double>::quiet_NaN(), -inf, true},
    };
    for (const Case& c : cases) {
        VelboInteractionPoints set(4, 2);
        for (int i = 0; i < 3; ++i)
            set.interactionPointsInsertAt(i, point(0.0, 0.0, 0.0));
        set.interactionPointsInsertAt(3, point(c.fz, c.mx, c.my));
        std::unique_ptr<XVertexGrid> grid(set.interactionPointsGrid());
        EXPECT_EQ(grid != nullptr, c.grid) << c.fz << " " << c.mx << " " << c.my;
    }
}

TEST(VelboInteractionPoints, GridHoldsSinglePrecisionRoundings)
{
    VelboInteractionPoints set(4, 2);
    set.interactionPointsInsertAt(0, point(0.1, 1e-40, 1.0 / 3.0));
    for (int i = 1; i < 4; ++i)
        set.interactionPointsInsertAt(i, point(0.0, 0.0, 0.0));
    std::unique_ptr<XVertexGrid> grid(set.interactionPointsGrid());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->valueAt(0), 0.1f);
    EXPECT_EQ(grid->valueAt(1), static_cast<float>(1e-40));
    EXPECT_EQ(grid->valueAt(2), 1.0f / 3.0f);
    EXPECT_NE(static_cast<double>(grid->valueAt(0)), 0.1);

    // The grid is independent of the set.
    set.interactionPointsDestroy();
    EXPECT_EQ(grid->valueAt(0), 0.1f);
}
