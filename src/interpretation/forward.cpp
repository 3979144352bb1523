#include "interpretation/forward.h"

#include "interpretation/te_solver.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veldro {

namespace {

// With z down and time as e^{iωt}, the in-phase tipper is negative on the
// smaller stations' side of a conductor: the instrument's tilt turns it over.
constexpr double kSign = -1;

double omegaMu(double frequency) {
    return 2 * std::numbers::pi * frequency * kMu0;
}

double degrees(double radians) {
    return radians * 180 / std::numbers::pi;
}

} // namespace

std::vector<StationResponse> computeResponse(const GroundModel& model, const MeshOptions& options) {
    if (!model.bodies.empty() || hasRelief(model.topography))
        return sectionResponse(model, options);
    std::vector<StationResponse> responses;
    for (double station : model.stations)
        for (double frequency : model.frequencies)
            responses.push_back(layeredResponse(model.layers, frequency, station));
    return responses;
}

StationResponse layeredResponse(const std::vector<Layer>& layers, double frequency,
                                double station) {
    const LayeredGround ground(layers, frequency);
    // Hx = (1/iωμ0) dE/dz and dE/dz = −E/ratio at the surface.
    const Complex impedance = -Complex(0, omegaMu(frequency)) * ground.surfaceRatio();
    return {station, frequency, 0, impedance};
}

std::vector<StationResponse> sectionResponse(const GroundModel& model, const MeshOptions& options) {
    return sectionResponse(model, buildMesh(model, options));
}

std::vector<StationResponse> sectionResponse(const GroundModel& model, const SectionMesh& mesh) {
    std::vector<StationResponse> responses(model.stations.size() * model.frequencies.size());
    for (std::size_t f = 0; f < model.frequencies.size(); ++f) {
        const TeSolver solver(mesh, model.layers, model.frequencies[f]);
        for (std::size_t s = 0; s < model.stations.size(); ++s) {
            const StationResponse r = stationResponse(mesh, solver, s, model.stations[s]);
            if (!std::isfinite(std::abs(r.tipper)) || !std::isfinite(std::abs(r.impedance)) ||
                r.impedance == Complex(0))
                throw ModelError("the field at the station at " + std::to_string(r.station) +
                                 " m could not be computed at " + std::to_string(r.frequency) +
                                 " Hz: the model lies beyond what the solver resolves");
            responses[s * model.frequencies.size() + f] = r;
        }
    }
    return responses;
}

StationStencil stationStencil(const SectionMesh& mesh, std::size_t station) {
    const std::size_t s = mesh.stationRows[station], c = mesh.stationColumns[station];
    const double left = mesh.x[c] - mesh.x[c - 1], right = mesh.x[c + 1] - mesh.x[c];
    const double span = left * right * (left + right);
    // Along the surface, second order on uneven spacing.
    std::vector<NodeWeight> alongX{{s, c - 1, -right * right / span},
                                   {s, c, (right * right - left * left) / span},
                                   {s, c + 1, left * left / span}};
    // Down, from the air side (the node above a station is in the air, however
    // steep the ground), where ∂²E/∂z² = −∂²E/∂x²: second order too.
    const double air = mesh.z[s] - mesh.z[s - 1];
    const double curve = air / (left + right); // air/2 times the 2/(left+right) of ∂²E/∂x²
    std::vector<NodeWeight> down{{s - 1, c, -1 / air},
                                 {s, c - 1, -curve / left},
                                 {s, c, 1 / air + curve * (1 / left + 1 / right)},
                                 {s, c + 1, -curve / right}};
    return {{s, c, 1}, std::move(alongX), std::move(down)};
}

Complex applied(const std::vector<NodeWeight>& weights, const TeSolver& solver) {
    Complex sum = 0;
    for (const NodeWeight& w : weights) sum += w.weight * solver.field(w.row, w.column);
    return sum;
}

StationResponse stationResponse(const SectionMesh& mesh, const TeSolver& solver, std::size_t index,
                                double station) {
    const StationStencil stencil = stationStencil(mesh, index);
    const Complex e = solver.field(stencil.field.row, stencil.field.column);
    const Complex dEdx = applied(stencil.alongX, solver), dEdz = applied(stencil.down, solver);
    const Complex iOmegaMu(0, omegaMu(solver.frequency()));
    return {station, solver.frequency(), -dEdx / dEdz, e * iOmegaMu / dEdz};
}

double tiltPercent(Complex tipper) {
    double twoAlpha = std::atan2(2 * tipper.real(), 1 - std::norm(tipper));
    // The major axis is taken within (−45°, 45°].
    if (twoAlpha > std::numbers::pi / 2) twoAlpha -= std::numbers::pi;
    if (twoAlpha <= -std::numbers::pi / 2) twoAlpha += std::numbers::pi;
    return kSign * 100 * std::tan(twoAlpha / 2);
}

double ellipticityPercent(Complex tipper) {
    // At most 1 in magnitude, but for rounding when |T| = 1 and T is imaginary.
    const double sine = std::clamp(2 * tipper.imag() / (1 + std::norm(tipper)), -1.0, 1.0);
    const double chi = std::asin(sine) / 2;
    return kSign * 100 * std::tan(chi);
}

double apparentResistivity(const StationResponse& response) {
    return std::norm(response.impedance) / omegaMu(response.frequency);
}

double phaseDegrees(const StationResponse& response) {
    return degrees(std::arg(-response.impedance));
}

} // namespace veldro
