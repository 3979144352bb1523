#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QRectF>
#include <QRgb>
#include <vector>

class QPainter;

namespace veldro {

// Colours of values symmetric about 0: white at 0, deepening to dark red at
// +limit and to the same shades of blue (red and blue swapped) at -limit, so
// that one magnitude reads alike on either side. Beyond the limit the end
// colours hold.
class DivergingScale {
public:
    // The scale from -limit to +limit; a limit of 0 counts as 1.
    explicit DivergingScale(double limit = 1);
    // The smallest round limit (1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6 or 8 times a power
    // of ten) that covers values up to `largest` in magnitude.
    static DivergingScale covering(double largest);

    double limit() const { return limit_; }
    QRgb colour(double value) const;
    // The same colours from -limit at 0 to +limit at 1, for a colour bar.
    QLinearGradient gradient() const;
    // -limit, -limit / 2, 0, limit / 2, limit, and the decimals that show them.
    std::vector<double> ticks() const;
    int tickDecimals() const;

private:
    double limit_;
};

// A colour bar beside a plot area: its gap from the area and its width.
inline constexpr double kColourBarGap = 12;
inline constexpr double kColourBarWidth = 14;

// The bar `colours` running from 0 at the bottom of `bar` to 1 at its top,
// framed in `ink`; the painter keeps that pen for the labels.
void paintColourBar(QPainter& painter, const QRectF& bar, QLinearGradient colours,
                    const QColor& ink);

} // namespace veldro
