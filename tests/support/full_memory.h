#pragma once

#include "records.h"

#include <vector>

namespace veldro::test {

// A full instrument memory of 64000 readings: profiles 1 to 160 of 200
// stations 25 apart, both frequency numbers at each station, the tilt and
// the quality ragged.
inline std::vector<MeasurementRecord> fullMemory() {
    std::vector<MeasurementRecord> records;
    records.reserve(64000);
    for (int profile = 1; profile <= 160; ++profile)
        for (int station = 0; station < 200; ++station)
            for (int number : {1, 2})
                records.push_back(record({.profile = profile,
                                          .station = 25 * station,
                                          .tilt = (station * 37 + profile) % 41 - 20,
                                          .frequencyNumber = number,
                                          .frequency = number == 1 ? 16000 : 22100,
                                          .quality = 70 + (station * 13 + number) % 31}));
    return records;
}

} // namespace veldro::test
