#include "interpretation/inversion_section.h"

#include "interpretation/forward.h"
#include "interpretation/te_solver.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veldro {

namespace {

std::ptrdiff_t cellIndex(const std::vector<double>& edges, double centre) {
    if (centre < edges.front() || centre > edges.back()) return -1;
    return std::upper_bound(edges.begin(), edges.end(), centre) - edges.begin() - 1;
}

// A combination of nodes with complex weights, as the adjoint solve takes it.
void addWeights(Eigen::VectorXcd& g, const std::vector<NodeWeight>& weights, Complex factor,
                std::size_t columns) {
    for (const NodeWeight& w : weights)
        g[static_cast<Eigen::Index>(w.row * columns + w.column)] += factor * w.weight;
}

// The derivatives of a real function of a complex number along its real and
// imaginary parts, by central differences: the functions are smooth and
// cheap, and a step of 1e-6 keeps them to some 1e-10.
std::pair<double, double> partials(double (*f)(Complex), Complex at) {
    constexpr double h = 1e-6;
    return {(f(at + h) - f(at - h)) / (2 * h),
            (f(at + Complex(0, h)) - f(at - Complex(0, h))) / (2 * h)};
}

} // namespace

InversionSection::InversionSection(const ProfileData& data, const InversionMesh& mesh,
                                   double startResistivity)
    : data_(data), cells_(mesh), startResistivity_(startResistivity) {
    const Eigen::VectorXd start = Eigen::VectorXd::Constant(static_cast<Eigen::Index>(mesh.cells()),
                                                            std::log10(startResistivity));
    mesh_ = buildMesh(groundModel(start));
    const std::size_t columns = mesh_.cellColumns();
    cellOf_.assign(mesh_.conductivity.size(), -1);
    groundShare_.assign(mesh_.conductivity.size(), 0);
    for (std::size_t r = mesh_.surfaceRow; r + 1 < mesh_.z.size(); ++r)
        for (std::size_t c = 0; c < columns; ++c) {
            // Each mesh cell in the inversion cell its middle lies in, the
            // rows counted down from the surface above it; a cell the surface
            // crosses in its column's top cell, with the share of it that is
            // ground (all of it under a flat surface).
            const double x = (mesh_.x[c] + mesh_.x[c + 1]) / 2;
            const std::size_t cell = r * columns + c;
            const double share = mesh_.conductivity[cell] * startResistivity;
            const double depth =
                (mesh_.z[r] + mesh_.z[r + 1]) / 2 - surfaceDepth(data.topography, x);
            const std::ptrdiff_t row = cellIndex(mesh.z, std::max(depth, 0.0));
            const std::ptrdiff_t column = cellIndex(mesh.x, x);
            if (row < 0 || column < 0 || share <= 0) continue;
            cellOf_[cell] = row * static_cast<std::ptrdiff_t>(mesh.columns()) + column;
            groundShare_[cell] = share;
        }
}

// The cells follow the surface: each the band of its rows' depths below it.
GroundModel InversionSection::groundModel(const Eigen::VectorXd& log10Resistivity) const {
    GroundModel model;
    model.layers = {{0, startResistivity_}};
    model.topography = data_.topography;
    for (std::size_t r = 0; r < cells_.rows(); ++r)
        for (std::size_t c = 0; c < cells_.columns(); ++c) {
            model.bodies.push_back(
                {terrainCell(data_.topography, cells_.x[c], cells_.x[c + 1], cells_.z[r],
                             cells_.z[r + 1]),
                 std::pow(10.0,
                          log10Resistivity[static_cast<Eigen::Index>(r * cells_.columns() + c)])});
        }
    if (model.topography.empty()) model.grid = CellGrid{cells_.x, cells_.z, {}};
    model.stations = data_.stations;
    model.frequencies = data_.frequencies;
    return model;
}

Eigen::VectorXd InversionSection::predict(const Eigen::VectorXd& log10Resistivity,
                                          Eigen::MatrixXd* jacobian) const {
    SectionMesh mesh = mesh_;
    for (std::size_t i = 0; i < cellOf_.size(); ++i)
        if (cellOf_[i] >= 0)
            mesh.conductivity[i] = groundShare_[i] * std::pow(10.0, -log10Resistivity[cellOf_[i]]);
    const auto dataCount = static_cast<Eigen::Index>(data_.data.size());
    Eigen::VectorXd predicted(dataCount);
    if (jacobian) jacobian->setZero(dataCount, log10Resistivity.size());
    const std::vector<Layer> background{{0, startResistivity_}};
    const std::size_t nodeColumns = mesh.x.size();
    const auto nodes = static_cast<Eigen::Index>(mesh.z.size() * nodeColumns);

    for (std::size_t f = 0; f < data_.frequencies.size(); ++f) {
        const TeSolver solver(mesh, background, data_.frequencies[f]);
        const Complex iOmegaMu(0, 2 * std::numbers::pi * data_.frequencies[f] * kMu0);
        for (std::size_t s = 0; s < data_.stations.size(); ++s) {
            const StationResponse response = stationResponse(mesh, solver, s, data_.stations[s]);
            // dT/dσ and dZ/dσ per mesh cell, computed when a datum first needs them.
            std::vector<Complex> tipperSensitivity, impedanceSensitivity;
            const auto sensitivityOf = [&](bool tipper) -> const std::vector<Complex>& {
                std::vector<Complex>& kept = tipper ? tipperSensitivity : impedanceSensitivity;
                if (!kept.empty()) return kept;
                const StationStencil stencil = stationStencil(mesh, s);
                const Complex along = applied(stencil.alongX, solver);
                const Complex down = applied(stencil.down, solver);
                const Complex e = solver.field(stencil.field.row, stencil.field.column);
                Eigen::VectorXcd g = Eigen::VectorXcd::Zero(nodes);
                if (tipper) { // T = −(dE/dx)/(dE/dz)
                    addWeights(g, stencil.alongX, -1.0 / down, nodeColumns);
                    addWeights(g, stencil.down, along / (down * down), nodeColumns);
                } else { // Z = iωμ0 E/(dE/dz)
                    addWeights(g, {stencil.field}, iOmegaMu / down, nodeColumns);
                    addWeights(g, stencil.down, -iOmegaMu * e / (down * down), nodeColumns);
                }
                kept = solver.sensitivity(mesh, g);
                return kept;
            };
            for (std::size_t i = 0; i < data_.data.size(); ++i) {
                const Datum& d = data_.data[i];
                if (d.station != s || d.frequency != f) continue;
                const bool tipper =
                    d.quantity == FittedQuantity::Tilt || d.quantity == FittedQuantity::Ellipticity;
                // The datum's change per change of T or Z: real and imaginary weights.
                double alongReal = 0, alongImaginary = 0;
                const auto index = static_cast<Eigen::Index>(i);
                if (tipper) {
                    const auto function =
                        d.quantity == FittedQuantity::Tilt ? tiltPercent : ellipticityPercent;
                    predicted[index] = function(response.tipper);
                    std::tie(alongReal, alongImaginary) = partials(function, response.tipper);
                } else if (d.quantity == FittedQuantity::LogRho) {
                    predicted[index] = std::log10(apparentResistivity(response));
                } else {
                    predicted[index] = phaseDegrees(response);
                }
                if (!jacobian) continue;
                const std::vector<Complex>& sensitivity = sensitivityOf(tipper);
                for (std::size_t cell = 0; cell < cellOf_.size(); ++cell) {
                    if (cellOf_[cell] < 0) continue;
                    Complex change = sensitivity[cell];
                    double value = 0;
                    if (tipper) {
                        value = alongReal * change.real() + alongImaginary * change.imag();
                    } else {
                        change /= response.impedance;
                        value = d.quantity == FittedQuantity::LogRho
                                    ? 2 / std::numbers::ln10 * change.real()
                                    : change.imag() * 180 / std::numbers::pi;
                    }
                    // σ = 10^−m: dσ/dm = −ln 10 σ.
                    (*jacobian)(index, cellOf_[cell]) +=
                        -std::numbers::ln10 * mesh.conductivity[cell] * value;
                }
            }
        }
    }
    return predicted;
}

} // namespace veldro
