// "View" -> "Formated" on the largest survey, offscreen: from the command to
// the viewer's first page painted. Target: <= 2 s. Also the viewer alone on
// the finished report, as plain text and saved as rich text.
#include "data/file_io.h"
#include "export/report.h"
#include "export/rtf.h"
#include "export/text_document.h"
#include "export/ui/report_frm.h"
#include "window_bench_support.h"

#include <QAction>
#include <QTextEdit>

using namespace veldro;

namespace {

bench::OpenSurvey& fixture() {
    return bench::openSurvey([](QDialog& dialog) {
        dialog.findChild<QTextEdit*>(QStringLiteral("ReportMemo"))->viewport()->repaint();
    });
}

void BM_FormatedToFirstPage(benchmark::State& state) {
    bench::OpenSurvey& f = fixture();
    const int before = f.ui.shown;
    QAction* formated = f.action("Formatedtype1");
    for (auto _ : state) formated->trigger();
    if (f.ui.shown - before != static_cast<int>(state.iterations()))
        state.SkipWithError("the viewer did not open");
}
BENCHMARK(BM_FormatedToFirstPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report as rich text, in the viewer's font.
QString richTextCopy(const QString& report) {
    const std::vector<std::uint8_t> bytes = readFileStart(report.toStdString(), SIZE_MAX);
    TextStyle style;
    style.font = "Courier New";
    style.halfPoints = 20;
    const QString copy = QDir::current().absoluteFilePath(QStringLiteral("report.rtf"));
    writeFileAtomically(
        copy.toStdString(),
        writeRtf({{textFromCp1252({reinterpret_cast<const char*>(bytes.data()), bytes.size()}),
                   style}}));
    return copy;
}

void BM_ViewerLoadsReport(benchmark::State& state) {
    bench::OpenSurvey& f = fixture();
    f.action("Formatedtype1")->trigger();
    QString report = QDir::current().absoluteFilePath(kFinishedReportFileName);
    if (state.range(0)) report = richTextCopy(report);
    for (auto _ : state) {
        TReportFrm viewer(f.ui);
        viewer.openFile(report, QStringLiteral(".txt"));
        f.ui.runDialog(viewer);
    }
}
BENCHMARK(BM_ViewerLoadsReport)
    ->ArgName("rtf")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
