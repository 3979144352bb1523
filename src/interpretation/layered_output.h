#pragma once

#include "interpretation/inversion_mesh.h"
#include "interpretation/layered_inversion.h"

#include <string>
#include <vector>

namespace veldro {

// The 1D grounds as text for other programs, a header line then tab-separated
// lines, '.' decimals; each uncertainty as the factor the value may be
// multiplied or divided by at one standard deviation. Two layers: a line per
// station, "Profile Station Rho1 (ohm.m) h1 (m) Rho2 (ohm.m)", their factors
// and the RMS; smooth: a line per layer, "Profile Station Top (m)
// Resistivity (ohm.m) Factor RMS".
std::string layeredModelsText(const std::vector<Sounding>& soundings,
                              const std::vector<LayeredModel>& models, bool twoLayers);

// One profile's grounds side by side as a section: a column per station
// (its edges halfway to its neighbours), rows down to half as deep again as
// the deepest the data see; the sensitivity 1 down to where each station's
// data see, low below it, so that the picture fades there.
struct LayeredSection {
    InversionMesh mesh;
    std::vector<double> log10Resistivity, sensitivity; // per cell, row after row from the top
    std::vector<double> stations;
};
LayeredSection layeredSection(const std::vector<Sounding>& soundings,
                              const std::vector<LayeredModel>& models);

} // namespace veldro
