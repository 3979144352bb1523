#include "interpretation/ui/fit_chart.h"

#include "interpretation/ui/log_ticks.h"
#include "processing/ui/chart/plot_area_item.h"

#include <QCategoryAxis>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

constexpr double kLineWidth = 1.5;
constexpr double kDot = 5;
// Error bars shorter than this (pixels) are left out: they would only blot the dot.
constexpr double kShortestBar = 3;
constexpr double kBarEnd = 3; // half the width of a bar's end

QPen linePen(const FitCurve& curve) {
    QPen pen(curve.colour, kLineWidth);
    if (curve.dashed) pen.setStyle(Qt::DashLine);
    return pen;
}

} // namespace

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
            painter->setPen(QPen(Qt::white, 0.8));
            painter->setBrush(curve.colour);
            for (QPointF point : curve.observed)
                painter->drawEllipse(place(point), kDot / 2, kDot / 2);
        }
        painter->restore();
    }

private:
    const std::vector<FitCurve>& curves_;
};

FitChart::FitChart() : marks_(new FitMarks(*this)) {
    legend()->setAlignment(Qt::AlignBottom);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    QFont small = legend()->font();
    small.setPointSize(8);
    legend()->setFont(small);
    for (QLegendMarker* marker : legend()->markers()) marker->setVisible(false); // the frame's
}

FitChart::~FitChart() = default;

void FitChart::addCurve(FitCurve curve) {
    // The legend's row: a series without points in the curve's pen.
    auto* row = new QLineSeries;
    row->setName(curve.title);
    row->setPen(linePen(curve));
    addSeries(row);
    curves_.push_back(std::move(curve));
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
    if (!logLabels_) return;
    for (const QString& label : logLabels_->categoriesLabels()) logLabels_->remove(label);
    logLabels_->setRange(axisY().min(), axisY().max());
    logLabels_->setStartValue(axisY().min());
    for (double tick : roundLogTicks(axisY().min(), axisY().max()))
        logLabels_->append(roundValueText(tick), std::log10(tick));
}

void FitChart::setLogarithmicValues(const QString& title) {
    logLabels_ = new QCategoryAxis;
    logLabels_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    logLabels_->setTitleText(title);
    logLabels_->setGridLineColor(axisY().gridLineColor());
    logLabels_->setTitleFont(axisY().titleFont());
    axisY().setVisible(false);
    addAxis(logLabels_, Qt::AlignLeft);
}

} // namespace veldro
