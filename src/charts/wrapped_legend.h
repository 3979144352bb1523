#pragma once

#include <QRectF>
#include <QString>
#include <vector>

class QChart;
class QLegend;

namespace veldro {

// An entry of a legend laid out in rows: where it lies in the legend, its
// text whole.
struct LegendPlace {
    QString label;
    QRectF area;
};

// The visible entries of a legend at the top or bottom of its chart, laid
// out left to right in as many rows as `width` needs, each row centred.
std::vector<LegendPlace> legendRows(const QLegend& legend, double width);

// Lets the chart's legend (at its top or bottom) take as many rows as its
// entries need at the chart's width, each entry whole, rather than one row of
// entries cut short. The legend keeps its entries, which show or hide as
// before; they are drawn in rows instead of Qt's one.
void wrapLegend(QChart& chart);

} // namespace veldro
