#pragma once

#include "interpretation/occam_inversion.h"

#include <string>

namespace veldro {

// The inverted section as a model file: the starting ground's layer, the
// cells as one grid body, the profile's stations and frequencies.
std::string inversionModelFile(const InversionResult& result);

// "X<TAB>Z<TAB>Resistivity (ohm.m)" and a line per cell centre, row after row
// from the top, for gridding programs.
std::string sectionText(const InversionResult& result);

} // namespace veldro
