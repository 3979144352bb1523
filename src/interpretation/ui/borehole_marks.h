#pragma once

#include "charts/plot_area_item.h"
#include "interpretation/inversion_prior.h"

#include <QRgb>
#include <functional>
#include <vector>

namespace veldro {

// Boreholes over a section: a column at each one's station, its intervals
// in the colour of their resistivity (white where none was measured), each
// labelled beside it, the hole's name at the top.
class BoreholeMarks : public PlotAreaItem {
public:
    // `colour` gives the section's colour of a log10 resistivity; `drawnY`
    // where a depth below the surface at a station is drawn (on a flat
    // section's depth axis unless told).
    BoreholeMarks(
        StationChart& chart, std::vector<Borehole> boreholes, std::function<QRgb(double)> colour,
        std::function<double(double station, double depth)> drawnY = [](double, double depth) {
            return depth;
        });

    const std::vector<Borehole>& boreholes() const { return boreholes_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

private:
    std::vector<Borehole> boreholes_;
    std::function<QRgb(double)> colour_;
    std::function<double(double, double)> drawnY_;
};

} // namespace veldro
