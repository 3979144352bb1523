#pragma once

#include "maps/plan_grid.h"

#include <vector>

namespace veldro {

struct MapPoint {
    double x = 0;
    double y = 0;
    bool operator==(const MapPoint&) const = default;
};

// One contour level's line pieces, each across one cell of the grid.
struct Contour {
    double level = 0;
    std::vector<std::pair<MapPoint, MapPoint>> segments;
};

// Round levels between the grid's smallest and largest value, about
// `wanted` of them (1, 2 or 5 times a power of ten apart); none for a blank
// or flat grid.
std::vector<double> contourLevels(const PlanGrid& grid, int wanted = 10);

// The contour lines of the grid at each level, by marching squares: a cell
// with a blank corner has none; a saddle is split as its centre's value says.
std::vector<Contour> contours(const PlanGrid& grid, const std::vector<double>& levels);

} // namespace veldro
