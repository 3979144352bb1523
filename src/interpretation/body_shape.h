#pragma once

#include "interpretation/ground_model.h"

namespace veldro {

// The rectangle round a body: what the model window shows in numbers and
// lets the mouse move and stretch.
struct SectionBox {
    double left = 0, top = 0, right = 0, bottom = 0; // m; top above bottom
};

SectionBox boundingBox(const Body& body);
// The body with its corners mapped from its box onto `box`, which must span
// some width and depth: moved, and stretched as the box is.
void fitToBox(Body& body, const SectionBox& box);
// Whether `point` lies inside the body's polygon.
bool bodyContains(const Body& body, SectionPoint point);
// A rectangle of the given box, and a vertical sheet of `thickness` metres
// and `conductance` siemens from `top` down `extent` metres at x.
Body rectangleBody(const SectionBox& box, double resistivity);
Body sheetBody(double x, double top, double extent, double thickness, double conductance);

} // namespace veldro
