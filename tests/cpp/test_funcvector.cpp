#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "coreobj/funcconst.h"
#include "coreobj/funclinear.h"
#include "coreobj/funcparabola.h"
#include "coreobj/funcpoly.h"
#include "coreobj/funcvector.h"

namespace {

using Vec = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const auto LIM = Func1::FUNC1_LIMITED;
const auto FREE = Func1::FUNC1_NOTLIMITED;

FuncConst makeConst(double c) {
    FuncConst f;
    f.setC(c);
    return f;
}

// Three constant pieces 10, 20, 30; the function is filled per test.
class FuncVectorConsts : public testing::Test {
protected:
    FuncVectorConsts() : c10(makeConst(10.0)), c20(makeConst(20.0)), c30(makeConst(30.0)) {}

    void addPieces() {
        f.addFunc(&c10);
        f.addFunc(&c20);
        f.addFunc(&c30);
    }

    FuncConst c10, c20, c30;
    FuncVector f;
};

}  // namespace

TEST(FuncVector, InterfaceCodes) {
    static_assert(FuncVector::FUNCV_ERR_OK == 0 && FuncVector::FUNCV_ERR_LIMITSORDER == 11 &&
                      FuncVector::FUNCV_ERR_LIMITSSIZE == 12 &&
                      FuncVector::FUNCV_ERR_LIMITSLEFTOUT == 13 &&
                      FuncVector::FUNCV_ERR_LIMITSRIGHTOUT == 14 &&
                      FuncVector::FUNCV_ERR_NBFUNCS == 15 &&
                      FuncVector::FUNCV_ERR_NBFUNCSLESS == 16 &&
                      FuncVector::FUNCV_ERR_FUNCSDEFLEFT == 17 &&
                      FuncVector::FUNCV_ERR_FUNCSDEFRIGHT == 19 &&
                      FuncVector::FUNCV_ERR_FUNCSNOTCONT == 20,
                  "piecewise codes");
    const FuncVector f;
    EXPECT_EQ(static_cast<const Func1&>(f).func1Type(), Func1::FUNC1_VECTOR);
    EXPECT_TRUE(f.getInternalLimits().empty());
    EXPECT_FALSE(f.isLeftLimited());
    EXPECT_FALSE(f.isRightLimited());
}

TEST_F(FuncVectorConsts, ValueComesFromThePieceOfTheInterval) {
    addPieces();
    struct Case {
        Vec limits;
        double x, expected;
    };
    const Case cases[] = {
        {{1.0, 2.0}, 0.5, 10.0},
        {{1.0, 2.0}, -1e300, 10.0},
        {{1.0, 2.0}, 1.0, 20.0},  // a limit belongs to the piece on its right
        {{1.0, 2.0}, std::nextafter(2.0, 0.0), 20.0},
        {{1.0, 2.0}, 2.0, 30.0},
        {{1.0, 2.0}, 1e300, 30.0},
        {{1.0, 2.0}, kNaN, 30.0},
        {{1.0, 1.0}, 1.0, 30.0},  // the middle piece covers nothing
        {{1.0, 1.0}, std::nextafter(1.0, 0.0), 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "limits " << c.limits.front() << "," << c.limits.back()
                                        << " x " << c.x);
        ASSERT_EQ(f.setInternalLimits(c.limits), FuncVector::FUNCV_ERR_OK);
        int errn = -7;
        EXPECT_EQ(f.valueFx(c.x, &errn), c.expected);
        EXPECT_EQ(errn, Func1::FUNC1_ERR_OK);
        EXPECT_EQ(f.valueFx(c.x, nullptr), c.expected);
        const Func1& asBase = f;
        EXPECT_EQ(asBase.valueFx(c.x, nullptr), c.expected);
    }
}

TEST_F(FuncVectorConsts, OnlyTheLastPieceReportsOuterLimits) {
    addPieces();
    ASSERT_EQ(f.setLimits(LIM, LIM, 0.0, 3.0), FuncVector::FUNCV_ERR_OK);
    ASSERT_EQ(f.setInternalLimits({1.0, 2.0}), FuncVector::FUNCV_ERR_OK);
    f.setLimitsTollerance(0.5);
    struct Case {
        double x, value;
        int errn, type, index;
    };
    const Case cases[] = {
        {-100.0, 10.0, Func1::FUNC1_ERR_OK, Func1::FUNC1_CONST, 0},
        {0.5, 10.0, Func1::FUNC1_ERR_OK, Func1::FUNC1_CONST, 0},
        {1.5, 20.0, Func1::FUNC1_ERR_OK, Func1::FUNC1_CONST, 1},
        {2.5, 30.0, Func1::FUNC1_ERR_OK, Func1::FUNC1_CONST, 2},
        {3.4, 30.0, Func1::FUNC1_ERR_OK, Func1::FUNC1_CONST, 2},
        {3.5, 30.0, Func1::FUNC1_ERR_OK, Func1::FUNC1_CONST, 2},
        {3.6, 30.0, Func1::FUNC1_ERR_OUTLIMITS, Func1::FUNC1_UNKNOWN, -1},
        {kNaN, 30.0, Func1::FUNC1_ERR_OK, Func1::FUNC1_CONST, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x);
        int errn = -7;
        EXPECT_EQ(f.valueFx(c.x, &errn), c.value);
        EXPECT_EQ(errn, c.errn);

        int index = -7;
        errn = -7;
        EXPECT_EQ(f.typeFx(c.x, &index, &errn), c.type);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(errn, c.errn);
        EXPECT_EQ(f.typeFx(c.x, nullptr, nullptr), c.type);
    }
}

TEST_F(FuncVectorConsts, WithoutInternalLimitsBothOuterLimitsAreTested) {
    f.addFunc(&c10);
    ASSERT_EQ(f.setLimits(LIM, LIM, -1.0, 1.0), FuncVector::FUNCV_ERR_OK);
    struct Case {
        double x;
        int errn;
    };
    for (const Case& c : {Case{-1.5, Func1::FUNC1_ERR_OUTLIMITS}, Case{-1.0, Func1::FUNC1_ERR_OK},
                          Case{1.0, Func1::FUNC1_ERR_OK}, Case{1.5, Func1::FUNC1_ERR_OUTLIMITS}}) {
        SCOPED_TRACE(c.x);
        int errn = -7;
        EXPECT_EQ(f.valueFx(c.x, &errn), 10.0);
        EXPECT_EQ(errn, c.errn);
    }
}

TEST_F(FuncVectorConsts, NegativeToleranceIsStoredAsItsSize) {
    addPieces();
    ASSERT_EQ(f.setLimits(FREE, LIM, 0.0, 3.0), FuncVector::FUNCV_ERR_OK);
    ASSERT_EQ(f.setInternalLimits({1.0, 2.0}), FuncVector::FUNCV_ERR_OK);
    f.setLimitsTollerance(-0.2);
    int errn = -7;
    f.valueFx(3.1, &errn);
    EXPECT_EQ(errn, Func1::FUNC1_ERR_OK);
    f.valueFx(3.3, &errn);
    EXPECT_EQ(errn, Func1::FUNC1_ERR_OUTLIMITS);
}

TEST(FuncVector, PieceTypesAndCodesPassThrough) {
    FuncConst low = makeConst(-1.0);
    FuncLinear mid;
    mid.setB(1.0);
    FuncParabola high;
    high.setA(1.0);
    FuncPoly empty;
    FuncVector f;
    f.addFunc(&low);
    f.addFunc(&mid);
    f.addFunc(&high);
    f.addFunc(&empty);
    ASSERT_EQ(f.setLimits(FREE, LIM, 0.0, 10.0), FuncVector::FUNCV_ERR_OK);
    ASSERT_EQ(f.setInternalLimits({-1.0, 1.0, 5.0}), FuncVector::FUNCV_ERR_OK);

    struct Case {
        double x, value;
        int type, index, valueErrn;
    };
    const Case cases[] = {
        {-3.0, -1.0, Func1::FUNC1_CONST, 0, Func1::FUNC1_ERR_OK},
        {0.5, 0.5, Func1::FUNC1_LINEAR, 1, Func1::FUNC1_ERR_OK},
        {2.0, 4.0, Func1::FUNC1_PARABOLA, 2, Func1::FUNC1_ERR_OK},
        // The piece's own code is reported when the value is within the limits.
        {7.0, 0.0, Func1::FUNC1_POLY, 3, FuncPoly::ERRN_SIZE},
        {11.0, 0.0, Func1::FUNC1_UNKNOWN, -1, Func1::FUNC1_ERR_OUTLIMITS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        int errn = -7;
        EXPECT_EQ(f.valueFx(c.x, &errn), c.value);
        EXPECT_EQ(errn, c.valueErrn);
        int index = -7;
        EXPECT_EQ(f.typeFx(c.x, &index, nullptr), c.type);
        EXPECT_EQ(index, c.index);
    }
    EXPECT_EQ(f.getFuncAt(2), &high);
}

TEST_F(FuncVectorConsts, MissingPiecesRaiseOutOfRange) {
    f.addFunc(&c10);
    f.addFunc(&c20);
    ASSERT_EQ(f.setInternalLimits({1.0, 2.0}), FuncVector::FUNCV_ERR_OK);
    EXPECT_EQ(f.valueFx(1.5, nullptr), 20.0);
    EXPECT_THROW(f.valueFx(2.5, nullptr), std::out_of_range);
    EXPECT_THROW(f.typeFx(2.5, nullptr, nullptr), std::out_of_range);

    for (const int i : {-1, 2, 100}) {
        EXPECT_THROW(f.getFuncAt(i), std::out_of_range) << i;
    }
    EXPECT_EQ(f.getFuncAt(0), &c10);
    EXPECT_EQ(f.getFuncAt(1), &c20);

    // A null entry is no piece either.
    f.addFunc(nullptr);
    EXPECT_EQ(f.getFuncAt(2), nullptr);
    EXPECT_THROW(f.valueFx(2.5, nullptr), std::out_of_range);
    EXPECT_THROW(f.typeFx(2.5, nullptr, nullptr), std::out_of_range);
    EXPECT_EQ(f.ctlFuncs(), FuncVector::FUNCV_ERR_NBFUNCSLESS);

    // Past the limits nothing is looked up, so an empty function still classifies.
    FuncVector empty;
    ASSERT_EQ(empty.setLimits(LIM, LIM, 0.0, 1.0), FuncVector::FUNCV_ERR_OK);
    int index = 0;
    EXPECT_EQ(empty.typeFx(2.0, &index, nullptr), Func1::FUNC1_UNKNOWN);
    EXPECT_EQ(index, -1);
    EXPECT_THROW(empty.typeFx(0.5, nullptr, nullptr), std::out_of_range);
}

TEST(FuncVector, SetLimitsRefusesReversedLimits) {
    FuncVector f;
    ASSERT_EQ(f.setLimits(LIM, FREE, -2.0, 5.0), FuncVector::FUNCV_ERR_OK);
    EXPECT_EQ(f.setLimits(LIM, LIM, 1.0, 0.0), FuncVector::FUNCV_ERR_LIMITSORDER);
    EXPECT_TRUE(f.isLeftLimited());
    EXPECT_FALSE(f.isRightLimited());
    EXPECT_EQ(f.func1LeftLimit(), -2.0);
    EXPECT_EQ(f.func1RightLimit(), 5.0);

    // The order is tested whatever the kinds; equal limits pass.
    EXPECT_EQ(f.setLimits(FREE, FREE, 1.0, 0.0), FuncVector::FUNCV_ERR_LIMITSORDER);
    EXPECT_EQ(f.setLimits(LIM, LIM, 1.0, 1.0), FuncVector::FUNCV_ERR_OK);
    EXPECT_TRUE(f.isRightLimited());
    EXPECT_EQ(f.func1LeftLimit(), 1.0);
    EXPECT_EQ(f.func1RightLimit(), 1.0);

    // The stored internal limits are not tested again.
    FuncVector g;
    ASSERT_EQ(g.setInternalLimits({5.0}), FuncVector::FUNCV_ERR_OK);
    EXPECT_EQ(g.setLimits(LIM, LIM, 6.0, 7.0), FuncVector::FUNCV_ERR_OK);
    EXPECT_EQ(g.getInternalLimits(), Vec{5.0});
}

TEST(FuncVector, SetInternalLimitsTestsInOrder) {
    struct Case {
        Func1::FuncLimits leftType, rightType;
        double left, right;
        Vec limits;
        int code;
    };
    const Case cases[] = {
        {FREE, FREE, 0.0, 0.0, {}, FuncVector::FUNCV_ERR_LIMITSSIZE},
        {FREE, FREE, 0.0, 0.0, {2.0, 1.0}, FuncVector::FUNCV_ERR_LIMITSORDER},
        {FREE, FREE, 0.0, 0.0, {1.0, 3.0, 2.0}, FuncVector::FUNCV_ERR_LIMITSORDER},
        {FREE, FREE, 0.0, 0.0, {1.0, 1.0}, FuncVector::FUNCV_ERR_OK},
        {FREE, FREE, 0.0, 0.0, {-5.0}, FuncVector::FUNCV_ERR_OK},
        {LIM, FREE, 1.0, 5.0, {1.0, 2.0}, FuncVector::FUNCV_ERR_LIMITSLEFTOUT},
        {LIM, FREE, 1.0, 5.0, {0.5, 2.0}, FuncVector::FUNCV_ERR_LIMITSLEFTOUT},
        {LIM, FREE, 1.0, 5.0, {1.5, 7.0}, FuncVector::FUNCV_ERR_OK},
        {FREE, LIM, 0.0, 2.0, {1.0, 2.0}, FuncVector::FUNCV_ERR_LIMITSRIGHTOUT},
        {FREE, LIM, 0.0, 2.0, {1.0, 1.5}, FuncVector::FUNCV_ERR_OK},
        // An unlimited side does not constrain, whatever its value.
        {LIM, FREE, -0.0035, 0.0, {-0.002, 0.0}, FuncVector::FUNCV_ERR_OK},
        {FREE, FREE, 5.0, 5.0, {-10.0, 10.0}, FuncVector::FUNCV_ERR_OK},
        // Order comes before the outer limits, the left before the right.
        {LIM, LIM, 1.0, 2.0, {3.0, 0.0}, FuncVector::FUNCV_ERR_LIMITSORDER},
        {LIM, LIM, 1.0, 2.0, {0.0, 3.0}, FuncVector::FUNCV_ERR_LIMITSLEFTOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case with " << c.limits.size() << " limits, code "
                                        << c.code);
        FuncVector f;
        // Earlier internal limits, set before the outer ones so they stay.
        ASSERT_EQ(f.setInternalLimits({-100.0}), FuncVector::FUNCV_ERR_OK);
        ASSERT_EQ(f.setLimits(c.leftType, c.rightType, c.left, c.right), 0);
        EXPECT_EQ(f.setInternalLimits(c.limits), c.code);
        EXPECT_EQ(f.getInternalLimits(), c.code == 0 ? c.limits : Vec{-100.0});
    }
}

TEST(FuncVector, ConsistencyCheck) {
    // Pieces: flat 10 and 20, and a ramp 10 + 10x that joins 10 at 0 and 20 at 1.
    FuncConst ten = makeConst(10.0);
    FuncConst twenty = makeConst(20.0);
    FuncConst thirty = makeConst(30.0);
    FuncLinear ramp;
    ramp.setB(10.0);
    ramp.setC(10.0);
    FuncConst nan = makeConst(kNaN);

    FuncConst tenLeft0 = makeConst(10.0);  // limited on the left at 0
    tenLeft0.func1SetLimits(LIM, FREE, 0.0, 0.0);
    FuncConst tenLeftM1 = makeConst(10.0);  // limited on the left at -1
    tenLeftM1.func1SetLimits(LIM, FREE, -1.0, 0.0);
    FuncConst twentyRight1 = makeConst(20.0);  // limited on the right at 1
    twentyRight1.func1SetLimits(FREE, LIM, 0.0, 1.0);
    FuncConst twentyRight2 = makeConst(20.0);  // limited on the right at 2
    twentyRight2.func1SetLimits(FREE, LIM, 0.0, 2.0);
    FuncLinear rampNarrowLeft = ramp;  // ramp defined from 0.5 on
    rampNarrowLeft.func1SetLimits(LIM, FREE, 0.5, 0.0);
    FuncLinear rampNarrowRight = ramp;  // ramp defined up to 0.5
    rampNarrowRight.func1SetLimits(FREE, LIM, 0.0, 0.5);
    FuncLinear rampExact = ramp;  // ramp defined on [0, 1] exactly
    rampExact.func1SetLimits(LIM, LIM, 0.0, 1.0);

    struct Outer {
        Func1::FuncLimits leftType, rightType;
        double left, right;
    };
    const Outer open{FREE, FREE, 0.0, 0.0};
    const Outer closed{LIM, LIM, -1.0, 2.0};
    struct Case {
        const char* what;
        Outer outer;
        Vec limits;
        std::vector<Func1*> pieces;
        int code;
    };
    const Case cases[] = {
        {"no internal limit", open, {}, {&ten, &twenty}, FuncVector::FUNCV_ERR_LIMITSSIZE},
        {"no piece", open, {0.0}, {}, FuncVector::FUNCV_ERR_NBFUNCS},
        {"one piece", open, {0.0}, {&ten}, FuncVector::FUNCV_ERR_NBFUNCS},
        {"two limits two pieces", open, {0.0, 1.0}, {&ten, &ramp},
         FuncVector::FUNCV_ERR_NBFUNCSLESS},
        {"too many pieces", open, {0.0}, {&ten, &ramp, &twenty},
         FuncVector::FUNCV_ERR_NBFUNCSLESS},
        {"continuous", open, {0.0, 1.0}, {&ten, &ramp, &twenty}, FuncVector::FUNCV_ERR_OK},
        {"jump at the first limit", open, {1.0, 2.0}, {&ten, &twenty, &thirty},
         FuncVector::FUNCV_ERR_FUNCSNOTCONT},
        {"NaN is a jump", open, {0.0, 1.0}, {&nan, &nan, &twenty},
         FuncVector::FUNCV_ERR_FUNCSNOTCONT},
        // Only the joins of interior pieces with their left neighbours are tested.
        {"jump at the last limit", open, {0.0, 1.0}, {&ten, &ten, &thirty},
         FuncVector::FUNCV_ERR_OK},
        {"two pieces with a jump", open, {0.0}, {&ten, &twenty}, FuncVector::FUNCV_ERR_OK},
        {"first piece limited, function not", open, {0.0, 1.0}, {&tenLeftM1, &ramp, &twenty},
         FuncVector::FUNCV_ERR_FUNCSDEFLEFT},
        {"first piece starts too late", closed, {0.0, 1.0}, {&tenLeft0, &ramp, &twenty},
         FuncVector::FUNCV_ERR_FUNCSDEFLEFT},
        {"first piece starts at the limit", closed, {0.0, 1.0}, {&tenLeftM1, &ramp, &twenty},
         FuncVector::FUNCV_ERR_OK},
        {"first piece unlimited", closed, {0.0, 1.0}, {&ten, &ramp, &twenty},
         FuncVector::FUNCV_ERR_OK},
        {"last piece limited, function not", open, {0.0, 1.0}, {&ten, &ramp, &twentyRight2},
         FuncVector::FUNCV_ERR_FUNCSDEFRIGHT},
        {"last piece ends too early", closed, {0.0, 1.0}, {&ten, &ramp, &twentyRight1},
         FuncVector::FUNCV_ERR_FUNCSDEFRIGHT},
        {"last piece ends at the limit", closed, {0.0, 1.0}, {&ten, &ramp, &twentyRight2},
         FuncVector::FUNCV_ERR_OK},
        {"interior piece starts too late", open, {0.0, 1.0}, {&ten, &rampNarrowLeft, &twenty},
         FuncVector::FUNCV_ERR_FUNCSDEFLEFT},
        {"interior piece ends too early", open, {0.0, 1.0}, {&ten, &rampNarrowRight, &twenty},
         FuncVector::FUNCV_ERR_FUNCSDEFRIGHT},
        {"interior piece fits exactly", open, {0.0, 1.0}, {&ten, &rampExact, &twenty},
         FuncVector::FUNCV_ERR_OK},
        // The first failing test decides.
        {"left end before the jump", open, {1.0, 2.0}, {&tenLeftM1, &twenty, &thirty},
         FuncVector::FUNCV_ERR_FUNCSDEFLEFT},
        {"count before the ends", open, {1.0}, {&tenLeftM1}, FuncVector::FUNCV_ERR_NBFUNCS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FuncVector f;
        ASSERT_EQ(f.setLimits(c.outer.leftType, c.outer.rightType, c.outer.left, c.outer.right),
                  FuncVector::FUNCV_ERR_OK);
        if (!c.limits.empty()) {
            ASSERT_EQ(f.setInternalLimits(c.limits), FuncVector::FUNCV_ERR_OK);
        }
        for (Func1* piece : c.pieces) {
            f.addFunc(piece);
        }
        EXPECT_EQ(f.ctlFuncs(), c.code);

        // setFuncs answers the same after storing the pieces.
        FuncVector g;
        g.setLimits(c.outer.leftType, c.outer.rightType, c.outer.left, c.outer.right);
        if (!c.limits.empty()) {
            g.setInternalLimits(c.limits);
        }
        EXPECT_EQ(g.setFuncs(c.pieces), c.code);
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            EXPECT_EQ(g.getFuncAt(static_cast<int>(i)), c.pieces[i]);
        }
    }
}

TEST(FuncVector, SetFuncsReplacesThePieces) {
    FuncConst a = makeConst(1.0);
    FuncConst b = makeConst(2.0);
    FuncVector f;
    f.addFunc(&a);
    f.addFunc(&a);
    f.addFunc(&a);
    EXPECT_EQ(f.setFuncs({&b}), FuncVector::FUNCV_ERR_LIMITSSIZE);
    EXPECT_EQ(f.getFuncAt(0), &b);
    EXPECT_THROW(f.getFuncAt(1), std::out_of_range);
}

class FuncVectorGrid : public FuncVectorConsts {
protected:
    void SetUp() override {
        addPieces();
        ASSERT_EQ(f.setLimits(LIM, LIM, 0.0, 10.0), FuncVector::FUNCV_ERR_OK);
    }
};

TEST(FuncVector, ForcedGridHoldsTheInternalLimits) {
    struct Case {
        Vec limits;
        Vec grid;
    };
    const Case cases[] = {
        {{2.5, 5.0}, {0, 1, 2, 2.5, 4, 5, 6, 7, 8, 9, 10}},
        {{2.3, 2.6}, {0, 1, 2, 2.3, 2.6, 5, 6, 7, 8, 9, 10}},
        {{3.0, 7.0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        // A limit on the left bound still takes the place of the next point.
        {{0.0, 10.0}, {0, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        // Limits outside the bounds are still taken in order.
        {{-1.0, 1.5}, {0, -1, 1.5, 3, 4, 5, 6, 7, 8, 9, 10}},
        {{12.0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 10}},
        // An infinite limit is never reached by the grid and is skipped.
        {{kInf}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {{-kInf, 0.5}, {0, -kInf, 0.5, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "limits " << c.limits.front() << ".."
                                        << c.limits.back());
        // Bounds from the caller, so limits outside [0, 10] are accepted.
        FuncVector unlimited;
        ASSERT_EQ(unlimited.setInternalLimits(c.limits), FuncVector::FUNCV_ERR_OK);
        double left = 0.0;
        double right = 10.0;
        int err = -7;
        EXPECT_EQ(unlimited.func1XGen(11, &err, true, &left, &right), c.grid);
        EXPECT_EQ(err, Func1::FUNC1_ERR_OK);
        EXPECT_EQ(unlimited.func1XDataCache(), c.grid);
    }
}

TEST(FuncVector, ForcedGridEndsExactlyOnTheRightBound) {
    // 3 * 0.3 falls just below 0.9, so that point stays before the exact end.
    FuncVector f;
    ASSERT_EQ(f.setInternalLimits({0.45}), FuncVector::FUNCV_ERR_OK);
    double left = 0.0;
    double right = 0.9;
    const double step = 0.9 / 3;
    ASSERT_LT(3 * step, 0.9);
    EXPECT_EQ(f.func1XGen(4, nullptr, true, &left, &right),
              (Vec{0.0, step, 0.45, 3 * step, 0.9}));
}

TEST_F(FuncVectorGrid, ForcedGridIsKeptAndUsesTheOwnLimits) {
    ASSERT_EQ(f.setInternalLimits({2.5, 5.0}), FuncVector::FUNCV_ERR_OK);
    const Vec expected{0, 1, 2, 2.5, 4, 5, 6, 7, 8, 9, 10};
    Func1& base = f;
    EXPECT_EQ(base.func1XGen(11, nullptr, true, nullptr, nullptr), expected);

    int err = -7;
    EXPECT_EQ(f.func1XGen(3, &err, true, nullptr, nullptr), expected);
    EXPECT_EQ(f.func1XGen(3, &err, false, nullptr, nullptr), expected);
    EXPECT_EQ(err, -7);
}

TEST_F(FuncVectorGrid, UnforcedGridIsThePlainOne) {
    ASSERT_EQ(f.setInternalLimits({2.5, 5.0}), FuncVector::FUNCV_ERR_OK);
    int err = -7;
    EXPECT_EQ(f.func1XGen(6, &err, false, nullptr, nullptr), (Vec{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(err, -7);
}

TEST(FuncVector, ForcedGridRefusals) {
    FuncVector f;
    ASSERT_EQ(f.setInternalLimits({1.0}), FuncVector::FUNCV_ERR_OK);
    double zero = 0.0;
    double ten = 10.0;
    struct Case {
        int nb;
        double* left;
        double* right;
        int err;
    };
    const Case cases[] = {
        {11, nullptr, &ten, Func1::FUNC1_ERR_NOLIMITS},
        {11, &zero, nullptr, Func1::FUNC1_ERR_NOLIMITS},
        {1, &zero, &ten, -7},
        {11, &ten, &zero, -7},
        {11, &ten, &ten, -7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "nb " << c.nb);
        int err = -7;
        EXPECT_TRUE(f.func1XGen(c.nb, &err, true, c.left, c.right).empty());
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(f.func1XDataCacheSize(), 0);
    }
    // Two points: just the ends, with the limit in place of the second.
    EXPECT_EQ(f.func1XGen(2, nullptr, true, &zero, &ten), (Vec{0.0, 1.0, 10.0}));
}

TEST(FuncVector, ForcedGridWhoseStepIsLostInRoundingIsRefused) {
    // Just below 1 the doubles are half as far apart as just above it.
    const double u = std::ldexp(1.0, -53);
    struct Case {
        const char* name;
        double left, right;
        int nb;
        Vec limits;
    };
    const Case cases[] = {
        // (r - l) / (nb - 1) underflows to zero: the grid would never end.
        {"step of zero", 0.0, 1e-320, 1000000, {}},
        {"step of zero with a limit", 0.0, 1e-320, 1000000, {5e-321}},
        // A step smaller than the spacing of the doubles at the bounds.
        {"step below the spacing", 1.0, std::nextafter(1.0, 2.0), 4, {}},
        {"step below the spacing with a limit", 1e16, 1e16 + 2.0, 5, {1e16 + 1.0}},
        // The step moves the points below 1 but is lost past it.
        {"step lost on the way", 1.0 - 4 * u, 1.0 + 8 * u, 13, {1.0 + 6 * u}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FuncVector f;
        if (!c.limits.empty()) {
            ASSERT_EQ(f.setInternalLimits(c.limits), FuncVector::FUNCV_ERR_OK);
        }
        double left = c.left;
        double right = c.right;
        int err = -7;
        EXPECT_TRUE(f.func1XGen(c.nb, &err, true, &left, &right).empty());
        EXPECT_EQ(err, -7);
        EXPECT_EQ(f.func1XDataCacheSize(), 0);
        // The y sampler ends on the same refusal.
        EXPECT_TRUE(f.func1YGen(c.nb, &err, true, &left, &right).empty());
        EXPECT_EQ(err, Func1::FUNC1_ERR_GENYDATA);
    }
}

TEST(FuncVector, ForcedGridsAtTheEdgeOfTheSpacingAreStillMade) {
    const double u = std::ldexp(1.0, -52);  // spacing of the doubles above 1
    struct Case {
        const char* name;
        double left, right;
        int nb;
        Vec limits;
        Vec grid;
    };
    const Case cases[] = {
        {"one spacing a step", 1.0, 1.0 + 4 * u, 5, {}, {1.0, 1.0 + u, 1.0 + 2 * u, 1.0 + 3 * u, 1.0 + 4 * u}},
        {"a limit in place of a point", 1.0, 1.0 + 4 * u, 3, {1.0 + u}, {1.0, 1.0 + u, 1.0 + 4 * u}},
        {"subnormal step", 0.0, 1e-320, 3, {}, {0.0, 1e-320 / 2, 1e-320}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FuncVector f;
        if (!c.limits.empty()) {
            ASSERT_EQ(f.setInternalLimits(c.limits), FuncVector::FUNCV_ERR_OK);
        }
        double left = c.left;
        double right = c.right;
        int err = -7;
        EXPECT_EQ(f.func1XGen(c.nb, &err, true, &left, &right), c.grid);
        EXPECT_EQ(err, Func1::FUNC1_ERR_OK);
    }
}

TEST_F(FuncVectorGrid, ForcedYDataArePiecewise) {
    ASSERT_EQ(f.setInternalLimits({2.5, 5.0}), FuncVector::FUNCV_ERR_OK);
    int err = -7;
    const Vec y = f.func1YGen(11, &err, true, nullptr, nullptr);
    EXPECT_EQ(err, Func1::FUNC1_ERR_OK);
    EXPECT_EQ(y, (Vec{10, 10, 10, 20, 20, 30, 30, 30, 30, 30, 30}));
    EXPECT_EQ(f.func1YDataCache(), y);
    EXPECT_EQ(f.func1XDataCache(), (Vec{0, 1, 2, 2.5, 4, 5, 6, 7, 8, 9, 10}));

    // With the grid already made the code is left alone.
    c30.setC(31.0);
    err = -7;
    EXPECT_EQ(f.func1YGen(3, &err, true, nullptr, nullptr).back(), 31.0);
    EXPECT_EQ(err, -7);
}

TEST_F(FuncVectorGrid, ForcedYDataFailures) {
    // A grid reaching past the limits: only the accepted x get y values.
    f.func1SetXDataCache({-1.0, 0.5, 11.0});
    ASSERT_EQ(f.setInternalLimits({2.5, 5.0}), FuncVector::FUNCV_ERR_OK);
    int err = -7;
    EXPECT_EQ(f.func1YGen(11, &err, true, nullptr, nullptr), Vec{10.0});
    EXPECT_EQ(err, Func1::FUNC1_ERR_GENYDATA);

    // A missing bound leaves the grid empty and ends as a y-data failure.
    FuncVector open;
    FuncConst one = makeConst(1.0);
    open.addFunc(&one);
    open.addFunc(&one);
    ASSERT_EQ(open.setInternalLimits({0.0}), FuncVector::FUNCV_ERR_OK);
    open.func1SetYDataCache({5.0});
    err = -7;
    EXPECT_TRUE(open.func1YGen(11, &err, true, nullptr, nullptr).empty());
    EXPECT_EQ(err, Func1::FUNC1_ERR_GENYDATA);
    EXPECT_EQ(open.func1YDataCacheSize(), 0);
}

TEST_F(FuncVectorGrid, UnforcedYDataUseTheBaseSampler) {
    ASSERT_EQ(f.setInternalLimits({2.5, 5.0}), FuncVector::FUNCV_ERR_OK);
    int err = -7;
    EXPECT_EQ(f.func1YGen(6, &err, false, nullptr, nullptr), (Vec{10, 10, 20, 30, 30, 30}));
    EXPECT_EQ(err, -7);

    // The base sampler tests the bounds first and keeps the y cache on failure.
    FuncVector open;
    open.func1SetYDataCache({5.0});
    EXPECT_EQ(open.func1YGen(6, &err, false, nullptr, nullptr), Vec{5.0});
    EXPECT_EQ(err, Func1::FUNC1_ERR_NOLIMITS);
}
