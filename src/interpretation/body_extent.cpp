#include "interpretation/body_extent.h"

#include "interpretation/body_shape.h"
#include "interpretation/mesh_rule.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>

namespace veldro {

double layerResistivityAt(const GroundModel& model, double x, double z) {
    const std::vector<Layer>& layers = model.layers;
    z -= surfaceDepth(model.topography, x);
    double bottom = 0;
    for (std::size_t j = 0; j + 1 < layers.size(); ++j) {
        bottom += layers[j].thickness;
        if (z < bottom) return layers[j].resistivity;
    }
    return layers.back().resistivity;
}

double resistivityAt(const GroundModel& model, double x, double z) {
    for (auto body = model.bodies.rbegin(); body != model.bodies.rend(); ++body)
        if (bodyContains(*body, {x, z})) return body->resistivity;
    return layerResistivityAt(model, x, z);
}

BodyExtent extentOf(const Body& body) {
    BodyExtent e{body.polygon.front().x, body.polygon.front().x, body.polygon.front().z,
                 body.polygon.front().z};
    double twiceArea = 0, perimeter = 0, meanX = 0, meanZ = 0;
    for (std::size_t i = 0; i < body.polygon.size(); ++i) {
        const SectionPoint& a = body.polygon[i];
        const SectionPoint& b = body.polygon[(i + 1) % body.polygon.size()];
        e.left = std::min(e.left, a.x), e.right = std::max(e.right, a.x);
        e.top = std::min(e.top, a.z), e.bottom = std::max(e.bottom, a.z);
        twiceArea += a.x * b.z - b.x * a.z;
        perimeter += std::hypot(b.x - a.x, b.z - a.z);
        meanX += a.x, meanZ += a.z;
    }
    e.top = std::max(e.top, 0.0);
    e.thickness = perimeter > 0 ? std::fabs(twiceArea) / perimeter : 0;
    // The long axis from the corners' spread: the normal is the direction
    // of least spread.
    const auto n = static_cast<double>(body.polygon.size());
    meanX /= n, meanZ /= n;
    double xx = 0, zz = 0, xz = 0;
    for (const SectionPoint& p : body.polygon) {
        xx += (p.x - meanX) * (p.x - meanX), zz += (p.z - meanZ) * (p.z - meanZ);
        xz += (p.x - meanX) * (p.z - meanZ);
    }
    const double half = (xx + zz) / 2, spread = std::hypot((xx - zz) / 2, xz);
    const double least = half - spread, most = half + spread;
    e.sheet = least * mesh_rule::kElongation * mesh_rule::kElongation < most;
    if (e.sheet) {
        const double angle = std::atan2(2 * xz, xx - zz) / 2; // of the long axis
        e.acrossShareX = std::max(std::fabs(std::sin(angle)), 1 / mesh_rule::kElongation);
        e.acrossShareZ = std::max(std::fabs(std::cos(angle)), 1 / mesh_rule::kElongation);
    }
    return e;
}

bool standsOut(const Body& body, const BodyExtent& e, const GroundModel& model) {
    // To rounding: 10^log10(ρ) need not give ρ back to the last bit.
    const double middle = (e.left + e.right) / 2;
    const auto differs = [&](double z) {
        return std::fabs(body.resistivity / layerResistivityAt(model, middle, z) - 1) > 1e-9;
    };
    return differs(e.top) || differs(e.bottom);
}

} // namespace veldro
