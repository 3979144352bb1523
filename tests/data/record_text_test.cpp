#include "data/number_text.h"
#include "data/record_text.h"

#include <gtest/gtest.h>

using namespace veldro;

namespace {

// A tilt text built column by column, as the instrument lays it out.
std::string tiltText(const std::string& quality = " 95", const std::string& tiltVer = "  -7",
                     const std::string& hHor = " 12.5000", const std::string& status = "2312") {
    return "      1     12     25  19800 " + quality + " " + tiltVer + "    3 " + hHor +
           "  -15    4 " + status + " ";
}

} // namespace

TEST(RecordTextConversions, IntegersAllowBlanksBeforeButNotAfter) {
    EXPECT_EQ(convertInteger("  12"), 12);
    EXPECT_EQ(convertInteger("  -7"), -7);
    EXPECT_EQ(convertInteger("+5"), 5);
    EXPECT_FALSE(convertInteger("12  "));
    EXPECT_FALSE(convertInteger("    "));
    EXPECT_FALSE(convertInteger(""));
    EXPECT_FALSE(convertInteger(" 1A"));
    EXPECT_FALSE(convertInteger(" - 5"));
    EXPECT_FALSE(convertInteger("1.0"));
}

TEST(RecordTextConversions, DecimalsTakeAPointSignAndExponentWithBlanksAround) {
    EXPECT_EQ(convertDecimal(" 12.5000"), 12.5f);
    EXPECT_EQ(convertDecimal("12.5    "), 12.5f);
    EXPECT_EQ(convertDecimal(" -0.25  "), -0.25f);
    EXPECT_EQ(convertDecimal("+1.25e+1"), 12.5f);
    EXPECT_EQ(convertDecimal(" 1E2"), 100.0f);
    EXPECT_EQ(convertDecimal("    7"), 7.0f);
    EXPECT_FALSE(convertDecimal("12,5"));
    EXPECT_FALSE(convertDecimal("1 2.5"));
    EXPECT_FALSE(convertDecimal("        "));
    EXPECT_FALSE(convertDecimal("    inf "));
    EXPECT_FALSE(convertDecimal("1.2.3"));
    EXPECT_FALSE(convertDecimal("+-1.5"));
}

TEST(RecordTextConversions, DecimalsBeyondTheFloatRangeFail) {
    EXPECT_EQ(convertDecimal("-3.4e+38"), -3.4e38f);
    EXPECT_FALSE(convertDecimal("1.0E+039"));
    EXPECT_FALSE(convertDecimal("-1.0E+39"));
}

TEST(RecordTextConversions, TheFirstDecimalSwitchesTheSeparatorToAPoint) {
    setDecimalSeparator(',');
    convertDecimal("1.5");
    EXPECT_EQ(decimalSeparator(), '.');
}

TEST(RecordTextConversions, StatusNeedsExactlyFourHexDigits) {
    EXPECT_EQ(convertHexadecimal("80A3"), 0x80A3u);
    EXPECT_EQ(convertHexadecimal("00a3"), 0xA3u);
    EXPECT_FALSE(convertHexadecimal("12G3"));
    EXPECT_FALSE(convertHexadecimal(" 123"));
    EXPECT_FALSE(convertHexadecimal("123"));
}

TEST(RecordTextDecoding, TiltTextFillsTiltFieldsAndZeroesTheOthers) {
    const auto r = decodeTiltText(tiltText());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->profile, 12);
    EXPECT_EQ(r->station, 25);
    EXPECT_EQ(r->frequency, 19800);
    EXPECT_EQ(r->quality, 95);
    EXPECT_EQ(r->tiltVertical, -7);
    EXPECT_EQ(r->ellipticityVertical, 3);
    EXPECT_EQ(r->hHorizontal, 12.5f);
    EXPECT_EQ(r->tiltHorizontal, -15);
    EXPECT_EQ(r->ellipticityHorizontal, 4);
    EXPECT_EQ(r->status, 0x2312);
    EXPECT_EQ(r->resistivity, 0.0f);
    EXPECT_EQ(r->ignored, 0);
}

TEST(RecordTextDecoding, AnyBadColumnRejectsTheRecord) {
    EXPECT_FALSE(decodeTiltText(tiltText("   "))); // blank quality
    EXPECT_FALSE(decodeTiltText(tiltText("95 "))); // trailing blank
    EXPECT_FALSE(decodeTiltText(tiltText(" 95", "12  ")));
    EXPECT_FALSE(decodeTiltText(tiltText(" 95", "  -7", " 12,5000")));
    EXPECT_FALSE(decodeTiltText(tiltText(" 95", "  -7", " 12.5000", "12G3")));
    EXPECT_FALSE(decodeTiltText(tiltText().substr(0, 66)));
}

TEST(RecordTextDecoding, WideColumnsKeepTheirLow16Bits) {
    auto text = tiltText();
    text.replace(8, 6, " 70000"); // profile 70000 = 0x11170
    const auto r = decodeTiltText(text);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->profile, 0x1170);
}

TEST(RecordTextDecoding, ResistivityTextWithStatus80A3IsResistivityMode) {
    const std::string text =
        "      2     12     50  23400  80 1234.500   45     3.25   0.7500 80A3 ";
    ASSERT_EQ(text.size(), kResistivityTextLength);
    const auto r = decodeResistivityText(text);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->resistivity, 1234.5f);
    EXPECT_EQ(r->phase, 45);
    EXPECT_EQ(r->eField, 3.25f);
    EXPECT_EQ(r->hField, 0.75f);
    EXPECT_TRUE(r->resistivityMode());
    EXPECT_EQ(r->tiltVertical, 0);
    EXPECT_EQ(r->hHorizontal, 0.0f);
}

TEST(RecordTextDecoding, TheLineEndAfterTheTextIsNotRead) {
    EXPECT_TRUE(decodeRecordText('V', tiltText() + "\r\n"));
    EXPECT_TRUE(decodeRecordText('V', tiltText() + "xy"));
    EXPECT_FALSE(decodeRecordText('E', tiltText()));
}

TEST(RecordTextEncoding, EncodedTextsDecodeToTheSameRecord) {
    MeasurementRecord tilt;
    tilt.profile = -12;
    tilt.station = 32767;
    tilt.frequency = 19800;
    tilt.quality = 100;
    tilt.tiltVertical = -999;
    tilt.ellipticityVertical = 45;
    tilt.hHorizontal = 123.45f;
    tilt.tiltHorizontal = -90;
    tilt.ellipticityHorizontal = 7;
    tilt.status = 0x2312;
    const std::string tiltLine = encodeRecordText(tilt, 17);
    EXPECT_EQ(tiltLine.size(), kTiltTextLength);
    EXPECT_EQ(decodeBruLine(tiltLine), tilt);

    MeasurementRecord res;
    res.profile = 3;
    res.station = 100;
    res.frequency = 23400;
    res.quality = 9;
    res.resistivity = 98765.4f;
    res.phase = -45;
    res.eField = 0.01f;
    res.hField = 12.34f;
    res.status = 0x8000;
    const std::string resLine = encodeRecordText(res);
    EXPECT_EQ(resLine.size(), kResistivityTextLength);
    EXPECT_EQ(headerLetterOf(res), 'R');
    const auto back = decodeBruLine(resLine);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->resistivity, 98765.4f);
    EXPECT_EQ(back->eField, 0.01f);
}
