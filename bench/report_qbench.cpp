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

// Shows each dialog, paints it and closes it.
class PaintingUi : public bench::SilentUi {
public:
    int runDialog(QDialog& dialog) override {
        dialog.show();
        dialog.findChild<QTextEdit*>(QStringLiteral("ReportMemo"))->viewport()->repaint();
        ++shown;
        dialog.hide();
        return QDialog::Rejected;
    }
    int shown = 0;
};

struct Fixture {
    PaintingUi ui;
    bench::SurveyWindow survey{ui};
    QAction* formated = survey.window->findChild<QAction*>(QStringLiteral("Formatedtype1"));

    Fixture() { survey.window->findChild<QAction*>(QStringLiteral("Ouvrir1"))->trigger(); }
};

// Made on first use, gone before the application.
std::unique_ptr<Fixture> made;

Fixture& fixture() {
    if (!made) made = std::make_unique<Fixture>();
    return *made;
}

void BM_FormatedToFirstPage(benchmark::State& state) {
    Fixture& f = fixture();
    const int before = f.ui.shown;
    for (auto _ : state) f.formated->trigger();
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
    Fixture& f = fixture();
    f.formated->trigger();
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
    return bench::runWindowBenchmarks(argc, argv, [] { made.reset(); });
}
