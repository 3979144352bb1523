#include "interpretation/inversion_output.h"

#include "data/number_text.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace veldro {

namespace {

double resistivityOf(const InversionResult& result, std::size_t row, std::size_t column) {
    return std::pow(10.0, result.log10Resistivity[row * result.mesh.columns() + column]);
}

// Locale-free, whatever the program's locale: the file is read by other programs.
void append(std::string& out, double value, int decimals) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, end.ptr);
}

// A station's misfit stands out past this many times the target; the
// text names at most this many, the worst first.
constexpr double kMissFactor = 2;
constexpr std::size_t kMostMissed = 5;

} // namespace

std::string stopText(const ProfileData& data, const InversionResult& result, double targetRms) {
    std::string text;
    switch (result.stop) {
    case InversionStop::Target:
        text = "target RMS reached, then the smoothest section at it";
        break;
    case InversionStop::Stalled:
        text = "target RMS ";
        appendPattern(text, targetRms, 2);
        text += " not reached: the misfit stopped falling at ";
        appendPattern(text, result.smallestRms, 2);
        text += "; the smoothest section within ";
        appendPattern(text, kSmoothingTolerance * 100, 0);
        text += " % of it";
        break;
    case InversionStop::Iterations:
        text = "stopped at the iteration limit";
        break;
    case InversionStop::Cancelled:
        text = "cancelled";
        break;
    }
    if (result.rms <= targetRms || result.stationRms.size() != data.stations.size()) return text;
    std::vector<std::size_t> missed;
    for (std::size_t s = 0; s < data.stations.size(); ++s)
        if (result.stationRms[s] > kMissFactor * targetRms) missed.push_back(s);
    if (missed.empty()) return text + ". No station stands out: the errors may be too small";
    std::sort(missed.begin(), missed.end(), [&](std::size_t a, std::size_t b) {
        return result.stationRms[a] > result.stationRms[b];
    });
    if (missed.size() > kMostMissed) missed.resize(kMostMissed);
    text += ". The fit misses station";
    text += missed.size() > 1 ? "s " : " ";
    for (std::size_t i = 0; i < missed.size(); ++i) {
        if (i > 0) text += ", ";
        appendPattern(text, data.stations[missed[i]], 0);
        text += i == 0 ? " (RMS " : " (";
        appendPattern(text, result.stationRms[missed[i]], 2);
        text += ')';
    }
    return text;
}

GroundModel inversionModel(const InversionResult& result, const std::vector<double>& sensitivity) {
    GroundModel model = result.model;
    if (model.grid && sensitivity.size() == model.grid->cells())
        model.grid->sensitivity = sensitivity;
    return model;
}

std::string inversionModelFile(const InversionResult& result,
                               const std::vector<double>& sensitivity) {
    return groundModelJson(inversionModel(result, sensitivity));
}

std::string sectionText(const InversionResult& result, const InversionFit& fit) {
    const InversionMesh& mesh = result.mesh;
    const std::vector<double>& stations = result.model.stations;
    const std::vector<double>& doi = result.depthOfInvestigation;
    std::string out = "X\tZ\tResistivity (ohm.m)\tSensitivity";
    out += doi.empty() ? "\n" : "\tDOI\n";
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            // The cells beyond the first and last station pad the mesh: the
            // data hardly see them, and a grid of them would spread the section.
            const double x = (mesh.x[c] + mesh.x[c + 1]) / 2;
            if (x < stations.front() || x > stations.back()) continue;
            append(out, x, 2);
            out += '\t';
            // Under hills, below the datum, as the model file's depths are.
            append(out, (mesh.z[r] + mesh.z[r + 1]) / 2 + surfaceDepth(result.model.topography, x),
                   2);
            out += '\t';
            append(out, resistivityOf(result, r, c), 3);
            out += '\t';
            append(out, fit.sensitivity[r * mesh.columns() + c], 3);
            if (!doi.empty()) {
                out += '\t';
                append(out, doi[r * mesh.columns() + c], 3);
            }
            out += '\n';
        }
    return out;
}

} // namespace veldro
