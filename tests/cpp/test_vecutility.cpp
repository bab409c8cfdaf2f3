#include <gtest/gtest.h>

#include <climits>
#include <iomanip>
#include <sstream>
#include <string>

#include "coreobj/VecUtility.h"
#include "stream_capture.h"

namespace {

// "a" followed by a NUL and more characters: compares equal to "a".
const std::string kANulB("a\0b", 3);

std::string printed(VectorString vec, const std::string& sx, const std::string& dx) {
    std::ostringstream os;
    VecUtility().Print(vec, os, sx, dx);
    return os.str();
}

std::string printed(MatrixString mat, const std::string& sx, const std::string& dx) {
    std::ostringstream os;
    VecUtility().Print(mat, os, sx, dx);
    return os.str();
}

template <typename V>
std::string printed(V vec) {
    std::ostringstream os;
    VecUtility().Print(vec, os);
    return os.str();
}

}  // namespace

TEST(VecUtilityPrint, StringVectorOnOneLineWithSeparators) {
    const struct {
        VectorString vec;
        std::string sx, dx, expected;
    } cases[] = {
        {{"a", "b"}, "(", ")", "(a)(b)\n"},
        {{}, "(", ")", "\n"},
        {{"x"}, "", "", "x\n"},
        {{"ab", "", "c"}, "<", ">, ", "<ab>, <>, <c>, \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(printed(c.vec, c.sx, c.dx), c.expected);
    }
}

TEST(VecUtilityPrint, NumberVectorsBlankSeparatedEndingWithLineEnd) {
    EXPECT_EQ(printed(VectorDouble{1.5, 2, 3}), "1.5 2 3\n");
    EXPECT_EQ(printed(VectorDouble{-0.25}), "-0.25\n");
    EXPECT_EQ(printed(vectorLong{-1, 0, LONG_MAX}), "-1 0 9223372036854775807\n");
    EXPECT_EQ(printed(vectorLong{LONG_MIN}), "-9223372036854775808\n");
    EXPECT_EQ(printed(vectorUlong{ULONG_MAX, 0}), "18446744073709551615 0\n");
}

TEST(VecUtilityPrint, EmptyNumberVectorWritesNothing) {
    EXPECT_EQ(printed(VectorDouble{}), "");
    EXPECT_EQ(printed(vectorLong{}), "");
    EXPECT_EQ(printed(vectorUlong{}), "");
}

TEST(VecUtilityPrint, UsesTheStreamFormattingAndLeavesItAsFound) {
    std::ostringstream os;
    os << std::fixed << std::setprecision(2);
    VectorDouble vec{1.5, 2};
    VecUtility().Print(vec, os);
    EXPECT_EQ(os.str(), "1.50 2.00\n");
    EXPECT_EQ(os.precision(), 2);
    EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);

    std::ostringstream hex;
    hex << std::hex;
    vectorUlong vu{255, 16};
    VecUtility().Print(vu, hex);
    EXPECT_EQ(hex.str(), "ff 10\n");
}

TEST(VecUtilityPrint, StringMatrixRowPerLineWithBracketedElements) {
    const struct {
        MatrixString mat;
        std::string expected;
    } cases[] = {
        {{{"a", "b"}, {}}, "([a][b])\n()\n"},
        {{}, ""},
        {{{}}, "()\n"},
        {{{"x"}, {"y", "z"}}, "([x])\n([y][z])\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(printed(c.mat, "(", ")"), c.expected);
    }
}

TEST(VecUtilityPrint, NumberMatrixEmptyRowsLeaveNoLine) {
    EXPECT_EQ(printed(MatrixDouble{{1, 2}, {}, {3.5}}), "1 2\n3.5\n");
    EXPECT_EQ(printed(matrixLong{{-4}, {}, {5, 6}}), "-4\n5 6\n");
    EXPECT_EQ(printed(matrixUlong{{}, {7, 8, 9}}), "7 8 9\n");
    EXPECT_EQ(printed(MatrixDouble{}), "");
    EXPECT_EQ(printed(matrixLong{{}, {}}), "");
}

TEST(VecUtilityPrint, WritesOnlyOnTheGivenStream) {
    const StreamCapture capture;
    std::ostringstream os;
    VecUtility u;
    VectorString vs{"a"};
    VectorDouble vd{1};
    MatrixString ms{{"b"}};
    matrixUlong mu{{2}};
    u.Print(vs, os, "", "");
    u.Print(vd, os);
    u.Print(ms, os, "", "");
    u.Print(mu, os);
    EXPECT_EQ(os.str(), "a\n1\n[b]\n2\n");
    EXPECT_EQ(capture.out(), "");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.log(), "");
}

TEST(VecUtilityFind, CountsMatchesAndAppendsTheirIndices) {
    const struct {
        VectorString vec;
        std::string str;
        vectorUlong posBefore;
        int count;
        vectorUlong posAfter;
    } cases[] = {
        {{"a", "b", "a"}, "a", {}, 2, {0, 2}},
        {{"a", "b", "a"}, "a", {0, 2}, 2, {0, 2, 0, 2}},
        {{"a", "b", "a"}, "b", {9}, 1, {9, 1}},
        {{"a", "b", "a"}, "c", {5}, 0, {5}},
        {{}, "a", {}, 0, {}},
        {{"", "x", ""}, "", {}, 2, {0, 2}},
        // Texts compare up to their first NUL.
        {{kANulB, "a", "ab"}, "a", {}, 2, {0, 1}},
        {{"a", "ab"}, kANulB, {}, 1, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.str + " count " + std::to_string(c.count));
        VectorString vec = c.vec;
        vectorUlong pos = c.posBefore;
        EXPECT_EQ(VecUtility().Find(vec, c.str, pos), c.count);
        EXPECT_EQ(pos, c.posAfter);
        EXPECT_EQ(vec, c.vec);
    }
}

TEST(VecUtilityFind, FindKeyGivesTheFirstMatchOrMinusOne) {
    const struct {
        VectorString vec;
        std::string str;
        int expected;
    } cases[] = {
        {{"b", "a", "a"}, "a", 1},
        {{"b", "a", "a"}, "b", 0},
        {{"b", "a", "a"}, "c", -1},
        {{}, "a", -1},
        {{"ab", "a"}, "a", 1},
        {{"ab", kANulB}, "a", 1},
        {{"A"}, "a", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.str);
        VectorString vec = c.vec;
        EXPECT_EQ(VecUtility().FindKey(vec, c.str), c.expected);
    }
}

TEST(VecUtilityFind, IsKeyWhenNoTextRepeats) {
    const struct {
        VectorString vec;
        bool expected;
    } cases[] = {
        {{"a", "b", "a"}, false},
        {{"a", "b"}, true},
        {{}, true},
        {{"a"}, true},
        {{"x", "y", "z", "z"}, false},
        {{"", ""}, false},
        {{"a", kANulB}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.vec));
        VectorString vec = c.vec;
        EXPECT_EQ(VecUtility().IsKey(vec), c.expected);
        EXPECT_EQ(vec, c.vec);
    }
}

TEST(VecUtilityFind, IsKeyInVecWhenEveryTextIsAmongTheKeys) {
    const struct {
        VectorString keys, vec;
        bool expected;
    } cases[] = {
        {{"a", "b"}, {"b", "a", "b"}, true},
        {{"a", "b"}, {"a", "c"}, false},
        {{"a", "b"}, {"c", "a"}, false},
        {{"a", "b"}, {}, true},
        {{}, {"a"}, false},
        {{}, {}, true},
        {{"a"}, {kANulB}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.keys) + " / " + ::testing::PrintToString(c.vec));
        VectorString keys = c.keys;
        VectorString vec = c.vec;
        EXPECT_EQ(VecUtility().IsKeyInVec(keys, vec), c.expected);
        EXPECT_EQ(keys, c.keys);
        EXPECT_EQ(vec, c.vec);
    }
}
