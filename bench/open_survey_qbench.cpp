// Opening the largest survey in the window, offscreen: from the command to
// the first rows painted, and the process's peak memory with it open.
// Target: 64000 records shown within 150 ms; peak memory at most 120 MB.
#include "app/data_session.h"
#include "data/rows.h"
#include "widgets/measurement_table_view.h"
#include "window_bench_support.h"

#include <QAction>
#include <QTableView>
#include <sys/resource.h>

using namespace veldro;

namespace {

QTableView* table(bench::OpenSurvey& f) {
    return f.window().findChild<QTableView*>(QStringLiteral("TabMesureCLstView"));
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_OpenLargestSurveyToFirstRowsPainted(benchmark::State& state) {
    bench::OpenSurvey& f = bench::openSurvey();
    for (auto _ : state) {
        f.action("Ouvrir1")->trigger();
        table(f)->viewport()->repaint();
    }
    if (f.window().rowList().size() != MeasurementStore::kCapacity)
        state.SkipWithError("the survey did not open whole");
    state.counters["rows"] = f.window().rowList().size();
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_OpenLargestSurveyToFirstRowsPainted)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RebuildRowsOfLargestSurvey(benchmark::State& state) {
    bench::OpenSurvey& f = bench::openSurvey();
    for (auto _ : state) f.window().session().rebuildRows(false);
}
BENCHMARK(BM_RebuildRowsOfLargestSurvey)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PaintVisibleRows(benchmark::State& state) {
    bench::OpenSurvey& f = bench::openSurvey();
    for (auto _ : state) table(f)->viewport()->repaint();
}
BENCHMARK(BM_PaintVisibleRows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
