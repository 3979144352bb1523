#include "data/bru_import.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/number_text.h"
#include "data/record_text.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using veldro::test::RecordingMessages;
using veldro::test::RecordingProgress;
using veldro::test::TempDir;

namespace {

const std::string kRejectionTail = " points rejected\nPlease edit BRU file to correct bad records";

std::string validTiltLine(int station) {
    MeasurementRecord r;
    r.profile = 3;
    r.station = static_cast<std::int16_t>(station);
    return encodeRecordText(r);
}

} // namespace

TEST(ImportBru, EveryKindOfBadLineIsCountedAsRejected) {
    setDecimalSeparator(',');
    MeasurementStore store;
    RecordingMessages messages;
    RecordingProgress progress;
    const auto result =
        ImportBru(store, std::string(VELDRO_GOLDEN_DIR) + "/mixed.bru", &progress, messages);
    // 12 lines: the tilt, resistivity, lower-case status and exponent lines decode.
    EXPECT_EQ(result.lines, 12);
    ASSERT_EQ(store.count(), 4);
    EXPECT_EQ(store.record(0).hHorizontal, 12.5f);
    EXPECT_TRUE(store.record(1).resistivityMode());
    EXPECT_EQ(store.record(1).resistivity, 1234.5f);
    EXPECT_EQ(store.record(2).tiltVertical, 12);
    EXPECT_EQ(store.record(2).status, 0x00A3);
    EXPECT_EQ(store.record(3).hHorizontal, 12.5f);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "8" + kRejectionTail);
    // The empty line does not move the bar; the decimal conversions set '.'.
    EXPECT_EQ(progress.maximum, 12);
    EXPECT_EQ(progress.current, 11);
    EXPECT_EQ(decimalSeparator(), '.');
}

TEST(ImportBru, ValidLinesWithAFinalLineBreakGiveNoMessage) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 100; ++i) text += validTiltLine(i) + "\r\n";
    writeFileAtomically(dir.file("a.bru"), text);
    MeasurementStore store;
    RecordingMessages messages;
    RecordingProgress progress;
    ImportBru(store, dir.file("a.bru"), &progress, messages);
    EXPECT_EQ(store.count(), 100);
    EXPECT_EQ(store.record(99).station, 99);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(progress.current, progress.maximum);
}

TEST(ImportBru, EmptyLinesBetweenRecordsAreCounted) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 10; ++i) text += (i ? "\n" : "") + validTiltLine(i) + "\n";
    writeFileAtomically(dir.file("a.bru"), text);
    MeasurementStore store;
    RecordingMessages messages;
    ImportBru(store, dir.file("a.bru"), nullptr, messages);
    EXPECT_EQ(store.count(), 10);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "9" + kRejectionTail);
}

TEST(ImportBru, ImportReplacesTheStoresRecords) {
    TempDir dir;
    writeFileAtomically(dir.file("a.bru"), validTiltLine(5) + "\r\n");
    MeasurementStore store;
    store.append(MeasurementRecord{});
    store.append(MeasurementRecord{});
    RecordingMessages messages;
    ImportBru(store, dir.file("a.bru"), nullptr, messages);
    ASSERT_EQ(store.count(), 1);
    EXPECT_EQ(store.record(0).station, 5);
}

TEST(ImportBru, LinesPastTheCapacityAreRejectedWithTheCapacityWarning) {
    TempDir dir;
    std::string text;
    const std::string line = validTiltLine(1) + "\r\n";
    for (int i = 0; i < 64003; ++i) text += line;
    writeFileAtomically(dir.file("big.bru"), text);
    MeasurementStore store;
    RecordingMessages messages;
    const auto result = ImportBru(store, dir.file("big.bru"), nullptr, messages);
    EXPECT_EQ(store.count(), 64000);
    EXPECT_EQ(result.overCapacity, 3);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "64000 data points max kept");
    EXPECT_EQ(messages.shown[1].text, "3" + kRejectionTail);
}

TEST(ImportBru, AnUnreadableFileLeavesAnEmptyStoreAndThrows) {
    MeasurementStore store;
    store.append(MeasurementRecord{});
    RecordingMessages messages;
    EXPECT_THROW(ImportBru(store, "/nonexistent/file.bru", nullptr, messages), FileError);
    EXPECT_EQ(store.count(), 0);
}
