#pragma once

#include "interpretation/ground_model.h"
#include "interpretation/profile_data.h"

#include <cstddef>
#include <vector>

namespace veldro {

// One station's Rho and phase: what a 1D inversion fits.
struct Sounding {
    int profile = 0;
    double station = 0;              // m
    std::vector<double> frequencies; // Hz, ascending
    // Per frequency, as ProfileData holds them: log10 Rho, the phase
    // (Ph.E/H, degrees) and one standard deviation of each.
    std::vector<double> log10Rho, phase, log10RhoError, phaseError;
};

// The stations of a profile's data that hold Rho and phase, the data kept
// out of the fit left out; none for a profile of tilt data.
std::vector<Sounding> soundings(const ProfileData& data);

// A station's ground as the 1D inversion finds it.
struct LayeredModel {
    std::vector<Layer> layers; // from the top, the last without thickness
    // One standard deviation of log10 of each parameter sought (two layers:
    // rho1, h1, rho2; smooth: each layer's resistivity): the value is within
    // a factor 10^deviation of the truth as far as the data tell.
    std::vector<double> log10Deviation;
    double rms = 0;
    // How deep the data see: the skin depth of the station's Rho at its lowest frequency.
    double depthSeen = 0; // m
};

// A top layer over a half-space (rho1, h1, rho2), by damped Gauss-Newton
// in the logarithms of the three.
LayeredModel invertTwoLayers(const Sounding& sounding);

// `layers` layers of fixed thicknesses (their boundaries log-spaced to twice
// the depth seen), the smoothest ground that fits the data to an RMS of 1,
// or the closest fit when none does (Occam's method).
LayeredModel invertSmooth(const Sounding& sounding, std::size_t layers);

// Each sounding inverted on up to `threads` threads; `smoothLayers` 0 for two layers.
std::vector<LayeredModel> invertSoundings(const std::vector<Sounding>& soundings,
                                          std::size_t smoothLayers, unsigned threads);

// Log10 Rho and the phase (degrees) of layers at each frequency, in turn.
std::vector<double> soundingResponse(const std::vector<Layer>& layers,
                                     const std::vector<double>& frequencies);

} // namespace veldro
