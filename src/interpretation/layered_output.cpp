#include "interpretation/layered_output.h"

#include "data/number_text.h"
#include "interpretation/body_extent.h"

#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

// The section's rows, and how far below the deepest seen it reaches.
constexpr std::size_t kSectionRows = 80;
constexpr double kBelowSeen = 1.5;
// A column's width about a station without neighbours (m).
constexpr double kLoneWidth = 50;
// The sensitivity of what lies below the depth seen.
constexpr double kUnseen = 0.2;

void field(std::string& out, double value, int decimals) {
    out += '\t';
    appendFixedPoint(out, value, 0, decimals);
}

double factor(double log10Deviation) {
    return std::pow(10.0, log10Deviation);
}

} // namespace

std::string layeredModelsText(const std::vector<Sounding>& soundings,
                              const std::vector<LayeredModel>& models, bool twoLayers) {
    std::string out = twoLayers ? "Profile\tStation\tRho1 (ohm.m)\th1 (m)\tRho2 (ohm.m)\tRho1 "
                                  "factor\th1 factor\tRho2 factor\tRMS\n"
                                : "Profile\tStation\tTop (m)\tResistivity (ohm.m)\tFactor\tRMS\n";
    for (std::size_t i = 0; i < soundings.size(); ++i) {
        const LayeredModel& m = models[i];
        const auto start = [&] {
            appendInteger(out, soundings[i].profile);
            field(out, soundings[i].station, 2);
        };
        if (twoLayers) {
            start();
            field(out, m.layers[0].resistivity, 2);
            field(out, m.layers[0].thickness, 2);
            field(out, m.layers[1].resistivity, 2);
            for (double d : m.log10Deviation) field(out, factor(d), 3);
            field(out, m.rms, 3);
            out += '\n';
            continue;
        }
        double top = 0;
        for (std::size_t k = 0; k < m.layers.size(); ++k) {
            start();
            field(out, top, 2);
            field(out, m.layers[k].resistivity, 2);
            field(out, factor(m.log10Deviation[k]), 3);
            field(out, m.rms, 3);
            out += '\n';
            top += m.layers[k].thickness;
        }
    }
    return out;
}

LayeredSection layeredSection(const std::vector<Sounding>& soundings,
                              const std::vector<LayeredModel>& models) {
    LayeredSection section;
    if (soundings.empty()) return section;
    for (const Sounding& s : soundings) section.stations.push_back(s.station);
    const std::vector<double>& x = section.stations;
    InversionMesh& mesh = section.mesh;
    mesh.x.push_back(x.size() > 1 ? x[0] - (x[1] - x[0]) / 2 : x[0] - kLoneWidth / 2);
    for (std::size_t c = 0; c + 1 < x.size(); ++c) mesh.x.push_back((x[c] + x[c + 1]) / 2);
    const std::size_t last = x.size() - 1;
    mesh.x.push_back(x.size() > 1 ? x[last] + (x[last] - x[last - 1]) / 2
                                  : x[last] + kLoneWidth / 2);
    double deepest = 0;
    for (const LayeredModel& m : models) deepest = std::max(deepest, m.depthSeen);
    for (std::size_t r = 0; r <= kSectionRows; ++r)
        mesh.z.push_back(kBelowSeen * deepest * static_cast<double>(r) / kSectionRows);
    std::vector<GroundModel> grounds(models.size());
    for (std::size_t c = 0; c < models.size(); ++c) grounds[c].layers = models[c].layers;
    for (std::size_t r = 0; r < kSectionRows; ++r) {
        const double depth = (mesh.z[r] + mesh.z[r + 1]) / 2;
        for (std::size_t c = 0; c < models.size(); ++c) {
            section.log10Resistivity.push_back(
                std::log10(layerResistivityAt(grounds[c], 0, depth)));
            section.sensitivity.push_back(depth <= models[c].depthSeen ? 1 : kUnseen);
        }
    }
    return section;
}

} // namespace veldro
