#include "interpretation/layered_ground.h"

#include <cmath>
#include <numbers>

namespace veldro {

// Inside a layer E = a (e^{-kd} + r e^{-k(2h-d)}), d the depth below its top,
// h its thickness: both terms decay away from where they start, so the field
// stays finite however many skin depths thick the layer is.
LayeredGround::LayeredGround(const std::vector<Layer>& layers, double frequency) {
    const double omega = 2 * std::numbers::pi * frequency;
    levels_.resize(layers.size());
    ratios_.resize(layers.size());
    double top = 0;
    for (std::size_t j = 0; j < layers.size(); ++j) {
        levels_[j].top = top;
        levels_[j].thickness = j + 1 < layers.size() ? layers[j].thickness : 0;
        levels_[j].k = std::sqrt(Complex(0, omega * kMu0 / layers[j].resistivity));
        top += levels_[j].thickness;
    }
    // From the bottom up: the ratio at a layer's foot gives its reflection.
    for (std::size_t j = layers.size(); j-- > 0;) {
        Level& level = levels_[j];
        if (j + 1 == layers.size()) {
            level.reflection = 0;
            ratios_[j] = 1.0 / level.k;
            continue;
        }
        const Complex kc = level.k * ratios_[j + 1];
        level.reflection = (kc - 1.0) / (kc + 1.0);
        const Complex damped = level.reflection * std::exp(-2.0 * level.k * level.thickness);
        ratios_[j] = (1.0 + damped) / (level.k * (1.0 - damped));
    }
    // From the top down: E at each layer's top, E = 1 at the surface.
    Complex e = 1;
    for (std::size_t j = 0; j < layers.size(); ++j) {
        levels_[j].fieldAtTop = e;
        if (j + 1 < layers.size()) {
            const Level& l = levels_[j];
            const Complex damped = l.reflection * std::exp(-2.0 * l.k * l.thickness);
            e *= (1.0 + l.reflection) * std::exp(-l.k * l.thickness) / (1.0 + damped);
        }
    }
}

Complex LayeredGround::field(double z) const {
    // The air has no current: E is straight, with the slope the ground sets.
    if (z <= 0) return 1.0 - z / ratios_.front();
    std::size_t j = 0;
    while (j + 1 < levels_.size() && z >= levels_[j + 1].top) ++j;
    const Level& l = levels_[j];
    const double d = z - l.top;
    if (l.thickness == 0) return l.fieldAtTop * std::exp(-l.k * d);
    const Complex damped = l.reflection * std::exp(-2.0 * l.k * l.thickness);
    return l.fieldAtTop *
           (std::exp(-l.k * d) + l.reflection * std::exp(-l.k * (2 * l.thickness - d))) /
           (1.0 + damped);
}

double skinDepth(double resistivity, double frequency) {
    return std::sqrt(2 * resistivity / (2 * std::numbers::pi * frequency * kMu0));
}

} // namespace veldro
