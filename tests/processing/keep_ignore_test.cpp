#include "data_set_test.h"
#include "processing/keep_ignore.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

MeasurementRecord withOverload(int channel) {
    MeasurementRecord r = record({});
    r.status = makeStatus(0, channel == 1, 1, channel == 2, 2, channel == 3, 1, false);
    return r;
}

} // namespace

TEST(KeepIgnore, SetsRowsAndRecordsAlike) {
    DataSet d{record({}), record({}), record({})};
    setRowsKept(d.store, d.rows, {0, 2}, false);
    EXPECT_FALSE(d.rows.kept(0));
    EXPECT_TRUE(d.rows.kept(1));
    EXPECT_FALSE(d.rows.kept(2));
    EXPECT_FALSE(d.recordKept(0));
    EXPECT_TRUE(d.recordKept(1));
    EXPECT_FALSE(d.recordKept(2));
    setRowsKept(d.store, d.rows, {0, 1}, true); // row 1 already kept stays kept
    EXPECT_TRUE(d.rows.kept(0));
    EXPECT_TRUE(d.rows.kept(1));
    EXPECT_EQ(d.rows.keptCount(), 2);
}

TEST(KeepIgnore, RowsBeyondTheListAreNotTouched) {
    DataSet d{record({})};
    setRowsKept(d.store, d.rows, {-1, 1, 5}, false);
    EXPECT_TRUE(d.rows.kept(0));
    EXPECT_EQ(d.rows.size(), 1);
}

TEST(KeepIgnore, ToggleInvertsEachSelectedRow) {
    DataSet d{record({}), record({.kept = false}), record({})};
    toggleRows(d.store, d.rows, {0, 1});
    EXPECT_FALSE(d.rows.kept(0));
    EXPECT_TRUE(d.rows.kept(1));
    EXPECT_TRUE(d.rows.kept(2));
    EXPECT_FALSE(d.recordKept(0));
    EXPECT_TRUE(d.recordKept(1));
}

TEST(IgnoreOverload, IgnoresKeptRowsWithAnyOverloadedChannel) {
    DataSet d{withOverload(0), withOverload(2), withOverload(1), withOverload(3)};
    EXPECT_EQ(ignoreOverloadData(d.store, d.rows), 3);
    EXPECT_TRUE(d.rows.kept(0));
    EXPECT_FALSE(d.rows.kept(1));
    EXPECT_FALSE(d.rows.kept(2));
    EXPECT_FALSE(d.rows.kept(3));
    EXPECT_FALSE(d.recordKept(1));
}

TEST(IgnoreOverload, FirstBringsRecordsInLineWithRowsToggledByHand) {
    DataSet d{withOverload(0), withOverload(0)};
    d.rows.entries[0].kept = false; // the single-click toggle changes the row only
    d.store.record(1).ignored = 1;  // a record that lags behind its kept row
    EXPECT_EQ(ignoreOverloadData(d.store, d.rows), 0);
    EXPECT_FALSE(d.rows.kept(0));
    EXPECT_FALSE(d.recordKept(0));
    EXPECT_TRUE(d.rows.kept(1));
    EXPECT_TRUE(d.recordKept(1));
}

TEST(IgnoreOverload, WritesTheImageWithEveryRecord) {
    DataSet d{withOverload(1), withOverload(0)};
    ignoreOverloadData(d.store, d.rows);
    ASSERT_EQ(d.store.image.size(), 1024u + 2 * 44u);
    EXPECT_EQ(d.store.image[1024], 1); // `ignored` of the first record, little-endian
    EXPECT_EQ(d.store.image[1024 + 44], 0);
}

TEST(DeleteIgnored, KeepsTheKeptRecordsInOrderAndRenumbers) {
    DataSet d{record({.station = 1}), record({.station = 2, .kept = false}),
              record({.station = 3})};
    RecordingMessages messages;
    deleteIgnoredData(d.store, d.rows, messages);
    ASSERT_EQ(d.store.count(), 2);
    EXPECT_EQ(d.store.record(0).station, 1);
    EXPECT_EQ(d.store.record(1).station, 3);
    ASSERT_EQ(d.rows.size(), 2);
    EXPECT_EQ(d.rows.entries[1].caption, "2");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(DeleteIgnored, EveryRowIgnoredLeavesAnEmptyDataSet) {
    DataSet d{record({.kept = false}), record({.kept = false})};
    RecordingMessages messages;
    deleteIgnoredData(d.store, d.rows, messages);
    EXPECT_EQ(d.store.count(), 0);
    EXPECT_EQ(rowCountStatus(d.rows.keptCount(), d.rows.size()), "Data :0 / 0");
}

TEST(DeleteIgnored, EveryRowKeptKeepsTheSameRecords) {
    DataSet d{record({.station = 5}), record({.station = 6})};
    RecordingMessages messages;
    deleteIgnoredData(d.store, d.rows, messages);
    ASSERT_EQ(d.store.count(), 2);
    EXPECT_EQ(d.store.record(1).station, 6);
}
