#include "interpretation/ui/log_ticks.h"

#include "data/number_text.h"

#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

constexpr std::size_t kMostTicks = 8;

} // namespace

std::vector<double> roundLogTicks(double lowestLog10, double highestLog10) {
    std::vector<double> all, powers;
    for (double decade = std::floor(lowestLog10); decade <= highestLog10; ++decade)
        for (double leading : {1.0, 2.0, 5.0}) {
            const double at = decade + std::log10(leading);
            if (at < lowestLog10 - 1e-9 || at > highestLog10 + 1e-9) continue;
            all.push_back(leading * std::pow(10.0, decade));
            if (leading == 1) powers.push_back(all.back());
        }
    return all.size() > kMostTicks ? powers : all;
}

QString roundValueText(double value) {
    const int decimals = value >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(value) - 1e-9));
    return QString::fromStdString(formatPattern(value, std::max(decimals, 0)));
}

std::size_t labelStride(const std::vector<double>& places, double least) {
    std::size_t stride = 1;
    for (; stride < places.size(); ++stride) {
        bool apart = true;
        for (std::size_t i = stride; i < places.size(); i += stride)
            apart = apart && std::fabs(places[i] - places[i - stride]) >= least;
        if (apart) break;
    }
    return stride;
}

} // namespace veldro
