#include "maps/contours.h"

#include <cmath>

namespace veldro {

std::vector<double> contourLevels(const PlanGrid& grid, int wanted) {
    const auto range = grid.range();
    if (!range || range->second <= range->first || wanted < 1) return {};
    const double rough = (range->second - range->first) / wanted;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    double step = decade * 10;
    for (const double m : {1.0, 2.0, 5.0})
        if (m * decade >= rough) {
            step = m * decade;
            break;
        }
    std::vector<double> levels;
    for (double k = std::ceil(range->first / step); k * step <= range->second; ++k)
        levels.push_back(k * step);
    return levels;
}

std::vector<Contour> contours(const PlanGrid& grid, const std::vector<double>& levels) {
    const GridGeometry& g = grid.geometry;
    std::vector<Contour> result;
    for (const double level : levels) {
        Contour contour{level, {}};
        for (int r = 0; r + 1 < g.rows; ++r)
            for (int c = 0; c + 1 < g.columns; ++c) {
                // Corners counter-clockwise from the south-west.
                const MapPoint at[4] = {{g.x(c), g.y(r)},
                                        {g.x(c + 1), g.y(r)},
                                        {g.x(c + 1), g.y(r + 1)},
                                        {g.x(c), g.y(r + 1)}};
                const double v[4] = {grid.at(c, r), grid.at(c + 1, r), grid.at(c + 1, r + 1),
                                     grid.at(c, r + 1)};
                if (std::isnan(v[0]) || std::isnan(v[1]) || std::isnan(v[2]) || std::isnan(v[3]))
                    continue;
                // Where the level crosses each side whose ends lie either side of it.
                std::vector<MapPoint> crossings;
                std::vector<int> sides;
                for (int s = 0; s < 4; ++s) {
                    const double a = v[s], b = v[(s + 1) % 4];
                    if ((a < level) == (b < level)) continue;
                    const double t = (level - a) / (b - a);
                    const MapPoint& p = at[s];
                    const MapPoint& q = at[(s + 1) % 4];
                    crossings.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
                    sides.push_back(s);
                }
                if (crossings.size() == 2) {
                    contour.segments.emplace_back(crossings[0], crossings[1]);
                } else if (crossings.size() == 4) {
                    // A saddle: the centre joins the corners on its own side,
                    // so the lines pass round it the other way.
                    const double centre = (v[0] + v[1] + v[2] + v[3]) / 4;
                    const bool southWestLow = v[0] < level;
                    if ((centre < level) == southWestLow) {
                        contour.segments.emplace_back(crossings[0], crossings[1]);
                        contour.segments.emplace_back(crossings[2], crossings[3]);
                    } else {
                        contour.segments.emplace_back(crossings[1], crossings[2]);
                        contour.segments.emplace_back(crossings[3], crossings[0]);
                    }
                }
            }
        result.push_back(std::move(contour));
    }
    return result;
}

} // namespace veldro
