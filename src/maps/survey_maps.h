#pragma once

#include "maps/map_features.h"
#include "maps/plan_grid.h"

#include <vector>

namespace veldro {

struct FraserMap;
struct KhRun;

// A survey's values placed on the map, its profiles as walked, and the
// profiles with values that the positions do not place.
struct PlacedValues {
    std::vector<MappedValue> values; // profile by profile, along each
    std::vector<MappedLine> lines;
    std::vector<int> unplacedProfiles;
};

// The Fraser values of a map at their places between the stations.
PlacedValues placeFraserMap(const FraserMap& map, const StationPositions& positions);

// Each run's Karous-Hjelt values of frequency number `frequencyNumber` at the
// level nearest `depth` metres (n times the run's spacing, within half a
// spacing; a run whose levels do not reach it gives none).
PlacedValues placeKhDepth(const std::vector<KhRun>& runs, int frequencyNumber, double depth,
                          const StationPositions& positions);

// The lines of the profiles in `profiles` through their placed stations.
std::vector<MappedLine> mappedLines(const StationPositions& positions,
                                    const std::vector<int>& profiles);

// The values as points to grid, each profile a line.
std::vector<ScatterPoint> scatterPoints(const std::vector<MappedValue>& values);

} // namespace veldro
