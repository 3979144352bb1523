// Files and their names over Win32: '\' and '/' separate folders, a refused
// save leaves the file whole, a device is written into.
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/utf16_win32.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace veldro;
using veldro::test::entriesStartingWith;
using veldro::test::InFolder;
using veldro::test::TempDir;

TEST(FileNames, BackslashAndSlashSeparateFolders) {
    EXPECT_EQ(splitGroupFileName("C:\\d", 12, false, 36), "C:\\d\\Profile 12_INC_37.vlf");
    EXPECT_EQ(fileNamePart("C:\\d\\a.vlf"), "a.vlf");
    EXPECT_EQ(fileNamePart("C:/d/a.vlf"), "a.vlf");
    EXPECT_EQ(dataFileNameFor("C:\\data.old\\line1"), "C:\\data.old\\line1.vlf");
}

TEST(WriteFileAtomically, AReadOnlyFileIsLeftWholeAndNoTemporaryBehind) {
    TempDir dir;
    const std::string path = dir.file("survey.vlf");
    writeFileAtomically(path, std::string("old"));
    ASSERT_TRUE(SetFileAttributesW(toUtf16(path).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(writeFileAtomically(path, std::string("new")), FileError);
    EXPECT_EQ(veldro::test::readBytes(path), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(entriesStartingWith(dir, "survey.vlf."), 0);
    SetFileAttributesW(toUtf16(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WriteFileAtomically, TheNullDeviceIsWrittenIntoNotReplaced) {
    TempDir dir;
    InFolder inside(dir.path());
    writeFileAtomically("NUL", std::string("abc"));
    EXPECT_EQ(entriesStartingWith(dir, "NUL"), 0);
}
