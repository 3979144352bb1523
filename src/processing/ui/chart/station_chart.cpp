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

void StationChart::setAxisRange(QValueAxis& axis, double low, double high) {
    if (low == high) {
        const double pad = low == 0 ? 1 : std::abs(low) * 0.05;
        low -= pad;
        high += pad;
    }
    axis.setRange(low, high);
    axis.applyNiceNumbers();
}

} // namespace veldro
