#pragma once

#include "interpretation/ground_model.h"
#include "interpretation/layered_ground.h"
#include "interpretation/section_mesh.h"

#include <vector>

namespace veldro {

class TeSolver;

// The fields at one station at one frequency, as ratios.
struct StationResponse {
    double station = 0;   // m
    double frequency = 0; // Hz
    Complex tipper;       // Hz/Hx
    Complex impedance;    // E/Hx, ohm
};

// Every station (ascending) at every frequency (as listed). A model without
// bodies on a flat surface is one-dimensional: its response is the layered
// ground's, exactly.
std::vector<StationResponse> computeResponse(const GroundModel& model,
                                             const MeshOptions& options = {});
// The same from the finite-volume solution on the mesh, bodies or not.
// Throws ModelError for a model the mesh cannot hold or whose field comes
// out not finite.
std::vector<StationResponse> sectionResponse(const GroundModel& model,
                                             const MeshOptions& options = {});
std::vector<StationResponse> sectionResponse(const GroundModel& model, const SectionMesh& mesh);
// The response at the mesh's station `index`, at `station` m.
StationResponse stationResponse(const SectionMesh& mesh, const TeSolver& solver, std::size_t index,
                                double station);
// The response of layers alone, the same at every station.
StationResponse layeredResponse(const std::vector<Layer>& layers, double frequency,
                                double station = 0);

// A value that is a fixed combination of E at a few nodes.
struct NodeWeight {
    std::size_t row = 0, column = 0;
    double weight = 0;
};
// How a station's E and its derivatives across (dE/dx) and down (dE/dz),
// level whatever the ground's slope as the instrument reads them, follow from
// the nodes about it: the response and its sensitivity share this one rule.
struct StationStencil {
    NodeWeight field;
    std::vector<NodeWeight> alongX, down;
};
StationStencil stationStencil(const SectionMesh& mesh, std::size_t station);
Complex applied(const std::vector<NodeWeight>& weights, const TeSolver& solver);

// The instrument's quantities. Tilt and ellipticity carry the sign that makes
// the tilt fall from positive to negative across a conductor as the stations
// grow, so that the Fraser filter peaks positive over it.
double tiltPercent(Complex tipper);                          // Tilt.ver(%)
double ellipticityPercent(Complex tipper);                   // Ellip.ver(%)
double apparentResistivity(const StationResponse& response); // Rho (ohm.m)
double phaseDegrees(const StationResponse& response); // Ph.E/H (°), 45 over a uniform ground

} // namespace veldro
