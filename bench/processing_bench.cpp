// Over the 64000-record generated survey: the Fraser walk, target <= 2 ms;
// the Karous-Hjelt values of all runs (8 levels), target <= 20 ms.
#include "bench_support.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "processing/fraser_walk.h"
#include "processing/karous_hjelt.h"

#include <benchmark/benchmark.h>

namespace {

using namespace veldro;

struct Counter : FraserVisitor {
    int values = 0;
    void value(const FraserValue&) override { ++values; }
};

void FraserWalk(benchmark::State& state) {
    MeasurementStore store{0};
    bench::fillLargestSurvey(store);
    const RowList rows = buildRowList(store);
    for (auto _ : state) {
        Counter counter;
        walkFraser(SurveyView(store, rows), counter);
        benchmark::DoNotOptimize(counter.values);
    }
}
BENCHMARK(FraserWalk)->Unit(benchmark::kMicrosecond);

void KarousHjeltOfAllRuns(benchmark::State& state) {
    MeasurementStore store{0};
    bench::fillLargestSurvey(store);
    const RowList rows = buildRowList(store);
    std::size_t values = 0;
    for (auto _ : state) {
        values = 0;
        for (const KhRun& run : karousHjelt(SurveyView(store, rows), kDefaultKhLevels))
            values += run.values.size();
        benchmark::DoNotOptimize(values);
    }
    state.counters["values"] = static_cast<double>(values);
}
BENCHMARK(KarousHjeltOfAllRuns)->Unit(benchmark::kMillisecond);

} // namespace
