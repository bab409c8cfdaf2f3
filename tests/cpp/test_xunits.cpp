#include <gtest/gtest.h>

#include "coreobj/xunits.h"

namespace {

XUnits::lenghts unit(int value) {
    return static_cast<XUnits::lenghts>(value);
}

}  // namespace

TEST(XUnits, EnumeratorValues) {
    static_assert(XUnits::MM == 1 && XUnits::CM == 2 && XUnits::M == 3, "");
    SUCCEED();
}

TEST(XUnits, ConvertsBetweenEveryPair) {
    using U = XUnits;
    const struct {
        U::lenghts from;
        U::lenghts to;
        double v;
        double expected;
    } cases[] = {
        {U::MM, U::MM, 7.5, 7.5},
        {U::MM, U::CM, 25.0, 2.5},
        {U::MM, U::M, 1234.0, 1.234},
        {U::CM, U::MM, 2.5, 25.0},
        {U::CM, U::CM, -3.0, -3.0},
        {U::CM, U::M, 150.0, 1.5},
        {U::M, U::MM, 1.5, 1500.0},
        {U::M, U::CM, 1.5, 150.0},
        {U::M, U::M, 0.0, 0.0},
        {U::M, U::MM, -2.0, -2000.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to << " of " << c.v);
        EXPECT_DOUBLE_EQ(XUnits::lenghtsConv(c.from, c.to, c.v), c.expected);
    }
}

TEST(XUnits, SmallerUnitsComeFromMultiplyingByTheDecimalFactor) {
    // 0.1 * 3 and 3 / 10 are different doubles, so these pin the form of
    // the arithmetic exactly.
    ASSERT_NE(0.1 * 3.0, 3.0 / 10.0);
    const struct {
        XUnits::lenghts from;
        XUnits::lenghts to;
        double v;
        double expected;
    } cases[] = {
        {XUnits::MM, XUnits::CM, 3.0, 0.1 * 3.0},
        {XUnits::MM, XUnits::M, 1234.0, 0.001 * 1234.0},
        {XUnits::MM, XUnits::M, 3.0, 0.001 * 3.0},
        {XUnits::CM, XUnits::M, 3.0, 0.01 * 3.0},
        {XUnits::CM, XUnits::M, 7.0, 0.01 * 7.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to << " of " << c.v);
        EXPECT_EQ(XUnits::lenghtsConv(c.from, c.to, c.v), c.expected);
    }
}

TEST(XUnits, UnitOutsideTheEnumerationGivesOne) {
    const struct {
        int from;
        int to;
    } cases[] = {{0, 1}, {1, 0}, {4, 2}, {3, 4}, {-1, -1}, {0, 0}, {100, 3}};
    for (const auto& c : cases) {
        for (const double v : {0.0, 5.0, -12.5}) {
            SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to << " of " << v);
            EXPECT_EQ(XUnits::lenghtsConv(unit(c.from), unit(c.to), v), 1.0);
        }
    }
    EXPECT_EQ(XUnits::toMM(unit(0), 5.0), 1.0);
}

TEST(XUnits, ToMillimetres) {
    const struct {
        XUnits::lenghts from;
        double v;
        double expected;
    } cases[] = {{XUnits::MM, 4.2, 4.2}, {XUnits::CM, 4.2, 42.0}, {XUnits::M, 4.2, 4200.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        EXPECT_DOUBLE_EQ(XUnits::toMM(c.from, c.v), c.expected);
    }
    for (const double v : {3.0, 0.0, -0.25, 1e6}) {
        SCOPED_TRACE(v);
        EXPECT_DOUBLE_EQ(XUnits::cmToMM(v), 10.0 * v);
    }
}
