#include "interpretation/section_mesh.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace veldro {

namespace {

// Sutherland-Hodgman against one side of the rectangle at a time; for any
// simple polygon the area of what is left is the area inside.
std::vector<SectionPoint> clipped(const std::vector<SectionPoint>& polygon,
                                  const std::function<double(const SectionPoint&)>& inside) {
    std::vector<SectionPoint> out;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const SectionPoint& a = polygon[i];
        const SectionPoint& b = polygon[(i + 1) % polygon.size()];
        const double da = inside(a), db = inside(b);
        if (da >= 0) out.push_back(a);
        if ((da >= 0) != (db >= 0)) {
            const double t = da / (da - db);
            out.push_back({a.x + t * (b.x - a.x), a.z + t * (b.z - a.z)});
        }
    }
    return out;
}

// Cells row after row, (x.size() - 1) to a row: the layers follow the
// surface, the air above it holds nothing. Returns each cell's share of
// ground, which the bodies painted over it keep to.
std::vector<double> paintLayers(const GroundModel& model, const std::vector<double>& x,
                                const std::vector<double>& z, std::vector<double>& conductivity) {
    const std::size_t columns = x.size() - 1;
    std::vector<double> ground(conductivity.size(), 0);
    // How far below the surface each layer ends: the last reaches down without end.
    std::vector<double> feet;
    for (std::size_t j = 0; j + 1 < model.layers.size(); ++j)
        feet.push_back((feet.empty() ? 0 : feet.back()) + model.layers[j].thickness);
    for (std::size_t column = 0; column < columns; ++column) {
        const SurfaceOverColumn surface(model.topography, x[column], x[column + 1]);
        // From the row the surface's highest point lies in.
        for (std::size_t row = std::max<std::size_t>(nodeIndex(z, surface.shallowest()), 1) - 1;
             row + 1 < z.size(); ++row) {
            const double z0 = z[row], z1 = z[row + 1];
            const double area = (x[column + 1] - x[column]) * (z1 - z0);
            double below = surface.areaBelow(0, z0, z1), sum = 0;
            const std::size_t cell = row * columns + column;
            ground[cell] = below / area;
            for (std::size_t j = 0; j < model.layers.size() && below > 0; ++j) {
                const double deeper = j < feet.size() ? surface.areaBelow(feet[j], z0, z1) : 0;
                sum += (below - deeper) / model.layers[j].resistivity;
                below = deeper;
            }
            conductivity[cell] = sum / area;
        }
    }
    return ground;
}

void paintBody(const Body& body, const std::vector<double>& x, const std::vector<double>& z,
               const std::vector<double>& ground, std::vector<double>& conductivity) {
    double left = body.polygon.front().x, right = left;
    double top = std::max(body.polygon.front().z, 0.0), bottom = top;
    for (const SectionPoint& p : body.polygon) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, std::max(p.z, 0.0)), bottom = std::max(bottom, p.z);
    }
    const std::size_t firstColumn = nodeIndex(x, left);
    const std::size_t firstRow = std::max(nodeIndex(z, top), nodeIndex(z, 0) + 1);
    for (std::size_t row = firstRow - 1; row + 1 < z.size() && z[row] < bottom; ++row)
        for (std::size_t column = firstColumn == 0 ? 0 : firstColumn - 1;
             column + 1 < x.size() && x[column] < right; ++column) {
            const double x0 = x[column], x1 = x[column + 1], z0 = z[row], z1 = z[row + 1];
            const double share = areaInside(body.polygon, x0, x1, z0, z1) / ((x1 - x0) * (z1 - z0));
            if (share <= 0) continue;
            // What of the body lies in the air is air.
            const std::size_t cell = row * (x.size() - 1) + column;
            double& sigma = conductivity[cell];
            sigma = sigma * (1 - share) + share * ground[cell] / body.resistivity;
        }
}

} // namespace

double areaInside(const std::vector<SectionPoint>& polygon, double x0, double x1, double z0,
                  double z1) {
    std::vector<SectionPoint> p = polygon;
    p = clipped(p, [x0](const SectionPoint& q) { return q.x - x0; });
    p = clipped(p, [x1](const SectionPoint& q) { return x1 - q.x; });
    p = clipped(p, [z0](const SectionPoint& q) { return q.z - z0; });
    p = clipped(p, [z1](const SectionPoint& q) { return z1 - q.z; });
    double twiceArea = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const SectionPoint& a = p[i];
        const SectionPoint& b = p[(i + 1) % p.size()];
        twiceArea += a.x * b.z - b.x * a.z;
    }
    return std::fabs(twiceArea) / 2;
}

std::vector<double> meanConductivity(const GroundModel& model, const std::vector<double>& x,
                                     const std::vector<double>& z) {
    std::vector<double> conductivity((x.size() - 1) * (z.size() - 1), 0);
    const std::vector<double> ground = paintLayers(model, x, z, conductivity);
    for (const Body& body : model.bodies) paintBody(body, x, z, ground, conductivity);
    return conductivity;
}

} // namespace veldro
