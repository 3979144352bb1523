// Gridding 64000 records by minimum curvature, target < 2 s: 80 lines 50 m
// apart, 800 stations 5 m apart on each, over a conductor striking across them.
#include "maps/minimum_curvature.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace veldro;

std::vector<ScatterPoint> largestSurveyPoints() {
    std::vector<ScatterPoint> points;
    for (int line = 0; line < 80; ++line)
        for (int station = 0; station < 800; ++station) {
            const double x = 5.0 * station, y = 50.0 * line;
            const double off = x - 2000 - 0.3 * y;
            points.push_back({x, y, 40 * off / (off * off / 400 + 20), line});
        }
    return points;
}

void GridLargestSurvey(benchmark::State& state) {
    const std::vector<ScatterPoint> points = largestSurveyPoints();
    std::size_t nodes = 0;
    for (auto _ : state) {
        const PlanGrid grid = gridMinimumCurvature(points);
        nodes = grid.geometry.nodes();
        benchmark::DoNotOptimize(grid.values.data());
    }
    state.counters["points"] = static_cast<double>(points.size());
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(GridLargestSurvey)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
