// The forward model of one profile: 41 stations, 2 frequencies, 4 bodies
// under two layers. Targets: <= 100 ms on one core, peak memory <= 200 MB.
#include "interpretation/forward.h"
#include "interpretation/section_mesh.h"
#include "memory_peak.h"

#include <benchmark/benchmark.h>

namespace {

using namespace veldro;

const char* const kFourBodies = R"({
  "layers": [{"thickness": 20, "resistivity": 300}, {"resistivity": 2000}],
  "bodies": [
    {"polygon": [[440, 15], [460, 15], [460, 200], [440, 200]], "resistivity": 5},
    {"sheet": {"x": 700, "top": 10, "extent": 150, "dip": 60, "thickness": 2, "conductance": 50}},
    {"sheet": {"x": 250, "top": 30, "extent": 100, "dip": 90, "thickness": 5, "conductance": 20}},
    {"polygon": [[800, 60], [900, 60], [900, 120], [800, 120]], "resistivity": 50}
  ],
  "stations": {"from": 0, "to": 1000, "step": 25},
  "frequencies": [19800, 23400]
})";

void ForwardFourBodies(benchmark::State& state) {
    const GroundModel model = parseGroundModel(kFourBodies);
    std::size_t responses = 0;
    veldro::bench::measurePeak(state, [&] { responses = computeResponse(model).size(); });
    const SectionMesh mesh = buildMesh(model);
    state.counters["nodes"] = static_cast<double>(mesh.x.size() * mesh.z.size());
    if (responses != 82) state.SkipWithError("not one response per station and frequency");
}
BENCHMARK(ForwardFourBodies)->Unit(benchmark::kMillisecond);

} // namespace
