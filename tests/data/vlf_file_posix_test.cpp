// The scratch file over POSIX, where another user may plant a link or a pipe
// at its name in a shared folder.
#include "data/measurement_store.h"
#include "data/vlf_file.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veldro;
using veldro::test::entriesStartingWith;
using veldro::test::InFolder;
using veldro::test::TempDir;

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

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
        EXPECT_EQ(entriesStartingWith(dir, "veldrotmp.vlf."), 0) << what;
    }
    ::umask(mask);
}
