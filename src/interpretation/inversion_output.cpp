#include "interpretation/inversion_output.h"

#include "interpretation/terrain.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

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

} // namespace

std::string inversionModelFile(const InversionResult& result) {
    // Cells that follow a surface are no grid: each its own polygon.
    if (!result.model.topography.empty()) return groundModelJson(result.model);
    nlohmann::ordered_json resistivity = nlohmann::ordered_json::array();
    for (std::size_t r = 0; r < result.mesh.rows(); ++r) {
        nlohmann::ordered_json row = nlohmann::ordered_json::array();
        for (std::size_t c = 0; c < result.mesh.columns(); ++c)
            row.push_back(resistivityOf(result, r, c));
        resistivity.push_back(std::move(row));
    }
    nlohmann::ordered_json file;
    file["layers"] = {{{"resistivity", result.model.layers.front().resistivity}}};
    file["bodies"] = {
        {{"grid", {{"x", result.mesh.x}, {"z", result.mesh.z}, {"resistivity", resistivity}}}}};
    file["stations"] = result.model.stations;
    file["frequencies"] = result.model.frequencies;
    return file.dump(1) + "\n";
}

std::string sectionText(const InversionResult& result, const InversionFit& fit) {
    const InversionMesh& mesh = result.mesh;
    const std::vector<double>& stations = result.model.stations;
    std::string out = "X\tZ\tResistivity (ohm.m)\tSensitivity\n";
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
            out += '\n';
        }
    return out;
}

} // namespace veldro
