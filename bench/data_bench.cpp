// The data core on a full instrument memory: 64000 records.
#include "data/bru_import.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/record_text.h"
#include "data/survey_generator.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <unistd.h>

using namespace veldro;

namespace {

constexpr int kFull = MeasurementStore::kCapacity;

class SilentMessages : public MessageSink {
public:
    void show(const Message&) override {}
};

const std::vector<MeasurementRecord>& survey() {
    static const auto records = generateSurvey(kFull, 3);
    return records;
}

MeasurementStore fullStore() {
    MeasurementStore store;
    for (const auto& r : survey()) store.append(r);
    return store;
}

void LoadFromImage(benchmark::State& state) {
    MeasurementStore store = fullStore();
    store.writeImage(ImageMode::Full, false, 0, 0);
    SilentMessages messages;
    for (auto _ : state) {
        store.loadFromImage(messages);
        benchmark::DoNotOptimize(store.count());
    }
}
BENCHMARK(LoadFromImage)->Unit(benchmark::kMillisecond);

void WriteImage(benchmark::State& state) {
    MeasurementStore store = fullStore();
    for (auto _ : state) {
        store.writeImage(ImageMode::Full, false, 0, 0);
        benchmark::DoNotOptimize(store.image.data());
    }
}
BENCHMARK(WriteImage)->Unit(benchmark::kMillisecond);

void DecodeRecordTexts(benchmark::State& state) {
    std::vector<std::pair<char, std::string>> texts;
    for (const auto& r : survey())
        texts.emplace_back(headerLetterOf(r), encodeRecordText(r) + "\r\n");
    for (auto _ : state) {
        int decoded = 0;
        for (const auto& [letter, text] : texts)
            decoded += decodeRecordText(letter, text).has_value();
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(DecodeRecordTexts)->Unit(benchmark::kMillisecond);

void ImportBru64000Lines(benchmark::State& state) {
    char pattern[] = "/tmp/veldro-bench-XXXXXX.bru";
    const int fd = ::mkstemps(pattern, 4);
    ::close(fd);
    writeFileAtomically(pattern, bruTextOf(survey()));
    SilentMessages messages;
    for (auto _ : state) {
        MeasurementStore store;
        ImportBru(store, pattern, nullptr, messages);
        benchmark::DoNotOptimize(store.count());
    }
    ::unlink(pattern);
}
BENCHMARK(ImportBru64000Lines)->Unit(benchmark::kMillisecond);

} // namespace
