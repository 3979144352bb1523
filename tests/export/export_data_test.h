#pragma once

// The hand-made data sets of the export golden files.
#include "../processing/data_set_test.h"

namespace veldro::test {

// A kept tilt row "1", an ignored row "2", a kept resistivity row "3", and a
// comment of three lines.
inline DataSet exportSurvey() {
    MeasurementRecord tilt = record({.profile = 12, .station = 150, .tilt = -12, .ellipticity = 3});
    tilt.quality = 97;
    tilt.hHorizontal = 45.678f;
    tilt.tiltHorizontal = -4;
    tilt.ellipticityHorizontal = 7;
    tilt.status = makeStatus(2, false, 1, true, 3, false, 1, false);
    MeasurementRecord res = record({.profile = 12,
                                    .station = 175,
                                    .frequencyNumber = 2,
                                    .frequency = 19600,
                                    .kept = true,
                                    .resistivity = true});
    res.quality = 88;
    res.resistivity = 152.25f;
    res.phase = 45;
    res.eField = 12.5f;
    res.hField = 0.125f; // a half: rounds away from zero
    MeasurementRecord ignored = tilt;
    ignored.ignored = 1;
    DataSet d{tilt, ignored, res};
    d.store.setCommentText("Line one\r\nLine two\r\nLine three");
    return d;
}

// Profile 1 read at 16000 Hz (#1) and 19600 Hz (#2), with an ignored and a
// resistivity row inside it; then profile 2 at 19600 Hz (#2) only.
inline DataSet twoProfiles() {
    DataSet d;
    d.add({.profile = 1, .station = 25, .tilt = -12, .ellipticity = 3});
    d.add({.profile = 1,
           .station = 25,
           .tilt = 5,
           .ellipticity = 1,
           .frequencyNumber = 2,
           .frequency = 19600});
    d.add({.profile = 1, .station = 50, .tilt = 3, .ellipticity = -4, .kept = false});
    d.add({.profile = 1, .station = 50, .resistivity = true});
    d.add({.profile = 1, .station = 50, .tilt = 7, .ellipticity = -2});
    d.add({.profile = 1,
           .station = 50,
           .tilt = 8,
           .ellipticity = 0,
           .frequencyNumber = 2,
           .frequency = 19600});
    d.add({.profile = 2,
           .station = 100,
           .tilt = 1234,
           .ellipticity = -567,
           .frequencyNumber = 2,
           .frequency = 19600});
    d.add({.profile = 2,
           .station = 125,
           .tilt = -1,
           .ellipticity = 2,
           .frequencyNumber = 2,
           .frequency = 19600});
    return d;
}

} // namespace veldro::test
