#include "export/report.h"
#include "export_data_test.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

TEST(Report, TiltAndResistivityBlocksOfKeptRows) {
    DataSet d = exportSurvey();
    writeReport(d.store, d.rows, kAllColumns);
    EXPECT_EQ(d.store.exportBuffer, goldenText("export_report_blocks.txt"));
}

TEST(Report, FinishedReportHasPathCommentAndBlocks) {
    DataSet d = exportSurvey();
    writeReport(d.store, d.rows, kAllColumns);
    EXPECT_EQ(finishedReport("/data/run 12.vlf", d.store),
              goldenText("export_report_finished.txt"));
}

TEST(Report, CommentLineBreaksBecomeCrLf) {
    DataSet d;
    d.store.setCommentText("one\ntwo\rthree");
    writeReport(d.store, d.rows, kAllColumns);
    EXPECT_EQ(finishedReport("p\xC2\xB5", d.store), "p\xB5\r\none\r\ntwo\r\nthree\r\n");
}

TEST(Report, EmptyCommentAndNoKeptRowGivePathAndOneEmptyLine) {
    DataSet d{record({.kept = false})};
    d.store.setCommentText("");
    writeReport(d.store, d.rows, kAllColumns);
    EXPECT_EQ(finishedReport("f.vlf", d.store), "f.vlf\r\n\r\n");
}

TEST(Report, LongValuesAreWrittenWhole) {
    DataSet d{record({.profile = 1, .station = 12345})};
    VisibleColumns visible{};
    visible[ColStation] = true;
    writeReport(d.store, d.rows, visible);
    EXPECT_EQ(linesOf(d.store.exportBuffer)[2], "  Station : 12345");
}

TEST(Report, HiddenQuantitiesLeaveTheirLinesEmpty) {
    DataSet d{record({.profile = 12}), record({.profile = 3, .station = 4, .resistivity = true})};
    VisibleColumns visible{};
    visible[ColProfile] = true;
    writeReport(d.store, d.rows, visible);
    EXPECT_EQ(d.store.exportBuffer,
              "\r\n#1\r\n  Profile : 12  \r\n"
              "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n" // eight empty item lines and the closing one
              "\r\n#2\r\n  Profile : 3   \r\n"
              "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"); // seven and one
}

TEST(Report, ProgressMovesWithEveryRow) {
    DataSet d = exportSurvey();
    RecordingProgress progress;
    writeReport(d.store, d.rows, kAllColumns, &progress);
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_EQ(progress.updates, 3);
    EXPECT_EQ(progress.highest, 2);
}
