#include "charts/colour_scale.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>
#include <cmath>

namespace veldro {

namespace {

// From 0 to +limit, evenly spaced; the negative side swaps red and blue.
const std::array<QColor, 5> kPositive{{QColor(255, 255, 255), QColor(250, 190, 160),
                                       QColor(230, 110, 80), QColor(190, 30, 40),
                                       QColor(105, 0, 25)}};

constexpr std::array<double, 11> kRoundSteps{1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10};

QColor mirrored(const QColor& c) {
    return QColor(c.blue(), c.green(), c.red());
}

int mix(int a, int b, double t) {
    return static_cast<int>(std::lround(a + (b - a) * t));
}

} // namespace

DivergingScale::DivergingScale(double limit) : limit_(limit > 0 ? limit : 1) {}

DivergingScale DivergingScale::covering(double largest) {
    if (!(largest > 0) || !std::isfinite(largest)) return DivergingScale(1);
    const double power = std::pow(10.0, std::floor(std::log10(largest)));
    const double leading = largest / power;
    // A hair of tolerance, so that 40 is not taken for 40.000000001.
    const double step = *std::find_if(kRoundSteps.begin(), kRoundSteps.end(),
                                      [leading](double s) { return s >= leading * (1 - 1e-12); });
    return DivergingScale(step * power);
}

QRgb DivergingScale::colour(double value) const {
    const double magnitude = std::min(std::fabs(value) / limit_, 1.0);
    const double place = magnitude * (kPositive.size() - 1);
    const std::size_t low = std::min(static_cast<std::size_t>(place), kPositive.size() - 2);
    const double t = place - static_cast<double>(low);
    const QColor& a = kPositive[low];
    const QColor& b = kPositive[low + 1];
    const QColor c(mix(a.red(), b.red(), t), mix(a.green(), b.green(), t),
                   mix(a.blue(), b.blue(), t));
    return (value < 0 ? mirrored(c) : c).rgb();
}

QLinearGradient DivergingScale::gradient() const {
    QLinearGradient gradient;
    const double steps = static_cast<double>(kPositive.size() - 1);
    for (std::size_t k = 0; k < kPositive.size(); ++k) {
        const double half = static_cast<double>(k) / steps / 2;
        gradient.setColorAt(0.5 + half, kPositive[k]);
        gradient.setColorAt(0.5 - half, mirrored(kPositive[k]));
    }
    return gradient;
}

std::vector<double> DivergingScale::ticks() const {
    return {-limit_, -limit_ / 2, 0, limit_ / 2, limit_};
}

int DivergingScale::tickDecimals() const {
    int decimals = 0;
    for (double half = limit_ / 2; decimals < 4; ++decimals, half *= 10)
        if (std::fabs(half - std::round(half)) < 1e-9 * half) break;
    return decimals;
}

void paintColourBar(QPainter& painter, const QRectF& bar, QLinearGradient colours,
                    const QColor& ink) {
    colours.setStart(bar.bottomLeft());
    colours.setFinalStop(bar.topLeft());
    painter.fillRect(bar, colours);
    painter.setPen(QPen(ink, 0));
    painter.drawRect(bar);
}

} // namespace veldro
