#include "interpretation/inversion_misfit.h"

#include <cmath>
#include <stdexcept>

namespace veldro {

namespace {

// Huber's threshold, in standard deviations: Gaussian misfits rarely pass it.
constexpr double kHuberThreshold = 1.5;

double standardMisfit(const ProfileData& data, const Eigen::VectorXd& computed, std::size_t i) {
    const Datum& d = data.data[i];
    return (d.value - computed[static_cast<Eigen::Index>(i)]) / d.error;
}

// Huber's penalty: the square within the threshold, linear beyond, joined smoothly.
double penalty(double misfit, bool robust) {
    const double size = std::fabs(misfit);
    if (!robust || size <= kHuberThreshold) return size * size;
    return 2 * kHuberThreshold * size - kHuberThreshold * kHuberThreshold;
}

} // namespace

double misfitRms(const ProfileData& data, const Eigen::VectorXd& computed, bool robust) {
    double sum = 0;
    std::size_t fitted = 0;
    for (std::size_t i = 0; i < data.data.size(); ++i) {
        if (data.data[i].excluded) continue;
        sum += penalty(standardMisfit(data, computed, i), robust);
        ++fitted;
    }
    if (fitted == 0)
        throw std::invalid_argument("every datum of the profile is kept out of the fit");
    return std::sqrt(sum / static_cast<double>(fitted));
}

Eigen::VectorXd misfitWeights(const ProfileData& data, const Eigen::VectorXd& computed,
                              bool robust) {
    Eigen::VectorXd weights(static_cast<Eigen::Index>(data.data.size()));
    for (std::size_t i = 0; i < data.data.size(); ++i) {
        const Datum& d = data.data[i];
        double weight = d.excluded ? 0 : 1 / d.error;
        const double size = std::fabs(standardMisfit(data, computed, i));
        // Huber's weight c/|r| on the squared misfit: the step's gradient is Huber's.
        if (robust && size > kHuberThreshold) weight *= std::sqrt(kHuberThreshold / size);
        weights[static_cast<Eigen::Index>(i)] = weight;
    }
    return weights;
}

std::vector<std::size_t> dataMissedBy(const ProfileData& data, const Eigen::VectorXd& computed,
                                      double errors) {
    std::vector<std::size_t> missed;
    for (std::size_t i = 0; i < data.data.size(); ++i)
        if (!data.data[i].excluded && std::fabs(standardMisfit(data, computed, i)) > errors)
            missed.push_back(i);
    return missed;
}

std::vector<double> stationMisfits(const ProfileData& data, const Eigen::VectorXd& computed) {
    std::vector<double> sums(data.stations.size()), counts(data.stations.size());
    for (std::size_t i = 0; i < data.data.size(); ++i) {
        if (data.data[i].excluded) continue;
        const double misfit = standardMisfit(data, computed, i);
        sums[data.data[i].station] += misfit * misfit;
        counts[data.data[i].station] += 1;
    }
    for (std::size_t s = 0; s < sums.size(); ++s)
        sums[s] = counts[s] > 0 ? std::sqrt(sums[s] / counts[s]) : 0;
    return sums;
}

} // namespace veldro
