#pragma once

#include "interpretation/ground_model.h"

#include <complex>
#include <numbers>
#include <vector>

namespace veldro {

using Complex = std::complex<double>;

constexpr double kMu0 = 4e-7 * std::numbers::pi;

// The plane-wave field over a layered ground (time as e^{iωt}), the response
// of a model without bodies and the boundary values of the section's mesh.
class LayeredGround {
public:
    LayeredGround(const std::vector<Layer>& layers, double frequency);

    // E at depth z (negative in the air), with E = 1 at the surface.
    Complex field(double z) const;
    // E / (dE/dz) at the surface, times −1: a length, 1/k over a uniform ground.
    Complex surfaceRatio() const { return ratios_.front(); }

private:
    struct Level {
        double top = 0;       // m
        double thickness = 0; // 0 for the last layer
        Complex k;            // sqrt(iωμ0σ)
        Complex reflection;   // of the upgoing wave at its foot, as seen inside it
        Complex fieldAtTop;
    };
    std::vector<Level> levels_;
    std::vector<Complex> ratios_; // −E/(dE/dz) at the top of each layer
};

// Skin depth (m) of a ground of this resistivity at this frequency.
double skinDepth(double resistivity, double frequency);

} // namespace veldro
