// plot invert1d: one profile's 1D grounds side by side, drawn into a PNG,
// SVG or PDF.
#include "charts/chart_image.h"
#include "cli.h"
#include "interpretation/ui/layered_section_chart.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "loaded_rows.h"
#include "plot_picture.h"
#include "profile_options.h"

#include <QGraphicsScene>
#include <thread>

using namespace veldro;
using namespace veldro::cli;

namespace {

int runPlotInvert1d(const Arguments& args) {
    args.expectOperands(1, 1);
    const PictureRequest request = pictureRequest(args, kChartPictureSize);
    const std::optional<std::pair<double, double>> range = resistivityRangeOption(args);
    const std::size_t layers = layersOption(args);
    const std::string& input = args.operand(0, "FILE.vlf");
    TerminalMessages messages;
    const LoadedRows d = loadRows(input, messages);
    const std::vector<Sounding> soundings =
        soundingsOption(args, d.survey(), {oneProfileOption(args, d.survey())}, input);
    const std::vector<LayeredModel> models =
        invertSoundings(soundings, layers, std::max(1u, std::thread::hardware_concurrency()));

    const OffscreenApplication application;
    QGraphicsScene scene;
    auto* chart = new ResistivitySectionChart; // the scene's
    showLayeredSection(*chart, soundings, models, layers == 0);
    scene.addItem(chart);
    chart->setFixedRange(range);
    chart->resize(QSizeF(request.size));
    const QString error = saveChartImage(*chart, request.path, request.size);
    if (!error.isEmpty()) throw CommandFailed(request.output + ": " + error.toStdString());
    return 0;
}

const Registration plotInvert1d{
    {"plot invert1d",
     std::string("FILE.vlf -o OUT.png|OUT.svg|OUT.pdf [--profile P] ") + kSoundingDataUsage +
         " [--layers N] [--resistivity-range MIN:MAX] [--width W --height H]",
     "A profile's 1D grounds side by side under its stations, in the colours of the 2D "
     "inversion's section (from MIN to MAX ohm.m when given), faded below the depth each "
     "station's data see; the options as invert1d takes them.",
     runPlotInvert1d}};

} // namespace
