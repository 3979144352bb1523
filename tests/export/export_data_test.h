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

// The runs of export_kh_three_runs.txt:
// - profile 4 at 19800 Hz, tilts 10 5 -3 -8 -2 4 at stations 0 to 125, 25 apart:
//   0.102*10 - 0.059*5 + 0.561*(-3) - 0.561*(-8) + 0.059*(-2) - 0.102*4 = 3.004
//   at (50 + 75) / 2 = 62.5, depth 25;
// - profile 5 on frequency #2 at 19600 Hz, eleven stations 0 to 100, tilt 100 at
//   station 50 and 50 at station 100: level 1 gives -0.102*100, 0.059*100,
//   -0.561*100, 0.561*100, -0.059*100 and 0.102*100 - 0.102*50 at 25 to 75,
//   level 2 -0.102*50 at (40 + 60) / 2 = 50, depth 20;
// - profile 6 at 19800 Hz walked back from 100 to 50, tilts 15 26 0 0 0 0:
//   0.102*15 - 0.059*26 = 1.53 - 1.534 = -0.004, shown as 0.00, at 75.
inline DataSet khSurvey() {
    DataSet d;
    const int tilts4[] = {10, 5, -3, -8, -2, 4};
    for (int s = 0; s < 6; ++s)
        d.add({.profile = 4, .station = 25 * s, .tilt = tilts4[s], .frequency = 19800});
    for (int s = 0; s <= 10; ++s)
        d.add({.profile = 5,
               .station = 10 * s,
               .tilt = s == 5    ? 100
                       : s == 10 ? 50
                                 : 0,
               .frequencyNumber = 2,
               .frequency = 19600});
    for (int s = 0; s < 6; ++s)
        d.add({.profile = 6,
               .station = 100 - 10 * s,
               .tilt = s == 0   ? 15
                       : s == 1 ? 26
                                : 0,
               .frequency = 19800});
    return d;
}

} // namespace veldro::test
