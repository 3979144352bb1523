#include "charts/station_chart.h"

#include <QGraphicsLayout>
#include <QLineSeries>
#include <QValueAxis>
#include <cmath>

namespace veldro {

namespace {

// A round step (1, 2, 2.5 or 5 times a power of ten) that cuts the range
// into about five parts.
double roundStep(double low, double high) {
    const double rough = (high - low) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double leading : {1.0, 2.0, 2.5, 5.0})
        if (leading * power >= rough) return leading * power;
    return 10 * power;
}

// Ticks on the multiples of a round step at every range, zoomed or not. The
// axis lays out its ticks as soon as its range changes, so a range much
// wider than the step of the last one is given its step first.
QValueAxis* makeAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setGridLineColor(QColor(225, 225, 225));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(roundStep(axis->min(), axis->max()));
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, [axis](double low, double high) {
        if (high > low) axis->setTickInterval(roundStep(low, high));
    });
    return axis;
}

} // namespace

StationChart::StationChart()
    : axisX_(makeAxis(QStringLiteral("Station"))), axisY_(makeAxis({})), frame_(new QLineSeries) {
    setBackgroundBrush(Qt::white);
    setBackgroundRoundness(0);
    setDropShadowEnabled(false);
    setPlotAreaBackgroundBrush(Qt::white);
    setPlotAreaBackgroundVisible(true);
    // The white background reaches the edges; a few pixels keep the text off them.
    layout()->setContentsMargins(0, 0, 0, 0);
    setMargins(QMargins(6, 6, 6, 6));
    addAxis(axisX_, Qt::AlignBottom);
    addAxis(axisY_, Qt::AlignLeft);
    addSeries(frame_);
    frame_->attachAxis(axisX_);
    frame_->attachAxis(axisY_);
}

void StationChart::setLeftAxisTitle(const QString& title) {
    axisY_->setTitleText(title);
}

QString StationChart::leftAxisTitle() const {
    return axisY_->titleText();
}

// The ends on multiples of the round step: tighter than Qt's nice numbers,
// which may leave a third of the axis empty.
void StationChart::setAxisRange(QValueAxis& axis, double low, double high) {
    if (low == high) {
        const double pad = low == 0 ? 1 : std::abs(low) * 0.05;
        low -= pad;
        high += pad;
    }
    const double step = roundStep(low, high);
    axis.setTickInterval(step);
    axis.setRange(std::floor(low / step) * step, std::ceil(high / step) * step);
}

void StationChart::resetZoom() {
    for (QValueAxis* axis : {axisX_, axisY_}) axis->setTickInterval(axis->max() - axis->min());
    zoomReset();
}

} // namespace veldro
