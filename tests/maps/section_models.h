#pragma once

// Sections as an inversion writes them, for the tests of what places them.
#include "interpretation/ground_model.h"

namespace veldro::test {

// Under stations 0, 50 and 100: columns of cells from 0 to 50 and 50 to 100
// (and padding of 9 ohm.m beyond), rows 0 to 10 and 10 to 30 m deep; low,
// 2 low over 4 low, 8 low.
inline GroundModel gridSection(double low) {
    GroundModel model;
    model.layers = {{0, 300}};
    const double x[] = {-100, 0, 50, 100, 200}, z[] = {0, 10, 30};
    const double values[2][4] = {{9, low, 2 * low, 9}, {9, 4 * low, 8 * low, 9}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c)
            model.bodies.push_back(
                {{{x[c], z[r]}, {x[c + 1], z[r]}, {x[c + 1], z[r + 1]}, {x[c], z[r + 1]}},
                 values[r][c]});
    model.stations = {0, 50, 100};
    return model;
}

} // namespace veldro::test
