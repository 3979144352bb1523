#pragma once

#include "charts/graph_chart.h"

#include <QGraphicsItem>
#include <QTransform>
#include <cstddef>

namespace veldro {

// Draws the visible curves of a graph chart over its plot area, in the axes'
// current ranges: each curve cut down to what the pixels show, and on pixels
// with many points shown, supersampled by two threads.
class CurveLayer : public QGraphicsItem {
public:
    explicit CurveLayer(GraphChart& chart);

    QRectF boundingRect() const override { return area_; }
    void follow(const QRectF& area);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

private:
    qsizetype visiblePoints() const;
    // False when the picture is too large to be drawn that way.
    bool drawDense(QPainter& painter, const QTransform& toPlot) const;
    QPolygonF shownLine(const GraphChart::Curve& curve, const QTransform& toPlot,
                        const QTransform& toPixels, const QTransform& place) const;
    void drawMarks(QPainter& painter, const GraphChart::Curve& curve, const QTransform& toPlot,
                   const QTransform& place, const QPen& pen) const;
    void drawCurves(QPainter& painter, const QTransform& toPlot) const;

    GraphChart& chart_;
    QRectF area_;
};

} // namespace veldro
