#pragma once

#include "data/measurement_record.h"

namespace veldro::test {

// One measurement as a test describes it. What a test leaves out is kept,
// tilt mode, frequency #1 at 16000 Hz, and zero.
struct Reading {
    int profile = 1;
    int station = 0;
    int tilt = 0;        // vertical
    int ellipticity = 0; // vertical
    int frequencyNumber = 1;
    int frequency = 16000;
    bool kept = true;
    bool resistivity = false; // the mode
    int quality = 0;
    float hHorizontal = 0;
    float rho = 0;
    int phase = 0;
    float eField = 0;
    float hField = 0;
};

inline MeasurementRecord record(const Reading& r) {
    MeasurementRecord m;
    m.profile = static_cast<std::int16_t>(r.profile);
    m.station = static_cast<std::int16_t>(r.station);
    m.tiltVertical = static_cast<std::int16_t>(r.tilt);
    m.ellipticityVertical = static_cast<std::int16_t>(r.ellipticity);
    m.frequency = static_cast<std::int16_t>(r.frequency);
    m.status = makeStatus(0, false, 0, false, 0, false, r.frequencyNumber, r.resistivity);
    m.ignored = r.kept ? 0 : 1;
    m.quality = static_cast<std::int16_t>(r.quality);
    m.hHorizontal = r.hHorizontal;
    m.resistivity = r.rho;
    m.phase = static_cast<std::int16_t>(r.phase);
    m.eField = r.eField;
    m.hField = r.hField;
    return m;
}

} // namespace veldro::test
