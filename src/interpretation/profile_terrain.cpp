#include "interpretation/profile_terrain.h"

#include "interpretation/terrain.h"

#include <cmath>

namespace veldro {

std::vector<TerrainPoint> profileTopography(const ProfileData& data,
                                            const StationPositions& positions) {
    std::vector<TerrainPoint> points;
    for (double station : data.stations) {
        const StationPosition* position =
            positions.find({data.profile, static_cast<int>(std::lround(station))});
        if (position && position->elevation) points.push_back({station, *position->elevation});
    }
    if (points.size() < 2 || !hasRelief(points)) return {};
    return points;
}

} // namespace veldro
