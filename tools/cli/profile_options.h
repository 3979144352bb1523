#pragma once

// The data options that invert and plot inversion share, so that a picture's
// observed data are the ones the section was inverted from.
#include "cli.h"
#include "interpretation/inversion_prior.h"
#include "interpretation/layered_inversion.h"
#include "interpretation/occam_inversion.h"
#include "interpretation/profile_data.h"

namespace veldro::cli {

inline constexpr const char* kProfileDataUsage =
    "[--frequency-number 1|2|all] [--data tilt|resistivity|both] [--error-floor PCT] "
    "[--error tilt=PCT,ellipticity=PCT,rho=PCT,phase=PCT] [--error-model estimate|floor] "
    "[--error-fraction PCT] [--exclude STATION[:QUANTITY][,...]]";

// Those of them that invert1d takes: it fits Rho and phase.
inline constexpr const char* kSoundingDataUsage =
    "[--frequency-number 1|2|all] [--error-floor PCT] [--error rho=PCT,phase=PCT] "
    "[--error-model estimate|floor] [--error-fraction PCT] [--exclude STATION[,STATION...]]";

// The inversion's choices that invert and plot inversion (for the depth of
// investigation) share; the starting resistivity is invert's own.
inline constexpr const char* kInversionUsage =
    "[--target-rms R] [--max-iterations N] [--horizontal-weight W] [--robust] [--start MODEL] "
    "[--reference MODEL] [--fix MODEL] [--boreholes FILE] [--borehole-weight W|fixed] [--doi]";

// --frequency-number, --data, --error-floor (every quantity's floor),
// --error (some quantities' floors, over --error-floor), --error-model (the
// floors estimated from the data unless floors are given), --error-fraction
// and --exclude.
ProfileDataOptions profileDataOptions(const Arguments& args);

// The options of kInversionUsage, over the defaults, but for the boreholes:
// boreholesOption reads those once the positions that place them are read.
InversionOptions inversionOptions(const Arguments& args);

// --boreholes FILE: the borehole file's holes, those given by easting and
// northing placed by the positions; none without it. A file that cannot be
// used fails naming it.
std::vector<Borehole> boreholesOption(const Arguments& args, const StationPositions& positions);

// Why a profile's data cannot be inverted or shown: it has not two stations
// with kept records of the kinds asked for; empty when it can.
std::string lackOfData(const ProfileData& data);

// --profile P, else every profile with kept records.
std::vector<int> profilesOption(const Arguments& args, const SurveyView& survey);
// --profile P, else the one profile with kept records; a usage error when
// there are several.
int oneProfileOption(const Arguments& args, const SurveyView& survey);

// --layers N of invert1d: 2 to 100 layers of a smooth ground; 0, two
// layers sought, when not given.
std::size_t layersOption(const Arguments& args);

// The Rho and phase of each profile's stations, with the errors the data
// options give; fails naming the data file when none of them holds any.
std::vector<Sounding> soundingsOption(const Arguments& args, const SurveyView& survey,
                                      const std::vector<int>& profiles, const std::string& path);

} // namespace veldro::cli
