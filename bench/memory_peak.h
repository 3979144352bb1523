// The process's peak resident memory while a benchmark runs (Linux).
#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace veldro::bench {

// A field of /proc/self/status ("VmHWM": the peak resident memory) in megabytes.
inline double statusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024;
    return 0;
}

// Runs `read` once an iteration and reports the process's peak resident
// memory during it, the program itself included.
template <typename Read> inline void measurePeak(benchmark::State& state, Read read) {
    double peak = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from now
        read();
        peak = std::max(peak, statusMegabytes("VmHWM"));
    }
    state.counters["peak_MB"] = peak;
}

} // namespace veldro::bench
