// The chart windows on the largest survey, offscreen. Targets: "View Fraser"
// from the command to the first painted chart <= 300 ms; the column plot of
// "Q (%)" (64000 points) the same; toggling one curve <= 30 ms, one profile
// in the picker <= 50 ms; "Karous-Hjelt section" and "Fraser map" from the
// command to the first painted chart <= 500 ms each. The picture of the
// "Q (%)" plot: saved as PNG <= 1 s, printed to a PDF printer <= 1 s, and
// `veldro-cli plot column survey.vlf 4 -o c.png` as a whole process <= 1 s.
#include "app/main_window.h"
#include "app/measurement_table_model.h"
#include "charts/chart_image.h"
#include "charts/graph_chart.h"
#include "data/quantities.h"
#include "processing/graph_plots.h"
#include "processing/ui/view_graph_window.h"
#include "widgets/measurement_table_view.h"
#include "window_bench_support.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QGraphicsScene>
#include <QHeaderView>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <benchmark/benchmark.h>

using namespace veldro;

namespace {

// Every graph window painted once; VELDRO_BENCH_PICTURE names a file to look
// at what was painted.
void paintChart(QDialog& dialog) {
    // The chart lays itself out, and the scene places its items, on posted
    // events, before it is painted.
    QCoreApplication::processEvents();
    QWidget* chart = dialog.findChild<QChartView*>(QStringLiteral("Chart1"))->viewport();
    chart->repaint();
    const QString picture = qEnvironmentVariable("VELDRO_BENCH_PICTURE");
    if (!picture.isEmpty()) chart->grab().save(picture);
}

bench::OpenSurvey& fixture() {
    return bench::openSurvey(paintChart);
}

// The menu item, shown and painted once per iteration.
void triggerEachIteration(benchmark::State& state, const char* item) {
    bench::OpenSurvey& f = fixture();
    QAction* command = f.window().findChild<QAction*>(QLatin1String(item));
    f.ui.shown = 0;
    for (auto _ : state) command->trigger();
    if (f.ui.shown != static_cast<int>(state.iterations())) state.SkipWithError("no chart shown");
}

void BM_ViewFraserToFirstPaintedChart(benchmark::State& state) {
    triggerEachIteration(state, "ViewFraser1");
}
BENCHMARK(BM_ViewFraserToFirstPaintedChart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KarousHjeltSectionToFirstPaintedChart(benchmark::State& state) {
    triggerEachIteration(state, "KarousHjeltSection");
}
BENCHMARK(BM_KarousHjeltSectionToFirstPaintedChart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FraserMapToFirstPaintedChart(benchmark::State& state) {
    triggerEachIteration(state, "FraserMap");
}
BENCHMARK(BM_FraserMapToFirstPaintedChart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ColumnPlotOfQualityToFirstPaintedChart(benchmark::State& state) {
    bench::OpenSurvey& f = fixture();
    QHeaderView* header = f.window()
                              .findChild<MeasurementTableView*>(QStringLiteral("TabMesureCLstView"))
                              ->horizontalHeader();
    int column = 0;
    while (f.window().tableModel().logicalColumn(column) != ColQuality) ++column;
    f.ui.shown = 0;
    for (auto _ : state) emit header->sectionClicked(column);
    if (f.ui.shown != static_cast<int>(state.iterations())) state.SkipWithError("no chart shown");
}
BENCHMARK(BM_ColumnPlotOfQualityToFirstPaintedChart)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Fraser view shown and painted, then the first entry of the list
// `listName` toggled and the chart painted each iteration; with every curve
// shown, or (argument 10) the first ten profiles picked.
void toggleFirstEntry(benchmark::State& state, const char* listName) {
    bench::OpenSurvey& f = fixture();
    TViewGraphFrm graph(f.ui, &f.window());
    graph.setGeometry(f.window().geometry());
    plotFraser(*f.window().store(), f.window().rowList(), graph);
    graph.show();
    QCoreApplication::processEvents();
    auto* view = graph.findChild<QChartView*>(QStringLiteral("Chart1"));
    view->viewport()->repaint();
    if (state.range(0) > 0) {
        graph.findChild<QPushButton*>(QStringLiteral("HideAll"))->click();
        auto* profiles = graph.findChild<QListWidget*>(QStringLiteral("ProfileList"));
        for (int row = 0; row < state.range(0); ++row)
            profiles->item(row)->setCheckState(Qt::Checked);
    }
    QListWidgetItem* first = graph.findChild<QListWidget*>(QLatin1String(listName))->item(0);
    for (auto _ : state) {
        first->setCheckState(first->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        view->viewport()->repaint();
    }
    state.counters["curves"] = graph.curveCount();
}

void BM_ToggleOneCurve(benchmark::State& state) {
    toggleFirstEntry(state, "CheckListBox1");
}
BENCHMARK(BM_ToggleOneCurve)
    ->ArgName("profiles")
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ToggleOneProfile(benchmark::State& state) {
    toggleFirstEntry(state, "ProfileList");
}
BENCHMARK(BM_ToggleOneProfile)
    ->ArgName("profiles")
    ->Arg(0)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The "Q (%)" plot as `veldro-cli plot column` and the window draw it, at
// the window's design size.
struct QualityChart {
    QGraphicsScene scene;
    GraphChart* chart = new GraphChart;
    QualityChart() {
        TMainFrm& window = fixture().window();
        chart->setLeftAxisTitle(QStringLiteral("Q (%)"));
        plotColumn(*window.store(), window.rowList(), ColQuality, *chart);
        chart->setVisibleCurves(
            std::vector<bool>(static_cast<std::size_t>(chart->curveCount()), true));
        scene.addItem(chart);
        chart->resize(1039, 763);
    }
};

void BM_SaveQualityPlotAsPng(benchmark::State& state) {
    QualityChart q;
    const QString png = QDir::current().absoluteFilePath(QStringLiteral("quality.png"));
    for (auto _ : state)
        if (!saveChartImage(*q.chart, png, QSize(1039, 763)).isEmpty())
            state.SkipWithError("not saved");
}
BENCHMARK(BM_SaveQualityPlotAsPng)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PrintQualityPlotToPdf(benchmark::State& state) {
    QualityChart q;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::current().absoluteFilePath(QStringLiteral("quality.pdf")));
        if (!printChart(*q.chart, printer)) state.SkipWithError("not printed");
    }
}
BENCHMARK(BM_PrintQualityPlotToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliPlotColumnPng(benchmark::State& state) {
    const bench::OpenSurvey& f = fixture();
    for (auto _ : state) {
        QProcess cli;
        cli.start(QStringLiteral(VELDRO_CLI),
                  {QStringLiteral("plot"), QStringLiteral("column"), f.ui.survey,
                   QStringLiteral("4"), QStringLiteral("-o"),
                   QDir::current().absoluteFilePath(QStringLiteral("c.png"))});
        if (!cli.waitForFinished(-1) || cli.exitCode() != 0) state.SkipWithError("plot failed");
    }
}
BENCHMARK(BM_CliPlotColumnPng)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
