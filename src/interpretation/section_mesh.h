#pragma once

#include "interpretation/ground_model.h"
#include "interpretation/mesh_rule.h"

#include <cstddef>
#include <vector>

namespace veldro {

struct MeshOptions {
    double airHeight =
        mesh_rule::kLeastAirHeight; // m of air above the surface, at least the padding
    // Distance from the stations and bodies to the sides and the bottom, in
    // the largest skin depth of the layers at the lowest frequency.
    double paddingSkinDepths = mesh_rule::kPaddingSkinDepths;
    bool draft = false; // mesh_rule::kDraftCoarsening
};

// A rectilinear mesh over the section: nodes at every station, layer
// boundary and body corner; fine where the field changes fast (mesh_rule.h),
// growing outwards and down.
struct SectionMesh {
    std::vector<double> x;                   // node positions, ascending
    std::vector<double> z;                   // node depths, ascending, the air's negative
    std::size_t surfaceRow = 0;              // z[surfaceRow] == 0: the datum
    std::vector<std::size_t> stationColumns; // the node of each station,
    std::vector<std::size_t> stationRows;    // on the ground's surface
    // Where the surface meets the mesh's sides, below the datum: the layered
    // ground's field there is the edge's.
    double leftSurface = 0, rightSurface = 0;
    // Per cell, row after row from the top: the area-weighted mean
    // conductivity (S/m), which is exact for current along the strike.
    std::vector<double> conductivity;

    std::size_t cellColumns() const { return x.size() - 1; }
    double cellConductivity(std::size_t row, std::size_t column) const {
        return conductivity[row * cellColumns() + column];
    }
};

// Throws ModelError, naming the cause, for a model the mesh cannot hold: one
// that needs more nodes than fit in memory, a skin depth finer than the
// solver resolves, a body or station beyond the mesh's reach.
SectionMesh buildMesh(const GroundModel& model, const MeshOptions& options = {});
// The same model on the mesh with every cell cut in four: what its answers
// change by there measures the mesh's error.
SectionMesh halvedMesh(const SectionMesh& mesh, const GroundModel& model);

// The model on any grid of nodes x, z (ascending): the area-weighted mean
// conductivity (S/m) of each cell, row after row; 0 in the air.
std::vector<double> meanConductivity(const GroundModel& model, const std::vector<double>& x,
                                     const std::vector<double>& z);

// The first node at or after `value` (nodes ascending).
std::size_t nodeIndex(const std::vector<double>& nodes, double value);

// The area of the polygon inside the rectangle [x0, x1] x [z0, z1].
double areaInside(const std::vector<SectionPoint>& polygon, double x0, double x1, double z0,
                  double z1);

} // namespace veldro
