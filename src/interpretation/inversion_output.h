#pragma once

#include "interpretation/inversion_fit.h"
#include "interpretation/occam_inversion.h"
#include "interpretation/profile_data.h"

#include <string>

namespace veldro {

// The inverted section as a model: the starting ground's layer, the cells as
// one grid (under hills one polygon each, and the topography), the profile's
// stations and frequencies. The cells' `sensitivity` (of the result's fit),
// when known, goes with the grid for its fading.
GroundModel inversionModel(const InversionResult& result,
                           const std::vector<double>& sensitivity = {});
// That model as a model file.
std::string inversionModelFile(const InversionResult& result,
                               const std::vector<double>& sensitivity = {});

// "X<TAB>Z<TAB>Resistivity (ohm.m)<TAB>Sensitivity" and a line per cell
// centre under the stations (the padding beyond the first and last is left
// out), row after row from the top, for gridding programs. The sensitivity
// is the fit's (`fit` is this result's): 0 to 1, the cell the data see best.
// With the depth of investigation worked out, a column "DOI" of it follows.
std::string sectionText(const InversionResult& result, const InversionFit& fit);

// Why the inversion stopped, and where the fit misses the data when it did
// not reach the target: "target RMS 1.00 not reached: the misfit stopped
// falling at 1.80; the smoothest section within 5 % of it. The fit misses
// stations 100 (RMS 4.21), 120 (3.10)".
std::string stopText(const ProfileData& data, const InversionResult& result, double targetRms);

} // namespace veldro
