#include "../processing/data_set_test.h"
#include "export/report.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

// The rows of the spreadsheet tests: a kept tilt row "1", an ignored row "2",
// a kept resistivity row "3".
DataSet survey() {
    MeasurementRecord tilt =
        tiltRecord({.profile = 12, .station = 150, .tilt = -12, .ellipticity = 3});
    tilt.quality = 97;
    tilt.hHorizontal = 45.678f;
    tilt.tiltHorizontal = -4;
    tilt.ellipticityHorizontal = 7;
    tilt.status = makeStatus(2, false, 1, true, 3, false, 1, false);
    MeasurementRecord res = resistivityRecord(12, 175, true, 2, 19600);
    res.quality = 88;
    res.resistivity = 152.25f;
    res.phase = 45;
    res.eField = 12.5f;
    res.hField = 0.125f;
    MeasurementRecord ignored = tilt;
    ignored.ignored = 1;
    DataSet d{tilt, ignored, res};
    d.store.setCommentText("Line one\r\nLine two\r\nLine three");
    return d;
}

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
    DataSet d = survey();
    const std::vector<std::string> lines = writeReport(d.store, d.rows, kAllColumns);
    EXPECT_EQ(d.store.exportBuffer, goldenText("export_report_blocks.txt"));
    std::vector<std::string> expected = linesOf(goldenText("export_report_blocks.txt"));
    expected.insert(expected.begin(), "Line one\r\nLine two\r\nLine three");
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(expected.size(), 1u + 12u + 11u);
}

TEST(Report, FinishedReportHasPathCommentAndBlocks) {
    DataSet d = survey();
    const auto lines = writeReport(d.store, d.rows, kAllColumns);
    EXPECT_EQ(finishedReport("/data/run 12.vlf", lines), goldenText("export_report_finished.txt"));
}

TEST(Report, CommentLineBreaksBecomeCrLf) {
    DataSet d;
    d.store.setCommentText("one\ntwo\rthree");
    EXPECT_EQ(finishedReport("p\xC2\xB5", writeReport(d.store, d.rows, kAllColumns)),
              "p\xB5\r\none\r\ntwo\r\nthree\r\n");
}

TEST(Report, EmptyCommentAndNoKeptRowGivePathAndOneEmptyLine) {
    DataSet d{tiltRecord({.kept = false})};
    d.store.setCommentText("");
    EXPECT_EQ(finishedReport("f.vlf", writeReport(d.store, d.rows, kAllColumns)), "f.vlf\r\n\r\n");
}

TEST(Report, LongValuesAreWrittenWhole) {
    DataSet d{tiltRecord({.profile = 1, .station = 12345})};
    VisibleColumns visible{};
    visible[ColStation] = true;
    writeReport(d.store, d.rows, visible);
    EXPECT_EQ(linesOf(d.store.exportBuffer)[2], "  Station : 12345");
}

TEST(Report, HiddenQuantitiesLeaveTheirLinesEmpty) {
    DataSet d{tiltRecord({.profile = 12}), resistivityRecord(3, 4)};
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
    DataSet d = survey();
    RecordingProgress progress;
    writeReport(d.store, d.rows, kAllColumns, &progress);
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_EQ(progress.updates, 3);
    EXPECT_EQ(progress.highest, 2);
}
