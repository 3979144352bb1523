// The forward model of one profile: 41 stations, 2 frequencies, 4 bodies
// under two layers (examples/four_bodies.json). Targets: <= 100 ms on one core, peak memory <= 200
// MB.
#include "interpretation/forward.h"
#include "interpretation/section_mesh.h"
#include "memory_peak.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace veldro;

void ForwardFourBodies(benchmark::State& state) {
    std::ifstream file(VELDRO_EXAMPLES "/four_bodies.json");
    const GroundModel model = parseGroundModel(
        std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
    std::size_t responses = 0;
    veldro::bench::measurePeak(state, [&] { responses = computeResponse(model).size(); });
    const SectionMesh mesh = buildMesh(model);
    state.counters["nodes"] = static_cast<double>(mesh.x.size() * mesh.z.size());
    if (responses != 82) state.SkipWithError("not one response per station and frequency");
}
BENCHMARK(ForwardFourBodies)->Unit(benchmark::kMillisecond);

} // namespace
