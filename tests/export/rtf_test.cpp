#include "export/rtf.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace veldro {
// Runs as a failed check shows them.
void PrintTo(const StyledText& runs, std::ostream* out) {
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const TextStyle& s = runs.run(r).style;
        *out << "\n  \"" << runs.run(r).text << "\" " << s.font.text() << ' ' << s.halfPoints
             << (s.bold ? " b" : "") << (s.italic ? " i" : "") << (s.underline ? " ul" : "");
        if (s.colour)
            *out << " rgb " << +s.colour->red << ',' << +s.colour->green << ',' << +s.colour->blue;
    }
}
} // namespace veldro

namespace {

TextStyle style(std::string font, int halfPoints) {
    TextStyle s;
    s.font = std::move(font);
    s.halfPoints = halfPoints;
    return s;
}

TextStyle bold(TextStyle s) {
    s.bold = true;
    return s;
}

TextStyle italic(TextStyle s) {
    s.italic = true;
    return s;
}

TextStyle underlined(TextStyle s) {
    s.underline = true;
    return s;
}

TextStyle coloured(TextStyle s, Rgb colour) {
    s.colour = colour;
    return s;
}

const TextStyle kCourier = style("Courier New", 20);
const TextStyle kNavy = coloured(kCourier, {0, 0, 128});

} // namespace

TEST(RtfReader, WordProcessorFileGivesItsStyledRuns) {
    const StyledText expected{
        {"Survey ", kCourier},
        {"North grid", bold(kCourier)},
        {", ", kCourier},
        {"16 kHz", italic(kCourier)},
        {"\n", kCourier},
        {"Tilt 12\xC2\xB0 H 3.5 \xC2\xB5"
         "A/m\xE2\x80\xA8Q 97\tok\n",
         coloured(style("Arial", 24), {200, 16, 32})},
        {"Stra\xC3\x9F"
         "e \xE2\x82\xAC days \xF0\x9F\x98\x80",
         underlined(kNavy)},
        {" end\n", kNavy},
    };
    EXPECT_EQ(readRtf(goldenText("rtf_word_processor.rtf")), expected);
}

TEST(RtfReader, MalformedInputGivesWhatCanBeRead) {
    struct Case {
        const char* name;
        std::string rtf;
        StyledText expected;
    };
    const TextStyle plain = style("", 24);
    const std::vector<Case> cases{
        {"stray closing braces", "{\\rtf1 {\\b a}}} b}", {{"a", bold(plain)}, {" b", plain}}},
        {"unclosed groups",
         "{\\rtf1 {\\i a{\\b b",
         {{"a", italic(plain)}, {"b", bold(italic(plain))}}},
        {"cut in the font table", "{\\rtf1{\\fonttbl{\\f0 Ari", {}},
        {"cut in an escape", "{\\rtf1 a\\'b", {{"a", plain}}},
        {"cut after a backslash", "{\\rtf1 a\\", {{"a", plain}}},
        {"huge size", "{\\rtf1\\fs99999999999999 a}", {{"a", style("", kMaxHalfPoints)}}},
        {"zero size", "{\\rtf1\\fs0 a}", {{"a", plain}}},
        {"colour past the table",
         "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\cf9 a}",
         {{"a", plain}}},
        {"binary longer than the file", "{\\rtf1 a{\\pict\\bin99999 }", {{"a", plain}}},
        {"control characters", "{\\rtf1 a\x01\\u8?b\x7F}", {{"ab", plain}}},
        {"lone surrogate", "{\\rtf1 \\u-10179?a}", {{"a", plain}}},
        {"deep nesting",
         "{\\rtf1 " + std::string(100000, '{') + "a" + std::string(100000, '}'),
         {{"a", plain}}},
    };
    for (const Case& c : cases) EXPECT_EQ(readRtf(c.rtf), c.expected) << c.name;
}

TEST(RtfWriter, WritesTablesEscapesAndStyleChanges) {
    const StyledText runs{
        {"a\xC2\xB0{b}\\\n", kCourier},
        {"\xE2\x82\xAC\xCE\xA9\t", bold(coloured(style("Ar;al", 24), {255, 0, 0}))},
    };
    EXPECT_EQ(writeRtf(runs), "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n"
                              "{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}"
                              "{\\f1\\fnil\\fcharset0 Ar\\'3bal;}}\r\n"
                              "{\\colortbl;\\red255\\green0\\blue0;}\r\n"
                              "\\pard\\plain\\f0\\fs20 a\\'b0\\{b\\}\\\\\\par\r\n"
                              "\\plain\\f1\\fs24\\b\\cf1 \\'80\\u937?\\tab }\r\n");
}

TEST(RtfWriter, RunsReadBackUnchanged) {
    const StyledText runs{
        {"Report\n", bold(style("Courier New", 20))},
        {"  Tilt.hor(\xC2\xB0) : -4 ", style("Courier New", 20)},
        {"{braces} \\ back\xE2\x80\xA8slash\t", italic(underlined(kNavy))},
        {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x98\x80\n", style("DejaVu Sans", 31)},
        {"x", coloured(style("Caf\xC3\xA9 Sans", 2), {1, 2, 3})},
        {"y", coloured(style("Caf\xC3\xA9 Sans", 2), {1, 2, 4})},
        {"z", style("\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91 \xF0\x9F\x98\x80", 24)},
    };
    EXPECT_EQ(readRtf(writeRtf(runs)), runs);
}

TEST(RtfReader, OnlyTextStartingWithTheRtfGroupIsRichText) {
    EXPECT_TRUE(isRtf("{\\rtf1\\ansi}"));
    EXPECT_FALSE(isRtf(" {\\rtf1}"));
    EXPECT_FALSE(isRtf("{\\rt"));
    EXPECT_FALSE(isRtf("Report\r\n"));
}
