#pragma once

#include "interpretation/occam_inversion.h"
#include "interpretation/profile_data.h"

#include <vector>

namespace veldro {

// The pull towards the reference in the two runs of the depth of
// investigation: small against the roughness under the stations, so that the
// data still decide the cells they see, yet enough to hold the deep cells at
// their reference.
inline constexpr double kDepthOfInvestigationSmallness = 0.1;

struct DepthOfInvestigation {
    // Per cell of the section's mesh, row after row from the top; empty when
    // cancelled.
    std::vector<double> index;
    bool cancelled = false;
};

// Where the data see, after Oldenburg and Li (1999): the profile inverted
// twice more, each run starting from and gently pulled towards its own
// reference, the two a decade apart (the reference, else the starting
// ground, times and over √10). Per cell |m1 − m2| over that decade, in log10:
// near 0 where the data decide the cell, near 1 where the reference does.
// The mesh is the section's (of the starting resistivity). progress is told
// each step with its run, 1 or 2; false cancels. Throws as invertProfile does.
DepthOfInvestigation depthOfInvestigation(const ProfileData& data, const InversionOptions& options,
                                          const InversionProgress& progress = {});

// How well the data see each cell, 0 to 1, for fading a picture: one less
// the depth of investigation where it was worked out, else the sensitivity.
std::vector<double> cellsSeen(const InversionResult& result,
                              const std::vector<double>& sensitivity);

} // namespace veldro
