#pragma once

#include <QGraphicsItem>
#include <QPointF>
#include <QRectF>

namespace veldro {

class StationChart;

// Something drawn over a chart's plot area in the axes' current ranges: it
// follows the plot area and is drawn anew when a range changes.
class PlotAreaItem : public QGraphicsItem {
public:
    explicit PlotAreaItem(StationChart& chart);

    QRectF boundingRect() const override { return area_; }

protected:
    StationChart& chart() const { return chart_; }
    const QRectF& area() const { return area_; }
    // Whether there is an area and ranges to draw in.
    bool drawable() const;
    // Where a value lies on the plot area; a reversed axis grows downwards.
    QPointF place(QPointF value) const;

private:
    StationChart& chart_;
    QRectF area_;
};

} // namespace veldro
