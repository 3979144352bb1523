#pragma once

#include "processing/fraser_walk.h"

#include <cstdint>
#include <vector>

namespace veldro {

// Consecutive contributing rows (kept, tilt mode) of one run with one station.
struct StationGroup {
    int station = 0;
    std::int32_t sum = 0; // of the vertical tilts
    std::int32_t count = 0;
    float average() const { return stationAverage(sum, count); }
};

// A run of the Fraser walk's run detection with its station groups in row
// order. Rows of the other frequency number and rows that do not contribute
// neither end nor join a group; unlike the walk's window, a group never
// continues into another run.
struct RunGroups {
    FraserRun run;
    std::vector<StationGroup> groups;
};

// Every run, in the order of its curve index (so runs[c].run.curve == c),
// runs without a contributing row included.
std::vector<RunGroups> runStationGroups(const SurveyView& survey);

} // namespace veldro
