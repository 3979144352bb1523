#include "charts/curve_layer.h"

#include "charts/graph_chart.h"
#include "charts/pixel_columns.h"
#include "charts/pixel_strokes.h"

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

// Many points on pixels (the screen, a PNG picture): there the curves are
// stroked without smoothing on twice as many pixels each way and averaged
// down, which looks the same at a fraction of the cost of smoothing each
// stroke. They are drawn turned a quarter, so that the mostly upright strokes
// of ragged curves run along the image's rows, by two threads, each on its
// half of the rows.
// Past kLayerPixels (a plot four times the size of a large screen's, as a
// picture of 10000 pixels square would need), the curves are drawn smooth on
// the picture's own pixels instead.
constexpr qsizetype kDensePoints = 20000;
constexpr int kSamples = 2; // per pixel, each way
constexpr qint64 kLayerPixels = 32'000'000;

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
    const bool dense =
        painter->paintEngine()->type() == QPaintEngine::Raster && visiblePoints() > kDensePoints;
    if (!dense || !drawDense(*painter, toPlot)) drawCurves(*painter, toPlot);
    painter->restore();
}

qsizetype CurveLayer::visiblePoints() const {
    qsizetype points = 0;
    for (const GraphChart::Curve& curve : chart_.curves_)
        if (curve.visible) points += curve.points.size();
    return points;
}

// The curve's line cut down to the pixel columns of `toPixels`, `toPlot`
// placing its plotted values in the chart, and put where `place` puts the
// chart's points.
QPolygonF CurveLayer::shownLine(const GraphChart::Curve& curve, const QTransform& toPlot,
                                const QTransform& toPixels, const QTransform& place) const {
    return (toPixels.inverted() * place)
        .map(reduceToPixelColumns((toPlot * toPixels).map(chart_.plotted(curve.points))));
}

void CurveLayer::drawMarks(QPainter& painter, const GraphChart::Curve& curve,
                           const QTransform& toPlot, const QTransform& place,
                           const QPen& pen) const {
    painter.setPen(QPen(pen.color(), pen.widthF()));
    painter.setBrush(Qt::white);
    for (QPointF mark : chart_.plotted(curve.marked))
        painter.drawPolygon(place.map(triangle(toPlot.map(mark))));
}

void CurveLayer::drawCurves(QPainter& painter, const QTransform& toPlot) const {
    for (std::size_t i = 0; i < chart_.curves_.size(); ++i) {
        const GraphChart::Curve& curve = chart_.curves_[i];
        if (!curve.visible) continue;
        const QPen pen = chart_.curvePen(static_cast<int>(i));
        drawLine(painter, shownLine(curve, toPlot, painter.transform(), QTransform()), pen);
        drawMarks(painter, curve, toPlot, QTransform(), pen);
    }
}

bool CurveLayer::drawDense(QPainter& painter, const QTransform& toPlot) const {
    const QRect plot = painter.transform().mapRect(area_).toAlignedRect() &
                       QRect(0, 0, painter.device()->width(), painter.device()->height());
    if (plot.isEmpty()) return true;
    const qreal ratio = painter.device()->devicePixelRatio();
    const qreal scale = ratio * kSamples;
    const QSize size = QSize(plot.height(), plot.width()) * scale;
    if (static_cast<qint64>(size.width()) * size.height() > kLayerPixels) return false;
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) return false;
    layer.fill(Qt::transparent);
    // The plot turned a quarter anticlockwise: its columns are the layer's rows.
    const QTransform toLayer = painter.transform() *
                               QTransform::fromTranslate(-plot.left(), -plot.top()) *
                               QTransform(0, -scale, scale, 0, 0, layer.height());
    const QTransform toPixels = painter.transform() * QTransform::fromScale(scale, scale);
    const QRect clip = toLayer.mapRect(area_).toAlignedRect() & layer.rect();
    // Pens widen with the layer's scale, and the painter's own.
    const qreal widthScale = std::sqrt(std::abs(toLayer.determinant()));
    PixelRows pixels{layer.bits(), layer.bytesPerLine(), clip};
    const auto drawRows = [&](int top, int end) {
        PixelRows rows = pixels;
        rows.clip &= QRect(0, top, layer.width(), end - top);
        // The marks by a painter on an image of its own over the same pixels:
        // an image takes one painter at a time.
        QImage part(rows.bits + top * rows.bytesPerLine, layer.width(), end - top,
                    rows.bytesPerLine, layer.format());
        QPainter marks(&part);
        marks.translate(0, -top);
        marks.setClipRect(rows.clip);
        for (std::size_t i = 0; i < chart_.curves_.size(); ++i) {
            const GraphChart::Curve& curve = chart_.curves_[i];
            if (!curve.visible) continue;
            QPen pen = chart_.curvePen(static_cast<int>(i));
            pen.setWidthF(pen.widthF() * widthScale);
            QList<qreal> pattern;
            if (pen.style() != Qt::SolidLine)
                for (qreal length : pen.dashPattern()) pattern.append(length * pen.widthF());
            const QRgb colour = qPremultiply(pen.color().rgba());
            for (const QLineF& piece :
                 strokePieces(shownLine(curve, toPlot, toPixels, toLayer), pattern))
                fillStroke(rows, piece, pen.widthF(), colour);
            drawMarks(marks, curve, toPlot, toLayer, pen);
        }
    };
    const int half = layer.height() / 2;
    std::thread other(drawRows, half, layer.height());
    drawRows(0, half);
    other.join();
    QImage shown =
        layer.scaled(layer.size() / kSamples, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .transformed(QTransform().rotate(90));
    shown.setDevicePixelRatio(ratio);
    painter.setClipping(false);
    painter.resetTransform();
    painter.drawImage(plot.topLeft(), shown);
    return true;
}

} // namespace veldro
