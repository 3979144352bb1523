#pragma once

#include "data/station_positions.h"
#include "interpretation/profile_data.h"

#include <vector>

namespace veldro {

// The surface under a profile's stations from the elevations their positions
// give: a point at each station that has one, linear between them and flat
// beyond. None, a flat line, when fewer than two stations have an elevation
// or all have the same.
std::vector<TerrainPoint> profileTopography(const ProfileData& data,
                                            const StationPositions& positions);

} // namespace veldro
