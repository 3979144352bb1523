// plot model: a ground model's section above its tilt and ellipticity curves,
// drawn into a PNG, SVG or PDF without a display.
#include "charts/chart_image.h"
#include "charts/field_chart.h"
#include "charts/graph_chart.h"
#include "charts/wrapped_legend.h"
#include "cli.h"
#include "interpretation/model_pictures.h"
#include "interpretation/ui/model_charts.h"
#include "plot_picture.h"

#include <QGraphicsLinearLayout>
#include <QGraphicsScene>
#include <QGraphicsWidget>

using namespace veldro;
using namespace veldro::cli;

namespace {

// Two charts of the graph window's width, one above the other.
constexpr QSize kDesignSize(1039, 1100);

int runPlotModel(const Arguments& args) {
    args.expectOperands(1, 1);
    const PictureRequest request = pictureRequest(args, kDesignSize);
    const std::string& path = args.operand(0, "MODEL.json");
    const GroundModel model = loadGroundModel(path);
    const std::vector<StationResponse> responses = modelResponse(model, path);

    const OffscreenApplication application;
    QGraphicsScene scene;
    auto* picture = new QGraphicsWidget; // the scene's
    scene.addItem(picture);
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, picture);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The section of the model's kind is laid out; the other stays hidden.
    auto* field = new FieldChart;    // the picture's
    auto* grid = new ModelGridChart; // the picture's
    StationChart* section = showModelSection(*field, *grid, model).chart;
    for (StationChart* chart : std::initializer_list<StationChart*>{field, grid}) {
        chart->setParentItem(picture);
        chart->setVisible(chart == section);
    }
    auto* curves = new GraphChart;
    curves->setTitle(QStringLiteral("Computed response"));
    curves->setLeftAxisTitle(QStringLiteral("%"));
    plotModelResponse(model, responses, *curves);
    curves->setVisibleCurves(
        std::vector<bool>(static_cast<std::size_t>(curves->curveCount()), true));
    alignWithSection(*curves, *section);
    wrapLegend(*curves);
    layout->addItem(section);
    layout->addItem(curves);
    layout->setStretchFactor(section, 1);
    layout->setStretchFactor(curves, 1);
    picture->resize(QSizeF(request.size));

    const QString error = saveChartsImage(*picture, section->title(), request.path, request.size);
    if (!error.isEmpty()) throw CommandFailed(request.output + ": " + error.toStdString());
    return 0;
}

const Registration plotModel{{"plot model",
                              "MODEL.json -o OUT.png|OUT.svg|OUT.pdf [--width W --height H]",
                              "A model's section (colours of log resistivity, depth down; an "
                              "inverted grid in ohm.m) above its tilt and ellipticity curves (1039 "
                              "x 1100 pixels unless given).",
                              runPlotModel}};

} // namespace
