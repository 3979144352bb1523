// The report viewer, offscreen. Where the editable viewer ends: the editor
// on the report's first 1, 2, 4 and 8 MB, shown, painted, at its end and
// painted again. "View" -> "Formated" on the largest survey,
// from the command to the viewer's first page painted (target <= 1 s) and to
// its last page painted after Ctrl+End (target <= 5 s); the viewer alone on
// the finished report, as plain text and as rich text; and the viewer on a
// file of one line of 60 MB: open <= 2 s, memory it holds <= 300 MB, and its
// CPU while it stands open < 2 %.
#include "data/file_io.h"
#include "export/report.h"
#include "export/rtf.h"
#include "export/text_document.h"
#include "export/ui/long_text_view.h"
#include "export/ui/report_frm.h"
#include "export/ui/rich_text_document.h"
#include "window_bench_support.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTextEdit>
#include <QTimer>
#include <ctime>
#include <fstream>
#include <string>

using namespace veldro;

namespace {

bool toTheEnd = false; // the next viewer is painted at its end too

// The text in sight, painted: the editor's or the read-only view's.
QWidget* shownText(QDialog& dialog) {
    auto* memo = dialog.findChild<QTextEdit*>(QStringLiteral("ReportMemo"));
    if (!memo->isHidden()) return memo;
    return dialog.findChild<LongTextView*>(QStringLiteral("ReportView"));
}

void paintText(QDialog& dialog) {
    QWidget* text = shownText(dialog);
    auto* area = static_cast<QAbstractScrollArea*>(text);
    area->viewport()->repaint();
    if (!toTheEnd) return;
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(text, &end);
    area->viewport()->repaint();
}

bench::OpenSurvey& fixture() {
    return bench::openSurvey(paintText);
}

void formated(benchmark::State& state, bool end) {
    bench::OpenSurvey& f = fixture();
    toTheEnd = end;
    const int before = f.ui.shown;
    QAction* formated = f.action("Formatedtype1");
    for (auto _ : state) formated->trigger();
    toTheEnd = false;
    if (f.ui.shown - before != static_cast<int>(state.iterations()))
        state.SkipWithError("the viewer did not open");
}

void BM_FormatedToFirstPage(benchmark::State& state) {
    formated(state, false);
}
BENCHMARK(BM_FormatedToFirstPage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FormatedToLastPage(benchmark::State& state) {
    formated(state, true);
}
BENCHMARK(BM_FormatedToLastPage)->Unit(benchmark::kMillisecond)->UseRealTime();

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

// Opened, shown and painted once: the longest time the window does not
// answer input.
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

void BM_EditorOnReportPart(benchmark::State& state) {
    bench::OpenSurvey& f = fixture();
    f.action("Formatedtype1")->trigger();
    const std::vector<std::uint8_t> bytes =
        readFileStart(QDir::current().absoluteFilePath(kFinishedReportFileName).toStdString(),
                      static_cast<std::size_t>(state.range(0)) << 20);
    const std::string text =
        textFromCp1252({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    for (auto _ : state) {
        QTextEdit editor;
        editor.setLineWrapMode(QTextEdit::NoWrap);
        editor.resize(777, 455);
        showText(editor, text);
        editor.show();
        editor.viewport()->repaint();
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(&editor, &end);
        editor.viewport()->repaint();
    }
}
BENCHMARK(BM_EditorOnReportPart)
    ->ArgName("MB")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A line of /proc/self/status in KiB: "VmRSS" now, "VmHWM" its peak.
long statusKiB(const std::string& name) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(name + ':', 0) == 0) return std::stol(line.substr(name.size() + 1));
    return 0;
}

// The peak starts again from what is resident now.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double processSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Counters: "MB" the resident memory the open viewer adds, "peak_MB" the
// most it added while opening, "idle_cpu_%" its CPU over a second of
// standing open.
void BM_ViewerOnOneLineOf60MB(benchmark::State& state) {
    bench::OpenSurvey& f = fixture();
    const QString file = QDir::current().absoluteFilePath(QStringLiteral("one-line.txt"));
    {
        std::ofstream out(file.toStdString(), std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 60; ++i) out << block;
        out << "\r\n";
    }
    double megabytes = 0, peak = 0, idle = 0;
    for (auto _ : state) {
        resetPeak();
        const long before = statusKiB("VmRSS");
        auto viewer = std::make_unique<TReportFrm>(f.ui);
        viewer->openFile(file, QStringLiteral(".txt"));
        viewer->show();
        static_cast<QAbstractScrollArea*>(shownText(*viewer))->viewport()->repaint();
        state.PauseTiming();
        megabytes = static_cast<double>(statusKiB("VmRSS") - before) / 1024;
        peak = static_cast<double>(statusKiB("VmHWM") - before) / 1024;
        const double cpu = processSeconds();
        QEventLoop standing;
        QTimer::singleShot(1000, &standing, &QEventLoop::quit);
        standing.exec();
        idle = (processSeconds() - cpu) * 100;
        state.ResumeTiming();
        viewer.reset(); // closed: in the time
    }
    state.counters["MB"] = megabytes;
    state.counters["peak_MB"] = peak;
    state.counters["idle_cpu_%"] = idle;
}
BENCHMARK(BM_ViewerOnOneLineOf60MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
