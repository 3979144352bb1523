// Saves that fail half way, as POSIX lets a test make them fail: a read-only
// folder, a file size limit for a full disk.
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "records.h"
#include "test_support.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veldro;
using veldro::test::record;
using veldro::test::TempDir;

TEST(MeasurementStore, AFailedSaveLeavesTheOldFileWhole) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    MeasurementStore old;
    old.append(record({.profile = 1}));
    const std::string path = dir.file("survey.vlf");
    old.saveToFile(path);
    const auto before = veldro::test::readBytes(path);

    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    MeasurementStore replacement;
    replacement.append(record({.profile = 2}));
    replacement.append(record({.profile = 3}));
    EXPECT_THROW(replacement.saveToFile(path), FileError);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(veldro::test::readBytes(path), before);
    EXPECT_EQ(replacement.count(), 2);
}

TEST(MeasurementStore, AFullDiskLeavesTheOldFileWholeAndNoTemporaryBehind) {
    TempDir dir;
    const std::string path = dir.file("survey.vlf");
    MeasurementStore old;
    old.append(record({.profile = 1}));
    old.saveToFile(path);
    const auto before = veldro::test::readBytes(path);

    MeasurementStore bigger;
    for (int i = 0; i < 100; ++i) bigger.append(record({.profile = 4}));
    // A file size limit stands in for a full disk: writes past it fail.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 2000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(bigger.saveToFile(path), FileError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(veldro::test::readBytes(path), before);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}
