#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "coreobj/func1.h"
#include "coreobj/funcconst.h"
#include "coreobj/funclinear.h"
#include "coreobj/funcparabola.h"
#include "coreobj/funcpoly.h"

namespace {

using Vec = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

FuncConst makeConst(double c) {
    FuncConst f;
    f.setC(c);
    return f;
}

FuncLinear makeLinear(double b, double c) {
    FuncLinear f;
    f.setB(b);
    f.setC(c);
    return f;
}

FuncParabola makeParabola(double a, double b, double c) {
    FuncParabola f;
    f.setA(a);
    f.setB(b);
    f.setC(c);
    return f;
}

FuncPoly makePoly(const Vec& coeff) {
    FuncPoly f;
    f.setCoeff(coeff);
    return f;
}

}  // namespace

TEST(Func1, InterfaceCodes) {
    static_assert(Func1::FUNC1_ERR_OK == 0 && Func1::FUNC1_ERR_OUTLEFT == 1 &&
                      Func1::FUNC1_ERR_OUTRIGHT == 2 && Func1::FUNC1_ERR_OUTLIMITS == 3 &&
                      Func1::FUNC1_ERR_NOLIMITS == 4 && Func1::FUNC1_ERR_CACHESIZE == 5 &&
                      Func1::FUNC1_ERR_GENYDATA == 6 && Func1::FUNC1_ERR_CASTING == 7 &&
                      Func1::FUNC1_ERR_TYPE_UNKNOWN == 8,
                  "error codes");
    static_assert(Func1::FUNC1_UNKNOWN == -1 && Func1::FUNC1_CONST == 0 &&
                      Func1::FUNC1_LINEAR == 1 && Func1::FUNC1_PARABOLA == 2 &&
                      Func1::FUNC1_POLY == 3 && Func1::FUNC1_VECTOR == 4,
                  "type codes");
    static_assert(Func1::FUNC1_NOTLIMITED == 1 && Func1::FUNC1_LIMITED == 2, "limit kinds");
    static_assert(FuncPoly::ERRN_SIZE == 1, "polynomial size code");

    const FuncConst c;
    const FuncLinear l;
    const FuncParabola p;
    const FuncPoly q;
    EXPECT_EQ(static_cast<const Func1&>(c).func1Type(), Func1::FUNC1_CONST);
    EXPECT_EQ(static_cast<const Func1&>(l).func1Type(), Func1::FUNC1_LINEAR);
    EXPECT_EQ(static_cast<const Func1&>(p).func1Type(), Func1::FUNC1_PARABOLA);
    EXPECT_EQ(static_cast<const Func1&>(q).func1Type(), Func1::FUNC1_POLY);
}

TEST(Func1, DefaultStateHasNoLimitsZeroCoefficientsAndEmptyCaches) {
    const FuncConst c;
    const FuncLinear l;
    const FuncParabola p;
    const FuncPoly q;
    EXPECT_EQ(c.c(), 0.0);
    EXPECT_EQ(l.b(), 0.0);
    EXPECT_EQ(l.c(), 0.0);
    EXPECT_EQ(p.a(), 0.0);
    EXPECT_EQ(p.b(), 0.0);
    EXPECT_EQ(p.c(), 0.0);
    EXPECT_EQ(q.size(), 0);
    EXPECT_TRUE(q.coeff().empty());

    for (const Func1* f : std::vector<const Func1*>{&c, &l, &p, &q}) {
        EXPECT_FALSE(f->isLeftLimited());
        EXPECT_FALSE(f->isRightLimited());
        EXPECT_EQ(f->func1LeftLimit(), 0.0);
        EXPECT_EQ(f->func1RightLimit(), 0.0);
        EXPECT_EQ(f->func1XDataCacheSize(), 0);
        EXPECT_EQ(f->func1YDataCacheSize(), 0);
        EXPECT_TRUE(f->func1XdataAccettable().empty());
    }
}

TEST(Func1, LeafPiecesEvaluateTheirFormula) {
    const FuncConst constant = makeConst(2.5);
    const FuncLinear linear = makeLinear(2.0, -1.0);
    const FuncParabola parabola = makeParabola(-1.0, 2.0, 0.0);
    const FuncPoly poly = makePoly({2.0, 3.0, 4.0});
    const FuncPoly cubic = makePoly({1.0, 0.0, 0.0, -8.0});
    const FuncPoly constantPoly = makePoly({5.0});

    struct Case {
        const Func1* f;
        double x;
        double expected;
    };
    const Case cases[] = {
        {&constant, -1e9, 2.5},  {&constant, 0.0, 2.5},    {&constant, kNaN, 2.5},
        {&linear, 0.0, -1.0},    {&linear, 3.0, 5.0},      {&linear, -0.5, -2.0},
        {&parabola, 0.0, 0.0},   {&parabola, 1.0, 1.0},    {&parabola, 2.0, 0.0},
        {&parabola, -1.0, -3.0}, {&poly, 2.0, 18.0},       {&poly, 0.0, 4.0},
        {&poly, -1.0, 3.0},      {&cubic, 2.0, 0.0},       {&cubic, -1.0, -9.0},
        {&constantPoly, 0.0, 5.0}, {&constantPoly, 123.0, 5.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.f->func1Type() << " x " << c.x);
        int errn = -7;
        EXPECT_DOUBLE_EQ(c.f->valueFx(c.x, &errn), c.expected);
        EXPECT_EQ(errn, Func1::FUNC1_ERR_OK);
        EXPECT_DOUBLE_EQ(c.f->valueFx(c.x, nullptr), c.expected);
    }
}

TEST(Func1, LeafPiecesIgnoreTheirOwnLimitsWhenEvaluated) {
    FuncLinear f = makeLinear(1.0, 0.0);
    f.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_LIMITED, -1.0, 1.0);
    int errn = -7;
    EXPECT_DOUBLE_EQ(f.valueFx(50.0, &errn), 50.0);
    EXPECT_EQ(errn, Func1::FUNC1_ERR_OK);
}

TEST(Func1, PolynomialCoefficientsAreHighestDegreeFirst) {
    FuncPoly f;
    int errn = -7;
    EXPECT_EQ(f.valueFx(3.0, &errn), 0.0);
    EXPECT_EQ(errn, FuncPoly::ERRN_SIZE);
    EXPECT_EQ(f.valueFx(3.0, nullptr), 0.0);

    // Each appended coefficient becomes the new constant term.
    f.addCoeff(2.0);
    EXPECT_EQ(f.size(), 1);
    EXPECT_DOUBLE_EQ(f.valueFx(10.0, nullptr), 2.0);
    f.addCoeff(3.0);
    EXPECT_DOUBLE_EQ(f.valueFx(10.0, nullptr), 23.0);
    f.addCoeff(4.0);
    EXPECT_EQ(f.size(), 3);
    EXPECT_EQ(f.coeff(), (Vec{2.0, 3.0, 4.0}));
    EXPECT_DOUBLE_EQ(f.valueFx(2.0, &errn), 18.0);
    EXPECT_EQ(errn, Func1::FUNC1_ERR_OK);

    f.setCoeff({1.0, 0.0});
    EXPECT_EQ(f.size(), 2);
    EXPECT_DOUBLE_EQ(f.valueFx(0.0, nullptr), 0.0);
    EXPECT_DOUBLE_EQ(f.valueFx(-4.0, nullptr), -4.0);

    f.clearCoeff();
    EXPECT_EQ(f.size(), 0);
    EXPECT_TRUE(f.coeff().empty());
    EXPECT_EQ(f.valueFx(1.0, &errn), 0.0);
    EXPECT_EQ(errn, FuncPoly::ERRN_SIZE);
}

TEST(Func1, LimitsAreStoredUncheckedWhateverTheirKind) {
    FuncConst f;
    f.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_NOTLIMITED, 5.0, -5.0);
    EXPECT_TRUE(f.isLeftLimited());
    EXPECT_FALSE(f.isRightLimited());
    EXPECT_EQ(f.func1LeftLimit(), 5.0);
    EXPECT_EQ(f.func1RightLimit(), -5.0);
}

TEST(Func1, OutOfLimitsTest) {
    using L = Func1::FuncLimits;
    const L lim = Func1::FUNC1_LIMITED;
    const L free = Func1::FUNC1_NOTLIMITED;
    struct Case {
        L leftType, rightType;
        double left, right, x, toll;
        bool out;
    };
    const Case cases[] = {
        // The tolerance widens the limit; the widened limit itself is inside.
        {lim, free, -1.0, 0.0, -1.5, 0.5, false},
        {lim, free, -1.0, 0.0, -1.5000001, 0.5, true},
        {lim, free, -1.0, 0.0, -1.0, 0.0, false},
        {lim, free, -1.0, 0.0, 100.0, 0.0, false},
        {free, free, -1.0, 0.0, -1e300, 0.0, false},
        {free, lim, 0.0, 2.0, 2.0, 0.0, false},
        {free, lim, 0.0, 2.0, 2.25, 0.25, false},
        {free, lim, 0.0, 2.0, 2.2500001, 0.25, true},
        {free, lim, 0.0, 2.0, -1e300, 0.0, false},
        {lim, free, 0.0, -5.0, 1e300, 0.0, false},
        {lim, lim, -1.0, 1.0, -1.1, 0.0, true},
        {lim, lim, -1.0, 1.0, 1.1, 0.0, true},
        {lim, lim, -1.0, 1.0, 0.0, 0.0, false},
        // A negative tolerance is used with its sign and narrows the range.
        {lim, lim, -1.0, 1.0, 0.95, -0.1, true},
        {lim, lim, -1.0, 1.0, -0.95, -0.1, true},
        {lim, lim, -1.0, 1.0, kNaN, 0.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "[" << c.left << ", " << c.right << "] x " << c.x
                                        << " toll " << c.toll);
        FuncConst f;
        f.func1SetLimits(c.leftType, c.rightType, c.left, c.right);
        EXPECT_EQ(f.isOutOfLimits(c.x, c.toll), c.out);
    }
}

TEST(Func1, GridGenerator) {
    struct Case {
        double min, max;
        int nb;
        bool force;
        bool ok;
        Vec expected;
    };
    const Case cases[] = {
        {0.0, 10.0, 11, true, true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {0.0, 10.0, 11, false, true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {-1.0, 1.0, 2, true, true, {-1.0, 1.0}},
        {-1.0, 1.0, 3, false, true, {-1.0, 0.0, 1.0}},
        {0.0, 10.0, 1, true, false, {}},
        {0.0, 10.0, 0, false, false, {}},
        {0.0, 10.0, -3, false, false, {}},
        {2.0, 2.0, 5, true, false, {}},
        {3.0, 2.0, 5, false, false, {}},
        {kNaN, 2.0, 5, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " nb " << c.nb
                                        << " forced " << c.force);
        Vec grid;
        EXPECT_EQ(Func1::xDataGenerator(grid, c.min, c.max, c.nb, c.force), c.ok);
        EXPECT_EQ(grid, c.expected);
    }
}

TEST(Func1, GridGeneratorAppendsAndForcesExactEnds) {
    Vec grid{-99.0};
    ASSERT_TRUE(Func1::xDataGenerator(grid, 0.1, 0.7, 7, true));
    ASSERT_EQ(grid.size(), 8u);
    EXPECT_EQ(grid.front(), -99.0);
    EXPECT_EQ(grid[1], 0.1);
    EXPECT_EQ(grid.back(), 0.7);

    // Without forcing, every value is i*step + min, the last one included.
    Vec plain;
    ASSERT_TRUE(Func1::xDataGenerator(plain, 0.1, 0.7, 7, false));
    const double step = (0.7 - 0.1) / 6;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(plain[static_cast<std::size_t>(i)], i * step + 0.1) << i;
    }
}

TEST(Func1, FilterKeepsValuesWithinInclusiveLimits) {
    using L = Func1::FuncLimits;
    const L lim = Func1::FUNC1_LIMITED;
    const L free = Func1::FUNC1_NOTLIMITED;
    const Vec xdata{-2.0, -1.0, 0.0, 1.0, 2.0};
    struct Case {
        L leftType, rightType;
        double left, right;
        Vec expected;
    };
    const Case cases[] = {
        {lim, lim, -1.0, 1.0, {-1.0, 0.0, 1.0}},
        {lim, free, 0.0, -100.0, {0.0, 1.0, 2.0}},
        {free, lim, 100.0, -1.0, {-2.0, -1.0}},
        {free, free, 5.0, -5.0, xdata},
        {lim, lim, 0.5, 0.6, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << " " << c.right);
        Vec out;
        EXPECT_EQ(Func1::xDataFilter(out, xdata, c.leftType, c.rightType, c.left, c.right),
                  !c.expected.empty());
        EXPECT_EQ(out, c.expected);
    }

    // Appends to what is there, and reports on the whole result.
    Vec out{7.0};
    EXPECT_TRUE(Func1::xDataFilter(out, xdata, lim, lim, 0.5, 0.6));
    EXPECT_EQ(out, Vec{7.0});
}

class Func1YData : public testing::Test {
protected:
    void SetUp() override {
        f = makeLinear(2.0, 1.0);
        f.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_LIMITED, -1.0, 1.0);
    }
    FuncLinear f;
};

TEST_F(Func1YData, FewerThanTwoValuesChangeNothing) {
    Vec scratch;
    ASSERT_TRUE(f.func1GenYData(scratch, {-1.0, 1.0}, nullptr, nullptr));
    for (const Vec& xdata : {Vec{}, Vec{0.5}}) {
        Vec ydata{42.0};
        double fmin = -7.0;
        double fmax = 7.0;
        EXPECT_FALSE(f.func1GenYData(ydata, xdata, &fmin, &fmax));
        EXPECT_EQ(ydata, Vec{42.0});
        EXPECT_EQ(fmin, -7.0);
        EXPECT_EQ(fmax, 7.0);
        EXPECT_EQ(f.func1XdataAccettable(), (Vec{-1.0, 1.0}));
    }
}

TEST_F(Func1YData, RejectedValuesAreDroppedAndReported) {
    struct Case {
        Vec xdata;
        bool ok;
        Vec accepted;
        Vec ydata;
    };
    const Case cases[] = {
        {{-2.0, 0.0, 2.0}, false, {0.0}, {1.0}},
        {{-1.0, 0.0, 1.0}, true, {-1.0, 0.0, 1.0}, {-1.0, 1.0, 3.0}},
        {{0.5, -0.5}, true, {0.5, -0.5}, {2.0, 0.0}},
        {{1.5, kNaN, -3.0}, false, {kNaN}, {kNaN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "first x " << c.xdata.front());
        Vec ydata{9.0, 9.0, 9.0, 9.0, 9.0};
        EXPECT_EQ(f.func1GenYData(ydata, c.xdata, nullptr, nullptr), c.ok);
        const Vec accepted = f.func1XdataAccettable();
        ASSERT_EQ(accepted.size(), c.accepted.size());
        ASSERT_EQ(ydata.size(), c.ydata.size());
        for (std::size_t i = 0; i < accepted.size(); ++i) {
            EXPECT_TRUE(accepted[i] == c.accepted[i] ||
                        (std::isnan(accepted[i]) && std::isnan(c.accepted[i])));
            EXPECT_TRUE(ydata[i] == c.ydata[i] ||
                        (std::isnan(ydata[i]) && std::isnan(c.ydata[i])));
        }
    }
}

TEST_F(Func1YData, MinimumAndMaximumOfTheYData) {
    Vec ydata;
    double fmin = 0.0;
    double fmax = 0.0;
    EXPECT_TRUE(f.func1GenYData(ydata, {0.25, -1.0, 1.0, 0.0}, &fmin, &fmax));
    EXPECT_EQ(fmin, -1.0);
    EXPECT_EQ(fmax, 3.0);

    // Either output may be left out.
    fmin = 0.0;
    EXPECT_FALSE(f.func1GenYData(ydata, {0.5, 5.0}, &fmin, nullptr));
    EXPECT_EQ(fmin, 2.0);
}

TEST_F(Func1YData, NoAcceptedValueLeavesMinimumAndMaximumUnwritten) {
    Vec ydata{1.0, 2.0};
    double fmin = -7.0;
    double fmax = 7.0;
    EXPECT_FALSE(f.func1GenYData(ydata, {-5.0, 5.0}, &fmin, &fmax));
    EXPECT_TRUE(ydata.empty());
    EXPECT_TRUE(f.func1XdataAccettable().empty());
    EXPECT_EQ(fmin, -7.0);
    EXPECT_EQ(fmax, 7.0);
}

TEST(Func1Sampling, BoundsComeFromTheLimitsOrTheCaller) {
    double left = -2.0;
    double right = 2.0;
    struct Case {
        Func1::FuncLimits leftType, rightType;
        double* left;
        double* right;
        int err;
        Vec grid;
    };
    const auto lim = Func1::FUNC1_LIMITED;
    const auto free = Func1::FUNC1_NOTLIMITED;
    const Case cases[] = {
        {lim, lim, nullptr, nullptr, -1, {0.0, 0.5, 1.0}},
        {lim, lim, &left, &right, -1, {0.0, 0.5, 1.0}},
        {free, free, &left, &right, -1, {-2.0, 0.0, 2.0}},
        {lim, free, nullptr, &right, -1, {0.0, 1.0, 2.0}},
        {free, lim, &left, nullptr, -1, {-2.0, -0.5, 1.0}},
        {free, free, nullptr, &right, Func1::FUNC1_ERR_NOLIMITS, {}},
        {free, free, &left, nullptr, Func1::FUNC1_ERR_NOLIMITS, {}},
        {lim, free, &left, nullptr, Func1::FUNC1_ERR_NOLIMITS, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kinds " << c.leftType << c.rightType << " left "
                                        << (c.left != nullptr) << " right " << (c.right != nullptr));
        FuncConst f = makeConst(1.0);
        f.func1SetLimits(c.leftType, c.rightType, 0.0, 1.0);
        int err = -1;
        EXPECT_EQ(f.func1XGen(3, &err, true, c.left, c.right), c.grid);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(f.func1XDataCache(), c.grid);

        FuncConst g = makeConst(1.0);
        g.func1SetLimits(c.leftType, c.rightType, 0.0, 1.0);
        err = -1;
        const Vec y = g.func1YGen(3, &err, true, c.left, c.right);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(g.func1XDataCache(), c.grid);
        EXPECT_EQ(y, Vec(c.grid.size(), 1.0));
    }
}

TEST(Func1Sampling, XGridOnceMadeIsKept) {
    FuncLinear f = makeLinear(1.0, 0.0);
    f.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_LIMITED, 0.0, 4.0);
    const Vec first = f.func1XGen(5, nullptr, true, nullptr, nullptr);
    EXPECT_EQ(first, (Vec{0.0, 1.0, 2.0, 3.0, 4.0}));

    // Another nb, other limits, even missing bounds: the first grid comes back.
    f.func1SetLimits(Func1::FUNC1_NOTLIMITED, Func1::FUNC1_NOTLIMITED, 0.0, 0.0);
    int err = -1;
    EXPECT_EQ(f.func1XGen(11, &err, false, nullptr, nullptr), first);
    EXPECT_EQ(err, -1);

    f.func1SetXDataCache({7.0, 8.0});
    EXPECT_EQ(f.func1XGen(3, nullptr, true, nullptr, nullptr), (Vec{7.0, 8.0}));
    EXPECT_EQ(f.func1XDataCacheSize(), 2);
}

TEST(Func1Sampling, RefusedGridLeavesTheCacheEmptyWithoutCode) {
    double left = 0.0;
    double right = 1.0;
    for (const int nb : {1, 0, -2}) {
        FuncConst f;
        int err = -1;
        EXPECT_TRUE(f.func1XGen(nb, &err, false, &left, &right).empty());
        EXPECT_EQ(err, -1);
        EXPECT_EQ(f.func1XDataCacheSize(), 0);
    }
    FuncConst reversed;
    int err = -1;
    EXPECT_TRUE(reversed.func1XGen(5, &err, false, &right, &left).empty());
    EXPECT_EQ(err, -1);
}

TEST(Func1Sampling, YDataAreComputedAnewOnEveryCall) {
    FuncLinear f = makeLinear(1.0, 0.0);
    f.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_LIMITED, 0.0, 2.0);
    int err = -1;
    EXPECT_EQ(f.func1YGen(3, &err, false, nullptr, nullptr), (Vec{0.0, 1.0, 2.0}));
    EXPECT_EQ(err, -1);
    EXPECT_EQ(f.func1YDataCache(), (Vec{0.0, 1.0, 2.0}));

    f.setB(-3.0);
    EXPECT_EQ(f.func1YGen(99, &err, false, nullptr, nullptr), (Vec{0.0, -3.0, -6.0}));
    EXPECT_EQ(f.func1YDataCacheSize(), 3);
    EXPECT_EQ(err, -1);
}

TEST(Func1Sampling, YDataNotMadeForEveryXAreReported) {
    FuncLinear f = makeLinear(1.0, 0.0);
    f.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_LIMITED, 0.0, 2.0);

    // A cached grid reaching past the limits: only the accepted x get y values.
    f.func1SetXDataCache({-1.0, 0.5, 1.5, 3.0});
    int err = -1;
    EXPECT_EQ(f.func1YGen(3, &err, false, nullptr, nullptr), (Vec{0.5, 1.5}));
    EXPECT_EQ(err, Func1::FUNC1_ERR_GENYDATA);

    // A single cached value gives no y data at all.
    f.func1SetXDataCache({1.0});
    err = -1;
    EXPECT_TRUE(f.func1YGen(3, &err, false, nullptr, nullptr).empty());
    EXPECT_EQ(err, Func1::FUNC1_ERR_GENYDATA);
    EXPECT_EQ(f.func1YDataCacheSize(), 0);

    // A refused grid ends the same way.
    FuncConst g;
    g.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_LIMITED, 0.0, 2.0);
    err = -1;
    EXPECT_TRUE(g.func1YGen(1, &err, false, nullptr, nullptr).empty());
    EXPECT_EQ(err, Func1::FUNC1_ERR_GENYDATA);
}

TEST(Func1Sampling, MissingBoundKeepsTheYCache) {
    FuncConst f = makeConst(3.0);
    f.func1SetYDataCache({1.0, 2.0});
    int err = -1;
    EXPECT_EQ(f.func1YGen(5, &err, false, nullptr, nullptr), (Vec{1.0, 2.0}));
    EXPECT_EQ(err, Func1::FUNC1_ERR_NOLIMITS);
    EXPECT_EQ(f.func1XDataCacheSize(), 0);
    // No error output wanted: the same result.
    EXPECT_EQ(f.func1YGen(5, nullptr, false, nullptr, nullptr), (Vec{1.0, 2.0}));
}

TEST(Func1Sampling, SamplersGoThroughTheBaseInterface) {
    FuncParabola p = makeParabola(1.0, 0.0, 0.0);
    Func1& f = p;
    double left = -2.0;
    double right = 2.0;
    EXPECT_EQ(f.func1XGen(5, nullptr, true, &left, &right), (Vec{-2.0, -1.0, 0.0, 1.0, 2.0}));
    EXPECT_EQ(f.func1YGen(5, nullptr, true, &left, &right), (Vec{4.0, 1.0, 0.0, 1.0, 4.0}));
}

TEST(FuncLinear, CopiesCarryTheCoefficientsOnly) {
    FuncLinear source = makeLinear(2.0, -1.0);
    source.func1SetLimits(Func1::FUNC1_LIMITED, Func1::FUNC1_LIMITED, -1.0, 1.0);
    source.func1SetXDataCache({0.0, 1.0});
    source.func1SetYDataCache({-1.0, 1.0});
    Vec scratch;
    ASSERT_TRUE(source.func1GenYData(scratch, {0.0, 0.5}, nullptr, nullptr));

    const FuncLinear copy(source);
    EXPECT_EQ(copy.b(), 2.0);
    EXPECT_EQ(copy.c(), -1.0);
    EXPECT_FALSE(copy.isLeftLimited());
    EXPECT_FALSE(copy.isRightLimited());
    EXPECT_EQ(copy.func1LeftLimit(), 0.0);
    EXPECT_EQ(copy.func1RightLimit(), 0.0);
    EXPECT_EQ(copy.func1XDataCacheSize(), 0);
    EXPECT_EQ(copy.func1YDataCacheSize(), 0);
    EXPECT_TRUE(copy.func1XdataAccettable().empty());
    EXPECT_EQ(copy.valueFx(5.0, nullptr), source.valueFx(5.0, nullptr));

    // The assignment keeps the target's own limits and caches.
    FuncLinear target = makeLinear(0.0, 0.0);
    target.func1SetLimits(Func1::FUNC1_NOTLIMITED, Func1::FUNC1_LIMITED, 3.0, 4.0);
    target.func1SetXDataCache({9.0});
    FuncLinear& result = (target = source);
    EXPECT_EQ(&result, &target);
    EXPECT_EQ(target.b(), 2.0);
    EXPECT_EQ(target.c(), -1.0);
    EXPECT_FALSE(target.isLeftLimited());
    EXPECT_TRUE(target.isRightLimited());
    EXPECT_EQ(target.func1LeftLimit(), 3.0);
    EXPECT_EQ(target.func1RightLimit(), 4.0);
    EXPECT_EQ(target.func1XDataCache(), Vec{9.0});
    EXPECT_EQ(target.func1YDataCacheSize(), 0);
}

TEST(FuncLinear, SettersTouchOneCoefficient) {
    FuncLinear f = makeLinear(1.0, 2.0);
    f.setB(-4.0);
    EXPECT_EQ(f.c(), 2.0);
    f.setC(0.5);
    EXPECT_EQ(f.b(), -4.0);
    EXPECT_DOUBLE_EQ(f.valueFx(1.0, nullptr), -3.5);

    FuncParabola p = makeParabola(1.0, 2.0, 3.0);
    p.setB(0.0);
    EXPECT_EQ(p.a(), 1.0);
    EXPECT_EQ(p.c(), 3.0);
    EXPECT_DOUBLE_EQ(p.valueFx(2.0, nullptr), 7.0);
}
