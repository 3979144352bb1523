#include "processing/ui/chart/graph_chart.h"

#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QGraphicsLayout>
#include <QGraphicsSceneResizeEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

namespace veldro {

namespace {

// Distinct on white and in print; neighbours differ in hue and lightness.
const std::array<QColor, 12> kCurveColours{{
    QColor(0, 90, 181),
    QColor(220, 50, 32),
    QColor(0, 140, 60),
    QColor(230, 140, 0),
    QColor(120, 60, 170),
    QColor(0, 160, 170),
    QColor(160, 30, 110),
    QColor(110, 110, 0),
    QColor(90, 90, 90),
    QColor(200, 90, 150),
    QColor(30, 60, 110),
    QColor(150, 80, 30),
}};

QColor curveColour(int curve) {
    return kCurveColours[static_cast<std::size_t>(curve) % kCurveColours.size()];
}

constexpr double kLineWidth = 1.5;
constexpr double kMarkRadius = 5; // of the triangle of a marked value

QPolygonF triangle(QPointF at) {
    return QPolygonF({at + QPointF(0, -kMarkRadius), at + QPointF(kMarkRadius, kMarkRadius * 0.7),
                      at + QPointF(-kMarkRadius, kMarkRadius * 0.7)});
}

} // namespace

// Draws the visible curves over the plot area, in the axes' current ranges.
class CurveLayer : public QGraphicsItem {
public:
    explicit CurveLayer(GraphChart& chart) : QGraphicsItem(&chart), chart_(chart) {
        // Over the grid and the axes, under the legend.
        setZValue(50);
    }

    QRectF boundingRect() const override { return area_; }

    void follow(const QRectF& area) {
        prepareGeometryChange();
        area_ = area;
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QValueAxis* x = &chart_.axisX();
        const QValueAxis* y = &chart_.axisY();
        if (area_.isEmpty() || x->max() <= x->min() || y->max() <= y->min()) return;
        const double sx = area_.width() / (x->max() - x->min());
        const double sy = area_.height() / (y->max() - y->min());
        auto place = [&](QPointF value) {
            return QPointF(area_.left() + (value.x() - x->min()) * sx,
                           area_.bottom() - (value.y() - y->min()) * sy);
        };
        painter->save();
        painter->setClipRect(area_);
        QPolygonF line;
        for (std::size_t i = 0; i < chart_.curves_.size(); ++i) {
            const GraphChart::Curve& curve = chart_.curves_[i];
            if (!curve.visible) continue;
            const QColor colour = curveColour(static_cast<int>(i));
            line.resize(curve.points.size());
            std::transform(curve.points.begin(), curve.points.end(), line.begin(), place);
            painter->setPen(QPen(colour, kLineWidth));
            painter->setBrush(Qt::NoBrush);
            painter->drawPolyline(line);
            painter->setBrush(Qt::white);
            for (QPointF mark : curve.marked) painter->drawPolygon(triangle(place(mark)));
        }
        painter->restore();
    }

private:
    GraphChart& chart_;
    QRectF area_;
};

GraphChart::GraphChart() : layer_(new CurveLayer(*this)) {
    setLeftAxisTitle(QStringLiteral("Values"));
    legend()->setAlignment(Qt::AlignRight);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    QFont small = legend()->font();
    small.setPointSize(8);
    legend()->setFont(small);
    for (int row = 0; row < kLegendRows; ++row) {
        auto* series = new QLineSeries;
        addSeries(series);
        legendRows_.push_back(series);
    }
    for (QLegendMarker* marker : legend()->markers()) {
        if (marker->series() == &frame())
            marker->setVisible(false);
        else
            legendMarkers_.push_back(marker);
    }
    updateLegend();

    for (QValueAxis* axis : {&axisX(), &axisY()})
        connect(axis, &QValueAxis::rangeChanged, this, [this] { layer_->update(); });
    connect(this, &QChart::plotAreaChanged, this,
            [this](const QRectF& area) { layer_->follow(area); });
}

GraphChart::~GraphChart() = default;

void GraphChart::addCurve(const std::string& title) {
    Curve curve;
    curve.title = QString::fromStdString(title);
    curves_.push_back(std::move(curve));
}

void GraphChart::markCurveUsed(int curve) {
    curveAt(curve).used = true;
}

void GraphChart::addPoint(int curve, double x, double y, bool marked) {
    Curve& c = curveAt(curve);
    if (c.points.isEmpty()) {
        c.left = c.right = x;
        c.bottom = c.top = y;
    } else {
        c.left = std::min(c.left, x);
        c.right = std::max(c.right, x);
        c.bottom = std::min(c.bottom, y);
        c.top = std::max(c.top, y);
    }
    c.points.append(QPointF(x, y));
    if (marked) {
        c.marked.append(QPointF(x, y));
        ++markedCount_;
    }
}

void GraphChart::clearCurves() {
    curves_.clear();
    markedCount_ = 0;
}

void GraphChart::setVisibleCurves(const std::vector<bool>& visible) {
    for (std::size_t i = 0; i < curves_.size(); ++i)
        curves_[i].visible = i < visible.size() && visible[i] && !curves_[i].points.isEmpty();
    updateLegend();
    if (!isZoomed()) fitAxesToVisibleCurves();
    layer_->update();
}

void GraphChart::showWholeRange() {
    zoomReset();
    fitAxesToVisibleCurves();
}

void GraphChart::fitAxesToVisibleCurves() {
    const Curve* first = nullptr;
    double left = 0, right = 0, bottom = 0, top = 0;
    for (const Curve& curve : curves_) {
        if (!curve.visible) continue;
        left = first ? std::min(left, curve.left) : curve.left;
        right = first ? std::max(right, curve.right) : curve.right;
        bottom = first ? std::min(bottom, curve.bottom) : curve.bottom;
        top = first ? std::max(top, curve.top) : curve.top;
        first = &curve;
    }
    if (!first) return;
    setAxisRange(axisX(), left, right);
    setAxisRange(axisY(), bottom, top);
}

void GraphChart::resizeEvent(QGraphicsSceneResizeEvent* event) {
    QChart::resizeEvent(event);
    updateLegend();
}

// Rows of the legend that fit in the chart's height: the chart's and the
// legend's layout margins taken off, a row being its text's height with 4
// pixels above and below, as Qt Charts lays out its markers.
int GraphChart::legendRows() const {
    qreal left = 0, chartTop = 0, right = 0, chartBottom = 0, legendTop = 0, legendBottom = 0;
    layout()->getContentsMargins(&left, &chartTop, &right, &chartBottom);
    legend()->layout()->getContentsMargins(&left, &legendTop, &right, &legendBottom);
    const double room = size().height() - margins().top() - margins().bottom() - chartTop -
                        chartBottom - legendTop - legendBottom;
    const double row = std::ceil(QFontMetricsF(legend()->font()).height()) + 8;
    return std::clamp(static_cast<int>(room / row), 1, kLegendRows);
}

// A row per visible curve, as many as fit; the last row then says how many
// more are shown.
void GraphChart::updateLegend() {
    std::vector<int> visible;
    for (std::size_t i = 0; i < curves_.size(); ++i)
        if (curves_[i].visible) visible.push_back(static_cast<int>(i));
    const std::size_t rows = static_cast<std::size_t>(legendRows());
    const std::size_t listed = visible.size() <= rows ? visible.size() : rows - 1;
    for (std::size_t row = 0; row < legendRows_.size(); ++row) {
        QLineSeries& series = *legendRows_[row];
        if (row < listed) {
            series.setName(curves_[static_cast<std::size_t>(visible[row])].title);
            series.setPen(QPen(curveColour(visible[row]), kLineWidth));
        } else if (row == listed && listed < visible.size()) {
            series.setName(QStringLiteral("\u2026 and %1 more").arg(visible.size() - listed));
            series.setPen(QPen(Qt::transparent));
        }
        legendMarkers_[row]->setVisible(row < listed || (row == listed && listed < visible.size()));
    }
}

QStringList GraphChart::legendTitles() const {
    QStringList titles;
    for (std::size_t row = 0; row < legendRows_.size(); ++row)
        if (legendMarkers_[row]->isVisible()) titles << legendRows_[row]->name();
    return titles;
}

} // namespace veldro
