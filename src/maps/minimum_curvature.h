#pragma once

#include "maps/plan_grid.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace veldro {

// A grid bigger than this gets coarser cells: it would show no more than the
// lines hold, and its solve would take seconds.
inline constexpr std::size_t kMostGridNodes = 250000;

struct GriddingOptions {
    double cell = 0; // m; 0: about a quarter of the line spacing
    // How much smoother along the strike than across it: 1 the same, 3 three
    // times the reach along the strike (conductors run along it, and the lines
    // are walked across them).
    double anisotropy = 1;
    // Degrees east of north; unless given, across the lines' mean direction.
    std::optional<double> strikeAzimuth;
    double blankDistance = 0; // m; 0: 1.5 line spacings
};

// The typical distance between neighbouring lines: the median over lines of
// the distance from a line's middle point to the nearest point of another.
// A lone line counts a tenth of its length; points all at one place, 1 m.
double lineSpacing(const std::vector<ScatterPoint>& points);
// The lines' mean direction, degrees east of north from 0 to 180 (each line
// from its first point to its last, weighed by its length).
double linesAzimuth(const std::vector<ScatterPoint>& points);

// The points' values on a regular grid by minimum curvature: the surface of
// least curvature (in coordinates stretched along the strike by the
// anisotropy) that passes through the data, cells farther than the blanking
// distance from any point left blank. Points come line by line, each line's
// in order along it. Throws std::invalid_argument for no points, a value or
// coordinate that is not finite, or an option out of range.
PlanGrid gridMinimumCurvature(const std::vector<ScatterPoint>& points,
                              const GriddingOptions& options = {});

// Blanks the nodes farther than `distance` from every point.
void blankFarNodes(PlanGrid& grid, const std::vector<ScatterPoint>& points, double distance);

} // namespace veldro
