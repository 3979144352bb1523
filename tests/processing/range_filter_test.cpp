#include "data/number_text.h"
#include "data_set_test.h"
#include "processing/range_filter.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <limits>

using namespace veldro;
using namespace veldro::test;

namespace {

MeasurementRecord withQuality(int quality, bool kept = true) {
    MeasurementRecord r = record({.kept = kept});
    r.quality = static_cast<std::int16_t>(quality);
    return r;
}

MeasurementRecord resistivity(float rho) {
    MeasurementRecord r = record({.profile = 1, .station = 1, .resistivity = true});
    r.resistivity = rho;
    return r;
}

// Confirms the dialog as it opened.
Ranges confirmUnchanged(const DataSet& d) {
    RecordingMessages messages;
    Ranges ranges{};
    EXPECT_EQ(badRangeBox(rangeBoxTexts(scanRanges(d.store, d.rows)), ranges, messages),
              std::nullopt);
    EXPECT_TRUE(messages.shown.empty());
    return ranges;
}

class SeparatorGuard {
public:
    explicit SeparatorGuard(char separator) : saved_(decimalSeparator()) {
        setDecimalSeparator(separator);
    }
    ~SeparatorGuard() { setDecimalSeparator(saved_); }

private:
    char saved_;
};

DataSet mixedSurvey() {
    DataSet d{withQuality(40), resistivity(152.25f), withQuality(97)};
    MeasurementRecord h = record({.tilt = -12});
    h.hHorizontal = 12.345678f;
    d.append(h);
    return d;
}

} // namespace

TEST(RangeScan, TakesExtremesOfKeptRowsPerMode) {
    DataSet d = mixedSurvey();
    d.append(withQuality(99, false));
    const RangeScan scan = scanRanges(d.store, d.rows);
    EXPECT_TRUE(scan.tiltRows);
    EXPECT_TRUE(scan.resistivityRows);
    EXPECT_EQ(scan.ranges[2 * RangeQuality], 0);
    EXPECT_EQ(scan.ranges[2 * RangeQuality + 1], 97); // the ignored 99 does not count
    EXPECT_EQ(scan.ranges[2 * RangeTiltVertical], -12);
    EXPECT_EQ(scan.ranges[2 * RangeResistivity], 152.25f);
    EXPECT_EQ(scan.ranges[2 * RangeResistivity + 1], 152.25f);
}

TEST(RangeScan, BoxesShowFourDecimalsOrZeroForAModeWithoutKeptRows) {
    DataSet d{withQuality(40), withQuality(97)};
    const auto texts = rangeBoxTexts(scanRanges(d.store, d.rows));
    EXPECT_EQ(texts[0], "40.0000");
    EXPECT_EQ(texts[1], "97.0000");
    EXPECT_EQ(texts[2 * RangeTiltVertical], "0.0000");
    EXPECT_EQ(texts[2 * RangeResistivity], "0");
    EXPECT_EQ(texts[2 * RangeHField + 1], "0");
    EXPECT_FALSE(scanRanges(d.store, d.rows).enabled(RangeResistivity));
}

// A value that is not finite cannot be typed back into a box: the scan passes
// over it, so confirming unchanged still reads.
TEST(RangeScan, PassesOverValuesThatAreNotFinite) {
    DataSet d{resistivity(150), resistivity(std::numeric_limits<float>::quiet_NaN()),
              resistivity(std::numeric_limits<float>::infinity()),
              resistivity(-std::numeric_limits<float>::infinity()), resistivity(160)};
    const RangeScan scan = scanRanges(d.store, d.rows);
    EXPECT_EQ(scan.ranges[2 * RangeResistivity], 150);
    EXPECT_EQ(scan.ranges[2 * RangeResistivity + 1], 160);
    confirmUnchanged(d);
}

TEST(RangeFilter, ConfirmingUnchangedIgnoresNothing) {
    DataSet d = mixedSurvey();
    EXPECT_EQ(applyRangeFilter(d.store, confirmUnchanged(d), d.rows), 0);
}

TEST(RangeFilter, ConfirmingUnchangedWorksWithACommaSeparator) {
    SeparatorGuard comma(',');
    DataSet d = mixedSurvey();
    EXPECT_EQ(rangeBoxTexts(scanRanges(d.store, d.rows))[2 * RangeResistivity], "152,2500");
    EXPECT_EQ(applyRangeFilter(d.store, confirmUnchanged(d), d.rows), 0);
}

TEST(RangeFilter, NoKeptRowShowsTheLargestFloatsAndChangesNothing) {
    DataSet d{withQuality(5, false)};
    const RangeScan scan = scanRanges(d.store, d.rows);
    EXPECT_EQ(scan.ranges[0], std::numeric_limits<float>::max());
    EXPECT_EQ(scan.ranges[1], -std::numeric_limits<float>::max());
    EXPECT_EQ(applyRangeFilter(d.store, confirmUnchanged(d), d.rows), 0);
    EXPECT_FALSE(d.recordKept(0));
}

TEST(RangeFilter, ToleranceAtTheEdges) {
    DataSet d{withQuality(51), withQuality(49)};
    Ranges ranges = confirmUnchanged(d);
    ranges[0] = 49.0005f; // 49 lies just within 0.0005 below
    ranges[1] = 50.9995f; // 51 lies just within 0.0005 above
    EXPECT_EQ(applyRangeFilter(d.store, ranges, d.rows), 0);
    ranges[0] = 49.0006f;
    ranges[1] = 50.9994f;
    EXPECT_EQ(applyRangeFilter(d.store, ranges, d.rows), 2);
}

TEST(RangeFilter, ValueEqualToTheMaximumStaysBeyondTheToleranceGoes) {
    DataSet d{withQuality(80), withQuality(81)};
    Ranges ranges = confirmUnchanged(d);
    ranges[1] = 80;
    applyRangeFilter(d.store, ranges, d.rows);
    EXPECT_TRUE(d.recordKept(0));
    EXPECT_FALSE(d.recordKept(1));
}

TEST(RangeFilter, ResistivityRangeTestsResistivityRowsOnly) {
    DataSet d = mixedSurvey();
    Ranges ranges = confirmUnchanged(d);
    ranges[2 * RangeResistivity + 1] = 100;
    ranges[2 * RangeTiltVertical] = -12; // the tilt row at -12 passes
    EXPECT_EQ(applyRangeFilter(d.store, ranges, d.rows), 1);
    EXPECT_FALSE(d.recordKept(1));
    EXPECT_TRUE(d.recordKept(3));
}

TEST(RangeFilter, DisabledZeroBoxesTestNoRowOfTheOtherMode) {
    DataSet d{withQuality(40), withQuality(60)}; // tilt rows only: resistivity boxes read "0"
    EXPECT_EQ(applyRangeFilter(d.store, confirmUnchanged(d), d.rows), 0);
}

TEST(RangeFilter, IgnoredRowsAreNeverTestedNorKept) {
    DataSet d{withQuality(40), withQuality(1000, false)};
    Ranges ranges = confirmUnchanged(d);
    EXPECT_EQ(applyRangeFilter(d.store, ranges, d.rows), 0);
    EXPECT_FALSE(d.recordKept(1));
    d.rows.entries[0].kept = false; // the rows, not the records, say what is tested
    ranges[0] = 90;
    EXPECT_EQ(applyRangeFilter(d.store, ranges, d.rows), 0);
}

TEST(RangeBoxes, AnInvalidBoxSaysSoAfterStoringTheBoxesBeforeIt) {
    std::array<std::string, 2 * kRangePairCount> texts;
    texts.fill("1");
    texts[0] = "7.5";
    texts[3] = "abc";
    Ranges ranges{};
    RecordingMessages messages;
    EXPECT_EQ(badRangeBox(texts, ranges, messages), 3);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Please enter valid numeric value ");
    EXPECT_EQ(messages.shown[0].caption, "Max value of Tilt.ver.(%)");
    EXPECT_EQ(ranges[0], 7.5f);
    EXPECT_EQ(ranges[2], 1.0f);
    EXPECT_EQ(ranges[4], 0.0f);
}

TEST(RangeBoxes, PointTextIsRefusedWhileACommaIsInForce) {
    SeparatorGuard comma(',');
    std::array<std::string, 2 * kRangePairCount> texts;
    texts.fill("1.5");
    Ranges ranges{};
    RecordingMessages messages;
    EXPECT_EQ(badRangeBox(texts, ranges, messages), 0);
    EXPECT_EQ(messages.shown.size(), 1u);
}

// A minimum above its maximum would ignore every row the pair tests; only the
// pairs the kept rows reach count, and a scan without kept rows has none.
TEST(RangeBoxes, AReversedRangeIsFoundWhereKeptRowsAreTested) {
    const DataSet tilt{withQuality(50), withQuality(80)};
    RangeScan scan = scanRanges(tilt.store, tilt.rows);
    EXPECT_EQ(reversedRange(scan, scan.ranges), std::nullopt);
    Ranges ranges = scan.ranges;
    ranges[0] = 95;
    ranges[1] = 72;
    EXPECT_EQ(reversedRange(scan, ranges), RangeQuality);
    EXPECT_EQ(reversedRangeText(RangeQuality),
              "Q (%): the minimum is above the maximum, which would ignore every row it tests.");
    ranges = scan.ranges;
    ranges[2 * RangeResistivity] = 10; // no kept resistivity-mode row: never tested
    EXPECT_EQ(reversedRange(scan, ranges), std::nullopt);
    const DataSet noneKept{withQuality(50, false)};
    scan = scanRanges(noneKept.store, noneKept.rows);
    EXPECT_EQ(reversedRange(scan, scan.ranges), std::nullopt);
}
