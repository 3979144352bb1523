#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace veldro {

// A regular grid of nodes over the map: node (c, r) at easting x0 + c * cell
// and northing y0 + r * cell, row 0 the southernmost.
struct GridGeometry {
    double x0 = 0;
    double y0 = 0;
    double cell = 1;
    int columns = 0;
    int rows = 0;

    double x(int column) const { return x0 + column * cell; }
    double y(int row) const { return y0 + row * cell; }
    std::size_t nodes() const { return static_cast<std::size_t>(columns) * rows; }
    bool operator==(const GridGeometry&) const = default;
};

// Values at a grid's nodes, row after row from the south: [r * columns + c];
// NaN where the grid is blank (too far from any data to say).
struct PlanGrid {
    GridGeometry geometry;
    std::vector<double> values;

    double at(int column, int row) const {
        return values[static_cast<std::size_t>(row) * geometry.columns + column];
    }
    // The smallest and largest value that is not blank; nothing when all are.
    std::optional<std::pair<double, double>> range() const;
};

// A value measured at a point of the map, on one of the survey's lines.
struct ScatterPoint {
    double x = 0; // easting, m
    double y = 0; // northing, m
    double value = 0;
    int line = 0; // the profile it was measured on
};

} // namespace veldro
