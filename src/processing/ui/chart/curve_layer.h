#pragma once

#include <QGraphicsItem>
#include <QTransform>
#include <cstddef>

namespace veldro {

class GraphChart;

// Draws the visible curves of a graph chart over its plot area, in the axes'
// current ranges: each curve cut down to what the pixels show, and on pixels
// with many points shown, by two threads.
class CurveLayer : public QGraphicsItem {
public:
    explicit CurveLayer(GraphChart& chart);

    QRectF boundingRect() const override { return area_; }
    void follow(const QRectF& area);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

private:
    std::size_t halfOfThePoints() const;
    void drawInTwoLayers(QPainter& painter, const QTransform& toPlot, std::size_t half) const;
    void drawCurves(QPainter& painter, const QTransform& toPlot, std::size_t first,
                    std::size_t end) const;

    GraphChart& chart_;
    QRectF area_;
};

} // namespace veldro
