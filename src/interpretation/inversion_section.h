#pragma once

#include "interpretation/ground_model.h"
#include "interpretation/inversion_mesh.h"
#include "interpretation/profile_data.h"
#include "interpretation/section_mesh.h"

#include <Eigen/Dense>

namespace veldro {

// A profile's data as computed over the cells of an inversion mesh, laid in
// a ground of the starting resistivity, and their sensitivity to the cells.
class InversionSection {
public:
    InversionSection(const ProfileData& data, const InversionMesh& mesh, double startResistivity);

    // The data (in the order of ProfileData::data) over cells of these log10
    // resistivities; with the Jacobian (data by cells, per log10 ohm.m) when
    // asked, from one adjoint solve per station and kind of response on each
    // frequency's factorisation.
    Eigen::VectorXd predict(const Eigen::VectorXd& log10Resistivity,
                            Eigen::MatrixXd* jacobian = nullptr) const;

    // The model file's ground: the cells in the starting ground, following
    // its surface.
    GroundModel groundModel(const Eigen::VectorXd& log10Resistivity) const;

private:
    const ProfileData& data_;
    InversionMesh cells_;
    double startResistivity_;
    SectionMesh mesh_;
    std::vector<std::ptrdiff_t> cellOf_; // per mesh cell, the inversion cell or -1
    std::vector<double> groundShare_;    // per mesh cell, how much of it is ground
};

} // namespace veldro
