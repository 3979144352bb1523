// plot model: a ground model's section above its tilt and ellipticity curves,
// drawn into a PNG, SVG or PDF without a display.
#include "cli.h"
#include "interpretation/model_pictures.h"
#include "processing/ui/chart/chart_image.h"
#include "processing/ui/chart/field_chart.h"
#include "processing/ui/chart/graph_chart.h"
#include "processing/ui/chart/interpretation_charts.h"

#include <QApplication>
#include <QFile>
#include <QGraphicsLinearLayout>
#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

constexpr int kDefaultWidth = 1039;
constexpr int kDefaultHeight = 1100;

void sayQtErrors(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

int runPlotModel(const Arguments& args) {
    args.expectOperands(1, 1);
    const std::string output = requireOutput(args);
    const QString outputPath = QFile::decodeName(output.c_str());
    if (!isChartImageName(outputPath))
        throw UsageError("-o names a .png, .svg or .pdf file, not " + output);
    const QSize size(wholeOption(args, "--width", kDefaultWidth, 200, 10000, "pixels"),
                     wholeOption(args, "--height", kDefaultHeight, 200, 10000, "pixels"));
    const std::string& path = args.operand(0, "MODEL.json");
    const GroundModel model = loadGroundModel(path);
    const std::vector<StationResponse> responses = modelResponse(model, path);

    int argc = 3;
    char program[] = "veldro-cli", option[] = "-platform", platform[] = "offscreen";
    char* argv[] = {program, option, platform, nullptr};
    qInstallMessageHandler(sayQtErrors);
    QApplication application(argc, argv);
    QGraphicsScene scene;
    auto* picture = new QGraphicsWidget; // the scene's
    scene.addItem(picture);
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, picture);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* section = new FieldChart; // the layout's
    showModelSection(*section, model);
    auto* curves = new GraphChart;
    curves->setTitle(QStringLiteral("Computed response"));
    curves->setLeftAxisTitle(QStringLiteral("%"));
    plotModelResponse(model, responses, *curves);
    curves->setVisibleCurves(
        std::vector<bool>(static_cast<std::size_t>(curves->curveCount()), true));
    alignWithSection(*curves, *section);
    layout->addItem(section);
    layout->addItem(curves);
    layout->setStretchFactor(section, 1);
    layout->setStretchFactor(curves, 1);
    picture->resize(QSizeF(size));

    const QString error = saveChartsImage(*picture, section->title(), outputPath, size);
    if (!error.isEmpty()) throw CommandFailed(output + ": " + error.toStdString());
    return 0;
}

const Registration plotModel{{"plot model",
                              "MODEL.json -o OUT.png|OUT.svg|OUT.pdf [--width W --height H]",
                              "A model's section (colours of log resistivity, depth down) above "
                              "its tilt and ellipticity curves (1039 x 1100 pixels unless given).",
                              {"-o", "--width", "--height"},
                              {},
                              runPlotModel}};

} // namespace
