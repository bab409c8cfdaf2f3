#include <gtest/gtest.h>

#include <vector>

#include "coreobj/func2linear.h"

TEST(Func2Linear, InterfaceCodes) {
    static_assert(Func2::FUNC2_LINEAR == 1, "type code");
    static_assert(Func2::FUNC2_ERR_OK == 0, "ok code");
    const Func2Linear line(1.0, 2.0, 3.0);
    const Func2& asBase = line;
    EXPECT_EQ(asBase.func2Type(), Func2::FUNC2_LINEAR);
}

TEST(Func2Linear, HorizontalLineSeparatesTheHalfPlanes) {
    // 0*x + 1*y - 5 = 0 is the line y = 5.
    const Func2Linear line(0.0, 1.0, -5.0);
    struct Case {
        double x, y, expected;
    };
    const Case cases[] = {
        {7.0, 5.0, 0.0},
        {-3.0, 5.0, 0.0},
        {0.0, 4.0, -1.0},
        {0.0, 6.0, 1.0},
        {100.0, -2.0, -7.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        int errn = 99;
        EXPECT_DOUBLE_EQ(line.valueFxy(c.x, c.y, &errn), c.expected);
        EXPECT_EQ(errn, Func2::FUNC2_ERR_OK);
        EXPECT_DOUBLE_EQ(line.valueFxy(c.x, c.y, nullptr), c.expected);
    }
}

TEST(Func2Linear, EvaluatesThroughTheBaseInterface) {
    const Func2Linear plane(2.0, -3.0, 0.5);
    const Func2& f = plane;
    EXPECT_DOUBLE_EQ(f.valueFxy(1.0, 1.0, nullptr), -0.5);
    EXPECT_DOUBLE_EQ(f.valueFxy(0.0, 0.0, nullptr), 0.5);
    EXPECT_DOUBLE_EQ(f.valueFxy(-2.0, 4.0, nullptr), -15.5);
}

TEST(Func2Linear, CopyAndAssignmentReproduceTheCoefficients) {
    const Func2Linear source(0.1, -2.7e-5, 1e30);
    const Func2Linear copy(source);
    Func2Linear assigned(9.0, 9.0, 9.0);
    Func2Linear& result = (assigned = source);

    EXPECT_EQ(&result, &assigned);
    for (const Func2Linear* f : std::vector<const Func2Linear*>{&copy, &assigned}) {
        EXPECT_EQ(f->a(), source.a());
        EXPECT_EQ(f->b(), source.b());
        EXPECT_EQ(f->c(), source.c());
    }
}

TEST(Func2Linear, SettersStoreTheirCoefficientOnly) {
    Func2Linear f(0.0, 0.0, 0.0);
    f.setABC(1.0, 2.0, 3.0);
    EXPECT_DOUBLE_EQ(f.valueFxy(1.0, 1.0, nullptr), 6.0);

    f.setA(-1.0);
    EXPECT_EQ(f.a(), -1.0);
    EXPECT_EQ(f.b(), 2.0);
    EXPECT_EQ(f.c(), 3.0);
    f.setB(5.0);
    f.setC(-4.0);
    EXPECT_EQ(f.a(), -1.0);
    EXPECT_EQ(f.b(), 5.0);
    EXPECT_EQ(f.c(), -4.0);
    EXPECT_DOUBLE_EQ(f.valueFxy(2.0, 1.0, nullptr), -1.0);
}
