// Files and their names over POSIX: a pipe is written into, a link stays a
// link, a read-only folder's file is written in place, '/' alone separates
// folders.
#include "data/file_io.h"
#include "data/file_names.h"
#include "test_support.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace veldro;
using veldro::test::TempDir;

TEST(WriteFileAtomically, APipeIsWrittenIntoNotReplaced) {
    TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A reader that does not block, so the write can open the pipe.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    writeFileAtomically(fifo, std::string("abc"));
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 3);
    EXPECT_STREQ(got, "abc");
    ::close(reader);
}

TEST(WriteFileAtomically, ASymbolicLinkStaysALinkToTheNewContent) {
    TempDir dir;
    writeFileAtomically(dir.file("real.vlf"), std::string("old"));
    ASSERT_EQ(::symlink("real.vlf", dir.file("link.vlf").c_str()), 0);
    writeFileAtomically(dir.file("link.vlf"), std::string("new"));
    struct stat info {};
    ASSERT_EQ(::lstat(dir.file("link.vlf").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(veldro::test::readBytes(dir.file("real.vlf")),
              (std::vector<std::uint8_t>{'n', 'e', 'w'}));
}

TEST(FileNames, OnlyASlashSeparatesFolders) {
    EXPECT_EQ(splitGroupFileName("/d/survey", 12, false, 36), "/d/survey/Profile 12_INC_37.vlf");
    EXPECT_EQ(fileNamePart("/d/a\\b.vlf"), "a\\b.vlf");
}

namespace {

std::string contentsOf(const std::string& path) {
    const auto bytes = veldro::test::readBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Root stays root but gives up its capabilities, so that a folder's
// permissions hold for it: an ordinary user might not reach the folder at all
// (a chroot made by mktemp is closed to others). False when that failed.
bool dropRootRights() {
    if (::geteuid() != 0) return true;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[2]{};
    return ::syscall(SYS_capset, &header, none) == 0;
}

// Runs `work` in a child process without root's right to write anywhere; the
// child's status is 0 when `work` is true.
template <class Work> void withoutRoot(const std::string& folder, Work work) {
    ::chmod(folder.c_str(), 0555);
    EXPECT_EXIT(
        {
            if (!dropRootRights()) std::exit(2);
            std::exit(work() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    ::chmod(folder.c_str(), 0755);
}

} // namespace

// An editor's rule for a name the user chose: a link, even one whose target
// does not exist yet, leads to the file written; other hard links of the file
// see the new contents.
TEST(WriteFileAtomically, LinksLeadToTheFileWrittenAndHardLinksShareIt) {
    TempDir dir;
    ASSERT_EQ(::symlink("made.vlf", dir.file("dangling.vlf").c_str()), 0);
    writeFileAtomically(dir.file("dangling.vlf"), std::string("new"));
    struct stat info {};
    ASSERT_EQ(::lstat(dir.file("dangling.vlf").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(contentsOf(dir.file("made.vlf")), "new");

    veldro::test::writeBytes(dir.file("one.vlf"), "old");
    ASSERT_EQ(::link(dir.file("one.vlf").c_str(), dir.file("two.vlf").c_str()), 0);
    writeFileAtomically(dir.file("one.vlf"), std::string("newer"));
    EXPECT_EQ(contentsOf(dir.file("two.vlf")), "newer");
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"dangling.vlf", "made.vlf", "one.vlf", "two.vlf"}));
}

// The temporary name fits beside the longest name a folder takes, and none is
// left behind.
TEST(WriteFileAtomically, NamesUpToTheLongestTheSystemTakesAreWritten) {
    for (const std::size_t length : {249u, 250u, 254u, 255u}) {
        TempDir dir;
        const std::string name = std::string(length - 4, 'n') + ".vlf";
        writeFileAtomically(dir.file(name), std::string("old"));
        writeFileAtomically(dir.file(name), std::string("new"));
        EXPECT_EQ(contentsOf(dir.file(name)), "new") << length;
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{name}) << length;
    }
}

TEST(WriteFileAtomically, APipeNobodyReadsIsRefusedAtOnce) {
    TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        writeFileAtomically(fifo, std::string("abc"));
        ADD_FAILURE() << "written";
    } catch (const FileError& e) {
        EXPECT_EQ(e.what(), "Cannot write " + fifo + ": nothing reads it");
    }
}

// A writable file in a folder that takes no new file is written in place, as
// the shell would; should that write fail (here past a file size limit) the
// old contents are put back.
TEST(WriteFileAtomically, AWritableFileInAReadOnlyFolderIsWrittenInPlaceSafely) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string path = dir.file("survey.vlf");
    veldro::test::writeBytes(path, "old data");
    ::chmod(path.c_str(), 0666);
    withoutRoot(dir.path(), [&] {
        writeFileAtomically(path, std::string("new"));
        return contentsOf(path) == "new";
    });
    EXPECT_EQ(contentsOf(path), "new");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"survey.vlf"});
    withoutRoot(dir.path(), [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{10, 10};
        ::setrlimit(RLIMIT_FSIZE, &small);
        try {
            writeFileAtomically(path, std::string(100, 'x'));
            return false;
        } catch (const FileError&) {
            return contentsOf(path) == "new";
        }
    });
    EXPECT_EQ(contentsOf(path), "new");
}
