#pragma once

#include "interpretation/profile_inversion.h"

#include <vector>

namespace veldro {

class ColourEndsBox;
class ResistivitySectionChart;

// Colours `section` as `box` asks: from its own cells, from the range over
// every profile's section of `inversions` (each as it colours itself), or
// between the typed ends; the box then shows the ends in use.
void applyColourEnds(ColourEndsBox& box, const std::vector<ProfileInversion>& inversions,
                     ResistivitySectionChart& section);

} // namespace veldro
