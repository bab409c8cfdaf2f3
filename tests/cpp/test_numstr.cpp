#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "coreobj/NumStr.h"

namespace {

const NumStr::tpAlign LEFT = NumStr::A_LEFT;
const NumStr::tpAlign RIGHT = NumStr::A_RIGHT;
const NumStr::tpFormat FIXED = NumStr::F_FIXED;
const NumStr::tpFormat SCI = NumStr::F_SCIENTIFIC;
// Values outside the enumerators, which the formatters treat as "neither".
const NumStr::tpAlign NO_ALIGN = static_cast<NumStr::tpAlign>(0);
const NumStr::tpFormat NO_FORMAT = static_cast<NumStr::tpFormat>(0);

// The class-wide settings are shared by the whole process: every test starts
// from the load-time values and leaves them so.
class NumStrTest : public testing::Test {
protected:
    void SetUp() override { restore(); }
    void TearDown() override { restore(); }
    static void restore() {
        NumStr::resetDefault();
        NumStr::setFillChar('.');
    }
};

}  // namespace

TEST_F(NumStrTest, EnumeratorValues) {
    static_assert(NumStr::F_SCIENTIFIC == 101 && NumStr::F_FIXED == 102, "formats");
    static_assert(NumStr::A_LEFT == 111 && NumStr::A_RIGHT == 112, "alignments");
}

TEST_F(NumStrTest, DefaultObjectTakesTheClassWideSettings) {
    const NumStr n;
    EXPECT_EQ(n.format(), FIXED);
    EXPECT_EQ(n.align(), RIGHT);
    EXPECT_EQ(n.precision(), 3u);
    EXPECT_EQ(n.width(), 0u);
}

TEST_F(NumStrTest, ConstructorTakesWidthAlignPrecisionFormat) {
    const NumStr n(8, LEFT, 2, SCI);
    EXPECT_EQ(n.width(), 8u);
    EXPECT_EQ(n.align(), LEFT);
    EXPECT_EQ(n.precision(), 2u);
    EXPECT_EQ(n.format(), SCI);
}

TEST_F(NumStrTest, UsingDefaultOverwritesEveryObjectSetting) {
    NumStr n(8, LEFT, 2, SCI);
    n.setWidth(20);
    n.setPrecision(9);
    n.usingDefault();
    EXPECT_EQ(n.format(), FIXED);
    EXPECT_EQ(n.align(), RIGHT);
    EXPECT_EQ(n.precision(), 3u);
    EXPECT_EQ(n.width(), 0u);
}

TEST_F(NumStrTest, DoubleFollowsTheObjectSettings) {
    const struct {
        unsigned int width;
        NumStr::tpAlign align;
        unsigned int precision;
        NumStr::tpFormat format;
        double value;
        std::string expected;
    } cases[] = {
        {0, RIGHT, 3, FIXED, 3.14159, "3.142"},
        {8, LEFT, 2, FIXED, 3.14159, "3.14    "},
        {8, RIGHT, 2, FIXED, 3.14159, "    3.14"},
        {0, RIGHT, 0, FIXED, 2.6, "3"},
        {0, RIGHT, 1, FIXED, -0.26, "-0.3"},
        {2, RIGHT, 3, FIXED, 12.0, "12.000"},  // never cut to the width
        {0, RIGHT, 2, SCI, 1234.5, "1.23e+03"},
        {12, LEFT, 1, SCI, -0.00042, "-4.2e-04    "},
        // Neither fixed nor scientific: the stream's general notation.
        {0, RIGHT, 3, NO_FORMAT, 3.14159, "3.14"},
        {0, RIGHT, 3, NO_FORMAT, 1234567.0, "1.23e+06"},
        // Neither left nor right: the stream pads in front.
        {6, NO_ALIGN, 1, FIXED, 1.0, "   1.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const NumStr n(c.width, c.align, c.precision, c.format);
        EXPECT_EQ(n.conv(c.value), c.expected);
    }
}

TEST_F(NumStrTest, IntegersUsePrecisionZero) {
    const struct {
        unsigned int width;
        NumStr::tpAlign align;
        NumStr::tpFormat format;
        int value;
        std::string expected;
    } cases[] = {
        {0, RIGHT, FIXED, 42, "42"},
        {0, RIGHT, FIXED, -7, "-7"},
        {0, RIGHT, FIXED, 0, "0"},
        {0, RIGHT, SCI, 42, "4e+01"},
        {5, LEFT, FIXED, 42, "42   "},
        {5, RIGHT, FIXED, 42, "   42"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const NumStr n(c.width, c.align, 6, c.format);
        EXPECT_EQ(n.conv(c.value), c.expected);
        if (c.value >= 0) {
            EXPECT_EQ(n.conv(static_cast<unsigned long>(c.value)), c.expected);
        }
    }
    EXPECT_EQ(NumStr().conv(4000000000UL), "4000000000");
}

TEST_F(NumStrTest, NumbersArePaddedWithSpacesWhateverTheFillCharacter) {
    NumStr::setFillChar('*');
    const NumStr n(6, LEFT, 1, FIXED);
    EXPECT_EQ(n.conv(1.0), "1.0   ");
    EXPECT_EQ(n.conv(3), "3     ");
}

TEST_F(NumStrTest, TextFittedToTheWidth) {
    const struct {
        unsigned int width;
        NumStr::tpAlign align;
        std::string text, tail, expected;
    } cases[] = {
        {0, LEFT, "abcdefgh", "..", "abcdefgh"},
        // Padding: the fill goes before the text for A_LEFT, after it for A_RIGHT.
        {6, LEFT, "abc", "", "...abc"},
        {6, RIGHT, "abc", "", "abc..."},
        {4, RIGHT, "", "", "...."},
        {6, NO_ALIGN, "abc", "", ""},
        {3, LEFT, "abc", "..", "abc"},
        {3, NO_ALIGN, "abc", "", "abc"},
        // Too long: cut so that the tail ends the field.
        {5, LEFT, "abcdefgh", "..", "abc.."},
        {5, RIGHT, "abcdefgh", "", "abcde"},
        {2, RIGHT, "abcdefgh", "..", ".."},
        // A tail longer than the field keeps the whole text.
        {1, LEFT, "abcdefgh", "..", "abcdefgh.."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " " + c.text + " -> " + c.expected);
        const NumStr n(c.width, c.align, 3, FIXED);
        EXPECT_EQ(n.conv(c.text, c.tail), c.expected);
    }
}

TEST_F(NumStrTest, FillCharacterReachesLaterTextsAndSurvivesReset) {
    const NumStr n(5, LEFT, 3, FIXED);
    EXPECT_EQ(n.conv(std::string("ab"), std::string()), "...ab");
    NumStr::setFillChar('*');
    EXPECT_EQ(n.conv(std::string("ab"), std::string()), "***ab");
    NumStr::resetDefault();
    EXPECT_EQ(n.conv(std::string("ab"), std::string()), "***ab");
}

TEST_F(NumStrTest, BooleansAreThreeCharactersWhateverTheSettings) {
    for (const NumStr& n : {NumStr(), NumStr(10, LEFT, 2, SCI), NumStr(1, RIGHT, 0, FIXED),
                            NumStr(10, NO_ALIGN, 0, FIXED)}) {
        SCOPED_TRACE(n.width());
        EXPECT_EQ(n.conv(true), "(1)");
        EXPECT_EQ(n.conv(false), "(0)");
    }
    EXPECT_EQ(NumStr::fromBool(true), "(1)");
    EXPECT_EQ(NumStr::fromBool(false), "(0)");
}

TEST_F(NumStrTest, StaticConversionsUseTheLoadTimeDefaults) {
    EXPECT_EQ(NumStr::fromDouble(3.14159), "3.142");
    EXPECT_EQ(NumStr::fromDouble(-2.0), "-2.000");
    EXPECT_EQ(NumStr::fromInt(42), "42");
    EXPECT_EQ(NumStr::fromInt(-42), "-42");
    EXPECT_EQ(NumStr::fromInt(7UL), "7");
    // Width 0: texts come back unchanged, the tail unused.
    EXPECT_EQ(NumStr::fromString("abcdefgh", ".."), "abcdefgh");
    EXPECT_EQ(NumStr::fromString("", ".."), "");
}

TEST_F(NumStrTest, ObjectSettingsDoNotReachTheStaticConversions) {
    NumStr n;
    n.setPrecision(1);
    n.setWidth(9);
    n.setFormat(SCI);
    EXPECT_EQ(NumStr::fromDouble(1.5), "1.500");
    EXPECT_EQ(NumStr().conv(1.5), "1.500");
}

TEST_F(NumStrTest, IntegerVectorsTakeTheObjectPrecision) {
    const NumStr n;
    vectorLong vl{42, -1};
    EXPECT_EQ(n.conv(vl), (VectorString{"42.000", "-1.000"}));
    vectorUlong vu{3};
    EXPECT_EQ(n.conv(vu), (VectorString{"3.000"}));
    VectorDouble vd{0.5, 3.14159};
    EXPECT_EQ(NumStr(6, LEFT, 1, FIXED).conv(vd), (VectorString{"0.5   ", "3.1   "}));
    VectorDouble empty;
    EXPECT_TRUE(n.conv(empty).empty());
}

TEST_F(NumStrTest, MatricesKeepTheirShape) {
    const NumStr n(0, RIGHT, 1, FIXED);
    MatrixDouble md{{1, 2}, {}, {3}};
    EXPECT_EQ(n.conv(md), (MatrixString{{"1.0", "2.0"}, {}, {"3.0"}}));
    matrixLong ml{{-5}, {6, 7}};
    EXPECT_EQ(n.conv(ml), (MatrixString{{"-5.0"}, {"6.0", "7.0"}}));
    matrixUlong mu{{}, {8}};
    EXPECT_EQ(n.conv(mu), (MatrixString{{}, {"8.0"}}));
    MatrixDouble empty;
    EXPECT_TRUE(n.conv(empty).empty());
}

TEST_F(NumStrTest, PrintWritesTheSettings) {
    const struct {
        NumStr n;
        std::string expected;
    } cases[] = {
        {NumStr(),
         "Precisione      : 3\n"
         "Larghezza campo : 0\n"
         "Allineamento    : right\n"
         "Formato         : fixed\n"},
        {NumStr(12, LEFT, 5, SCI),
         "Precisione      : 5\n"
         "Larghezza campo : 12\n"
         "Allineamento    : left\n"
         "Formato         : scientific\n"},
        {NumStr(1, NO_ALIGN, 0, NO_FORMAT),
         "Precisione      : 0\n"
         "Larghezza campo : 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        std::ostringstream os;
        c.n.print(os);
        EXPECT_EQ(os.str(), c.expected);
    }
}
