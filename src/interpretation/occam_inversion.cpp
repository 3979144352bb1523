#include "interpretation/occam_inversion.h"

#include "interpretation/inversion_section.h"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace veldro {

namespace {

// A damping of each step besides the roughness (ε |δ − δk|², δk the last
// model): it makes the regularisation invertible (the roughness does not
// see a constant shift), so that the step can be solved in the space of the
// data, and it keeps the data's blind directions from swinging far on one
// linearisation; at convergence it vanishes.
constexpr double kDamping = 0.1;
// The Lagrange multipliers tried at each iteration, in decades about the
// last one chosen; at the first, in decades below the largest eigenvalue of
// G P⁻¹Gᵀ, where the step is still small.
constexpr std::array kSearchDecades{1.0, 0.5, 0.0, -0.5, -1.0, -1.5, -2.0};
constexpr std::array kFirstSearchDecades{0.0,  -1.0, -2.0, -3.0, -4.0, -5.0,
                                         -6.0, -7.0, -8.0, -9.0, -10.0};
// log10 of the least and the greatest resistivity a cell may take: beyond
// them a step is a linearisation's overshoot, not the ground.
constexpr double kLowest = -1, kHighest = 5;
constexpr double kAimShare = 0.5;
// The shortest share of a step tried when the whole step fits worse.
constexpr double kShortestStep = 1.0 / 16;
// The RMS has stopped falling when an iteration gains less than this share of it.
constexpr double kLeastGain = 0.01;

// RᵀR for R the first differences across (weighted) and down.
Eigen::MatrixXd roughness(const InversionMesh& mesh, double horizontalWeight) {
    const auto cells = static_cast<Eigen::Index>(mesh.cells());
    Eigen::MatrixXd normal = Eigen::MatrixXd::Zero(cells, cells);
    const auto pair = [&](std::size_t a, std::size_t b, double weight) {
        const auto i = static_cast<Eigen::Index>(a), j = static_cast<Eigen::Index>(b);
        const double w = weight * weight;
        normal(i, i) += w, normal(j, j) += w, normal(i, j) -= w, normal(j, i) -= w;
    };
    const std::size_t columns = mesh.columns();
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t cell = r * columns + c;
            if (c + 1 < columns) pair(cell, cell + 1, horizontalWeight);
            if (r + 1 < mesh.rows()) pair(cell, cell + columns, 1);
        }
    return normal;
}

} // namespace

InversionResult invertProfile(const ProfileData& data, const InversionOptions& options,
                              const InversionProgress& progress) {
    if (data.stations.size() < 2)
        throw std::invalid_argument("an inversion needs two stations or more");
    if (data.data.empty()) throw std::invalid_argument("the profile holds no data to invert");
    InversionResult result;
    result.mesh = inversionMesh(data.stations, data.frequencies, options.startResistivity);
    const InversionSection section(data, result.mesh, options.startResistivity);
    const auto count = static_cast<Eigen::Index>(data.data.size());
    Eigen::VectorXd observed(count), weight(count);
    for (Eigen::Index i = 0; i < count; ++i) {
        observed[i] = data.data[static_cast<std::size_t>(i)].value;
        weight[i] = 1 / data.data[static_cast<std::size_t>(i)].error;
    }

    const auto cells = static_cast<Eigen::Index>(result.mesh.cells());
    Eigen::MatrixXd regularisation = roughness(result.mesh, options.horizontalWeight);
    regularisation.diagonal().array() += kDamping;
    const Eigen::LLT<Eigen::MatrixXd> regularisationFactor(regularisation);

    const Eigen::VectorXd start =
        Eigen::VectorXd::Constant(cells, std::log10(options.startResistivity));
    Eigen::VectorXd model = start;
    Eigen::MatrixXd jacobian;
    Eigen::VectorXd predicted = section.predict(model, &jacobian);
    double rms = misfitRms(data, predicted);
    Eigen::VectorXd best = model;
    result.rms = rms;
    double lagrange = -1;
    for (int iteration = 1; iteration <= options.maxIterations && rms > options.targetRms;
         ++iteration) {
        // The linearised step, in the space of the data: with P = RᵀR + ε,
        // the model δ (from the start) that minimises |ŷ − G δ|² +
        // μ (|Rδ|² + ε |δ − δk|²) is q + P⁻¹Gᵀ (G P⁻¹Gᵀ + μ)⁻¹ (ŷ − G q)
        // with q = ε P⁻¹δk, and one eigen-decomposition of G P⁻¹Gᵀ gives it
        // for every μ.
        const Eigen::MatrixXd g = weight.asDiagonal() * jacobian;
        const Eigen::VectorXd damped = kDamping * regularisationFactor.solve(model - start);
        const Eigen::VectorXd target =
            weight.cwiseProduct(observed - predicted) + g * (model - start - damped);
        const Eigen::MatrixXd spread = regularisationFactor.solve(g.transpose());
        const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eigen(g * spread);
        const Eigen::VectorXd projected = eigen.eigenvectors().transpose() * target;
        const bool first = lagrange < 0;
        if (first) lagrange = std::max(eigen.eigenvalues().maxCoeff(), 1e-12);

        // Aiming at the target at once takes the roughest models, on which
        // the linearisation fails far from the data: each iteration aims
        // at a share of the RMS it starts from, as smooth as that allows.
        const double aim = std::max(options.targetRms, kAimShare * rms);
        double chosenRms = 0, chosenLagrange = 0;
        Eigen::VectorXd chosen, chosenPredicted;
        for (double decades :
             first ? std::vector<double>(kFirstSearchDecades.begin(), kFirstSearchDecades.end())
                   : std::vector<double>(kSearchDecades.begin(), kSearchDecades.end())) {
            const double mu = lagrange * std::pow(10.0, decades);
            const Eigen::VectorXd scaled = projected.array() / (eigen.eigenvalues().array() + mu);
            const Eigen::VectorXd trial =
                (start + damped + spread * (eigen.eigenvectors() * scaled))
                    .cwiseMax(kLowest)
                    .cwiseMin(kHighest);
            const Eigen::VectorXd trialPredicted = section.predict(trial);
            const double trialRms = misfitRms(data, trialPredicted);
            // The smoothest model that reaches this iteration's aim, or else the closest fit.
            const bool reaches = trialRms <= aim;
            const bool better =
                chosen.size() == 0 || (reaches ? chosenRms > aim : trialRms < chosenRms);
            if (better) {
                chosen = trial, chosenPredicted = trialPredicted;
                chosenRms = trialRms, chosenLagrange = mu;
            }
        }
        // Far from the data the linearisation overshoots: shorten the step
        // from the current model until it fits better.
        for (double share = 0.5; chosenRms >= rms && share >= kShortestStep; share /= 2) {
            const Eigen::VectorXd trial = model + share * (chosen - model);
            const Eigen::VectorXd trialPredicted = section.predict(trial);
            const double trialRms = misfitRms(data, trialPredicted);
            if (trialRms < chosenRms)
                chosen = trial, chosenPredicted = trialPredicted, chosenRms = trialRms;
        }
        const bool falling = chosenRms < rms * (1 - kLeastGain);
        if (chosenRms < result.rms) best = chosen, result.rms = chosenRms;
        model = chosen, predicted = chosenPredicted;
        rms = chosenRms, lagrange = chosenLagrange;
        result.iterations = iteration;
        if (progress && !progress({iteration, rms})) {
            result.cancelled = true;
            break;
        }
        if (!falling || rms <= options.targetRms || iteration == options.maxIterations) break;
        predicted = section.predict(model, &jacobian);
    }
    result.log10Resistivity.assign(best.data(), best.data() + best.size());
    result.model = section.groundModel(best);
    return result;
}

} // namespace veldro
