#include "maps/plan_grid.h"

#include <algorithm>
#include <cmath>

namespace veldro {

std::optional<std::pair<double, double>> PlanGrid::range() const {
    std::optional<std::pair<double, double>> result;
    for (const double v : values) {
        if (std::isnan(v)) continue;
        if (!result)
            result.emplace(v, v);
        else
            result = std::pair(std::min(result->first, v), std::max(result->second, v));
    }
    return result;
}

} // namespace veldro
