#pragma once

#include "interpretation/ground_model.h"

namespace veldro {

// What the mesh reads of a body: where it lies, how thin it is, which way it
// runs, and whether it differs from the ground about it.
struct BodyExtent {
    double left = 0, right = 0, top = 0, bottom = 0;
    double thickness = 0; // of its thinnest part: twice its area over its perimeter
    // How much of a cell's width and height lies across the body's long
    // axis, 1 each for a body that has none: a dipping sheet's current
    // crosses its thickness, not its length.
    double acrossShareX = 1, acrossShareZ = 1;
    bool sheet = false; // long for its thickness
};

BodyExtent extentOf(const Body& body);

// The resistivity of the layers at (x, z), the layers following the surface
// (above it, the first layer's: a body there is air, and none of its own).
double layerResistivityAt(const GroundModel& model, double x, double z);
// The resistivity the model holds at (x, z): the last body painted there,
// or else the layers.
double resistivityAt(const GroundModel& model, double x, double z);

// A body of its surroundings' own resistivity (an inversion's cell as it
// starts) changes nothing the mesh must resolve.
bool standsOut(const Body& body, const BodyExtent& e, const GroundModel& model);

} // namespace veldro
