#pragma once

#include "interpretation/ground_model.h"

#include <array>
#include <cstddef>

namespace veldro {

// How far the answers move when every cell of the mesh is halved: the
// error of the mesh, as the instrument's quantities read it.
struct QuantityChange {
    double largest = 0;   // % points of tilt or ellipticity, % of Rho, degrees of phase
    double station = 0;   // m, where it is largest
    double frequency = 0; // Hz
};

struct MeshCheck {
    std::size_t columns = 0, rows = 0;             // nodes of the model's mesh
    std::size_t halvedColumns = 0, halvedRows = 0; // and of the halved one
    // Tilt.ver(%), Ellip.ver(%), Rho, Ph.E/H.
    std::array<QuantityChange, 4> changes;
};

// Solves the model twice; throws ModelError as the forward computation does.
MeshCheck checkMesh(const GroundModel& model);

} // namespace veldro
