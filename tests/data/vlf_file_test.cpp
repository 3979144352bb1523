#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/vlf_file.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veldro;
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

// Runs a test in `folder`, the scratch file's home, and goes back after it.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Entries a failed or finished write might leave beside the scratch file.
int leftovers(const TempDir& dir) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        count += entry.path().filename().string().rfind("veldrotmp.vlf.", 0) == 0;
    return count;
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
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
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
    constexpr off_t kFull = 1024 + 64000 * 44;
    // A partial record more says nothing; a whole one, or 4 GB of holes, the warning.
    for (const auto& [size, warned] :
         {std::pair<off_t, bool>{kFull + 43, false}, {kFull + 44, true}, {off_t{4} << 30, true}}) {
        ASSERT_EQ(::truncate(path.c_str(), size), 0);
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

TEST(ScratchFile, ReplacesWhatWasPlantedAtItsNameAndLeavesWhatThatPointedTo) {
    const std::string precious = "precious user data";
    // What another user may have left at the name in a folder both can write to.
    const std::vector<std::pair<const char*, void (*)(const TempDir&)>> planted = {
        {"a link to the user's file",
         [](const TempDir& d) {
             ASSERT_EQ(::symlink(d.file("victim.txt").c_str(), "veldrotmp.vlf"), 0);
         }},
        {"a link to a missing file",
         [](const TempDir& d) {
             ASSERT_EQ(::symlink(d.file("created.txt").c_str(), "veldrotmp.vlf"), 0);
         }},
        {"a pipe", [](const TempDir&) { ASSERT_EQ(::mkfifo("veldrotmp.vlf", 0666), 0); }},
        {"an older scratch file",
         [](const TempDir&) { veldro::test::writeBytes("veldrotmp.vlf", "old"); }},
    };
    const mode_t mask = ::umask(022);
    for (const auto& [what, plant] : planted) {
        TempDir dir;
        InFolder inside(dir.path());
        veldro::test::writeBytes(dir.file("victim.txt"), precious);
        plant(dir);
        MeasurementStore store;
        store.setCommentText("Scratch");
        store.append(MeasurementRecord{});
        writeScratchFile(store);

        ASSERT_TRUE(isRegularFile(dir.file("veldrotmp.vlf"))) << what;
        const auto written = veldro::test::readBytes(dir.file("veldrotmp.vlf"));
        EXPECT_EQ(written.size(), 1024u + 44) << what;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(written.data())), "Scratch") << what;
        struct stat info {};
        ASSERT_EQ(::stat(dir.file("veldrotmp.vlf").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0644u) << what;
        const auto victim = veldro::test::readBytes(dir.file("victim.txt"));
        EXPECT_EQ(std::string(victim.begin(), victim.end()), precious) << what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("created.txt"))) << what;
        EXPECT_EQ(leftovers(dir), 0) << what;
    }
    ::umask(mask);
}

TEST(ScratchFile, AFolderAtItsNameStaysAndTheFailureNamesTheFile) {
    TempDir dir;
    InFolder inside(dir.path());
    ASSERT_EQ(::mkdir("veldrotmp.vlf", 0755), 0);
    MeasurementStore store;
    try {
        writeScratchFile(store);
        FAIL() << "the scratch file was written";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Cannot write veldrotmp.vlf: Is a directory");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("veldrotmp.vlf")));
    EXPECT_EQ(leftovers(dir), 0);
}
