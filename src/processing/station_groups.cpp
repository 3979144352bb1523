#include "processing/station_groups.h"

#include "data/measurement_store.h"
#include "data/rows.h"

#include <algorithm>

namespace veldro {

std::vector<RunGroups> runStationGroups(const MeasurementStore& store, const RowList& rows) {
    std::vector<RunGroups> runs;
    RunDetection detection;
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        const MeasurementRecord& r = store.record(i);
        const FraserRun& run = detection.current(r.frequencyNumber());
        // Curves are handed out one after the other, so a new run is the next entry.
        if (detection.follow(r)) runs.push_back({run, {}});
        if (!rows.kept(i) || r.resistivityMode()) continue;
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
