// plot fraser, column, kh and map: the charts of the graph, section and map
// windows drawn into a PNG, SVG or PDF without a display.
#include "charts/chart_image.h"
#include "charts/field_chart.h"
#include "charts/graph_chart.h"
#include "cli.h"
#include "data/quantities.h"
#include "loaded_rows.h"
#include "plot_picture.h"
#include "processing/fraser_map.h"
#include "processing/graph_plots.h"
#include "processing/karous_hjelt.h"
#include "processing/ui/field_pictures.h"

#include <QGraphicsScene>
#include <functional>
#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// --frequency-number 1 or 2; 0 when not given.
int frequencyNumberOption(const Arguments& args) {
    return wholeOption(args, "--frequency-number", 0, 1, 2, "frequency number");
}

// A caption such as "Q (%)" or a logical index as in --columns, of a quantity
// with the chart mark.
int columnOperand(const std::string& text) {
    int column = -1;
    if (!parseWhole(text, column))
        for (int c = 0; c < kColumnCount; ++c)
            if (quantity(c).caption == text) column = c;
    if (column >= 0 && column < kColumnCount && quantity(column).plottable) return column;
    std::string known;
    for (int c = 0; c < kColumnCount; ++c)
        if (quantity(c).plottable)
            known += "\n  " + std::to_string(c) + "  " + std::string(quantity(c).caption);
    throw UsageError("COLUMN is one of these quantities, by index or caption:" + known);
}

// Loads the data set, lets `make` make the chart and writes the picture; a
// chart not made means nothing is worth drawing, and `nothing` is said.
int drawChart(const Arguments& args, const std::string& nothing,
              const std::function<std::unique_ptr<StationChart>(const LoadedRows&)>& make) {
    const PictureRequest request = pictureRequest(args, kChartPictureSize);
    TerminalMessages messages;
    const LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);

    const OffscreenApplication application;
    QGraphicsScene scene;
    std::unique_ptr<StationChart> made = make(d);
    if (!made) throw CommandFailed(nothing);
    StationChart* chart = made.release(); // the scene's
    scene.addItem(chart);
    chart->resize(QSizeF(request.size));
    const QString error = saveChartImage(*chart, request.path, request.size);
    if (!error.isEmpty()) throw CommandFailed(request.output + ": " + error.toStdString());
    return 0;
}

// The graph window's chart, filled by `fill`, every curve shown.
int drawPlot(const Arguments& args, const QString& axisTitle, const std::string& nothing,
             const std::function<bool(const LoadedRows&, GraphSink&)>& fill) {
    return drawChart(args, nothing, [&](const LoadedRows& d) -> std::unique_ptr<StationChart> {
        auto chart = std::make_unique<GraphChart>();
        chart->setLeftAxisTitle(axisTitle);
        if (!fill(d, *chart)) return nullptr;
        chart->setVisibleCurves(
            std::vector<bool>(static_cast<std::size_t>(chart->curveCount()), true));
        return chart;
    });
}

int runFraser(const Arguments& args) {
    args.expectOperands(1, 1);
    return drawPlot(
        args, qtText(kFraserAxisTitle), "nothing to plot: no Fraser value under 99999",
        [](const LoadedRows& d, GraphSink& graph) { return plotFraser(*d.store, d.rows, graph); });
}

int runColumn(const Arguments& args) {
    args.expectOperands(2, 2);
    const int column = columnOperand(args.operand(1, "COLUMN"));
    const std::string caption(quantity(column).caption);
    return drawPlot(args, qtText(caption),
                    "nothing to plot: no kept value of " + caption + " under 99999",
                    [column](const LoadedRows& d, GraphSink& graph) {
                        return plotColumn(*d.store, d.rows, column, graph);
                    });
}

// The section of the first run with values, of --profile and --frequency-number
// when given.
int runKarousHjelt(const Arguments& args) {
    args.expectOperands(1, 1);
    const int levels = khLevelsOption(args);
    const int frequencyNumber = frequencyNumberOption(args);
    std::optional<int> profile;
    if (args.hasValue("--profile") && !parseWhole(args.value("--profile"), profile.emplace()))
        throw UsageError("--profile takes a profile number");
    return drawChart(
        args,
        "nothing to plot: no run of the asked profile and frequency number has six station "
        "groups of kept tilt readings",
        [&](const LoadedRows& d) -> std::unique_ptr<StationChart> {
            for (const KhRun& run : karousHjelt(d.survey(), levels)) {
                if (run.values.empty() || (profile && run.run.profile != *profile) ||
                    (frequencyNumber != 0 && run.run.frequencyNumber != frequencyNumber))
                    continue;
                auto chart = std::make_unique<FieldChart>();
                showKhSection(*chart, run);
                return chart;
            }
            return nullptr;
        });
}

// The map of --frequency-number, or of the first with values.
int runMap(const Arguments& args) {
    args.expectOperands(1, 1);
    const int frequencyNumber = frequencyNumberOption(args);
    const std::string spacingText = args.value("--line-spacing", "1");
    const std::optional<double> spacing = readLineSpacing(spacingText);
    if (!spacing) throw UsageError(std::string("--line-spacing: ") + kLineSpacingWanted);
    return drawChart(args, "nothing to plot: no Fraser value of the asked frequency number",
                     [&](const LoadedRows& d) -> std::unique_ptr<StationChart> {
                         for (const FraserMap& map : fraserMaps(d.survey())) {
                             if (!map.hasValues() ||
                                 (frequencyNumber != 0 && map.frequencyNumber != frequencyNumber))
                                 continue;
                             auto chart = std::make_unique<FieldChart>();
                             showFraserMap(*chart, map, *spacing,
                                           QString::fromStdString(spacingText));
                             return chart;
                         }
                         return nullptr;
                     });
}

const Registration fraser{{"plot fraser",
                           "FILE.vlf -o OUT.png|OUT.svg|OUT.pdf [--width W --height H]",
                           "The Fraser view's chart as a picture (W x H pixels, 1039 x 763 "
                           "unless given).",
                           runFraser}};
const Registration column{{"plot column",
                           "FILE.vlf COLUMN -o OUT.png|OUT.svg|OUT.pdf [--width W --height H]",
                           "One quantity against station as a picture (COLUMN: a caption such "
                           "as \"Q (%)\" or an index as in --columns).",
                           runColumn}};
const Registration kh{{"plot kh",
                       "FILE.vlf -o OUT.png|OUT.svg|OUT.pdf [--profile P] [--frequency-number N] "
                       "[--levels L] [--width W --height H]",
                       "The Karous-Hjelt section of the first run with values (of profile P and "
                       "frequency number N when given; L levels at most, 8 unless given).",
                       runKarousHjelt}};
const Registration map{{"plot map",
                        "FILE.vlf -o OUT.png|OUT.svg|OUT.pdf [--frequency-number N] "
                        "[--line-spacing D] [--width W --height H]",
                        "The Fraser map of frequency number N (the first with values unless "
                        "given), profiles D apart (1 unless given).",
                        runMap}};

} // namespace
