#include "processing/ui/chart/station_chart.h"

#include <QGraphicsLayout>
#include <QLineSeries>
#include <QValueAxis>
#include <cmath>

namespace veldro {

namespace {

QValueAxis* makeAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setGridLineColor(QColor(225, 225, 225));
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

// The ends on multiples of a round step (1, 2, 2.5 or 5 times a power of ten)
// that cuts the range into about five parts, a tick at each: tighter than
// Qt's nice numbers, which may leave a third of the axis empty.
void StationChart::setAxisRange(QValueAxis& axis, double low, double high) {
    if (low == high) {
        const double pad = low == 0 ? 1 : std::abs(low) * 0.05;
        low -= pad;
        high += pad;
    }
    const double rough = (high - low) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * power;
    for (double leading : {1.0, 2.0, 2.5, 5.0})
        if (leading * power >= rough) {
            step = leading * power;
            break;
        }
    const double first = std::floor(low / step) * step;
    const double last = std::ceil(high / step) * step;
    axis.setRange(first, last);
    axis.setTickCount(static_cast<int>(std::lround((last - first) / step)) + 1);
}

} // namespace veldro
