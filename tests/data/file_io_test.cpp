// Reading and writing files on every platform: lines of any file, names
// beyond ASCII, a folder never replaced.
#include "data/file_io.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

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

TEST(WriteFileAtomically, AFolderIsNotReplaced) {
    TempDir dir;
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("sub")));
    EXPECT_THROW(writeFileAtomically(dir.file("sub"), std::string("x")), FileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
}

TEST(WriteFileAtomically, AFileNamedInTheCurrentFolderIsReplaced) {
    TempDir dir;
    veldro::test::InFolder inside(dir.path());
    writeFileAtomically("survey.vlf", std::string("old"));
    writeFileAtomically("survey.vlf", std::string("new"));
    EXPECT_EQ(readFileStart("survey.vlf", 10), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
}

TEST(WriteFileAtomically, ANameBeyondAsciiIsTheNameTheSystemShows) {
    TempDir dir;
    const std::string name = "Lev\xc3\xa9 \xce\xb1\xce\xb2 \xe6\xb8\xac.vlf"; // "Levé αβ 測.vlf"
    writeFileAtomically(dir.file(name), std::string("abc"));
    EXPECT_TRUE(fileExists(dir.file(name)));
    const std::u8string listed =
        std::filesystem::directory_iterator(dir.path())->path().filename().u8string();
    EXPECT_EQ(std::string(listed.begin(), listed.end()), name);
    EXPECT_EQ(readFileStart(dir.file(name), 10), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
}
