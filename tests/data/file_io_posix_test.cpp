// Files and their names over POSIX: a pipe is written into, a link stays a
// link, '/' alone separates folders.
#include "data/file_io.h"
#include "data/file_names.h"
#include "test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
