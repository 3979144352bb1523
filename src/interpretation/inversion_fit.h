#pragma once

#include "interpretation/ground_model.h"
#include "interpretation/occam_inversion.h"
#include "interpretation/profile_data.h"

#include <vector>

namespace veldro {

// How an inverted section explains its profile, for a picture of both.
struct InversionFit {
    std::vector<double> computed; // per ProfileData::data entry, in the datum's unit
    // Per cell of the mesh, row after row from the top: how strongly the data
    // (weighted by their errors) see a square metre of the cell, from 0 at a
    // thousandth of the best seen and below to 1 at the best seen, linear in
    // the logarithm between.
    std::vector<double> sensitivity;
    double rms = 0; // of the computed data against the observed, weighted by their errors
    std::vector<double> stationRms; // per station, of its data fitted
};

// The section's data and its cells' sensitivity, from one forward solve
// (with the Jacobian) of the final model in the starting ground. Throws
// std::invalid_argument for a profile without data or a section without a
// value per cell.
InversionFit inversionFit(const ProfileData& data, const InversionResult& result,
                          double startResistivity);

// The section a model file written by `invert` holds: the mesh and the cells'
// log10 resistivities (rms and iterations unknown, 0), and the model itself.
// Throws std::runtime_error for a model that holds no inversion grid (one
// uniform ground with one grid body from the surface down).
InversionResult inversionFromModel(const GroundModel& model);

} // namespace veldro
