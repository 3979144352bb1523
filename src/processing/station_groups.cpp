#include "processing/station_groups.h"

#include "data/measurement_record.h"
#include "data/survey_view.h"

#include <algorithm>

namespace veldro {

std::vector<RunGroups> runStationGroups(const SurveyView& survey) {
    std::vector<RunGroups> runs;
    RunDetection detection;
    for (int i = 0; i < survey.size(); ++i) {
        const MeasurementRecord& r = survey.record(i);
        const FraserRun& run = detection.current(r.frequencyNumber());
        // Curves are handed out one after the other, so a new run is the next entry.
        if (detection.follow(r)) runs.push_back({run, {}});
        if (!survey.kept(i) || r.resistivityMode()) continue;
        std::vector<StationGroup>& groups = runs[static_cast<std::size_t>(run.curve)].groups;
        if (!groups.empty() && groups.back().station == r.station) {
            groups.back().sum += r.tiltVertical;
            ++groups.back().count;
        } else {
            groups.push_back({r.station, r.tiltVertical, 1});
        }
    }
    return runs;
}

} // namespace veldro
