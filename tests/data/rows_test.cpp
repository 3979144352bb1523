#include "data/measurement_store.h"
#include "data/number_text.h"
#include "data/rows.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;

namespace {

MeasurementStore goldenStore() {
    MeasurementStore store;
    store.image = veldro::test::goldenHex("three_records.vlf.hex");
    veldro::test::RecordingMessages messages;
    store.loadFromImage(messages);
    return store;
}

} // namespace

TEST(Rows, RowsCarryNumbersAndKeptFlagsOfTheRecords) {
    const MeasurementStore store = goldenStore();
    const RowList rows = buildRowList(store);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.entries[0].caption, "1");
    EXPECT_EQ(rows.entries[2].caption, "3");
    EXPECT_TRUE(rows.kept(0));
    EXPECT_FALSE(rows.kept(1));
    EXPECT_TRUE(rows.kept(2));
    EXPECT_EQ(rowCountStatus(rows.keptCount(), rows.size()), "Data :2 / 3");
}

TEST(Rows, CellTextsFollowTheModeAndPatterns) {
    setDecimalSeparator('.');
    const MeasurementStore store = goldenStore();
    const std::string expected = veldro::test::goldenText("three_records.table.txt");
    std::string lines;
    for (int i = 0; i < store.count(); ++i) {
        std::string line;
        for (int column = 0; column < kColumnCount; ++column) {
            if (column) line += '\t';
            appendCellText(line, store.record(i), column);
        }
        lines += line + '\n';
    }
    // The golden table has two leading columns (kept mark, row number) and a header.
    std::string expectedCells;
    std::size_t start = expected.find('\n') + 1;
    while (start < expected.size()) {
        const std::size_t end = expected.find('\n', start);
        std::string line = expected.substr(start, end - start);
        line = line.substr(line.find('\t', line.find('\t') + 1) + 1);
        expectedCells += line + '\n';
        start = end + 1;
    }
    EXPECT_EQ(lines, expectedCells);
}

TEST(Rows, FloatCellsUseTheProcessWideSeparator) {
    setDecimalSeparator(',');
    const MeasurementStore store = goldenStore();
    EXPECT_EQ(cellText(store.record(1), ColResistivity), "1234,5000");
    EXPECT_EQ(cellText(store.record(0), ColHHorizontal), "12,50");
    setDecimalSeparator('.');
}

TEST(Rows, ARebuildStopsWhenThePumpSaysSo) {
    MeasurementStore store;
    for (int i = 0; i < 1000; ++i) store.append(MeasurementRecord{});
    veldro::test::RecordingProgress progress;
    int pumps = 0;
    const RowList all = buildRowList(store, &progress, [&](int) { return ++pumps > 0; });
    EXPECT_EQ(all.size(), 1000);
    EXPECT_EQ(progress.maximum, 1000);
    EXPECT_EQ(pumps, 48); // rows 0, 21, ..., 987: every (1000 + 50) / 50 = 21 rows
    const RowList part = buildRowList(store, nullptr, [](int index) { return index < 100; });
    EXPECT_EQ(part.size(), 106); // the row at which the pump said stop is kept
}

TEST(Rows, RowFlagsCopyIntoTheRecords) {
    MeasurementStore store = goldenStore();
    RowList rows = buildRowList(store);
    rows.entries[0].kept = false;
    rows.entries[1].kept = true;
    copyRowFlagsToStore(rows, store);
    EXPECT_EQ(store.record(0).ignored, 1);
    EXPECT_EQ(store.record(1).ignored, 0);
}
