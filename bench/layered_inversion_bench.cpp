// The 1D inversion of Rho and phase. Target (2 cores): 64 000 records, from
// the survey to each station's two layers, in <= 5 s.
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "interpretation/forward.h"
#include "interpretation/layered_inversion.h"
#include "interpretation/model_survey.h"

#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

using namespace veldro;

constexpr int kProfiles = 40;
constexpr int kStations = 800; // two frequencies each: 64 000 records in all

// Profiles over two layers whose top thickens from profile to profile, 2 %
// noise, in resistivity mode.
MeasurementStore twoLayerSurvey() {
    MeasurementStore store{0};
    for (int profile = 1; profile <= kProfiles; ++profile) {
        GroundModel model;
        model.layers = {{5.0 + profile, 150}, {0, 1500}};
        for (int s = 0; s < kStations; ++s) model.stations.push_back(10.0 * s);
        model.frequencies = {19800, 23400};
        for (const MeasurementRecord& r : modelSurvey(model, computeResponse(model),
                                                      {.profile = profile,
                                                      .noisePercent = 2,
                                                      .seed = static_cast<unsigned>(profile),
                                                      .resistivityMode = true}))
            store.append(r);
    }
    return store;
}

void Invert1d64000Records(benchmark::State& state) {
    const MeasurementStore store = twoLayerSurvey();
    const RowList rows = buildRowList(store);
    const SurveyView survey(store, rows);
    const auto threads = static_cast<unsigned>(state.range(0));
    double worst = 0;
    std::size_t stations = 0;
    for (auto _ : state) {
        std::vector<Sounding> all;
        for (int profile : survey.keptProfiles()) {
            std::vector<Sounding> some =
                soundings(profileData(survey, profile, {.data = InversionData::Resistivity}));
            all.insert(all.end(), some.begin(), some.end());
        }
        const std::vector<LayeredModel> models = invertSoundings(all, 0, threads);
        stations = models.size();
        for (const LayeredModel& m : models) worst = std::max(worst, m.rms);
    }
    state.counters["records"] = static_cast<double>(store.count());
    state.counters["stations"] = static_cast<double>(stations);
    state.counters["worst_rms"] = worst;
}
BENCHMARK(Invert1d64000Records)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
