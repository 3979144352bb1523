#pragma once

#include "data/measurement_record.h"
#include "data/station_positions.h"
#include "interpretation/forward.h"

#include <vector>

namespace veldro {

struct ModelSurveyOptions {
    int profile = 1;
    double noisePercent = 0; // standard deviation, in percent points
    unsigned seed = 1;
    bool resistivityMode = false;
};

// The records the instrument would have stored over a model: station by
// station, the model's frequencies as frequency #1 and #2, values rounded as
// the record keeps them, quality 90 to 100. Tilt and ellipticity get Gaussian
// noise of the given deviation; Rho the same in percent of itself and the
// phase the matching half of it in radians, as for an impedance that errs by
// half that percentage. Throws ModelError for a model the records cannot
// hold (stations not whole numbers, frequencies out of range, more than two).
std::vector<MeasurementRecord> modelSurvey(const GroundModel& model,
                                           const std::vector<StationResponse>& responses,
                                           const ModelSurveyOptions& options);

// The heights of the stations of a model with topography, as a positions
// file keeps them for the profile the records are given; none without it.
StationPositions modelPositions(const GroundModel& model, int profile);

} // namespace veldro
