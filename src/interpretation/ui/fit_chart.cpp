#include "interpretation/ui/fit_chart.h"

#include "charts/plot_area_item.h"
#include "charts/wrapped_legend.h"
#include "interpretation/ui/log_ticks.h"

#include <QFontMetricsF>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace veldro {

namespace {

constexpr double kLineWidth = 1.5;
constexpr double kDot = 5;
// How near a dot the pointer picks it, in pixels: a little past its edge.
constexpr double kReach = 6;
// Error bars shorter than this (pixels) are left out: they would only blot the dot.
constexpr double kShortestBar = 3;
constexpr double kBarEnd = 3; // half the width of a bar's end
// The gap between the log labels and the plot area.
constexpr double kLabelGap = 8;
// Value labels at least this many lines apart.
constexpr double kLabelSpacing = 1.5;

// The round step (1, 2, 2.5 or 5 times a power of ten) after this one.
double nextRoundStep(double step) {
    const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    for (double leading : {2.0, 2.5, 5.0, 10.0})
        if (leading * power > step * (1 + 1e-9)) return leading * power;
    return 10 * power;
}

QString quantityName(FittedQuantity quantity) {
    switch (quantity) {
    case FittedQuantity::Tilt:
        return QStringLiteral("Tilt.ver(%)");
    case FittedQuantity::Ellipticity:
        return QStringLiteral("Ellip.ver(%)");
    case FittedQuantity::LogRho:
        return QStringLiteral("Rho");
    case FittedQuantity::Phase:
        return QStringLiteral("Ph.E/H");
    }
    return {};
}

// Blue for tilt and Rho, red for ellipticity and phase, as the graph window
// draws a first and a second profile.
QColor quantityColour(FittedQuantity quantity) {
    return quantity == FittedQuantity::Tilt || quantity == FittedQuantity::LogRho
               ? QColor(0, 90, 181)
               : QColor(220, 50, 32);
}

QString frequencyText(double frequency) {
    char text[32];
    return QString::fromLatin1(text, std::to_chars(text, text + sizeof text, frequency).ptr - text);
}

QPen linePen(const FitCurve& curve) {
    QPen pen(curve.colour, kLineWidth);
    if (curve.dashed) pen.setStyle(Qt::DashLine);
    return pen;
}

} // namespace

FitCurve fitCurveOf(FittedQuantity quantity, double frequency, bool dashed) {
    FitCurve curve;
    curve.title = quantityName(quantity) + QLatin1Char(' ') + frequencyText(frequency) +
                  QStringLiteral(" Hz");
    curve.colour = quantityColour(quantity);
    curve.dashed = dashed;
    return curve;
}

// The dots, error bars and lines.
class FitMarks : public PlotAreaItem {
public:
    explicit FitMarks(FitChart& chart) : PlotAreaItem(chart), curves_(chart.curves_) {}

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        if (!drawable()) return;
        painter->save();
        painter->setClipRect(area());
        painter->setRenderHint(QPainter::Antialiasing);
        for (const FitCurve& curve : curves_) {
            QPolygonF line;
            for (QPointF point : curve.computed) line << place(point);
            painter->setPen(linePen(curve));
            painter->drawPolyline(line);
            painter->setPen(QPen(curve.colour, 1));
            for (std::size_t i = 0; i < curve.observed.size(); ++i) {
                const QPointF at = curve.observed[i];
                const QPointF high = place({at.x(), at.y() + curve.errors[i]});
                const QPointF low = place({at.x(), at.y() - curve.errors[i]});
                if (low.y() - high.y() < kShortestBar) continue;
                painter->drawLine(high, low);
                painter->drawLine(high - QPointF(kBarEnd, 0), high + QPointF(kBarEnd, 0));
                painter->drawLine(low - QPointF(kBarEnd, 0), low + QPointF(kBarEnd, 0));
            }
            for (std::size_t i = 0; i < curve.observed.size(); ++i) {
                const bool hollow = i < curve.excluded.size() && curve.excluded[i];
                painter->setPen(hollow ? QPen(curve.colour, 1.2) : QPen(Qt::white, 0.8));
                painter->setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(curve.colour));
                painter->drawEllipse(place(curve.observed[i]), kDot / 2, kDot / 2);
            }
        }
        painter->restore();
    }

    std::optional<FitPoint> observedAt(QPointF position) const {
        if (!drawable() || !area().adjusted(-kReach, -kReach, kReach, kReach).contains(position))
            return {};
        std::optional<FitPoint> nearest;
        double best = kReach * kReach;
        for (std::size_t c = 0; c < curves_.size(); ++c)
            for (std::size_t i = 0; i < curves_[c].observed.size(); ++i) {
                const QPointF offset = place(curves_[c].observed[i]) - position;
                const double distance = QPointF::dotProduct(offset, offset);
                if (distance <= best) {
                    best = distance;
                    nearest = FitPoint{c, i};
                }
            }
        return nearest;
    }

private:
    const std::vector<FitCurve>& curves_;
};

// The left axis's labels and grid lines for log10 values: the quantity at
// round values, as many as stand one above another without touching.
class LogScale : public PlotAreaItem {
public:
    explicit LogScale(FitChart& chart) : PlotAreaItem(chart), ownMargin_(chart.margins().left()) {
        setZValue(zValue() - 1); // under the curves
    }

    QRectF boundingRect() const override { return chart().rect(); }

    // Room at the left for the title and the labels of the axis's current range.
    void makeRoom() {
        const double title = QFontMetricsF(chart().axisY().titleFont()).height();
        QMargins margins = chart().margins();
        margins.setLeft(ownMargin_ +
                        static_cast<int>(std::ceil(title + widestLabel() + kLabelGap)));
        chart().setMargins(margins);
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        if (!drawable()) return;
        QValueAxis& y = chart().axisY(); // its colours are read through non-const calls
        painter->save();
        painter->setFont(y.labelsFont());
        const QFontMetricsF metrics(painter->font());
        const std::vector<double> all = ticks();
        std::vector<double> heights;
        heights.reserve(all.size());
        for (double tick : all) heights.push_back(place({0, std::log10(tick)}).y());
        const std::size_t stride = labelStride(heights, metrics.height());
        // The title reads upwards along the left edge, as the value axis's would.
        painter->save();
        painter->setFont(y.titleFont());
        const QFontMetricsF titleMetrics(painter->font());
        const QString title =
            titleMetrics.elidedText(y.titleText(), Qt::ElideRight, area().height() + 2 * kLabelGap);
        painter->setPen(y.titleBrush().color());
        painter->translate(area().left() - kLabelGap - widestLabel() - titleMetrics.descent(),
                           area().center().y());
        painter->rotate(-90);
        painter->drawText(QPointF(-titleMetrics.horizontalAdvance(title) / 2, 0), title);
        painter->restore();
        for (std::size_t i = 0; i < all.size(); i += stride) {
            const double at = heights[i];
            painter->setPen(QPen(y.gridLineColor(), 0));
            painter->drawLine(QPointF(area().left(), at), QPointF(area().right(), at));
            const QString label = roundValueText(all[i]);
            painter->setPen(y.labelsColor());
            painter->drawText(
                QPointF(area().left() - kLabelGap + 2 - metrics.horizontalAdvance(label),
                        at + metrics.ascent() / 2 - 1),
                label);
        }
        painter->restore();
    }

private:
    std::vector<double> ticks() const {
        return roundLogTicks(chart().axisY().min(), chart().axisY().max());
    }

    int ownMargin_; // the chart's, left of the title

    double widestLabel() const {
        const QFontMetricsF metrics(chart().axisY().labelsFont());
        double widest = 0;
        for (double tick : ticks())
            widest = std::max(widest, metrics.horizontalAdvance(roundValueText(tick)));
        return widest;
    }
};

FitChart::FitChart() : marks_(new FitMarks(*this)) {
    legend()->setAlignment(Qt::AlignBottom);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    QFont small = legend()->font();
    small.setPointSize(8);
    legend()->setFont(small);
    for (QLegendMarker* marker : legend()->markers()) marker->setVisible(false); // the frame's
    wrapLegend(*this);
    // After the station chart's own step for a new range.
    connect(&axisY(), &QValueAxis::rangeChanged, this, &FitChart::spaceValueTicks);
    connect(this, &QChart::plotAreaChanged, this, &FitChart::spaceValueTicks);
}

void FitChart::spaceValueTicks() {
    const double span = axisY().max() - axisY().min();
    const double height = plotArea().height();
    if (!(span > 0) || !(height > 0)) return;
    const double least =
        kLabelSpacing * QFontMetricsF(axisY().labelsFont()).height() * span / height;
    double step = axisY().tickInterval();
    while (step < least) step = nextRoundStep(step);
    if (step != axisY().tickInterval()) axisY().setTickInterval(step);
}

FitChart::~FitChart() = default;

void FitChart::addCurve(FitCurve curve) {
    // The legend's row: a series without points in the curve's pen.
    auto* row = new QLineSeries;
    row->setName(curve.title);
    row->setPen(linePen(curve));
    addSeries(row);
    legendRows_.push_back(row);
    curves_.push_back(std::move(curve));
    marks_->update();
}

std::optional<FitPoint> FitChart::observedAt(QPointF position) const {
    return marks_->observedAt(position);
}

void FitChart::clearCurves() {
    for (QLineSeries* row : legendRows_) {
        removeSeries(row);
        delete row;
    }
    legendRows_.clear();
    curves_.clear();
    marks_->update();
}

void FitChart::showWholeRange() {
    resetZoom();
    double left = INFINITY, right = -INFINITY, low = INFINITY, high = -INFINITY;
    const auto include = [&](double x, double yLow, double yHigh) {
        left = std::min(left, x), right = std::max(right, x);
        low = std::min(low, yLow), high = std::max(high, yHigh);
    };
    for (const FitCurve& curve : curves_) {
        for (std::size_t i = 0; i < curve.observed.size(); ++i)
            include(curve.observed[i].x(), curve.observed[i].y() - curve.errors[i],
                    curve.observed[i].y() + curve.errors[i]);
        for (QPointF point : curve.computed) include(point.x(), point.y(), point.y());
    }
    if (left > right) return;
    setAxisRange(axisX(), left, right);
    setAxisRange(axisY(), low, high);
    if (logScale_) logScale_->makeRoom();
}

void FitChart::setLogarithmicValues() {
    logScale_ = new LogScale(*this);
    axisY().setLabelsVisible(false);
    axisY().setGridLineVisible(false);
    axisY().setTitleVisible(false);
    axisY().setLineVisible(false); // its ticks would fall between the labels
    logScale_->makeRoom();
}

} // namespace veldro
