// The plan map `map` draws as a picture: the chart kit's map with the
// colours of its quantity, written as `plot` writes pictures.
#include "charts/chart_image.h"
#include "charts/plan_map_chart.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "map_picture.h"
#include "plot_picture.h"

#include <QGraphicsScene>
#include <cmath>

namespace veldro::cli {

namespace {

// Resistivity on a log scale, as the inversion's sections colour it: over
// the grid's values, or between fixed ends.
PlanMapColours resistivityColours(const PlanGrid& grid,
                                  std::optional<std::pair<double, double>> fixed) {
    const auto range = fixed ? *fixed : grid.range().value_or(std::pair(1.0, 1.0));
    const ResistivityScale scale =
        ResistivityScale::covering(std::log10(range.first), std::log10(range.second));
    PlanMapColours colours;
    colours.colour = [scale](double v) { return scale.colour(v); };
    colours.place = [](double v) { return std::log10(v); };
    colours.low = scale.lowest();
    colours.high = scale.highest();
    for (const double tick : scale.ticks())
        colours.ticks.emplace_back(std::log10(tick), QString::number(tick, 'g', 6));
    return colours;
}

} // namespace

void writeMapPicture(const Arguments& args, const MapPicture& picture) {
    const PictureRequest request = pictureRequest(args, kChartPictureSize);
    const OffscreenApplication application;
    QGraphicsScene scene;
    auto* chart = new PlanMapChart(
        QString::fromStdString(picture.title), QString::fromStdString(picture.features.valueName),
        picture.grid, picture.features,
        picture.logarithmic ? resistivityColours(picture.grid, picture.fixedRange)
                            : divergingMapColours(picture.grid, picture.fixedRange));
    scene.addItem(chart); // the scene's
    chart->resize(QSizeF(request.size));
    const QString error =
        saveChartsImage(*chart, QString::fromStdString(picture.title), request.path, request.size);
    if (!error.isEmpty()) throw CommandFailed(request.output + ": " + error.toStdString());
}

} // namespace veldro::cli
