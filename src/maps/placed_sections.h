#pragma once

#include "interpretation/ground_model.h"
#include "maps/map_features.h"
#include "maps/profile_track.h"

#include <optional>
#include <string>
#include <vector>

namespace veldro {

// One profile's inverted section, as its model file holds it.
struct ProfileSection {
    int profile = 0;
    GroundModel model;
};

// The profile number of a model file named as `invert` names them,
// "profile-P.json" (in any folder); nothing for another name.
std::optional<int> profileOfModelFile(const std::string& path);

// Where a slice cuts the sections: a depth below the surface, or an
// elevation (which needs the stations' heights).
struct SliceLevel {
    double metres = 0;
    bool elevation = false;
};

// Each section's resistivity at the level down the middle of each column of
// its cells under the stations (an inversion's grid body), placed on the
// map; columns above an elevation, or without a place, are left out. Throws
// std::invalid_argument naming a profile without positions, without heights
// for an elevation, or a section without cells.
std::vector<MappedValue> sliceValues(const std::vector<ProfileSection>& sections,
                                     const StationPositions& positions, SliceLevel level);

// The sections' cells under their stations (an inversion's grid body), each
// a quadrilateral standing upright along its profile's track, heights from
// the stations' elevations (0 where the profile has none), as a VTK XML
// unstructured grid (.vtu) with the cells' resistivity, its log10 and their
// profile. Throws std::invalid_argument naming a profile without positions
// or a section without cells.
std::string sectionsVtu(const std::vector<ProfileSection>& sections,
                        const StationPositions& positions);

} // namespace veldro
