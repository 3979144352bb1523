#include "interpretation/ui/borehole_marks.h"

#include "data/number_text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace veldro {

namespace {

constexpr double kColumnWidth = 8;
constexpr double kLabelGap = 3;

QString intervalText(const BoreholeInterval& interval) {
    QString text = QString::fromStdString(interval.label);
    if (interval.resistivity > 0) {
        if (!text.isEmpty()) text += QStringLiteral(", ");
        text += QString::fromStdString(formatPattern(interval.resistivity, 0)) +
                QStringLiteral(" ohm.m");
    }
    return text;
}

} // namespace

BoreholeMarks::BoreholeMarks(StationChart& chart, std::vector<Borehole> boreholes,
                             std::function<QRgb(double)> colour,
                             std::function<double(double, double)> drawnY)
    : PlotAreaItem(chart), boreholes_(std::move(boreholes)), colour_(std::move(colour)),
      drawnY_(std::move(drawnY)) {}

void BoreholeMarks::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    if (!drawable()) return;
    painter->save();
    painter->setClipRect(area());
    QFont small = painter->font();
    small.setPointSizeF(7);
    painter->setFont(small);
    const QFontMetricsF metrics(small);
    for (const Borehole& hole : boreholes_) {
        const double x = place({hole.station, 0}).x();
        for (const BoreholeInterval& interval : hole.intervals) {
            const double top = place({hole.station, drawnY_(hole.station, interval.from)}).y();
            const double bottom = place({hole.station, drawnY_(hole.station, interval.to)}).y();
            const QRectF column(x - kColumnWidth / 2, top, kColumnWidth, bottom - top);
            painter->setPen(QPen(Qt::black, 1));
            painter->setBrush(interval.resistivity > 0
                                  ? QColor(colour_(std::log10(interval.resistivity)))
                                  : QColor(Qt::white));
            painter->drawRect(column);
            painter->setPen(Qt::black);
            painter->drawText(
                QPointF(column.right() + kLabelGap, (top + bottom) / 2 + metrics.ascent() / 2 - 1),
                intervalText(interval));
        }
        painter->drawText(
            QPointF(x + kColumnWidth / 2 + kLabelGap, area().top() + metrics.ascent()),
            QString::fromStdString(hole.name));
    }
    painter->restore();
}

} // namespace veldro
