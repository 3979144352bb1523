#include "maps/survey_maps.h"

#include "maps/profile_track.h"
#include "processing/fraser_map.h"
#include "processing/karous_hjelt.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace veldro {

namespace {

// Places each profile's (station, value) pairs along its track.
PlacedValues place(const std::map<int, std::vector<FieldPoint>>& byProfile,
                   const StationPositions& positions) {
    PlacedValues placed;
    std::vector<int> profiles;
    for (const auto& [profile, points] : byProfile) {
        const ProfileTrack track(positions, profile);
        if (!track.placed()) {
            placed.unplacedProfiles.push_back(profile);
            continue;
        }
        profiles.push_back(profile);
        for (const FieldPoint& p : points)
            if (const std::optional<PlanPoint> at = track.plan(p.x))
                placed.values.push_back({profile, p.x, *at, p.value});
    }
    placed.lines = mappedLines(positions, profiles);
    return placed;
}

} // namespace

PlacedValues placeFraserMap(const FraserMap& map, const StationPositions& positions) {
    std::map<int, std::vector<FieldPoint>> byProfile;
    for (const FraserMapLine& line : map.lines)
        if (!line.values.empty()) byProfile[line.profile] = line.values;
    return place(byProfile, positions);
}

PlacedValues placeKhDepth(const std::vector<KhRun>& runs, int frequencyNumber, double depth,
                          const StationPositions& positions) {
    std::map<int, std::vector<FieldPoint>> byProfile;
    for (const KhRun& run : runs) {
        if (run.run.frequencyNumber != frequencyNumber || run.values.empty() || run.spacing <= 0)
            continue;
        const int level = static_cast<int>(std::lround(depth / run.spacing));
        std::vector<FieldPoint>& points = byProfile[run.run.profile];
        for (const KhValue& v : run.values)
            if (v.level == level && level >= 1) points.push_back({v.x, v.value});
        std::sort(points.begin(), points.end(),
                  [](const FieldPoint& a, const FieldPoint& b) { return a.x < b.x; });
    }
    std::erase_if(byProfile, [](const auto& entry) { return entry.second.empty(); });
    return place(byProfile, positions);
}

std::vector<MappedLine> mappedLines(const StationPositions& positions,
                                    const std::vector<int>& profiles) {
    std::vector<MappedLine> lines;
    for (const int profile : profiles) {
        MappedLine line{profile, {}};
        for (const StationPosition& p : positions.all())
            if (p.key.profile == profile && p.plan) line.path.push_back(*p.plan);
        if (!line.path.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<ScatterPoint> scatterPoints(const std::vector<MappedValue>& values) {
    std::vector<ScatterPoint> points;
    points.reserve(values.size());
    for (const MappedValue& v : values)
        points.push_back({v.at.easting, v.at.northing, v.value, v.profile});
    return points;
}

} // namespace veldro
