// What the benchmarks share: the largest survey the instrument holds.
#pragma once

#include "data/measurement_store.h"
#include "data/survey_generator.h"

namespace veldro::bench {

// Fills the store with the generated survey of 64000 records (seed 3).
inline void fillLargestSurvey(MeasurementStore& store) {
    for (const MeasurementRecord& r : generateSurvey(MeasurementStore::kCapacity, 3))
        store.append(r);
}

} // namespace veldro::bench
