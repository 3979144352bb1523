#include "data/cp1252.h"
#include "data/file_names.h"
#include "data/number_text.h"

#include <gtest/gtest.h>

using namespace veldro;

namespace {

class NumberText : public ::testing::Test {
protected:
    void SetUp() override { setDecimalSeparator('.'); }
    void TearDown() override { setDecimalSeparator('.'); }
};

} // namespace

TEST_F(NumberText, PatternsRoundHalvesAwayFromZero) {
    EXPECT_EQ(formatPattern(2.5, 0), "3");
    EXPECT_EQ(formatPattern(-2.5, 0), "-3");
    EXPECT_EQ(formatPattern(0.125, 2), "0.13");
    EXPECT_EQ(formatPattern(-0.125, 2), "-0.13");
    EXPECT_EQ(formatPattern(1.00005, 4), "1.0001"); // not a tie in binary: just above
    EXPECT_EQ(formatPattern(12.5, 2), "12.50");
    EXPECT_EQ(formatPattern(1234.5, 4), "1234.5000");
}

TEST_F(NumberText, PatternsJudgeTheStoredFloatNotItsShortText) {
    // 2.675f is 2.67499995..., 0.1f is 0.100000001...
    EXPECT_EQ(formatPattern(2.675f, 2), "2.67");
    EXPECT_EQ(formatPattern(0.1f, 2), "0.10");
    EXPECT_EQ(formatPattern(1e6f + 0.5f, 0), "1000001");
}

TEST_F(NumberText, NoThousandsSeparatorAndNoSignOnZero) {
    EXPECT_EQ(formatPattern(1234567.0, 2), "1234567.00");
    EXPECT_EQ(formatPattern(-0.001, 2), "0.00");
    EXPECT_EQ(formatPattern(-0.0, 0), "0");
    EXPECT_EQ(formatPattern(-0.4, 0), "0");
}

TEST_F(NumberText, PatternsUseTheProcessWideSeparatorButPrintfFormatsDoNot) {
    setDecimalSeparator(',');
    EXPECT_EQ(formatPattern(3.25, 2), "3,25");
    EXPECT_EQ(formatFixedPoint(3.25, 9, 1), "      3.3");
    EXPECT_EQ(formatFixedPoint(-3.25, 4, 1), "-3.3");
    EXPECT_EQ(formatFixedPoint(123456.0, 4, 1), "123456.0");
}

TEST_F(NumberText, IntegersPadLikePrintf) {
    std::string out;
    appendInteger(out, 42, 7);
    EXPECT_EQ(out, "     42");
    out.clear();
    appendInteger(out, 7, 4, true);
    EXPECT_EQ(out, "0007");
    out.clear();
    appendInteger(out, -7, 4, true);
    EXPECT_EQ(out, "-007");
    out.clear();
    appendInteger(out, -32768);
    EXPECT_EQ(out, "-32768");
}

TEST_F(NumberText, UserNumbersAreReadWithTheCurrentSeparatorOnly) {
    double value = 0;
    setDecimalSeparator(',');
    EXPECT_TRUE(parseUserNumber(" 1,5 ", value));
    EXPECT_EQ(value, 1.5);
    EXPECT_FALSE(parseUserNumber("1.5", value));
    setDecimalSeparator('.');
    EXPECT_TRUE(parseUserNumber("-0.0005", value));
    EXPECT_EQ(value, -0.0005);
    EXPECT_FALSE(parseUserNumber("", value));
    EXPECT_FALSE(parseUserNumber("1.5x", value));
    EXPECT_FALSE(parseUserNumber("nan", value));
}

TEST(Cp1252, DegreeAndMicroAreSingleBytes) {
    EXPECT_EQ(utf8ToCp1252("Ph.E/H (\u00B0)"), "Ph.E/H (\xB0)");
    EXPECT_EQ(utf8ToCp1252("E (\u00B5V/m)"), "E (\xB5V/m)");
    EXPECT_EQ(cp1252ToUtf8("\xB0\xB5"), "\u00B0\u00B5");
}

TEST(Cp1252, TheHighControlRangeMapsBothWays) {
    EXPECT_EQ(cp1252ToUtf8("\x80\x99"), "\u20AC\u2122");
    EXPECT_EQ(utf8ToCp1252("\u20AC\u2122"), "\x80\x99");
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(one)), one) << byte;
    }
}

TEST(Cp1252, UnmappableAndBrokenTextBecomesQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("\u4E2D"), "?");
    EXPECT_EQ(utf8ToCp1252("a\xC3"), "a?");
    EXPECT_EQ(utf8ToCp1252("\xFF"
                           "b"),
              "?b");
}

TEST(FileNames, TheExtensionOfTheFileNameOnlyIsCut) {
    EXPECT_EQ(dataFileNameFor("/survey/line1.txt"), "/survey/line1.vlf");
    EXPECT_EQ(dataFileNameFor("/survey/line1"), "/survey/line1.vlf");
    EXPECT_EQ(dataFileNameFor("/data.old/line1"), "/data.old/line1.vlf");
    EXPECT_EQ(dataFileNameFor("/data.old/a.b.c"), "/data.old/a.b.vlf");
    EXPECT_EQ(dataFileNameFor("line1"), "line1.vlf");
    EXPECT_EQ(dataFileNameFor("/home/u/.hidden"), "/home/u/.hidden.vlf");
    EXPECT_EQ(withoutExtension("report.txt"), "report");
}

TEST(FileNames, DataFileExtensionsContainVlfInAnyCase) {
    EXPECT_TRUE(hasDataFileExtension("a/b.vlf"));
    EXPECT_TRUE(hasDataFileExtension("a/b.VlF"));
    EXPECT_TRUE(hasDataFileExtension("a/b.vlfx"));
    EXPECT_FALSE(hasDataFileExtension("a/b.txt"));
    EXPECT_FALSE(hasDataFileExtension("a.vlf/b"));
    EXPECT_FALSE(hasDataFileExtension("vlf"));
}

TEST(FileNames, SplitGroupsAreNamedAfterProfileModeAndFirstRow) {
    EXPECT_EQ(splitGroupFileName("/d/survey/", 12, false, 36), "/d/survey/Profile 12_INC_37.vlf");
    EXPECT_EQ(splitGroupFileName("/d/survey/", 1, true, 2), "/d/survey/Profile 1_RES_3.vlf");
}
