#include "maps/grid_files.h"

#include "maps/number_format.h"

#include <cmath>

namespace veldro {

std::string esriAsciiGrid(const PlanGrid& grid) {
    const GridGeometry& g = grid.geometry;
    std::string out = "ncols " + std::to_string(g.columns) + "\nnrows " + std::to_string(g.rows) +
                      "\nxllcenter " + shortestNumber(g.x0) + "\nyllcenter " +
                      shortestNumber(g.y0) + "\ncellsize " + shortestNumber(g.cell) +
                      "\nNODATA_value " + shortestNumber(kEsriNoData) + "\n";
    for (int r = g.rows - 1; r >= 0; --r) {
        for (int c = 0; c < g.columns; ++c) {
            if (c > 0) out += ' ';
            const double v = grid.at(c, r);
            out += std::isnan(v) ? shortestNumber(kEsriNoData) : significantNumber(v);
        }
        out += '\n';
    }
    return out;
}

std::string surferGrid(const PlanGrid& grid) {
    const GridGeometry& g = grid.geometry;
    const auto range = grid.range().value_or(std::pair(0.0, 0.0));
    std::string out = "DSAA\n" + std::to_string(g.columns) + ' ' + std::to_string(g.rows) + '\n' +
                      shortestNumber(g.x0) + ' ' + shortestNumber(g.x(g.columns - 1)) + '\n' +
                      shortestNumber(g.y0) + ' ' + shortestNumber(g.y(g.rows - 1)) + '\n' +
                      significantNumber(range.first) + ' ' + significantNumber(range.second) + '\n';
    for (int r = 0; r < g.rows; ++r) {
        for (int c = 0; c < g.columns; ++c) {
            if (c > 0) out += ' ';
            const double v = grid.at(c, r);
            out += std::isnan(v) ? "1.70141e+38" : significantNumber(v);
        }
        out += '\n';
    }
    return out;
}

} // namespace veldro
