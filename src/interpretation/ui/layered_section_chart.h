#pragma once

#include "interpretation/layered_inversion.h"

#include <vector>

namespace veldro {

class ResistivitySectionChart;

// Shows one profile's 1D grounds side by side under its stations on
// `chart`, in the colours of the 2D inversion's section, faded below the
// depth each station's data see; titled with the profile, the kind of
// ground and the worst RMS.
void showLayeredSection(ResistivitySectionChart& chart, const std::vector<Sounding>& soundings,
                        const std::vector<LayeredModel>& models, bool twoLayers);

} // namespace veldro
