#include "interpretation/occam_inversion.h"

#include "interpretation/inversion_misfit.h"
#include "interpretation/inversion_section.h"

#include <Eigen/Dense>
#include <Eigen/SparseCholesky>
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
constexpr double kAimShare = 0.5;
// The shortest share of a step tried when the whole step fits worse.
constexpr double kShortestStep = 1.0 / 16;
// The RMS (or the roughness, when smoothing) has stopped falling when an
// iteration gains less than this share of it.
constexpr double kLeastGain = 0.01;
// The smoothing steps take at most this many iterations.
constexpr int kMostSmoothingSteps = 5;

// RᵀR for R the first differences across (weighted) and down, each a
// gradient per metre (the difference over the distance between the cells'
// centres) times the width of a column under the stations. Counted by the
// cell, the thin top rows would be tied no more than the thick ones below,
// and the cells under the stations would be free to take up each reading's
// noise. The smallness joins it on the diagonal. Sparse: a long profile has
// tens of thousands of cells, each tied to four neighbours.
Eigen::SparseMatrix<double> roughnessOf(const InversionMesh& mesh, double horizontalWeight,
                                        double smallness) {
    const auto cells = static_cast<Eigen::Index>(mesh.cells());
    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(mesh.cells() * 8);
    const auto pair = [&](std::size_t a, std::size_t b, double weight) {
        const auto i = static_cast<Eigen::Index>(a), j = static_cast<Eigen::Index>(b);
        const double w = weight * weight;
        entries.emplace_back(i, i, w), entries.emplace_back(j, j, w);
        entries.emplace_back(i, j, -w), entries.emplace_back(j, i, -w);
    };
    const std::size_t columns = mesh.columns();
    const auto width = [&](std::size_t c) { return mesh.x[c + 1] - mesh.x[c]; };
    const auto height = [&](std::size_t r) { return mesh.z[r + 1] - mesh.z[r]; };
    const double reference = width(columns / 2);
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t cell = r * columns + c;
            if (c + 1 < columns)
                pair(cell, cell + 1, horizontalWeight * 2 * reference / (width(c) + width(c + 1)));
            if (r + 1 < mesh.rows())
                pair(cell, cell + columns, 2 * reference / (height(r) + height(r + 1)));
        }
    if (smallness > 0)
        for (Eigen::Index i = 0; i < cells; ++i) entries.emplace_back(i, i, smallness);
    Eigen::SparseMatrix<double> normal(cells, cells);
    normal.setFromTriplets(entries.begin(), entries.end());
    return normal;
}

// The Gauss-Newton iterations of one profile: the model, its data, and the
// steps from it.
class Occam {
public:
    Occam(const ProfileData& data, const InversionOptions& options, const InversionMesh& mesh)
        : data_(data), options_(options), section_(data, mesh, options.startResistivity),
          roughness_(roughnessOf(mesh, options.horizontalWeight, options.smallness)),
          prior_(cellPrior(mesh, options.prior, options.startResistivity, data.profile)) {
        // The boreholes' ties join the roughness, each a pull of its cell
        // towards the borehole's resistivity.
        Eigen::SparseMatrix<double> regularisation = roughness_;
        for (Eigen::Index i = 0; i < regularisation.rows(); ++i)
            regularisation.coeffRef(i, i) += kDamping + prior_.tieWeight[i] * prior_.tieWeight[i];
        regularisationFactor_.compute(regularisation);
        if (regularisationFactor_.info() != Eigen::Success)
            throw std::invalid_argument("the section's regularisation cannot be factored");
        observed_.resize(static_cast<Eigen::Index>(data.data.size()));
        for (std::size_t i = 0; i < data.data.size(); ++i)
            observed_[static_cast<Eigen::Index>(i)] = data.data[i].value;
        model_ = prior_.start;
        predicted_ = section_.predict(model_);
        rms_ = misfit(predicted_);
    }

    double rms() const { return rms_; }
    const Eigen::VectorXd& model() const { return model_; }
    const Eigen::VectorXd& predicted() const { return predicted_; }
    const InversionSection& section() const { return section_; }

    // One step from the current model: of the trade-offs searched, the
    // smoothest model that reaches `aim`, or else the closest fit. It uses
    // up the Jacobian: linearise() before the next.
    void step(double aim) {
        // The linearised step, in the space of the data: with P = RᵀR + ε + T²,
        // the model δ (from the reference) that minimises |ŷ − G δ|² +
        // μ (|Rδ|² + ε |δ − δk|² + |T (δ − t)|²) is
        // q + P⁻¹Gᵀ (G P⁻¹Gᵀ + μ)⁻¹ (ŷ − G q) with q = P⁻¹(ε δk + T² t),
        // T the boreholes' ties and t their values. The data's weights are
        // taken about the current model, so that a robust misfit is minimised
        // by reweighting at each step.
        const Eigen::VectorXd weight = misfitWeights(data_, predicted_, options_.robust);
        Eigen::MatrixXd& g = jacobian_;
        g.array().colwise() *= weight.array();
        const Eigen::VectorXd damped = regularisationFactor_.solve(
            kDamping * (model_ - reference()) +
            prior_.tieWeight.cwiseAbs2().cwiseProduct(prior_.tieValue - reference()));
        const Eigen::VectorXd target =
            weight.cwiseProduct(observed_ - predicted_) + g * (model_ - reference() - damped);
        // With P's sparse Cholesky factor L (P = Πᵀ L Lᵀ Π, Π its ordering),
        // G P⁻¹Gᵀ = Bᵀ B for B = L⁻¹ Π Gᵀ, which takes G's place: a step holds
        // one matrix of data by cells, never one of cells by cells.
        whiten(g);
        Eigen::MatrixXd spread = Eigen::MatrixXd::Zero(g.rows(), g.rows());
        spread.selfadjointView<Eigen::Lower>().rankUpdate(g);
        const bool first = lagrange_ < 0;
        if (first)
            lagrange_ = std::max(
                Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd>(spread, Eigen::EigenvaluesOnly)
                    .eigenvalues()
                    .maxCoeff(),
                1e-12);

        double chosenRms = 0, chosenLagrange = 0;
        Eigen::VectorXd chosen, chosenPredicted;
        for (double decades :
             first ? std::vector<double>(kFirstSearchDecades.begin(), kFirstSearchDecades.end())
                   : std::vector<double>(kSearchDecades.begin(), kSearchDecades.end())) {
            // One Cholesky factorisation of G P⁻¹Gᵀ + μ a trial: for the few
            // tried, cheaper than an eigen-decomposition shared by all (of
            // 1600 data, 0.1 s a trial against 5 s).
            const double mu = lagrange_ * std::pow(10.0, decades);
            Eigen::MatrixXd shifted = spread;
            shifted.diagonal().array() += mu;
            const Eigen::LLT<Eigen::MatrixXd, Eigen::Lower> factor(shifted);
            if (factor.info() != Eigen::Success) continue;
            const Eigen::VectorXd spreadOver = g.transpose() * factor.solve(target);
            const Eigen::VectorXd trial =
                (reference() + damped +
                 regularisationFactor_.permutationPinv() *
                     Eigen::VectorXd(regularisationFactor_.matrixU().solve(spreadOver)))
                    .cwiseMax(prior_.lowest)
                    .cwiseMin(prior_.highest);
            const Eigen::VectorXd trialPredicted = section_.predict(trial);
            const double trialRms = misfit(trialPredicted);
            const bool reaches = trialRms <= aim;
            const bool better =
                chosen.size() == 0 || (reaches ? chosenRms > aim : trialRms < chosenRms);
            if (better) {
                chosen = trial, chosenPredicted = trialPredicted;
                chosenRms = trialRms, chosenLagrange = mu;
            }
        }
        if (chosen.size() == 0) throw std::runtime_error("the inversion's step cannot be solved");
        // Far from the data the linearisation overshoots: shorten the step
        // from the current model until it fits better.
        for (double share = 0.5; chosenRms >= rms_ && chosenRms > aim && share >= kShortestStep;
             share /= 2) {
            const Eigen::VectorXd trial = model_ + share * (chosen - model_);
            const Eigen::VectorXd trialPredicted = section_.predict(trial);
            const double trialRms = misfit(trialPredicted);
            if (trialRms < chosenRms)
                chosen = trial, chosenPredicted = trialPredicted, chosenRms = trialRms;
        }
        model_ = chosen, predicted_ = chosenPredicted;
        rms_ = chosenRms, lagrange_ = chosenLagrange;
    }

    // The Jacobian of the current model, for the next step.
    void linearise() { predicted_ = section_.predict(model_, &jacobian_); }

    // Back to an earlier model and its data, as rms() measured them.
    void restore(const Eigen::VectorXd& model, const Eigen::VectorXd& predicted, double rms) {
        model_ = model, predicted_ = predicted, rms_ = rms;
    }

    // |R (m − reference)|² with the smallness, of the current model.
    double roughness() const {
        const Eigen::VectorXd change = model_ - reference();
        return change.dot(roughness_ * change);
    }

private:
    const Eigen::VectorXd& reference() const { return prior_.reference; }

    // Each row of g (data by cells) becomes its L⁻¹ Π gᵀ, a block of rows
    // at a time, so that the solve needs no second matrix of g's size.
    void whiten(Eigen::MatrixXd& g) const {
        constexpr Eigen::Index kBlock = 64;
        for (Eigen::Index first = 0; first < g.rows(); first += kBlock) {
            const Eigen::Index rows = std::min(kBlock, g.rows() - first);
            Eigen::MatrixXd block =
                regularisationFactor_.permutationP() * g.middleRows(first, rows).transpose();
            regularisationFactor_.matrixL().solveInPlace(block);
            g.middleRows(first, rows) = block.transpose();
        }
    }

    double misfit(const Eigen::VectorXd& predicted) const {
        return misfitRms(data_, predicted, options_.robust);
    }

    const ProfileData& data_;
    const InversionOptions& options_;
    const InversionSection section_;
    const Eigen::SparseMatrix<double> roughness_;
    const CellPrior prior_;
    Eigen::SimplicialLLT<Eigen::SparseMatrix<double>> regularisationFactor_;
    Eigen::VectorXd observed_;
    Eigen::VectorXd model_, predicted_;
    Eigen::MatrixXd jacobian_;
    double rms_ = 0;
    double lagrange_ = -1; // none chosen yet
};

} // namespace

InversionResult invertProfile(const ProfileData& data, const InversionOptions& options,
                              const InversionProgress& progress, const InversionStarted& started) {
    if (data.stations.size() < 2)
        throw std::invalid_argument("an inversion needs two stations or more");
    if (data.data.empty()) throw std::invalid_argument("the profile holds no data to invert");
    InversionResult result;
    result.mesh = inversionMesh(data.stations, data.frequencies, options.startResistivity);
    Occam occam(data, options, result.mesh);
    Eigen::VectorXd best = occam.model(), bestPredicted = occam.predicted();
    result.rms = occam.rms();
    result.stop = InversionStop::Target;
    int iteration = 0;
    const auto told = [&] {
        result.iterations = ++iteration;
        if (!progress || progress({iteration, occam.rms()})) return true;
        result.stop = InversionStop::Cancelled;
        result.cancelled = true;
        return false;
    };
    // First the misfit down to the target, or as far as it falls.
    while (occam.rms() > options.targetRms) {
        if (iteration == options.maxIterations) {
            result.stop = InversionStop::Iterations;
            break;
        }
        if (iteration == 0 && started) started(occam.rms());
        occam.linearise();
        // Aiming at the target at once takes the roughest models, on which
        // the linearisation fails far from the data: each iteration aims
        // at a share of the RMS it starts from, as smooth as that allows.
        const double before = occam.rms();
        occam.step(std::max(options.targetRms, kAimShare * before));
        if (occam.rms() < result.rms)
            best = occam.model(), bestPredicted = occam.predicted(), result.rms = occam.rms();
        if (!told()) break;
        if (occam.rms() >= before * (1 - kLeastGain) && occam.rms() > options.targetRms) {
            result.stop = InversionStop::Stalled;
            break;
        }
    }
    result.smallestRms = result.rms;
    // Then, at the target or near the smallest misfit the data allow, the
    // smoothest section: a fit closer than the errors is their noise.
    if (result.stop == InversionStop::Target || result.stop == InversionStop::Stalled) {
        const double aim = std::max(options.targetRms, result.rms * (1 + kSmoothingTolerance));
        occam.restore(best, bestPredicted, result.rms);
        for (int smoothing = 0;
             smoothing < kMostSmoothingSteps && iteration < options.maxIterations; ++smoothing) {
            const double rough = occam.roughness();
            occam.linearise();
            occam.step(aim);
            if (occam.rms() > aim || occam.roughness() > rough * (1 - kLeastGain)) break;
            best = occam.model(), bestPredicted = occam.predicted(), result.rms = occam.rms();
            result.smallestRms = std::min(result.smallestRms, result.rms);
            if (!told()) break;
        }
    }
    result.log10Resistivity.assign(best.data(), best.data() + best.size());
    result.stationRms = stationMisfits(data, bestPredicted);
    result.model = occam.section().groundModel(best);
    return result;
}

} // namespace veldro
