// The Fraser walk over the 64000-record generated survey; target <= 2 ms.
#include "bench_support.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "processing/fraser_walk.h"

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
        walkFraser(store, rows, counter);
        benchmark::DoNotOptimize(counter.values);
    }
}
BENCHMARK(FraserWalk)->Unit(benchmark::kMicrosecond);

} // namespace
