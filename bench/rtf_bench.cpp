// The RTF reader and writer on the formatted report of the 64000-record
// survey (740 000 lines, 20 MB as text, 23 MB as RTF). Targets: each <= 300 ms.
#include "bench_support.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "export/report.h"
#include "export/rtf.h"
#include "export/text_document.h"

#include <benchmark/benchmark.h>

namespace {

using namespace veldro;

// The report as the viewer holds it: one run in its font.
struct Report {
    StyledText runs;
    std::string rtf;
    Report() {
        MeasurementStore store(0);
        bench::fillLargestSurvey(store);
        writeReport(store, buildRowList(store), kAllColumns);
        TextStyle style;
        style.font = "Courier New";
        style.halfPoints = 20;
        runs.append(textFromCp1252(finishedReport("/surveys/north grid.vlf", store)), style);
        rtf = writeRtf(runs);
    }
};

Report& report() {
    static Report r;
    return r;
}

void WriteRtfOfLargestReport(benchmark::State& state) {
    Report& r = report();
    for (auto _ : state) {
        std::string rtf = writeRtf(r.runs);
        benchmark::DoNotOptimize(rtf.data());
    }
    state.counters["MB"] = static_cast<double>(r.rtf.size()) / 1e6;
}
BENCHMARK(WriteRtfOfLargestReport)->Unit(benchmark::kMillisecond);

void ReadRtfOfLargestReport(benchmark::State& state) {
    Report& r = report();
    for (auto _ : state) {
        StyledText runs = readRtf(r.rtf);
        benchmark::DoNotOptimize(runs);
    }
    state.counters["MB"] = static_cast<double>(r.rtf.size()) / 1e6;
}
BENCHMARK(ReadRtfOfLargestReport)->Unit(benchmark::kMillisecond);

// A hostile 1 MB file: a font name of 100 000 bytes, then a style switch
// every four bytes. Target: under 2 s (it took 49 s when every run kept its
// own copy of the name).
void ReadRtfSwitchingStyleEveryFewBytes(benchmark::State& state) {
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(100000, 'F') + ";}}\\f0 ";
    while (rtf.size() < 1000000) rtf += "\\b a\\b0 a";
    for (auto _ : state) {
        StyledText runs = readRtf(rtf);
        benchmark::DoNotOptimize(runs);
    }
    state.counters["MB"] = static_cast<double>(rtf.size()) / 1e6;
}
BENCHMARK(ReadRtfSwitchingStyleEveryFewBytes)->Unit(benchmark::kMillisecond);

} // namespace
