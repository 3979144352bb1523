#pragma once

#include "interpretation/ground_model.h"

#include <array>
#include <cstddef>
#include <vector>

namespace veldro {

class SurveyView;

enum class InversionData { Tilt, Resistivity, Both };

// What an inversion fits: per station and frequency the tilt and the
// ellipticity (percent), log10 of Rho and the phase (degrees).
enum class FittedQuantity { Tilt, Ellipticity, LogRho, Phase };

struct Datum {
    std::size_t station = 0;   // index into ProfileData::stations
    std::size_t frequency = 0; // index into ProfileData::frequencies
    FittedQuantity quantity = FittedQuantity::Tilt;
    double value = 0;
    double error = 0; // one standard deviation, in the value's unit
};

struct ProfileData {
    int profile = 0;
    std::vector<double> stations;    // m, ascending
    std::vector<double> frequencies; // Hz, ascending
    std::vector<Datum> data;
    // The surface under the stations (profileTopography); none on a flat line.
    std::vector<TerrainPoint> topography;
};

struct ProfileDataOptions {
    int frequencyNumber = 0; // 1 or 2; 0 both
    InversionData data = InversionData::Tilt;
    // Per fitted quantity (indexed by FittedQuantity), in percent: points of
    // tilt and of ellipticity; the same percentage of Rho; of the phase the
    // half of that percentage in radians, as a percentage of Rho moves it.
    std::array<double, 4> errorFloorPercent{2, 2, 2, 2};
};

// The kept records of one profile, a station measured more than once averaged.
// Empty data when the profile holds none of the kinds asked for.
ProfileData profileData(const SurveyView& survey, int profile, const ProfileDataOptions& options);

} // namespace veldro
