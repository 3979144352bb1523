#pragma once

#include "interpretation/ground_model.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
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
    double error = 0;      // one standard deviation, in the value's unit
    bool excluded = false; // kept out of the fit, shown all the same
};

// Where the errors' floors come from: the floors given, or the data's own
// scatter, from a station read more than once or else from the roughness of
// the curve along the profile.
enum class ErrorModel { Estimate, Floor };
enum class ErrorSource { None, Given, Repeats, Roughness };

struct ProfileData {
    int profile = 0;
    std::vector<double> stations;    // m, ascending
    std::vector<double> frequencies; // Hz, ascending
    std::vector<Datum> data;
    // The surface under the stations (profileTopography); none on a flat line.
    std::vector<TerrainPoint> topography;
    // Per fitted quantity (indexed by FittedQuantity): the floor each datum's
    // error starts from, in the datum's unit, and where it came from; None
    // for a quantity not fitted.
    std::array<double, 4> errorFloor{};
    std::array<ErrorSource, 4> errorSource{};
    double errorFraction = 0; // of each value, added to the floor
};

// Data kept out of the fit: a station's, or one quantity's there (at every
// frequency).
struct Exclusion {
    double station = 0;
    std::optional<FittedQuantity> quantity{}; // every quantity when none
};

struct ProfileDataOptions {
    int frequencyNumber = 0; // 1 or 2; 0 both
    InversionData data = InversionData::Tilt;
    // Per fitted quantity (indexed by FittedQuantity), in percent: points of
    // tilt and of ellipticity; the same percentage of Rho; of the phase the
    // half of that percentage in radians, as a percentage of Rho moves it.
    std::array<double, 4> errorFloorPercent{2, 2, 2, 2};
    // With ErrorModel::Estimate the floors above are used only for a
    // quantity whose scatter cannot be measured (fewer than three stations).
    ErrorModel errorModel = ErrorModel::Estimate;
    // Added to each datum's floor, in percent of its value (of Rho for log10
    // Rho, where it adds to the floor's percentage).
    double errorFractionPercent = 0;
    std::vector<Exclusion> excluded{}; // out of the fit and of the errors' estimate
};

// The kept records of one profile, a station measured more than once averaged.
// Empty data when the profile holds none of the kinds asked for.
ProfileData profileData(const SurveyView& survey, int profile, const ProfileDataOptions& options);

// "tilt 2.94 points (estimated from the curve's roughness), ..." per quantity
// fitted, and the fraction of each value when there is one.
std::string errorText(const ProfileData& data);

} // namespace veldro
