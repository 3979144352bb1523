#include "data/file_io.h"
#include "data/measurement_store.h"
#include "records.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace veldro;
using veldro::test::goldenHex;
using veldro::test::record;
using veldro::test::RecordingMessages;
using veldro::test::RecordingProgress;
using veldro::test::TempDir;

namespace {

MeasurementStore storeOf(const std::vector<MeasurementRecord>& records) {
    MeasurementStore store;
    for (const auto& r : records) store.append(r);
    return store;
}

// An image of `records` copies of one 44-byte pattern after a comment block.
std::vector<std::uint8_t> imageOf(std::size_t records, std::size_t extraBytes = 0) {
    std::vector<std::uint8_t> image(1024 + records * 44 + extraBytes, 0);
    image[0] = 'C';
    for (std::size_t i = 0; i < records; ++i)
        image[1024 + i * 44 + 4] = static_cast<std::uint8_t>(i);
    return image;
}

} // namespace

TEST(MeasurementStore, StartsEmptyWithTheTransferComment) {
    MeasurementStore store;
    EXPECT_EQ(store.count(), 0);
    EXPECT_EQ(store.commentText().rfind("Transferred at ", 0), 0u);
    EXPECT_GT(store.commentText().size(), std::string("Transferred at ").size());
}

TEST(MeasurementStore, WritesTheGoldenImage) {
    const auto golden = goldenHex("three_records.vlf.hex");
    MeasurementStore source;
    source.image = golden;
    RecordingMessages messages;
    source.loadFromImage(messages);
    ASSERT_EQ(source.count(), 3);
    EXPECT_EQ(source.commentText(), "Survey A");

    MeasurementStore rebuilt;
    rebuilt.setCommentText("Survey A");
    for (int i = 0; i < 3; ++i) rebuilt.append(source.record(i));
    rebuilt.writeImage(ImageMode::Full, false, 0, 0);
    EXPECT_EQ(rebuilt.image, golden);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(MeasurementStore, KeptOnlyLeavesIgnoredRecordsOut) {
    MeasurementStore store = storeOf(
        {record({.profile = 1}), record({.profile = 1, .kept = false}), record({.profile = 1})});
    store.writeImage(ImageMode::Full, false, 0, 0);
    EXPECT_EQ(store.image.size(), 1156u);
    store.writeImage(ImageMode::Full, true, 0, 0);
    EXPECT_EQ(store.image.size(), 1112u);
}

TEST(MeasurementStore, KeptOnlyWithFirstAndEndWritesThatSliceOnly) {
    std::vector<MeasurementRecord> records;
    for (int i = 0; i < 30; ++i)
        records.push_back(record({.profile = 1, .station = i, .kept = i % 3 != 0}));
    MeasurementStore store = storeOf(records);
    store.writeImage(ImageMode::Full, true, 10, 20);
    // Slots 10..19, less 12, 15, 18 (ignored): 7 records, the first station 10.
    ASSERT_EQ(store.image.size(), 1024u + 7 * 44);
    EXPECT_EQ(MeasurementRecord::decode(store.image.data() + 1024).station, 10);
    EXPECT_EQ(MeasurementRecord::decode(store.image.data() + 1024 + 6 * 44).station, 19);

    // An end past the last record stops at the last record.
    MeasurementStore small = storeOf({record({.profile = 1}), record({.profile = 1})});
    small.writeImage(ImageMode::Full, true, 1, 20);
    EXPECT_EQ(small.image.size(), 1024u + 44);
}

TEST(MeasurementStore, CommentOnlyRewritesTheBlockInPlace) {
    MeasurementStore store = storeOf({record({.profile = 1}), record({.profile = 2}),
                                      record({.profile = 3, .resistivity = true})});
    store.writeImage(ImageMode::Full, false, 0, 0);
    const std::vector<std::uint8_t> records(store.image.begin() + 1024, store.image.end());
    store.setCommentText("Line 7 north");
    store.record(0).profile = 99; // not written by a comment-only write
    store.writeImage(ImageMode::CommentOnly, false, 0, 0);
    ASSERT_EQ(store.image.size(), 1156u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(store.image.data())), "Line 7 north");
    EXPECT_EQ(std::vector<std::uint8_t>(store.image.begin() + 1024, store.image.end()), records);
}

TEST(MeasurementStore, LoadsExactlyTheCapacityWithoutWarning) {
    MeasurementStore store;
    store.image = imageOf(64000);
    RecordingMessages messages;
    store.loadFromImage(messages);
    EXPECT_EQ(store.count(), 64000);
    EXPECT_TRUE(messages.shown.empty());

    // A partial record beyond the capacity is no record: still no warning.
    store.image = imageOf(64000, 43);
    store.loadFromImage(messages);
    EXPECT_EQ(store.count(), 64000);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(MeasurementStore, WarnsOnceWhenTheImageHoldsMoreThanTheCapacity) {
    MeasurementStore store;
    store.image = imageOf(64005);
    RecordingMessages messages;
    store.loadFromImage(messages);
    EXPECT_EQ(store.count(), 64000);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "64000 data points max kept");
    EXPECT_EQ(messages.shown[0].caption, "WARNING");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
}

TEST(MeasurementStore, ShortImagesKeepWhatTheyCannotReplace) {
    MeasurementStore store;
    store.setCommentText("ABCDEFGH");
    store.append(record({.profile = 1}));
    store.image = {'x', 'y'};
    RecordingMessages messages;
    store.loadFromImage(messages);
    EXPECT_EQ(store.commentText(), "xyCDEFGH");
    EXPECT_EQ(store.count(), 0);

    // Exactly the comment block: an empty data set with its comment.
    store.image = imageOf(0);
    store.loadFromImage(messages);
    EXPECT_EQ(store.commentText(), "C");
    EXPECT_EQ(store.count(), 0);

    // A trailing partial record is dropped.
    store.image = imageOf(2, 20);
    store.loadFromImage(messages);
    EXPECT_EQ(store.count(), 2);
}

TEST(MeasurementStore, AFullStoreRefusesMoreRecords) {
    MeasurementStore store;
    for (int i = 0; i < 64000; ++i) ASSERT_TRUE(store.append(record({.profile = 1})));
    EXPECT_FALSE(store.append(record({.profile = 2})));
    EXPECT_EQ(store.count(), 64000);
}

TEST(MeasurementStore, SetKeptChangesOnlyFilledSlots) {
    MeasurementStore store = storeOf({record({.profile = 1}), record({.profile = 1})});
    store.setKept(1, false);
    store.setKept(2, false);
    store.setKept(-1, false);
    EXPECT_EQ(store.record(0).ignored, 0);
    EXPECT_EQ(store.record(1).ignored, 1);
    EXPECT_EQ(store.count(), 2);
}

TEST(MeasurementStore, IgnoredRecordsSurviveASaveAndReload) {
    TempDir dir;
    MeasurementStore store =
        storeOf({record({.profile = 1}), record({.profile = 1}), record({.profile = 1})});
    store.setKept(1, false);
    RecordingProgress progress;
    store.saveToFile(dir.file("a.vlf"), &progress);
    EXPECT_EQ(progress.current, 0);

    MeasurementStore reread;
    reread.image = veldro::test::readBytes(dir.file("a.vlf"));
    RecordingMessages messages;
    reread.loadFromImage(messages);
    ASSERT_EQ(reread.count(), 3);
    EXPECT_EQ(reread.record(1).ignored, 1);
    EXPECT_EQ(reread.record(2).ignored, 0);
}

TEST(MeasurementStore, ASaveIntoAMissingFolderReportsTheFile) {
    TempDir dir;
    MeasurementStore store = storeOf({record({.profile = 1})});
    try {
        store.saveToFile(dir.file("no/such/folder/a.vlf"));
        FAIL() << "the save did not fail";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("no/such/folder/a.vlf"), std::string::npos);
    }
}

TEST(MeasurementStore, SplitGroupsFollowKeptRecordsOfOneProfileAndMode) {
    TempDir dir;
    // Profile 1 tilt, tilt, resistivity; profile 2 resistivity.
    MeasurementStore store = storeOf({record({.profile = 1}), record({.profile = 1}),
                                      record({.profile = 1, .resistivity = true}),
                                      record({.profile = 2, .resistivity = true})});
    const auto files = store.splitToFiles(dir.path());
    ASSERT_EQ(files, (std::vector<std::string>{dir.file("Profile 1_INC_1.vlf"),
                                               dir.file("Profile 1_RES_3.vlf"),
                                               dir.file("Profile 2_RES_4.vlf")}));
    EXPECT_EQ(veldro::test::readBytes(files[0]).size(), 1024u + 2 * 44);
    EXPECT_EQ(veldro::test::readBytes(files[1]).size(), 1024u + 44);
    EXPECT_EQ(veldro::test::readBytes(files[2]).size(), 1024u + 44);
}

TEST(MeasurementStore, SplitPassesOverIgnoredRecordsOfOtherProfiles) {
    TempDir dir;
    MeasurementStore store = storeOf(
        {record({.profile = 1}), record({.profile = 5, .kept = false}), record({.profile = 1})});
    const auto files = store.splitToFiles(dir.path());
    ASSERT_EQ(files, std::vector<std::string>{dir.file("Profile 1_INC_1.vlf")});
    EXPECT_EQ(veldro::test::readBytes(files[0]).size(), 1024u + 2 * 44);
}

TEST(MeasurementStore, SplitGroupHeadedByAnIgnoredRecordGivesACommentOnlyFile) {
    TempDir dir;
    MeasurementStore store =
        storeOf({record({.profile = 9, .kept = false}), record({.profile = 1})});
    store.setCommentText("North grid");
    const auto files = store.splitToFiles(dir.path());
    ASSERT_EQ(files, (std::vector<std::string>{dir.file("Profile 9_INC_1.vlf"),
                                               dir.file("Profile 1_INC_2.vlf")}));
    const auto first = veldro::test::readBytes(files[0]);
    EXPECT_EQ(first.size(), 1024u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(first.data())), "North grid");
    EXPECT_EQ(veldro::test::readBytes(files[1]).size(), 1024u + 44);
}
