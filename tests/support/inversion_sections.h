#pragma once

// A section as an inversion would return it, for the tests of what shows one.
#include "interpretation/inversion_section.h"
#include "interpretation/occam_inversion.h"

#include <cmath>

namespace veldro::test {

// Over the data's mesh in a 300 ohm.m ground (the starting one), 10 ohm.m
// cells in rows 2 to 4 between 35 and 65 m across.
inline InversionResult patchedSection(const ProfileData& data) {
    InversionResult result;
    result.mesh = inversionMesh(data.stations, data.frequencies, 300);
    const InversionMesh& mesh = result.mesh;
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            const bool patch = r >= 2 && r < 5 && mesh.x[c] >= 35 && mesh.x[c + 1] <= 65;
            result.log10Resistivity.push_back(patch ? 1.0 : std::log10(300.0));
        }
    const Eigen::Map<const Eigen::VectorXd> model(result.log10Resistivity.data(),
                                                  static_cast<Eigen::Index>(mesh.cells()));
    result.model = InversionSection(data, mesh, 300).groundModel(model);
    return result;
}

} // namespace veldro::test
