// Files picked by mistake: the process's peak memory while opening a 4 GB .vlf
// (sparse, its holes read as zero records) and importing a .bru of a million lines.
// Target: the open peaks under 100 MB; neither grows with the file.
#include "data/bru_import.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/progress.h"
#include "data/survey_generator.h"
#include "data/vlf_file.h"
#include "memory_peak.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace veldro;
using veldro::bench::measurePeak;

namespace {

class KeptMessages : public MessageSink {
public:
    void show(const Message& message) override { shown.push_back(message.text); }
    std::vector<std::string> shown;
};

struct Files {
    std::string folder;
    std::string hugeVlf, millionBru;

    Files() {
        folder = (std::filesystem::temp_directory_path() / "veldro-bench-XXXXXX").string();
        if (!::mkdtemp(folder.data())) std::abort();
        hugeVlf = folder + "/huge.vlf";
        millionBru = folder + "/million.bru";
        MeasurementStore store;
        for (const MeasurementRecord& r : generateSurvey(MeasurementStore::kCapacity, 3))
            store.append(r);
        store.saveToFile(hugeVlf);
        if (::truncate(hugeVlf.c_str(), off_t{4} << 30) != 0) std::abort();
        writeFileAtomically(millionBru, bruTextOf(generateSurvey(1'000'000, 5)));
    }
    ~Files() { std::filesystem::remove_all(folder); }
};

const Files& files() {
    static const Files made;
    return made;
}

// The window's bar: its length makes the import count the lines first.
class Bar : public Progress {
public:
    void setMaximum(int) override {}
    void setPosition(int value) override { position_ = value; }
    int position() const override { return position_; }

private:
    int position_ = 0;
};

void OpenSparse4GbVlf(benchmark::State& state) {
    const Files& f = files();
    KeptMessages messages;
    int records = 0;
    measurePeak(state, [&] {
        const DataFileRead read = readDataFile(f.hugeVlf, messages);
        records = read.store->count();
    });
    if (records != MeasurementStore::kCapacity || messages.shown.empty() ||
        messages.shown.back() != "64000 data points max kept")
        state.SkipWithError("the huge file did not open as a full one with the warning");
    state.counters["records"] = records;
}
BENCHMARK(OpenSparse4GbVlf)->Unit(benchmark::kMillisecond);

void ImportMillionLineBru(benchmark::State& state) {
    const Files& f = files();
    KeptMessages messages;
    BruImportResult result;
    Bar bar;
    measurePeak(state, [&] {
        MeasurementStore store;
        result = ImportBru(store, f.millionBru, state.range(0) ? &bar : nullptr, messages);
    });
    if (result.lines != 1'000'000 || messages.shown.empty() ||
        messages.shown.back() !=
            "936000 points rejected\nPlease edit BRU file to correct bad records")
        state.SkipWithError("the import did not count every rejected line");
    state.counters["lines"] = static_cast<double>(result.lines);
    state.counters["rejected"] = static_cast<double>(result.rejected());
}
BENCHMARK(ImportMillionLineBru)->ArgName("bar")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
