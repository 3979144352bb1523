// The writers over the 64000-record generated survey. Targets: raw
// spreadsheet <= 30 ms, Fraser spreadsheet <= 5 ms, formatted report <= 80 ms,
// profile list <= 2 ms.
#include "bench_support.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "export/fraser_spreadsheet.h"
#include "export/profile_export.h"
#include "export/raw_spreadsheet.h"
#include "export/report.h"

#include <benchmark/benchmark.h>

namespace {

using namespace veldro;

struct Survey {
    MeasurementStore store{0};
    RowList rows;
    Survey() {
        bench::fillLargestSurvey(store);
        rows = buildRowList(store);
    }
};

Survey& survey() {
    static Survey s;
    return s;
}

void RawSpreadsheet(benchmark::State& state) {
    Survey& s = survey();
    for (auto _ : state) {
        writeRawSpreadsheet(s.store, s.rows, ';', kAllColumns);
        benchmark::DoNotOptimize(s.store.exportBuffer.data());
    }
}
BENCHMARK(RawSpreadsheet)->Unit(benchmark::kMillisecond);

void FraserSpreadsheet(benchmark::State& state) {
    Survey& s = survey();
    for (auto _ : state) {
        writeFraserSpreadsheet(s.store, s.rows, ';');
        benchmark::DoNotOptimize(s.store.exportBuffer.data());
    }
}
BENCHMARK(FraserSpreadsheet)->Unit(benchmark::kMillisecond);

// The blocks and the finished report's bytes.
void FormattedReport(benchmark::State& state) {
    Survey& s = survey();
    for (auto _ : state) {
        writeReport(s.store, s.rows, kAllColumns);
        std::string text = finishedReport("survey.vlf", s.store);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(FormattedReport)->Unit(benchmark::kMillisecond);

void ProfileList(benchmark::State& state) {
    Survey& s = survey();
    for (auto _ : state) {
        auto items = buildProfileItems(s.store, s.rows);
        benchmark::DoNotOptimize(items.data());
    }
}
BENCHMARK(ProfileList)->Unit(benchmark::kMillisecond);

} // namespace
