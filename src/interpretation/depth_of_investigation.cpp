#include "interpretation/depth_of_investigation.h"

#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

// The reference ground times `factor`: every layer and body of the one given,
// else the uniform starting ground.
GroundModel scaledReference(const InversionOptions& options, double factor) {
    GroundModel reference;
    if (options.prior.reference)
        reference = *options.prior.reference;
    else
        reference.layers = {{0, options.startResistivity}};
    for (Layer& layer : reference.layers) layer.resistivity *= factor;
    for (Body& body : reference.bodies) body.resistivity *= factor;
    return reference;
}

} // namespace

DepthOfInvestigation depthOfInvestigation(const ProfileData& data, const InversionOptions& options,
                                          const InversionProgress& progress) {
    const double half = std::sqrt(10.0); // half a decade either way
    InversionResult runs[2];
    Eigen::VectorXd references[2];
    for (int run = 0; run < 2; ++run) {
        InversionOptions shifted = options;
        shifted.prior.reference = scaledReference(options, run == 0 ? half : 1 / half);
        shifted.prior.start = shifted.prior.reference;
        shifted.smallness = kDepthOfInvestigationSmallness;
        runs[run] = invertProfile(data, shifted, [&](InversionStep step) {
            step.run = run + 1;
            return !progress || progress(step);
        });
        if (runs[run].cancelled) return {{}, true};
        // A decade apart, unless a cell's reference met the bounds of resistivity.
        references[run] =
            cellPrior(runs[run].mesh, shifted.prior, options.startResistivity, data.profile)
                .reference;
    }
    DepthOfInvestigation doi;
    doi.index.resize(runs[0].log10Resistivity.size());
    for (std::size_t i = 0; i < doi.index.size(); ++i) {
        const auto cell = static_cast<Eigen::Index>(i);
        const double apart = std::fabs(references[0][cell] - references[1][cell]);
        doi.index[i] =
            apart > 0 ? std::fabs(runs[0].log10Resistivity[i] - runs[1].log10Resistivity[i]) / apart
                      : 0;
    }
    return doi;
}

std::vector<double> cellsSeen(const InversionResult& result,
                              const std::vector<double>& sensitivity) {
    if (result.depthOfInvestigation.empty()) return sensitivity;
    std::vector<double> seen;
    seen.reserve(result.depthOfInvestigation.size());
    for (double index : result.depthOfInvestigation)
        seen.push_back(std::clamp(1 - index, 0.0, 1.0));
    return seen;
}

} // namespace veldro
