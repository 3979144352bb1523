#include "charts/plan_map_chart.h"

#include "charts/colour_scale.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

// Room around the map: the title above, northings at the left, eastings
// below, the colour bar and its labels at the right.
constexpr double kTitleRoom = 40, kLeftRoom = 78, kBottomRoom = 46, kRightRoom = 120;
constexpr double kBarWidth = 14;
constexpr double kStationDot = 1.6;

// 1, 2 or 5 times a power of ten, at or above `value` (> 0).
double roundStep(double value) {
    const double decade = std::pow(10.0, std::floor(std::log10(value)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * decade >= value * (1 - 1e-9)) return m * decade;
    return 10 * decade;
}

QString metres(double value, double step) {
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
    return QString::number(value, 'f', decimals);
}

} // namespace

PlanMapColours divergingMapColours(const PlanGrid& grid, std::optional<ColourEnds> ends) {
    const auto range = ends ? *ends : grid.range().value_or(std::pair(0.0, 0.0));
    const DivergingScale scale =
        DivergingScale::covering(std::max(std::abs(range.first), std::abs(range.second)));
    PlanMapColours colours;
    colours.place = [](double v) { return v; };
    const auto label = [&scale](double tick) {
        return QString::number(tick, 'f', scale.tickDecimals());
    };
    if (!ends) {
        colours.colour = [scale](double v) { return scale.colour(v); };
        colours.low = -scale.limit();
        colours.high = scale.limit();
        for (const double tick : scale.ticks()) colours.ticks.emplace_back(tick, label(tick));
        return colours;
    }
    // Fixed ends: the same colours as over a grid reaching them, values
    // beyond an end in its colour; the ends labelled as typed.
    const auto [low, high] = *ends;
    colours.colour = [scale, low = low, high = high](double v) {
        return scale.colour(std::clamp(v, low, high));
    };
    colours.low = low;
    colours.high = high;
    const double room = (high - low) / 8;
    colours.ticks.emplace_back(low, QString::number(low, 'g', 6));
    for (const double tick : scale.ticks())
        if (tick > low + room && tick < high - room) colours.ticks.emplace_back(tick, label(tick));
    colours.ticks.emplace_back(high, QString::number(high, 'g', 6));
    return colours;
}

PlanMapChart::PlanMapChart(QString title, QString valueName, PlanGrid grid, MapFeatures features,
                           PlanMapColours colours)
    : title_(std::move(title)), valueName_(std::move(valueName)), grid_(std::move(grid)),
      features_(std::move(features)), colours_(std::move(colours)) {
    contours_ = contours(grid_, contourLevels(grid_));
}

QRectF PlanMapChart::extent() const {
    const GridGeometry& g = grid_.geometry;
    double left = g.x0 - g.cell / 2, right = g.x(g.columns - 1) + g.cell / 2;
    double bottom = g.y0 - g.cell / 2, top = g.y(g.rows - 1) + g.cell / 2;
    for (const MappedLine& line : features_.lines)
        for (const PlanPoint& p : line.path) {
            left = std::min(left, p.easting);
            right = std::max(right, p.easting);
            bottom = std::min(bottom, p.northing);
            top = std::max(top, p.northing);
        }
    // y grows northwards here: the rectangle's "top" is its southern edge.
    return {QPointF(left, bottom), QPointF(right, top)};
}

void PlanMapChart::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    QPainter& p = *painter;
    const QRectF whole = rect();
    p.fillRect(whole, Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    QFont titleFont = p.font();
    titleFont.setPointSizeF(12);
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(Qt::black);
    p.drawText(QRectF(whole.left(), whole.top(), whole.width(), kTitleRoom), Qt::AlignCenter,
               title_);
    QFont font = p.font();
    font.setPointSizeF(9);
    font.setBold(false);
    p.setFont(font);

    // The map, as large as the room allows at one scale both ways.
    const QRectF room(whole.left() + kLeftRoom, whole.top() + kTitleRoom,
                      whole.width() - kLeftRoom - kRightRoom,
                      whole.height() - kTitleRoom - kBottomRoom);
    const QRectF box = extent();
    if (room.width() <= 0 || room.height() <= 0 || box.width() <= 0 || box.height() <= 0) return;
    const double scale = std::min(room.width() / box.width(), room.height() / box.height());
    const QRectF area(room.center().x() - box.width() * scale / 2,
                      room.center().y() - box.height() * scale / 2, box.width() * scale,
                      box.height() * scale);
    const auto place = [&](double easting, double northing) {
        return QPointF(area.left() + (easting - box.left()) * scale,
                       area.bottom() - (northing - box.top()) * scale);
    };

    // The grid's nodes as pixels of an image laid over their cells.
    const GridGeometry& g = grid_.geometry;
    QImage cells(g.columns, g.rows, QImage::Format_ARGB32_Premultiplied);
    cells.fill(Qt::transparent);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c)
            if (const double v = grid_.at(c, r); !std::isnan(v))
                cells.setPixel(c, g.rows - 1 - r, colours_.colour(colours_.place(v)));
    const QPointF topLeft = place(g.x0 - g.cell / 2, g.y(g.rows - 1) + g.cell / 2);
    const QPointF bottomRight = place(g.x(g.columns - 1) + g.cell / 2, g.y0 - g.cell / 2);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(topLeft, bottomRight), cells);

    paintCoordinateGrid(p, area, place);

    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    for (const Contour& contour : contours_)
        for (const auto& [a, b] : contour.segments) p.drawLine(place(a.x, a.y), place(b.x, b.y));

    p.setPen(QPen(QColor(90, 90, 90), 1));
    for (const MappedLine& line : features_.lines) {
        QPainterPath path;
        for (const PlanPoint& at : line.path) {
            const QPointF q = place(at.easting, at.northing);
            if (path.elementCount() == 0)
                path.moveTo(q);
            else
                path.lineTo(q);
        }
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const MappedLine& line : features_.lines)
        for (const PlanPoint& at : line.path)
            p.drawEllipse(place(at.easting, at.northing), kStationDot, kStationDot);

    // North arrow at the top right of the map.
    const QPointF tip(area.right() - 22, area.top() + 26);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(7, 20));
    arrow.lineTo(tip + QPointF(0, 14));
    arrow.lineTo(tip + QPointF(-7, 20));
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawPath(arrow);
    p.drawText(QRectF(tip.x() - 10, tip.y() - 20, 20, 18), Qt::AlignCenter, QStringLiteral("N"));

    // Scale bar at the bottom left: a round length near a fifth of the map.
    const double length = roundStep(area.width() / scale / 5) / 2;
    const double barPixels = length * scale;
    const QPointF start(area.left() + 14, area.bottom() - 16);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(start, QSizeF(barPixels, 5)));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(start, QSizeF(barPixels / 2, 5)));
    const QString label = length >= 1000 ? metres(length / 1000, length / 1000) + " km"
                                         : metres(length, length) + " m";
    p.drawText(QRectF(start.x(), start.y() - 18, barPixels, 16), Qt::AlignCenter, label);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(area);
    paintColourBar(p, QRectF(area.right() + 18, area.top() + area.height() * 0.1, kBarWidth,
                             area.height() * 0.8));
}

void PlanMapChart::paintCoordinateGrid(QPainter& p, const QRectF& area,
                                       const std::function<QPointF(double, double)>& place) const {
    const QRectF box = extent();
    const double step = roundStep(std::max(box.width(), box.height()) / 6);
    p.setPen(QPen(QColor(150, 150, 150), 0.6, Qt::DashLine));
    for (double e = std::ceil(box.left() / step) * step; e <= box.right(); e += step) {
        const double x = place(e, box.top()).x();
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.save();
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 50, area.bottom() + 4, 100, 16), Qt::AlignHCenter | Qt::AlignTop,
                   metres(e, step));
        p.restore();
    }
    for (double n = std::ceil(box.top() / step) * step; n <= box.bottom(); n += step) {
        const double y = place(box.left(), n).y();
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.save();
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left() - kLeftRoom, y - 8, kLeftRoom - 4, 16),
                   Qt::AlignRight | Qt::AlignVCenter, metres(n, step));
        p.restore();
    }
    p.save();
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.bottom() + 22, area.width(), 16), Qt::AlignCenter,
               QStringLiteral("Easting (m)"));
    p.translate(area.left() - kLeftRoom + 4, area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-area.height() / 2, 0, area.height(), 16), Qt::AlignCenter,
               QStringLiteral("Northing (m)"));
    p.restore();
}

void PlanMapChart::paintColourBar(QPainter& p, const QRectF& bar) const {
    const auto heightOf = [&](double place) {
        return bar.bottom() -
               (place - colours_.low) / (colours_.high - colours_.low) * bar.height();
    };
    constexpr int kSteps = 96;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < kSteps; ++i) {
        const double t = (i + 0.5) / kSteps;
        const double top = bar.bottom() - (i + 1.0) / kSteps * bar.height();
        p.fillRect(QRectF(bar.left(), top, bar.width(), bar.height() / kSteps + 0.5),
                   QColor(colours_.colour(colours_.low + t * (colours_.high - colours_.low))));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
    double widest = 0;
    for (const auto& [place, label] : colours_.ticks) {
        const double y = heightOf(place);
        p.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + 4, y));
        p.drawText(QRectF(bar.right() + 6, y - 8, 60, 16), Qt::AlignLeft | Qt::AlignVCenter, label);
        widest = std::max(widest, static_cast<double>(p.fontMetrics().horizontalAdvance(label)));
    }
    p.save();
    p.translate(bar.right() + 14 + widest, bar.center().y());
    p.rotate(90);
    p.drawText(QRectF(-bar.height() / 2, -16, bar.height(), 16), Qt::AlignCenter, valueName_);
    p.restore();
}

} // namespace veldro
