#pragma once

#include "maps/colour_ends.h"
#include "maps/contours.h"
#include "maps/map_features.h"
#include "maps/plan_grid.h"

#include <QGraphicsWidget>
#include <QRgb>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace veldro {

// How a map's values are coloured: a colour for each place on the scale
// from `low` to `high` (a value's place is `place(value)`: the value, or its
// logarithm), and the bar's labelled ticks.
struct PlanMapColours {
    std::function<QRgb(double place)> colour;
    std::function<double(double value)> place;
    double low = 0, high = 1;
    std::vector<std::pair<double, QString>> ticks; // place, label
};

// Colours of signed values (Fraser, current density) as the section and map
// windows give them: white at 0, red up, blue down, to a round limit that
// covers the grid's values, or between fixed ends.
PlanMapColours divergingMapColours(const PlanGrid& grid,
                                   std::optional<ColourEnds> ends = std::nullopt);

// A map in plan, north up, one metre as long east as north: the gridded
// values in colour with their contours, the lines as walked with their
// stations, a labelled grid of eastings and northings, a north arrow, a
// scale bar and the colour bar with the values' name; the title on top.
class PlanMapChart : public QGraphicsWidget {
public:
    PlanMapChart(QString title, QString valueName, PlanGrid grid, MapFeatures features,
                 PlanMapColours colours);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    const QString& title() const { return title_; }
    const PlanMapColours& colours() const { return colours_; }

private:
    // The map's extent in metres: the grid's cells and every line.
    QRectF extent() const;
    void paintCoordinateGrid(QPainter& painter, const QRectF& area,
                             const std::function<QPointF(double, double)>& place) const;
    void paintColourBar(QPainter& painter, const QRectF& bar) const;

    QString title_, valueName_;
    PlanGrid grid_;
    MapFeatures features_;
    std::vector<Contour> contours_;
    PlanMapColours colours_;
};

} // namespace veldro
