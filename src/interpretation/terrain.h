#pragma once

#include "interpretation/ground_model.h"

#include <vector>

namespace veldro {

// The highest elevation of the topography, the datum every depth of the
// model counts from; 0 without topography.
double datumElevation(const std::vector<TerrainPoint>& topography);

// Whether the surface rises or falls anywhere: a topography of one elevation
// is a flat ground.
bool hasRelief(const std::vector<TerrainPoint>& topography);

// Depth of the surface below the datum at x: 0 everywhere without topography.
double surfaceDepth(const std::vector<TerrainPoint>& topography, double x);

// An inversion cell between x0 and x1, its rows z0 to z1 down from the
// surface above it, as a polygon in depths below the datum: a parallelogram
// when the surface bends at neither side's inside, a rectangle without
// topography.
std::vector<SectionPoint> terrainCell(const std::vector<TerrainPoint>& topography, double x0,
                                      double x1, double z0, double z1);

// The surface over one column of cells [x0, x1]: its knots there, for the
// areas the layers and the air take of each cell.
class SurfaceOverColumn {
public:
    struct Knot {
        double x, depth; // depth below the datum
    };

    SurfaceOverColumn(const std::vector<TerrainPoint>& topography, double x0, double x1);

    // The area of the cell [x0, x1] x [z0, z1] lying deeper than the surface
    // lowered by `offset`: exact, the surface being linear between knots.
    double areaBelow(double offset, double z0, double z1) const;
    double shallowest() const { return shallowest_; }
    double deepest() const { return deepest_; }
    // From x0 to x1, with every point of the topography between them.
    const std::vector<Knot>& knots() const { return knots_; }

private:
    std::vector<Knot> knots_;
    double shallowest_ = 0, deepest_ = 0;
};

} // namespace veldro
