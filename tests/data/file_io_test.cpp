// Reading and writing files: lines of any file, the user's own files kept as
// links and devices, and the data of others never overwritten.
#include "data/file_io.h"
#include "test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veldro;
using veldro::test::TempDir;

TEST(LineReader, LinesEndAtCrLfOrCrLfEvenAcrossItsBuffer) {
    // Past the buffer: a CR LF split between two reads, and a line too long to keep whole.
    const std::string longLine(65535, 'x');
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, {"a\r\n", {"a"}},
        {"a\n\nb\r\r\n", {"a", "", "b", ""}},   {"", {}},
        {longLine + "\r\ny", {longLine, "y"}},
    };
    TempDir dir;
    for (const auto& [text, expected] : cases) {
        veldro::test::writeBytes(dir.file("a.txt"), text);
        LineReader reader(dir.file("a.txt"));
        std::vector<std::pair<std::string, std::uint64_t>> got, wanted;
        while (const auto line = reader.next()) got.emplace_back(line->text, line->length);
        for (const std::string& line : expected)
            wanted.emplace_back(line.substr(0, LineReader::kKeptLength), line.size());
        EXPECT_EQ(got, wanted) << "case " << text.substr(0, 12);
    }
}

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

TEST(WriteFileAtomically, AFolderIsNotReplaced) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
    EXPECT_THROW(writeFileAtomically(dir.file("sub"), std::string("x")), FileError);
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("sub").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}
