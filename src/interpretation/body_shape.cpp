#include "interpretation/body_shape.h"

#include <algorithm>

namespace veldro {

SectionBox boundingBox(const Body& body) {
    const auto [left, right] =
        std::minmax_element(body.polygon.begin(), body.polygon.end(),
                            [](const SectionPoint& a, const SectionPoint& b) { return a.x < b.x; });
    const auto [top, bottom] =
        std::minmax_element(body.polygon.begin(), body.polygon.end(),
                            [](const SectionPoint& a, const SectionPoint& b) { return a.z < b.z; });
    return {left->x, top->z, right->x, bottom->z};
}

void fitToBox(Body& body, const SectionBox& box) {
    const SectionBox old = boundingBox(body);
    const double xScale = (box.right - box.left) / (old.right - old.left);
    const double zScale = (box.bottom - box.top) / (old.bottom - old.top);
    for (SectionPoint& point : body.polygon) {
        // The edges land exactly on the box, without rounding.
        point.x = point.x == old.right ? box.right : box.left + (point.x - old.left) * xScale;
        point.z = point.z == old.bottom ? box.bottom : box.top + (point.z - old.top) * zScale;
    }
}

bool bodyContains(const Body& body, SectionPoint point) {
    // Crossings of a ray towards larger x: odd inside.
    bool inside = false;
    const std::vector<SectionPoint>& corners = body.polygon;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const SectionPoint& a = corners[i];
        const SectionPoint& b = corners[j];
        if ((a.z > point.z) != (b.z > point.z) &&
            point.x < a.x + (point.z - a.z) * (b.x - a.x) / (b.z - a.z))
            inside = !inside;
    }
    return inside;
}

Body rectangleBody(const SectionBox& box, double resistivity) {
    return {{{box.left, box.top},
             {box.right, box.top},
             {box.right, box.bottom},
             {box.left, box.bottom}},
            resistivity};
}

Body sheetBody(double x, double top, double extent, double thickness, double conductance) {
    return rectangleBody({x - thickness / 2, top, x + thickness / 2, top + extent},
                         thickness / conductance);
}

} // namespace veldro
