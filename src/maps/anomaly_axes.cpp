#include "maps/map_features.h"

#include <cmath>
#include <map>

namespace veldro {

std::vector<AnomalyAxis> anomalyAxes(const std::vector<MappedValue>& values, double threshold,
                                     double reach) {
    // Each profile's picks: values over the threshold that stand no lower
    // than either neighbour along the line.
    std::map<int, std::vector<MappedValue>> picks;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const MappedValue& v = values[i];
        if (v.value < threshold) continue;
        const bool sameBefore = i > 0 && values[i - 1].profile == v.profile;
        const bool sameAfter = i + 1 < values.size() && values[i + 1].profile == v.profile;
        if (sameBefore && values[i - 1].value > v.value) continue;
        if (sameAfter && values[i + 1].value > v.value) continue;
        // A flat crest of equal values is picked once, at its first.
        if (sameBefore && values[i - 1].value == v.value) continue;
        picks[v.profile].push_back(v);
    }
    std::vector<AnomalyAxis> axes;
    std::vector<std::size_t> open; // the axes that a pick of the last profile ends
    for (const auto& [profile, own] : picks) {
        std::vector<std::size_t> next;
        std::vector<bool> taken(open.size(), false);
        for (const MappedValue& pick : own) {
            std::size_t best = open.size();
            double bestDistance = reach;
            for (std::size_t k = 0; k < open.size(); ++k) {
                const MappedValue& end = axes[open[k]].picks.back();
                const double d = std::hypot(end.at.easting - pick.at.easting,
                                            end.at.northing - pick.at.northing);
                if (!taken[k] && d <= bestDistance) {
                    best = k;
                    bestDistance = d;
                }
            }
            if (best < open.size()) {
                taken[best] = true;
                axes[open[best]].picks.push_back(pick);
                next.push_back(open[best]);
            } else {
                axes.push_back({{pick}});
                next.push_back(axes.size() - 1);
            }
        }
        open = std::move(next);
    }
    return axes;
}

} // namespace veldro
