#include "interpretation/inversion_fit.h"

#include "interpretation/inversion_misfit.h"
#include "interpretation/inversion_section.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace veldro {

namespace {

// Sensitivities spread over many decades: the scale shows three of them.
constexpr double kDecadesShown = 3;
// A cell's corner read back from its depth below the datum and the surface's
// may differ from the one written by rounding.
constexpr double kSameDepth = 1e-6; // m

// The sorted edges of the rectangles' corners along one axis.
std::vector<double> edgesOf(const std::vector<Body>& bodies, double SectionPoint::*axis) {
    std::vector<double> edges;
    for (const Body& body : bodies)
        for (const SectionPoint& corner : body.polygon) edges.push_back(corner.*axis);
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

[[noreturn]] void notAnInversion(const std::string& why) {
    throw std::runtime_error("the model holds no inversion section: " + why);
}

} // namespace

InversionFit inversionFit(const ProfileData& data, const InversionResult& result,
                          double startResistivity) {
    if (data.data.empty()) throw std::invalid_argument("the profile holds no data to fit");
    if (result.log10Resistivity.size() != result.mesh.cells())
        throw std::invalid_argument("the section has not one value per cell");
    const InversionSection section(data, result.mesh, startResistivity);
    const Eigen::Map<const Eigen::VectorXd> model(
        result.log10Resistivity.data(), static_cast<Eigen::Index>(result.log10Resistivity.size()));
    Eigen::MatrixXd jacobian;
    const Eigen::VectorXd computed = section.predict(model, &jacobian);
    jacobian = misfitWeights(data, computed, false).asDiagonal() * jacobian;

    InversionFit fit;
    fit.computed.assign(computed.data(), computed.data() + computed.size());
    fit.rms = misfitRms(data, computed);
    fit.stationRms = stationMisfits(data, computed);
    const InversionMesh& mesh = result.mesh;
    // Per square metre, so that the large cells at depth and outside the
    // stations do not pass for well seen by their size alone.
    std::vector<double> density(mesh.cells());
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            const std::size_t cell = r * mesh.columns() + c;
            const double area = (mesh.x[c + 1] - mesh.x[c]) * (mesh.z[r + 1] - mesh.z[r]);
            density[cell] = jacobian.col(static_cast<Eigen::Index>(cell)).norm() / area;
        }
    const double best = *std::max_element(density.begin(), density.end());
    for (double d : density)
        fit.sensitivity.push_back(
            d > 0 && best > 0 ? std::clamp(1 + std::log10(d / best) / kDecadesShown, 0.0, 1.0)
                              : 0.0);
    return fit;
}

InversionResult inversionFromModel(const GroundModel& model) {
    if (model.layers.size() != 1) notAnInversion("it has more than one layer");
    if (model.bodies.empty()) notAnInversion("it has no bodies");
    const char* const notOneGrid = "its bodies are not one grid of cells from the surface down";
    InversionResult result;
    InversionMesh& mesh = result.mesh;
    mesh.x = edgesOf(model.bodies, &SectionPoint::x);
    if (mesh.x.size() < 2 || model.bodies.size() % mesh.columns() != 0) notAnInversion(notOneGrid);
    // Down, the rows of the column whose left side stands highest, at the
    // datum under hills: there the depths below the surface are those below
    // the datum, read back to the bit as invert made them. Every cell is then
    // checked against them, under hills as a parallelogram.
    std::size_t highest = 0;
    for (std::size_t c = 1; c < mesh.columns(); ++c)
        if (surfaceDepth(model.topography, mesh.x[c]) <
            surfaceDepth(model.topography, mesh.x[highest]))
            highest = c;
    const double top = surfaceDepth(model.topography, mesh.x[highest]);
    for (std::size_t b = highest; b < model.bodies.size(); b += mesh.columns()) {
        const std::vector<SectionPoint>& corners = model.bodies[b].polygon;
        if (corners.size() != 4) notAnInversion(notOneGrid);
        if (b == highest) mesh.z.push_back(corners[0].z - top);
        mesh.z.push_back(corners[3].z - top);
    }
    if (mesh.z.front() != 0 ||
        std::adjacent_find(mesh.z.begin(), mesh.z.end(), std::greater_equal<>()) != mesh.z.end())
        notAnInversion(notOneGrid);
    // A grid's cells come row after row from the top.
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            const Body& body = model.bodies[r * mesh.columns() + c];
            const std::vector<SectionPoint> cell =
                terrainCell(model.topography, mesh.x[c], mesh.x[c + 1], mesh.z[r], mesh.z[r + 1]);
            if (!std::ranges::equal(body.polygon, cell, [](SectionPoint a, SectionPoint b) {
                    return a.x == b.x && std::fabs(a.z - b.z) < kSameDepth;
                }))
                notAnInversion(notOneGrid);
            result.log10Resistivity.push_back(std::log10(body.resistivity));
        }
    result.model = model;
    return result;
}

} // namespace veldro
