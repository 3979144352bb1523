#include "interpretation/terrain.h"

#include <algorithm>
#include <array>

namespace veldro {

double datumElevation(const std::vector<TerrainPoint>& topography) {
    if (topography.empty()) return 0;
    return std::max_element(topography.begin(), topography.end(),
                            [](const auto& a, const auto& b) { return a.elevation < b.elevation; })
        ->elevation;
}

bool hasRelief(const std::vector<TerrainPoint>& topography) {
    return std::any_of(topography.begin(), topography.end(), [&](const TerrainPoint& p) {
        return p.elevation != topography.front().elevation;
    });
}

double surfaceDepth(const std::vector<TerrainPoint>& topography, double x) {
    if (topography.empty()) return 0;
    const double datum = datumElevation(topography);
    const auto after = std::lower_bound(topography.begin(), topography.end(), x,
                                        [](const TerrainPoint& p, double at) { return p.x < at; });
    if (after == topography.begin()) return datum - after->elevation;
    if (after == topography.end()) return datum - topography.back().elevation;
    const TerrainPoint& a = *(after - 1);
    const double t = (x - a.x) / (after->x - a.x);
    return datum - (a.elevation + t * (after->elevation - a.elevation));
}

std::vector<SectionPoint> terrainCell(const std::vector<TerrainPoint>& topography, double x0,
                                      double x1, double z0, double z1) {
    const double s0 = surfaceDepth(topography, x0), s1 = surfaceDepth(topography, x1);
    return {{x0, s0 + z0}, {x1, s1 + z0}, {x1, s1 + z1}, {x0, s0 + z1}};
}

SurfaceOverColumn::SurfaceOverColumn(const std::vector<TerrainPoint>& topography, double x0,
                                     double x1) {
    knots_.push_back({x0, surfaceDepth(topography, x0)});
    const double datum = datumElevation(topography);
    for (const TerrainPoint& p : topography)
        if (p.x > x0 && p.x < x1) knots_.push_back({p.x, datum - p.elevation});
    knots_.push_back({x1, surfaceDepth(topography, x1)});
    const auto [low, high] =
        std::minmax_element(knots_.begin(), knots_.end(),
                            [](const Knot& a, const Knot& b) { return a.depth < b.depth; });
    shallowest_ = low->depth;
    deepest_ = high->depth;
}

double SurfaceOverColumn::areaBelow(double offset, double z0, double z1) const {
    const double height = z1 - z0;
    if (z0 >= deepest_ + offset) return (knots_.back().x - knots_.front().x) * height;
    if (z1 <= shallowest_ + offset) return 0;
    // How much of the column's height at one x lies below the line: linear
    // in the line's depth between z0 and z1, so linear in x between the
    // knots and the places where the line crosses z0 or z1.
    const auto below = [&](double depth) { return std::clamp(z1 - depth, 0.0, height); };
    double area = 0;
    for (std::size_t i = 0; i + 1 < knots_.size(); ++i) {
        const Knot& a = knots_[i];
        const Knot& b = knots_[i + 1];
        const double da = a.depth + offset, db = b.depth + offset;
        // The piece's ends and, between them, where the line crosses z0 and z1.
        std::array<double, 4> xs{a.x, 0, 0, 0};
        std::size_t count = 1;
        for (double level : {z0, z1})
            if ((da - level) * (db - level) < 0)
                xs[count++] = a.x + (level - da) / (db - da) * (b.x - a.x);
        if (count == 3 && xs[2] < xs[1]) std::swap(xs[1], xs[2]);
        xs[count++] = b.x;
        const auto depthAt = [&](double x) { return da + (x - a.x) / (b.x - a.x) * (db - da); };
        for (std::size_t j = 0; j + 1 < count; ++j)
            area += (below(depthAt(xs[j])) + below(depthAt(xs[j + 1]))) / 2 * (xs[j + 1] - xs[j]);
    }
    return area;
}

} // namespace veldro
