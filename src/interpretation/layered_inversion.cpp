#include "interpretation/layered_inversion.h"

#include "interpretation/forward.h"
#include "interpretation/layered_ground.h"
#include "interpretation/parallel_for.h"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <numbers>

namespace veldro {

namespace {

using Vector = Eigen::VectorXd;
using Matrix = Eigen::MatrixXd;

// What the data cannot tell stays this many decades uncertain: a station
// with fewer data than unknowns gets large uncertainties, never infinite ones.
constexpr double kPriorDecades = 2;
// The step of the finite differences, in log10 of a parameter.
constexpr double kStep = 1e-6;
// Where the parameters stay (log10 of ohm.m and of m): beyond it no VLF
// frequency tells one value from the next, and the exponentials overflow.
constexpr double kLeastLog10Rho = -2, kMostLog10Rho = 6;
constexpr double kLeastLog10Thickness = -2, kMostLog10Thickness = 5;
// Two layers: steps before the misfit is taken as found, and the top
// layer's thickness tried from the Bostick depth times each of these, the
// best kept, until one fits the data to their errors.
constexpr int kMostSteps = 60;
constexpr std::array kThicknessStarts{1.0, 0.2, 5.0};
// Smooth: the boundaries reach from this fraction of the depth seen to this
// many times it; the trade-off's weights are searched over these decades.
constexpr double kShallowest = 0.05, kDeepest = 2;
constexpr double kLeastTradeOff = -3, kMostTradeOff = 5, kTradeOffStep = 0.5;
constexpr int kMostOccamSteps = 20;
constexpr double kTargetRms = 1;

// A sounding's data and how a vector of parameters makes layers of them.
class SoundingFit {
public:
    using Layering = std::function<std::vector<Layer>(const Vector&)>;

    SoundingFit(const Sounding& sounding, Layering layering)
        : frequencies_(sounding.frequencies), layering_(std::move(layering)),
          data_(2 * frequencies_.size()), errors_(2 * frequencies_.size()) {
        for (std::size_t f = 0; f < frequencies_.size(); ++f) {
            const auto i = static_cast<Eigen::Index>(2 * f);
            data_[i] = sounding.log10Rho[f];
            data_[i + 1] = sounding.phase[f];
            errors_[i] = sounding.log10RhoError[f];
            errors_[i + 1] = sounding.phaseError[f];
        }
    }

    Eigen::Index size() const { return data_.size(); }
    std::vector<Layer> layers(const Vector& p) const { return layering_(p); }

    // The data's misses of the response of p, in standard deviations.
    Vector residual(const Vector& p) const {
        const std::vector<double> response = soundingResponse(layering_(p), frequencies_);
        return (data_ - Eigen::Map<const Vector>(response.data(), size())).cwiseQuotient(errors_);
    }

    // How each datum, in standard deviations, follows each parameter at p.
    Matrix jacobian(const Vector& p, const Vector& residualAtP) const {
        Matrix j(size(), p.size());
        for (Eigen::Index k = 0; k < p.size(); ++k) {
            Vector moved = p;
            moved[k] += kStep;
            j.col(k) = (residualAtP - residual(moved)) / kStep;
        }
        return j;
    }

    double rms(const Vector& residual) const {
        return std::sqrt(residual.squaredNorm() / static_cast<double>(size()));
    }

    // Each parameter's standard deviation, from the posterior covariance
    // (J^T J plus what the roughness and the prior add) scaled up by the
    // misfit per degree of freedom when the data miss by more than their errors.
    std::vector<double> deviations(const Matrix& j, const Vector& residual,
                                   const Matrix& regularisation) const {
        Matrix normal = j.transpose() * j + regularisation;
        normal.diagonal().array() += 1 / (kPriorDecades * kPriorDecades);
        const double freedom = std::max<double>(1, static_cast<double>(size() - j.cols()));
        const double scale = std::max(1.0, residual.squaredNorm() / freedom);
        const Matrix covariance = normal.ldlt().solve(Matrix::Identity(j.cols(), j.cols()));
        std::vector<double> result;
        for (Eigen::Index k = 0; k < j.cols(); ++k)
            result.push_back(std::sqrt(std::max(0.0, covariance(k, k) * scale)));
        return result;
    }

private:
    std::vector<double> frequencies_;
    Layering layering_;
    Vector data_, errors_;
};

double skinDepthSeen(const Sounding& sounding) {
    return skinDepth(std::pow(10.0, sounding.log10Rho.front()), sounding.frequencies.front());
}

// rho1, h1, rho2 as log10, kept in the box.
Vector clampedTwoLayers(Vector p) {
    p[0] = std::clamp(p[0], kLeastLog10Rho, kMostLog10Rho);
    p[1] = std::clamp(p[1], kLeastLog10Thickness, kMostLog10Thickness);
    p[2] = std::clamp(p[2], kLeastLog10Rho, kMostLog10Rho);
    return p;
}

struct Found {
    Vector p, residual;
};

// Levenberg-Marquardt from `start`: Gauss-Newton steps, damped more after a
// step that fails to lower the misfit and less after one that lowers it.
Found dampedGaussNewton(const SoundingFit& fit, Vector p) {
    Vector residual = fit.residual(p);
    double misfit = residual.squaredNorm();
    double damping = 1e-2;
    for (int step = 0; step < kMostSteps; ++step) {
        const Matrix j = fit.jacobian(p, residual);
        const Matrix normal = j.transpose() * j;
        const Vector gradient = j.transpose() * residual;
        bool lowered = false;
        double before = misfit;
        while (!lowered && damping < 1e10) {
            Matrix damped = normal;
            // Marquardt's scaling, plus the prior's weight where the data see nothing.
            damped.diagonal() +=
                damping *
                (normal.diagonal().array() + 1 / (kPriorDecades * kPriorDecades)).matrix();
            const Vector trial = clampedTwoLayers(p + damped.ldlt().solve(gradient));
            const Vector trialResidual = fit.residual(trial);
            const double trialMisfit = trialResidual.squaredNorm();
            if (trialMisfit < misfit) {
                p = trial, residual = trialResidual, misfit = trialMisfit;
                damping = std::max(damping / 10, 1e-12);
                lowered = true;
            } else {
                damping *= 10;
            }
        }
        if (!lowered || before - misfit <= 1e-12 * (1 + before)) break;
    }
    return {p, residual};
}

} // namespace

std::vector<double> soundingResponse(const std::vector<Layer>& layers,
                                     const std::vector<double>& frequencies) {
    std::vector<double> values;
    values.reserve(2 * frequencies.size());
    for (double frequency : frequencies) {
        const StationResponse response = layeredResponse(layers, frequency);
        values.push_back(std::log10(apparentResistivity(response)));
        values.push_back(phaseDegrees(response));
    }
    return values;
}

std::vector<Sounding> soundings(const ProfileData& data) {
    // Per station and frequency: log10 Rho and the phase, with their errors.
    struct Pair {
        double rho = 0, phase = 0, rhoError = 0, phaseError = 0;
        bool hasRho = false, hasPhase = false;
    };
    std::map<std::size_t, std::map<std::size_t, Pair>> stations;
    for (const Datum& d : data.data) {
        if (d.excluded || !(d.error > 0) || !std::isfinite(d.value)) continue;
        Pair& pair = stations[d.station][d.frequency];
        if (d.quantity == FittedQuantity::LogRho)
            pair.rho = d.value, pair.rhoError = d.error, pair.hasRho = true;
        else if (d.quantity == FittedQuantity::Phase)
            pair.phase = d.value, pair.phaseError = d.error, pair.hasPhase = true;
    }
    std::vector<Sounding> result;
    for (const auto& [station, frequencies] : stations) {
        Sounding s;
        s.profile = data.profile;
        s.station = data.stations[station];
        for (const auto& [frequency, pair] : frequencies) {
            if (!pair.hasRho || !pair.hasPhase) continue;
            s.frequencies.push_back(data.frequencies[frequency]);
            s.log10Rho.push_back(pair.rho);
            s.phase.push_back(pair.phase);
            s.log10RhoError.push_back(pair.rhoError);
            s.phaseError.push_back(pair.phaseError);
        }
        if (!s.frequencies.empty()) result.push_back(std::move(s));
    }
    return result;
}

LayeredModel invertTwoLayers(const Sounding& sounding) {
    const SoundingFit fit(sounding, [](const Vector& p) {
        return std::vector<Layer>{{std::pow(10.0, p[1]), std::pow(10.0, p[0])},
                                  {0, std::pow(10.0, p[2])}};
    });
    // The top from the highest frequency; below, the Niblett-Bostick
    // resistivity of the lowest, which the phase tilts from its Rho.
    const double top = sounding.log10Rho.back();
    const double phase = std::clamp(sounding.phase.front(), 5.0, 85.0);
    const double below = sounding.log10Rho.front() + std::log10(90 / phase - 1);
    const double bostick =
        skinDepth(std::pow(10.0, top), sounding.frequencies.back()) / std::numbers::sqrt2;
    Found best;
    double bestMisfit = std::numeric_limits<double>::infinity();
    for (double factor : kThicknessStarts) {
        const Found found = dampedGaussNewton(
            fit, clampedTwoLayers(Vector{{top, std::log10(bostick * factor), below}}));
        const double misfit = found.residual.squaredNorm();
        if (misfit < bestMisfit) best = found, bestMisfit = misfit;
        if (fit.rms(best.residual) <= kTargetRms) break;
    }
    LayeredModel model;
    model.layers = fit.layers(best.p);
    model.log10Deviation =
        fit.deviations(fit.jacobian(best.p, best.residual), best.residual, Matrix::Zero(3, 3));
    model.rms = fit.rms(best.residual);
    model.depthSeen = skinDepthSeen(sounding);
    return model;
}

LayeredModel invertSmooth(const Sounding& sounding, std::size_t layers) {
    const auto n = static_cast<Eigen::Index>(std::max<std::size_t>(layers, 2));
    const double seen = skinDepthSeen(sounding);
    // Boundaries log-spaced: the thin layers near the surface, where the
    // highest frequency tells them apart.
    std::vector<double> thicknesses;
    double above = 0;
    for (Eigen::Index b = 0; b + 1 < n; ++b) {
        const double t = n > 2 ? static_cast<double>(b) / static_cast<double>(n - 2) : 1;
        const double depth = seen * kShallowest * std::pow(kDeepest / kShallowest, t);
        thicknesses.push_back(depth - above);
        above = depth;
    }
    const SoundingFit fit(sounding, [&thicknesses](const Vector& p) {
        std::vector<Layer> result;
        for (Eigen::Index k = 0; k < p.size(); ++k)
            result.push_back({k + 1 < p.size() ? thicknesses[static_cast<std::size_t>(k)] : 0,
                              std::pow(10.0, p[k])});
        return result;
    });
    Matrix roughness = Matrix::Zero(n - 1, n);
    for (Eigen::Index k = 0; k + 1 < n; ++k) roughness(k, k) = -1, roughness(k, k + 1) = 1;
    const Matrix smoothing = roughness.transpose() * roughness;

    double mean = 0;
    for (double v : sounding.log10Rho) mean += v;
    Vector p = Vector::Constant(n, mean / static_cast<double>(sounding.log10Rho.size()));
    Vector residual = fit.residual(p);
    double tradeOff = std::pow(10.0, kMostTradeOff);
    for (int step = 0; step < kMostOccamSteps; ++step) {
        const Matrix j = fit.jacobian(p, residual);
        const Matrix normal = j.transpose() * j;
        // The linearised data at p, as the model itself would have to fit them.
        const Vector target = j.transpose() * (residual + j * p);
        Vector bestP = p, bestResidual = residual;
        double bestRms = std::numeric_limits<double>::infinity(), bestTradeOff = tradeOff;
        for (double w = kMostTradeOff; w >= kLeastTradeOff; w -= kTradeOffStep) {
            const double weight = std::pow(10.0, w);
            Matrix system = normal + weight * smoothing;
            system.diagonal().array() += 1 / (kPriorDecades * kPriorDecades);
            Vector trial = system.ldlt().solve(target + p / (kPriorDecades * kPriorDecades));
            trial = trial.cwiseMax(kLeastLog10Rho).cwiseMin(kMostLog10Rho);
            const Vector trialResidual = fit.residual(trial);
            const double trialRms = fit.rms(trialResidual);
            // The smoothest that reaches the target, else the closest fit.
            if (trialRms <= kTargetRms || trialRms < bestRms)
                bestP = trial, bestResidual = trialResidual, bestRms = trialRms,
                bestTradeOff = weight;
            if (trialRms <= kTargetRms) break;
        }
        const double rmsBefore = fit.rms(residual);
        const bool settled = (bestP - p).cwiseAbs().maxCoeff() < 1e-3;
        // No step that fits better, nor one that keeps a fit reached.
        if (bestRms >= rmsBefore && std::max(bestRms, rmsBefore) > kTargetRms) break;
        p = bestP, residual = bestResidual, tradeOff = bestTradeOff;
        if (settled) break;
    }
    LayeredModel model;
    model.layers = fit.layers(p);
    model.log10Deviation =
        fit.deviations(fit.jacobian(p, residual), residual, tradeOff * smoothing);
    model.rms = fit.rms(residual);
    model.depthSeen = seen;
    return model;
}

std::vector<LayeredModel> invertSoundings(const std::vector<Sounding>& soundings,
                                          std::size_t smoothLayers, unsigned threads) {
    std::vector<LayeredModel> models(soundings.size());
    parallelFor(soundings.size(), threads, [&](std::size_t i) {
        models[i] = smoothLayers == 0 ? invertTwoLayers(soundings[i])
                                      : invertSmooth(soundings[i], smoothLayers);
    });
    return models;
}

} // namespace veldro
