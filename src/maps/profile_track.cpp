#include "maps/profile_track.h"

#include <algorithm>

namespace veldro {

namespace {

// The two entries either side of `at` and how far between them; nothing
// outside the first and last.
template <typename T>
std::optional<T> between(const std::vector<std::pair<double, T>>& entries, double at,
                         T (*mix)(const T&, const T&, double)) {
    if (entries.empty() || at < entries.front().first || at > entries.back().first)
        return std::nullopt;
    const auto above = std::lower_bound(entries.begin(), entries.end(), at,
                                        [](const auto& e, double v) { return e.first < v; });
    if (above->first == at) return above->second;
    const auto below = above - 1;
    const double t = (at - below->first) / (above->first - below->first);
    return mix(below->second, above->second, t);
}

PlanPoint mixPlan(const PlanPoint& a, const PlanPoint& b, double t) {
    return {a.easting + t * (b.easting - a.easting), a.northing + t * (b.northing - a.northing)};
}

double mixHeight(const double& a, const double& b, double t) {
    return a + t * (b - a);
}

} // namespace

ProfileTrack::ProfileTrack(const StationPositions& positions, int profile) {
    // Positions come by profile, then station.
    for (const StationPosition& p : positions.all()) {
        if (p.key.profile != profile) continue;
        if (p.plan) plans_.emplace_back(p.key.station, *p.plan);
        if (p.elevation) heights_.emplace_back(p.key.station, *p.elevation);
    }
}

std::optional<PlanPoint> ProfileTrack::plan(double station) const {
    return between(plans_, station, mixPlan);
}

std::optional<double> ProfileTrack::elevation(double station) const {
    return between(heights_, station, mixHeight);
}

} // namespace veldro
