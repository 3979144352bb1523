#include "processing/ui/chart/curve_layer.h"

#include "processing/ui/chart/graph_chart.h"
#include "processing/ui/chart/pixel_columns.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <thread>

namespace veldro {

namespace {

// A line drawn as its segments, each stroked on its own: a wide smooth pen
// strokes a whole polyline as one outline, at ten times the cost when the
// line is ragged and crosses itself. A dash pattern runs on from segment to
// segment.
void drawLine(QPainter& painter, const QPolygonF& line, QPen pen) {
    if (pen.style() == Qt::SolidLine) {
        painter.setPen(pen);
        QList<QLineF> segments;
        segments.reserve(line.size());
        for (qsizetype i = 0; i + 1 < line.size(); ++i) segments.append({line[i], line[i + 1]});
        painter.drawLines(segments);
        return;
    }
    double length = 0;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        pen.setDashOffset(length / pen.widthF());
        painter.setPen(pen);
        const QLineF segment(line[i], line[i + 1]);
        painter.drawLine(segment);
        length += segment.length();
    }
}

constexpr double kMarkRadius = 5; // of the triangle of a marked value

QPolygonF triangle(QPointF at) {
    return QPolygonF({at + QPointF(0, -kMarkRadius), at + QPointF(kMarkRadius, kMarkRadius * 0.7),
                      at + QPointF(-kMarkRadius, kMarkRadius * 0.7)});
}

// Many points on pixels (the screen, a PNG picture) are drawn by two
// threads, half the curves each: the first half in place, the second into a
// clear image laid over it afterwards, which gives the pixels of drawing them
// all in order.
constexpr qsizetype kPointsToShare = 20000;

} // namespace

CurveLayer::CurveLayer(GraphChart& chart) : QGraphicsItem(&chart), chart_(chart) {
    // Over the grid and the axes, under the legend.
    setZValue(50);
}

void CurveLayer::follow(const QRectF& area) {
    prepareGeometryChange();
    area_ = area;
}

void CurveLayer::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const QRectF values = chart_.plottedRange();
    if (area_.isEmpty() || values.width() <= 0 || values.height() <= 0) return;
    const QTransform toPlot =
        QTransform::fromTranslate(area_.left(), area_.bottom())
            .scale(area_.width() / values.width(), -area_.height() / values.height())
            .translate(-values.left(), -values.top());
    painter->save();
    painter->setClipRect(area_);
    const std::size_t half = halfOfThePoints();
    if (painter->paintEngine()->type() == QPaintEngine::Raster && half > 0)
        drawInTwoLayers(*painter, toPlot, half);
    else
        drawCurves(*painter, toPlot, 0, chart_.curves_.size());
    painter->restore();
}

// The first curve of the second half of the visible points; 0 when too few
// points are shown to share the drawing.
std::size_t CurveLayer::halfOfThePoints() const {
    qsizetype points = 0;
    for (const GraphChart::Curve& curve : chart_.curves_)
        if (curve.visible) points += curve.points.size();
    if (points <= kPointsToShare) return 0;
    qsizetype first = 0;
    for (std::size_t i = 0; i < chart_.curves_.size(); ++i) {
        if (first >= points / 2) return i;
        if (chart_.curves_[i].visible) first += chart_.curves_[i].points.size();
    }
    return 0;
}

void CurveLayer::drawInTwoLayers(QPainter& painter, const QTransform& toPlot,
                                 std::size_t half) const {
    const QRect plot = painter.transform().mapRect(area_).toAlignedRect() &
                       QRect(0, 0, painter.device()->width(), painter.device()->height());
    const qreal ratio = painter.device()->devicePixelRatio();
    QImage layer(plot.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    const QPainter::RenderHints hints = painter.renderHints();
    const QTransform toLayer =
        painter.transform() * QTransform::fromTranslate(-plot.left(), -plot.top());
    std::thread other([&] {
        QPainter over(&layer);
        over.setRenderHints(hints);
        over.setTransform(toLayer);
        over.setClipRect(area_);
        drawCurves(over, toPlot, half, chart_.curves_.size());
    });
    drawCurves(painter, toPlot, 0, half);
    other.join();
    painter.setClipping(false);
    painter.resetTransform();
    painter.drawImage(plot.topLeft(), layer);
}

// The visible curves of [first, end), `toPlot` placing plotted values.
void CurveLayer::drawCurves(QPainter& painter, const QTransform& toPlot, std::size_t first,
                            std::size_t end) const {
    // Pixel columns of the device: a picture's or a printer's, not the layout's.
    const QTransform toDevice = toPlot * painter.transform();
    const QTransform fromDevice = painter.transform().inverted();
    for (std::size_t i = first; i < end; ++i) {
        const GraphChart::Curve& curve = chart_.curves_[i];
        if (!curve.visible) continue;
        const QPolygonF line =
            fromDevice.map(reduceToPixelColumns(toDevice.map(chart_.plotted(curve.points))));
        const QPen pen = chart_.curvePen(static_cast<int>(i));
        drawLine(painter, line, pen);
        painter.setPen(QPen(pen.color(), pen.widthF()));
        painter.setBrush(Qt::white);
        for (QPointF mark : chart_.plotted(curve.marked))
            painter.drawPolygon(triangle(toPlot.map(mark)));
    }
}

} // namespace veldro
