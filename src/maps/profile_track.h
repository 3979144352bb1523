#pragma once

#include "data/station_positions.h"

#include <optional>
#include <vector>

namespace veldro {

// Where a profile was walked: its stations' map positions and heights, and
// the places between them, straight from one placed station to the next.
class ProfileTrack {
public:
    ProfileTrack(const StationPositions& positions, int profile);

    // The map position at a station number (a fraction between stations),
    // from the placed stations either side; nothing outside them, or when
    // the profile has fewer than two (one station is placed at itself only).
    std::optional<PlanPoint> plan(double station) const;
    // The surface's height there, from the stations with an elevation.
    std::optional<double> elevation(double station) const;
    bool placed() const { return !plans_.empty(); }

private:
    std::vector<std::pair<double, PlanPoint>> plans_; // by station
    std::vector<std::pair<double, double>> heights_;  // by station
};

} // namespace veldro
