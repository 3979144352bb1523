#pragma once

#include "data/measurement_record.h"
#include "interpretation/body_shape.h"
#include "interpretation/model_survey.h"

#include <vector>

namespace veldro::test {

// What the instrument would record with 2 % noise over a 10 ohm.m block, 80
// to 120 m across and 30 to 70 m deep, in 1000 ohm.m: stations every 20 m
// from 0 to 200, at 19.8 and 23.4 kHz. A conductor the inversion must find.
inline std::vector<MeasurementRecord> blockSurvey() {
    GroundModel model;
    model.layers = {{0, 1000}};
    for (double x = 0; x <= 200; x += 20) model.stations.push_back(x);
    model.frequencies = {19800, 23400};
    model.bodies.push_back(rectangleBody({80, 30, 120, 70}, 10));
    return modelSurvey(model, computeResponse(model), {.noisePercent = 2, .seed = 7});
}

} // namespace veldro::test
