#pragma once

#include "interpretation/ground_model.h"
#include "interpretation/inversion_mesh.h"
#include "interpretation/inversion_prior.h"
#include "interpretation/profile_data.h"

#include <functional>
#include <vector>

namespace veldro {

struct InversionOptions {
    double startResistivity = 1000; // ohm.m, the uniform ground it starts from
    double targetRms = 1;
    int maxIterations = 20;
    // The roughness across over the roughness down: above 1 favours
    // bodies that are long across, below 1 ones that are tall.
    double horizontalWeight = 1;
    // Huber's misfit, by reweighting the data at each step, so that a few
    // outliers do not pull the section.
    bool robust = false;
    PriorKnowledge prior{};
    // A pull of every cell towards the reference, against the roughness
    // between two cells: without it the cells the data do not see keep
    // whatever the smoothness hands them.
    double smallness = 0;
    // Whether invertEachProfile also works out the depth of investigation
    // (two more inversions of each profile).
    bool depthOfInvestigation = false;
};

struct InversionStep {
    int iteration = 0; // 1, 2, ...
    double rms = 0;    // of the model this iteration chose
    int run = 0;       // 0 the section's; 1 and 2 those of the depth of investigation
};

// Called after each iteration, from the thread that inverts; false cancels.
using InversionProgress = std::function<bool(const InversionStep&)>;
// Told the starting model's RMS before the first iteration's sensitivities,
// which on a long profile take many times its forward solve.
using InversionStarted = std::function<void(double rms)>;

// When the target cannot be reached, the smoothest section whose RMS is
// within this share of the least met.
inline constexpr double kSmoothingTolerance = 0.05;

// Why an inversion stopped.
enum class InversionStop {
    Target,     // it reached the target RMS, then took the smoothest section there
    Stalled,    // the misfit stopped falling above the target: the smoothest section near it
    Iterations, // the iteration limit came first
    Cancelled,
};

struct InversionResult {
    InversionMesh mesh;
    std::vector<double> log10Resistivity; // per cell of the mesh, row after row from the top
    double rms = 0;                       // of that model
    double smallestRms = 0;               // the least met on the way down, before smoothing
    int iterations = 0;
    bool cancelled = false;
    InversionStop stop = InversionStop::Target;
    std::vector<double> stationRms; // per station of the profile, the misfit of its data fitted
    GroundModel model; // the ground the model file holds: one grid in the starting ground
    // Per cell, when worked out: the depth of investigation index (see
    // depth_of_investigation.h); empty otherwise.
    std::vector<double> depthOfInvestigation;
};

// The smoothest section (first differences across and down) whose data
// misfit reaches the target: Gauss-Newton steps, each choosing its trade-off
// between roughness and misfit by a search over the Lagrange multiplier.
// The data kept out of the fit weigh nothing.
// Stops at the target RMS, after the iteration limit, when the RMS stops
// falling, or when progress cancels; it returns the best model it met.
// Throws std::invalid_argument for a profile it cannot invert (fewer than
// two stations, no data).
InversionResult invertProfile(const ProfileData& data, const InversionOptions& options,
                              const InversionProgress& progress = {},
                              const InversionStarted& started = {});

} // namespace veldro
