#include "export/text_document.h"

#include <gtest/gtest.h>

using namespace veldro;

TEST(TextDocument, PlainFileLinesAndCodePage) {
    EXPECT_EQ(textFromCp1252("a\r\nb\rc\nd\xB0\x80\r\n"), "a\nb\nc\nd\xC2\xB0\xE2\x82\xAC\n");
    EXPECT_EQ(cp1252FileFromText("a\nd\xC2\xB0\xE2\x82\xAC\n"), "a\r\nd\xB0\x80\r\n");
    // Every line ends with CR LF, the last one too; an empty text stays empty.
    EXPECT_EQ(cp1252FileFromText("a\n\nb"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(cp1252FileFromText(""), "");
    EXPECT_EQ(cp1252FileFromText("\xCE\xA9"), "?\r\n");
}

TEST(TextDocument, CommentKeepsCapacityLessOneBytesAndCountsWhatItLost) {
    struct Case {
        std::string text;
        std::string bytes;
        std::size_t replaced, cut;
    };
    const std::vector<Case> cases{
        {std::string(1500, 'x'), std::string(1023, 'x'), 0, 477},
        {"one\ntwo", "one\r\ntwo", 0, 0},
        {"\xCE\xA9 \xC2\xB5", "? \xB5", 1, 0},
        // A line break that would not fit whole is cut with what follows.
        {std::string(1022, 'x') + "\nab", std::string(1022, 'x'), 0, 3},
        // Replacements past the cut are not counted.
        {std::string(1023, 'x') + "\xCE\xA9", std::string(1023, 'x'), 0, 1},
    };
    for (const Case& c : cases) {
        const CommentFit fit = fitComment(c.text, 1024);
        EXPECT_EQ(fit.bytes, c.bytes);
        EXPECT_EQ(fit.replaced, c.replaced);
        EXPECT_EQ(fit.cut, c.cut);
    }
}

TEST(TextDocument, RichTextIsChosenByTheExtensionAlone) {
    for (const char* name : {"report.rtf", "REPORT.RTF", "a/b.Rtf"})
        EXPECT_TRUE(isRtfFileName(name));
    for (const char* name : {"report.txt", "rtfdir/report.txt", "report.rtf.txt", "rtf", "a.rtf/b"})
        EXPECT_FALSE(isRtfFileName(name)) << name;
}
