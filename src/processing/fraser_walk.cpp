#include "processing/fraser_walk.h"

#include "data/measurement_record.h"
#include "data/number_text.h"
#include "data/survey_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace veldro {

namespace {

// Profiles and stations are 16-bit, so this never equals a real one.
constexpr std::int32_t kNotSeen = -99999;

struct FraserTrack {
    std::int32_t groupProfile = kNotSeen;
    std::int32_t groupStation = kNotSeen;
    std::int32_t groupSum = 0;
    std::int32_t groupCount = 0;
    std::array<std::int32_t, 4> windowStations{};
    std::array<float, 4> windowAverages{};
    std::int32_t filled = 0;
    std::int32_t targetCurve = -1;
    std::int32_t targetProfile = 0;
    std::int32_t targetFrequency = 0;
    std::int32_t lastRow = -1;

    // Closes the open group into the newest window slot.
    void shiftWindow() {
        std::copy(windowStations.begin() + 1, windowStations.end(), windowStations.begin());
        std::copy(windowAverages.begin() + 1, windowAverages.end(), windowAverages.begin());
        windowStations[3] = groupStation;
        if (groupCount > 0) windowAverages[3] = stationAverage(groupSum, groupCount);
    }

    void emit(FraserVisitor& visitor) const {
        visitor.curveUsed(targetCurve);
        // Oldest first, left to right in extended precision: (A0 + A1) - (A2 + A3).
        const long double f = static_cast<long double>(windowAverages[0]) + windowAverages[1] -
                              windowAverages[2] - windowAverages[3];
        const bool failed = !std::isfinite(f) || std::fabs(f) > 3.4028234663852886e38L;
        FraserValue v;
        v.curve = targetCurve;
        v.value = failed ? kFraserFailed : static_cast<float>(f);
        v.x = static_cast<float>(windowStations[0] + windowStations[3]) * 0.5f;
        v.profile = targetProfile;
        v.frequency = targetFrequency;
        std::copy(windowStations.begin(), windowStations.end(), v.stations.begin());
        visitor.value(v);
    }
};

} // namespace

float stationAverage(std::int32_t sum, std::int32_t count) {
    return static_cast<float>(static_cast<double>(sum) / static_cast<double>(count));
}

std::string fraserCurveTitle(int profile, int frequencyNumber) {
    std::string title = "Prof";
    appendInteger(title, profile);
    title += frequencyNumber == 2 ? ",Freq2" : ",Freq1";
    return title;
}

RunDetection::RunDetection() {
    for (FraserRun& run : runs_) {
        run.profile = kNotSeen;
        run.curve = -1;
    }
}

bool RunDetection::follow(const MeasurementRecord& r) {
    FraserRun& run = runs_[static_cast<std::size_t>(r.frequencyNumber() - 1)];
    if (r.profile == run.profile) return false;
    run.curve = std::max(runs_[0].curve, runs_[1].curve) + 1;
    run.profile = r.profile;
    run.frequencyNumber = r.frequencyNumber();
    run.frequency = r.frequency;
    run.title = fraserCurveTitle(r.profile, r.frequencyNumber());
    return true;
}

void walkFraser(const SurveyView& survey, FraserVisitor& visitor) {
    RunDetection runs;
    std::array<FraserTrack, 2> tracks;
    for (int i = 0; i < survey.size(); ++i) {
        const MeasurementRecord& r = survey.record(i);
        if (runs.follow(r)) visitor.newRun(runs.current(r.frequencyNumber()));
        if (!survey.kept(i) || r.resistivityMode()) continue;
        const FraserRun& run = runs.current(r.frequencyNumber());
        FraserTrack& t = tracks[static_cast<std::size_t>(r.frequencyNumber() - 1)];
        t.lastRow = i;
        if (r.station == t.groupStation && run.profile == t.groupProfile) {
            t.groupSum += r.tiltVertical;
            ++t.groupCount;
            continue;
        }
        t.shiftWindow();
        t.groupStation = r.station;
        t.groupSum = r.tiltVertical;
        t.groupCount = 1;
        if (t.filled == 4) t.emit(visitor);
        if (t.filled < 4) ++t.filled;
        // A new profile starts the window again, so no value mixes two profiles.
        if (run.profile != t.groupProfile) t.filled = 1;
        // Set only after the emission: the value completed at a profile's end
        // still belongs to the run of its four groups.
        t.groupProfile = run.profile;
        t.targetCurve = run.curve;
        t.targetProfile = run.profile;
        t.targetFrequency = run.frequency;
    }
    for (FraserTrack& t : tracks) {
        if (t.lastRow < 1) continue;
        t.shiftWindow();
        if (t.filled == 4) t.emit(visitor);
    }
}

} // namespace veldro
