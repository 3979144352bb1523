#include "charts/plot_area_item.h"

#include "charts/station_chart.h"

#include <QValueAxis>

namespace veldro {

// Made over a chart laid out already, it takes the plot area it has.
PlotAreaItem::PlotAreaItem(StationChart& chart)
    : QGraphicsItem(&chart), chart_(chart), area_(chart.plotArea()) {
    setZValue(50); // over the grid and the axes
    for (QValueAxis* axis : {&chart.axisX(), &chart.axisY()})
        QObject::connect(axis, &QValueAxis::rangeChanged, &chart, [this] { update(); });
    QObject::connect(&chart, &QChart::plotAreaChanged, &chart, [this](const QRectF& area) {
        prepareGeometryChange();
        area_ = area;
    });
}

bool PlotAreaItem::drawable() const {
    const QValueAxis& x = chart_.axisX();
    const QValueAxis& y = chart_.axisY();
    return !area_.isEmpty() && x.max() > x.min() && y.max() > y.min();
}

QPointF PlotAreaItem::place(QPointF value) const {
    const QValueAxis& x = chart_.axisX();
    const QValueAxis& y = chart_.axisY();
    const double u = (value.x() - x.min()) / (x.max() - x.min());
    double v = (value.y() - y.min()) / (y.max() - y.min());
    if (!y.isReverse()) v = 1 - v;
    return {area_.left() + u * area_.width(), area_.top() + v * area_.height()};
}

} // namespace veldro
