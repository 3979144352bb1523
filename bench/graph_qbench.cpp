// The chart windows on the largest survey, offscreen. Targets: "View Fraser"
// from the command to the first painted chart <= 300 ms; the column plot of
// "Q (%)" (64000 points) the same; toggling one curve <= 30 ms; "Karous-Hjelt
// section" and "Fraser map" from the command to the first painted chart
// <= 500 ms each.
#include "app/main_window.h"
#include "app/measurement_table_model.h"
#include "processing/graph_plots.h"
#include "processing/ui/chart/graph_chart.h"
#include "processing/ui/view_graph_window.h"
#include "widgets/measurement_table_view.h"
#include "window_bench_support.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QHeaderView>
#include <QListWidget>
#include <benchmark/benchmark.h>

using namespace veldro;

namespace {

// Every graph window painted once; VELDRO_BENCH_PICTURE names a file to look
// at what was painted.
void paintChart(QDialog& dialog) {
    // The chart lays itself out on a posted request, before it is painted.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
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

void BM_ToggleOneCurve(benchmark::State& state) {
    bench::OpenSurvey& f = fixture();
    TViewGraphFrm graph(f.ui, &f.window());
    graph.setGeometry(f.window().geometry());
    plotFraser(*f.window().store(), f.window().rowList(), graph);
    graph.show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* view = graph.findChild<QChartView*>(QStringLiteral("Chart1"));
    view->viewport()->repaint();
    QListWidgetItem* first =
        graph.findChild<QListWidget*>(QStringLiteral("CheckListBox1"))->item(0);
    for (auto _ : state) {
        first->setCheckState(first->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        view->viewport()->repaint();
    }
    state.counters["curves"] = graph.curveCount();
}
BENCHMARK(BM_ToggleOneCurve)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
