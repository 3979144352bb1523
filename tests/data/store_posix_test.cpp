// Saves that fail half way, as POSIX lets a test make them fail: a full disk
// and a read-only folder.
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "faulty_folder.h"
#include "records.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace veldro;
using veldro::test::FaultyFolder;
using veldro::test::record;

namespace {

MeasurementStore storeOf(const std::vector<MeasurementRecord>& records) {
    MeasurementStore store;
    for (const auto& r : records) store.append(r);
    return store;
}

enum class DiskFault { Full, ReadOnly };

class FailedSave : public testing::TestWithParam<DiskFault> {};

} // namespace

// On a full disk or into a read-only folder (a small file system of the
// test's own where it may mount one).
TEST_P(FailedSave, LeavesTheOldFileWholeNothingBesideItAndTheRecordsInTheStore) {
    FaultyFolder folder;
    if (GetParam() == DiskFault::ReadOnly && !folder.readOnlyHolds())
        GTEST_SKIP() << "root writes into read-only folders";
    const std::string path = folder.file("survey.vlf");
    storeOf({record({.profile = 1})}).saveToFile(path);
    const auto before = veldro::test::readBytes(path);

    MeasurementStore bigger = storeOf(std::vector<MeasurementRecord>(100, record({.profile = 4})));
    if (GetParam() == DiskFault::Full)
        folder.fill();
    else
        folder.makeReadOnly();
    try {
        bigger.saveToFile(path);
        ADD_FAILURE() << "the save did not fail";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    folder.restore();

    EXPECT_EQ(veldro::test::readBytes(path), before);
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        entries.push_back(entry.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"survey.vlf"});
    EXPECT_EQ(bigger.count(), 100);
}

INSTANTIATE_TEST_SUITE_P(Disk, FailedSave, testing::Values(DiskFault::Full, DiskFault::ReadOnly),
                         [](const testing::TestParamInfo<DiskFault>& fault) {
                             return fault.param == DiskFault::Full ? "Full" : "ReadOnly";
                         });

// Split's names are predictable: a link planted at one is not followed (the
// file it leads to is left alone) nor is a pipe opened (which would wait for
// ever); the split stops there and says why.
TEST(SplitToFiles, ALinkOrAPipeAtASplitNameIsRefused) {
    for (const bool link : {true, false}) {
        veldro::test::TempDir dir;
        const std::string victim = dir.file("victim.txt");
        veldro::test::writeBytes(victim, "mine");
        const std::string planted = dir.file("Profile 1_INC_1.vlf");
        ASSERT_EQ(
            link ? ::symlink(victim.c_str(), planted.c_str()) : ::mkfifo(planted.c_str(), 0600), 0);
        try {
            storeOf({record({.profile = 1})}).splitToFiles(dir.path());
            ADD_FAILURE() << "the split wrote " << planted;
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(planted), std::string::npos) << e.what();
        }
        EXPECT_EQ(veldro::test::readBytes(victim), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    }
}
