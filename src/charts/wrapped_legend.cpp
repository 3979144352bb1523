#include "charts/wrapped_legend.h"

#include <QChart>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsObject>
#include <QLegend>
#include <QLegendMarker>
#include <QPainter>
#include <QXYSeries>
#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

// An entry is its line sample, a gap, its text and room before the next.
constexpr double kSample = 16;
constexpr double kGap = 4;
constexpr double kRoom = 12;

QPen samplePen(QLegendMarker& marker) {
    if (const auto* line = qobject_cast<const QXYSeries*>(marker.series())) return line->pen();
    return marker.pen();
}

double rowHeight(const QLegend& legend) {
    return std::ceil(QFontMetricsF(legend.font()).height()) + 4;
}

// The legend's own row of entries stays hidden; this draws them in rows in
// the legend's place, whose height the chart lays out from the rows needed.
class LegendRows : public QGraphicsObject {
public:
    explicit LegendRows(QChart& chart)
        : QGraphicsObject(chart.legend()), chart_(chart), chartObject_(&chart),
          legendObject_(chart.legend()) {
        // Qt's items, made with the legend, are its only children until now.
        for (QGraphicsItem* item : chart.legend()->childItems())
            if (item != this) item->setOpacity(0);
        chart.installEventFilter(this);
        chart.legend()->installEventFilter(this);
    }

    QRectF boundingRect() const override { return chart_.legend()->rect(); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QLegend& legend = *chart_.legend();
        painter->save();
        painter->setFont(legend.font());
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF inside = contents();
        const QList<QLegendMarker*> markers = legend.markers();
        std::size_t next = 0;
        for (const LegendPlace& place : legendRows(legend, inside.width())) {
            while (!markers[static_cast<qsizetype>(next)]->isVisible()) ++next;
            QLegendMarker& marker = *markers[static_cast<qsizetype>(next++)];
            const QRectF area = place.area.translated(inside.topLeft());
            const double middle = area.center().y();
            painter->setPen(samplePen(marker));
            painter->drawLine(QPointF(area.left(), middle), QPointF(area.left() + kSample, middle));
            painter->setPen(legend.labelColor());
            painter->drawText(area.adjusted(kSample + kGap, 0, 0, 0),
                              Qt::AlignLeft | Qt::AlignVCenter, place.label);
        }
        painter->restore();
    }

protected:
    // Before the chart lays itself out, and when the legend's width changes,
    // the legend asks for the height of its rows.
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The chart is touched only for the two events that matter: others
        // (a child removed) reach the filter while the chart is being
        // destroyed, part of it gone already. A chart being destroyed has
        // lost its layout first; its legend is no longer to be asked.
        const bool relaid = watched == chartObject_ && event->type() == QEvent::LayoutRequest;
        const bool resized =
            watched == legendObject_ && event->type() == QEvent::GraphicsSceneResize;
        if ((relaid || resized) && chart_.layout() != nullptr) askForRows();
        return false;
    }

private:
    QRectF contents() const {
        qreal left = 0, top = 0, right = 0, bottom = 0;
        chart_.legend()->layout()->getContentsMargins(&left, &top, &right, &bottom);
        return chart_.legend()->rect().adjusted(left, top, -right, -bottom);
    }

    // The legend spans the chart, its layout's and its own margins taken off.
    double width() const {
        if (chart_.legend()->size().width() > 0) return contents().width();
        qreal left = 0, top = 0, right = 0, bottom = 0;
        chart_.layout()->getContentsMargins(&left, &top, &right, &bottom);
        double width = chart_.size().width() - left - right - chart_.margins().left() -
                       chart_.margins().right();
        chart_.legend()->layout()->getContentsMargins(&left, &top, &right, &bottom);
        return width - left - right;
    }

    void askForRows() {
        QLegend& legend = *chart_.legend();
        qreal left = 0, top = 0, right = 0, bottom = 0;
        legend.layout()->getContentsMargins(&left, &top, &right, &bottom);
        const std::vector<LegendPlace> rows = legendRows(legend, width());
        // An empty legend keeps a row's room: a chart laid out without one
        // gives no room back when its first curves come.
        const double height =
            (rows.empty() ? rowHeight(legend) : rows.back().area.bottom()) + top + bottom;
        // The chart places its legend without a layout above it: told by hand.
        if (legend.preferredHeight() != height) {
            legend.setPreferredHeight(height);
            chart_.layout()->invalidate();
        }
        update();
    }

    QChart& chart_;
    // What the filter compares with, taken while the chart was whole.
    const QObject* chartObject_;
    const QObject* legendObject_;
};

} // namespace

std::vector<LegendPlace> legendRows(const QLegend& legend, double width) {
    const QFontMetricsF metrics(legend.font());
    const double height = rowHeight(legend);
    std::vector<LegendPlace> places;
    std::size_t rowStart = 0;
    double x = 0, y = 0;
    // Centres the entries from rowStart on, `used` wide.
    const auto centre = [&](double used) {
        const double shift = std::max(0.0, (width - used) / 2);
        for (std::size_t i = rowStart; i < places.size(); ++i) places[i].area.translate(shift, 0);
    };
    for (const QLegendMarker* marker : legend.markers()) {
        if (!marker->isVisible()) continue;
        const double entry = kSample + kGap + std::ceil(metrics.horizontalAdvance(marker->label()));
        if (x > 0 && x + entry > width) {
            centre(x - kRoom);
            rowStart = places.size();
            x = 0;
            y += height;
        }
        places.push_back({marker->label(), QRectF(x, y, entry, height)});
        x += entry + kRoom;
    }
    if (!places.empty()) centre(x - kRoom);
    return places;
}

void wrapLegend(QChart& chart) {
    new LegendRows(chart); // the legend's
}

} // namespace veldro
