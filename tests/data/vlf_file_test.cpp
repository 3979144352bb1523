#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/vlf_file.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace veldro;
using veldro::test::entriesStartingWith;
using veldro::test::InFolder;
using veldro::test::RecordingMessages;
using veldro::test::TempDir;

namespace {

// A data file of `count` records, stations 0.., under `comment`.
std::string writeSurvey(const TempDir& dir, const std::string& name, int count,
                        const std::string& comment, int firstStation = 0) {
    MeasurementStore store;
    store.setCommentText(comment);
    for (int i = 0; i < count; ++i) {
        MeasurementRecord r;
        r.station = static_cast<std::int16_t>(firstStation + i);
        store.append(r);
    }
    store.saveToFile(dir.file(name));
    return dir.file(name);
}

} // namespace

TEST(ReadDataFile, AnyExtensionContainingVlfOpens) {
    TempDir dir;
    RecordingMessages messages;
    for (const char* name : {"a.vlf", "b.VlF", "c.vlfx"}) {
        const auto read = readDataFile(writeSurvey(dir, name, 2, "x"), messages);
        ASSERT_EQ(read.status, DataFileStatus::Opened) << name;
        EXPECT_EQ(read.store->count(), 2);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ReadDataFile, AWrongExtensionIsPassedOverSilently) {
    TempDir dir;
    RecordingMessages messages;
    writeFileAtomically(dir.file("a.txt"), std::string(1024 + 44, '\0'));
    const auto read = readDataFile(dir.file("a.txt"), messages);
    EXPECT_EQ(read.status, DataFileStatus::WrongExtension);
    EXPECT_FALSE(read.store);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ReadDataFile, AMissingFileSaysUnableToOpen) {
    TempDir dir;
    RecordingMessages messages;
    const auto read = readDataFile(dir.file("gone.vlf"), messages);
    EXPECT_EQ(read.status, DataFileStatus::Missing);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Unable to open file\n" + dir.file("gone.vlf"));
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
}

TEST(ReadDataFile, ACommentOnlyFileIsAnEmptyDataSetWithItsComment) {
    TempDir dir;
    RecordingMessages messages;
    const auto read = readDataFile(writeSurvey(dir, "empty.vlf", 0, "Nothing yet"), messages);
    ASSERT_EQ(read.status, DataFileStatus::Opened);
    EXPECT_EQ(read.store->count(), 0);
    EXPECT_EQ(read.store->commentText(), "Nothing yet");
}

TEST(ReadDataFile, AFolderIsNoFileToOpen) {
    TempDir dir;
    RecordingMessages messages;
    const std::string folder = dir.file("folder.vlf");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    EXPECT_EQ(readDataFile(folder, messages).status, DataFileStatus::Missing);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Unable to open file\n" + folder);
}

TEST(AddDataFile, AppendsTheRecordsAndKeepsTheComment) {
    TempDir dir;
    RecordingMessages messages;
    auto store = readDataFile(writeSurvey(dir, "five.vlf", 5, "Base"), messages).store;
    ASSERT_EQ(addDataFile(*store, writeSurvey(dir, "ten.vlf", 10, "Other", 100), messages),
              DataFileStatus::Opened);
    ASSERT_EQ(store->count(), 15);
    EXPECT_EQ(store->commentText(), "Base");
    EXPECT_EQ(store->record(4).station, 4);
    EXPECT_EQ(store->record(5).station, 100);
}

TEST(AddDataFile, ExtendsTheCurrentDataSetNotAnOlderImage) {
    TempDir dir;
    RecordingMessages messages;
    auto store = readDataFile(writeSurvey(dir, "three.vlf", 3, "Base"), messages).store;
    store->setKept(1, false);        // an edit not yet in the image
    store->splitToFiles(dir.path()); // leaves one group's records in the image
    addDataFile(*store, writeSurvey(dir, "one.vlf", 1, "x", 50), messages);
    ASSERT_EQ(store->count(), 4);
    EXPECT_EQ(store->record(1).ignored, 1);
    EXPECT_EQ(store->record(3).station, 50);
}

TEST(AddDataFile, WrongExtensionMissingOrShortFilesAddNothing) {
    TempDir dir;
    RecordingMessages messages;
    auto store = readDataFile(writeSurvey(dir, "two.vlf", 2, "Base"), messages).store;
    writeFileAtomically(dir.file("more.txt"), std::string(1024 + 44, '\0'));
    EXPECT_EQ(addDataFile(*store, dir.file("more.txt"), messages), DataFileStatus::WrongExtension);
    EXPECT_EQ(addDataFile(*store, dir.file("none.vlf"), messages), DataFileStatus::Missing);
    writeFileAtomically(dir.file("short.vlf"), std::string(500, 'z'));
    EXPECT_EQ(addDataFile(*store, dir.file("short.vlf"), messages), DataFileStatus::Opened);
    EXPECT_EQ(store->count(), 2);
    EXPECT_EQ(store->commentText(), "Base");
}

TEST(AddDataFile, TheCapacityWarningAppliesToTheWhole) {
    TempDir dir;
    RecordingMessages messages;
    auto store = readDataFile(writeSurvey(dir, "big.vlf", 63999, "Base"), messages).store;
    addDataFile(*store, writeSurvey(dir, "two.vlf", 2, "x"), messages);
    EXPECT_EQ(store->count(), 64000);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "64000 data points max kept");
}

TEST(ReadDataFile, AHugeFileGivesTheRecordsOfItsFirstBytesAndTheWarningAsAFullOneWould) {
    TempDir dir;
    RecordingMessages messages;
    const std::string path = writeSurvey(dir, "huge.vlf", 64000, "Full", 7);
    const auto full = readDataFile(path, messages).store;
    ASSERT_TRUE(messages.shown.empty());
    constexpr std::uintmax_t kFull = 1024 + 64000 * 44;
    // A partial record more says nothing; a whole one, or 4 GB of holes, the warning.
    for (const auto& [size, warned] : {std::pair<std::uintmax_t, bool>{kFull + 43, false},
                                       {kFull + 44, true},
                                       {std::uintmax_t{4} << 30, true}}) {
        std::filesystem::resize_file(path, size);
        RecordingMessages said;
        const auto read = readDataFile(path, said);
        ASSERT_EQ(read.store->count(), 64000) << size;
        int differing = 0;
        for (int i = 0; i < 64000; ++i) differing += !(read.store->record(i) == full->record(i));
        EXPECT_EQ(differing, 0) << size;
        EXPECT_EQ(read.store->commentText(), "Full");
        EXPECT_EQ(said.shown.size(), warned ? 1u : 0u) << size;
    }
}

TEST(ScratchFile, AFolderAtItsNameStaysAndTheFailureNamesTheFile) {
    TempDir dir;
    InFolder inside(dir.path());
    ASSERT_TRUE(std::filesystem::create_directory("veldrotmp.vlf"));
    MeasurementStore store;
    try {
        writeScratchFile(store);
        FAIL() << "the scratch file was written";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Cannot write veldrotmp.vlf: Is a directory");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("veldrotmp.vlf")));
    EXPECT_EQ(entriesStartingWith(dir, "veldrotmp.vlf."), 0);
}
