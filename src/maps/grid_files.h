#pragma once

#include "maps/plan_grid.h"

#include <string>

namespace veldro {

// Grids for other programs, '.' before decimals whatever the locale.

// ESRI's ASCII grid (.asc): ncols, nrows, the lower left node's centre
// (xllcenter, yllcenter), cellsize and NODATA_value -99999, then the rows
// from the north, values separated by spaces.
inline constexpr double kEsriNoData = -99999;
std::string esriAsciiGrid(const PlanGrid& grid);

// Surfer's ASCII grid (.grd, "DSAA"), which every version of Surfer reads:
// the node counts, the x, y and value ranges, then the rows from the south;
// blank nodes hold 1.70141e38.
inline constexpr double kSurferBlank = 1.70141e38;
std::string surferGrid(const PlanGrid& grid);

} // namespace veldro
