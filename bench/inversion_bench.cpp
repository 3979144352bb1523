// The inversion of profiles. Targets (2 cores): one profile of 41 stations, 2
// frequencies, tilt and ellipticity in <= 10 s on one core; one of 400
// stations 5 m apart in <= 2 minutes and <= 1 GB on one core, its first
// progress within 10 s; the demo survey's profiles, both frequencies, on 2
// threads in <= 2 minutes and <= 1 GB; the fit and sensitivity of a section
// over the demo's largest profile in <= 1 s; the depth of investigation over
// that profile of 41 stations in about twice the one inversion's time.
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "data/vlf_file.h"
#include "interpretation/body_shape.h"
#include "interpretation/depth_of_investigation.h"
#include "interpretation/inversion_fit.h"
#include "interpretation/model_survey.h"
#include "interpretation/occam_inversion.h"
#include "interpretation/profile_inversion.h"
#include "memory_peak.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>

namespace {

using namespace veldro;

class Quiet : public MessageSink {
public:
    void show(const Message&) override {}
};

// The demo survey's profiles that hold data to invert; false (the benchmark
// skipped) when the survey cannot be read.
bool demoProfiles(benchmark::State& state, const ProfileDataOptions& options,
                  std::vector<ProfileData>& profiles) {
    Quiet quiet;
    DataFileRead read = readDataFile(VELDRO_EXAMPLES "/demo_survey.vlf", quiet);
    if (read.status != DataFileStatus::Opened) {
        state.SkipWithError("the demo survey cannot be read");
        return false;
    }
    const RowList rows = buildRowList(*read.store);
    const SurveyView survey(*read.store, rows);
    for (int profile : survey.keptProfiles()) {
        ProfileData data = profileData(survey, profile, options);
        if (data.stations.size() >= 2 && !data.data.empty()) profiles.push_back(std::move(data));
    }
    return true;
}

// The profile the instrument would record over the model, 2 % noise, as the
// data set would hold it.
ProfileData surveyedProfile(const GroundModel& model) {
    MeasurementStore store{0};
    for (const MeasurementRecord& r :
         modelSurvey(model, computeResponse(model), {.noisePercent = 2, .seed = 3}))
        store.append(r);
    const RowList rows = buildRowList(store);
    return profileData(SurveyView(store, rows), 1, {});
}

// A conductive sheet (50 S, from 10 m to 70 m deep) at station 500 under a
// 1000 ohm.m ground, stations every 25 m from 0 to 1000, 2 % noise.
ProfileData sheetProfile41Stations() {
    GroundModel model;
    model.layers = {{0, 1000}};
    for (double x = 0; x <= 1000; x += 25) model.stations.push_back(x);
    model.frequencies = {19800, 23400};
    model.bodies.push_back({sheetPolygon(500, 10, 60, 90, 2), 2.0 / 50});
    return surveyedProfile(model);
}

// Reports the RMS reached and where the most conductive cell lies: across, in
// station spacings from the sheet; down, its top and bottom in metres.
void InvertOneProfile41Stations(benchmark::State& state) {
    const ProfileData data = sheetProfile41Stations();
    InversionResult result;
    veldro::bench::measurePeak(state, [&] { result = invertProfile(data, {}); });
    const auto lowest = static_cast<std::size_t>(
        std::min_element(result.log10Resistivity.begin(), result.log10Resistivity.end()) -
        result.log10Resistivity.begin());
    const std::size_t row = lowest / result.mesh.columns(), column = lowest % result.mesh.columns();
    state.counters["rms"] = result.rms;
    state.counters["iterations"] = result.iterations;
    state.counters["cells"] = static_cast<double>(result.mesh.cells());
    state.counters["conductor_offset_spacings"] =
        ((result.mesh.x[column] + result.mesh.x[column + 1]) / 2 - 500) / 25;
    state.counters["conductor_top_m"] = result.mesh.z[row];
    state.counters["conductor_bottom_m"] = result.mesh.z[row + 1];
}
BENCHMARK(InvertOneProfile41Stations)->Unit(benchmark::kSecond)->Iterations(1);

// The two more inversions of the depth of investigation over the same
// profile; reports the index's mean in the top and the bottom row under the
// stations.
void DepthOfInvestigationOneProfile41Stations(benchmark::State& state) {
    const ProfileData data = sheetProfile41Stations();
    DepthOfInvestigation doi;
    veldro::bench::measurePeak(state, [&] { doi = depthOfInvestigation(data, {}); });
    const InversionMesh mesh = inversionMesh(data.stations, data.frequencies, 1000);
    const auto rowMean = [&](std::size_t row) {
        double sum = 0;
        int count = 0;
        for (std::size_t c = 0; c < mesh.columns(); ++c)
            if (mesh.x[c] >= data.stations.front() && mesh.x[c + 1] <= data.stations.back())
                sum += doi.index[row * mesh.columns() + c], ++count;
        return sum / count;
    };
    state.counters["doi_top_row"] = rowMean(0);
    state.counters["doi_bottom_row"] = rowMean(mesh.rows() - 1);
}
BENCHMARK(DepthOfInvestigationOneProfile41Stations)->Unit(benchmark::kSecond)->Iterations(1);

// A long line: stations 5 m apart (the argument says how many) over a
// 30 ohm.m block 40 m wide, 30 m to 120 m deep, in the middle of a
// 1000 ohm.m ground. Reports the seconds to the first progress (the
// starting model's RMS) and the memory the inversion's steps take.
void InvertLongProfile(benchmark::State& state) {
    GroundModel model;
    model.layers = {{0, 1000}};
    const auto stations = static_cast<int>(state.range(0));
    for (int i = 0; i < stations; ++i) model.stations.push_back(5.0 * i);
    model.frequencies = {19800, 23400};
    const double middle = 2.5 * (stations - 1);
    model.bodies.push_back(rectangleBody({middle - 20, 30, middle + 20, 120}, 30));
    const ProfileData data = surveyedProfile(model);
    InversionResult result;
    double firstProgress = 0;
    veldro::bench::measurePeak(state, [&] {
        const auto start = std::chrono::steady_clock::now();
        result = invertProfile(data, {}, {}, [&](double) {
            firstProgress =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
    });
    state.counters["first_progress_s"] = firstProgress;
    state.counters["rms"] = result.rms;
    state.counters["iterations"] = result.iterations;
    state.counters["cells"] = static_cast<double>(result.mesh.cells());
    state.counters["data"] = static_cast<double>(data.data.size());
}
BENCHMARK(InvertLongProfile)->Arg(100)->Arg(400)->Unit(benchmark::kSecond)->Iterations(1);

void InvertDemoSurveyTwoThreads(benchmark::State& state) {
    std::vector<ProfileData> profiles;
    if (!demoProfiles(state, {}, profiles)) return;
    double worst = 0;
    veldro::bench::measurePeak(state, [&] {
        for (const ProfileInversion& p : invertEachProfile(profiles, {}, 2, false))
            worst = std::max(worst, p.result.rms);
    });
    state.counters["profiles"] = static_cast<double>(profiles.size());
    state.counters["worst_rms"] = worst;
}
BENCHMARK(InvertDemoSurveyTwoThreads)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// What a picture of an inverted profile computes besides the section: one
// forward solve with the Jacobian. Its cost does not depend on the cells'
// values, so the starting ground serves.
void InversionFitDemoLargestProfile(benchmark::State& state) {
    std::vector<ProfileData> profiles;
    if (!demoProfiles(state, {.data = InversionData::Both}, profiles)) return;
    const ProfileData& largest = *std::max_element(
        profiles.begin(), profiles.end(),
        [](const ProfileData& a, const ProfileData& b) { return a.data.size() < b.data.size(); });
    InversionResult result;
    result.mesh = inversionMesh(largest.stations, largest.frequencies, 1000);
    result.log10Resistivity.assign(result.mesh.cells(), 3);
    for (auto _ : state) benchmark::DoNotOptimize(inversionFit(largest, result, 1000));
    state.counters["data"] = static_cast<double>(largest.data.size());
    state.counters["cells"] = static_cast<double>(result.mesh.cells());
}
BENCHMARK(InversionFitDemoLargestProfile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
