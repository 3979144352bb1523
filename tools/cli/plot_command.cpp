// plot fraser and plot column: the graph window's chart drawn into a PNG, SVG
// or PDF without a display. Qt starts here, on the offscreen platform, and
// nowhere else in the tool.
#include "cli.h"
#include "data/quantities.h"
#include "loaded_rows.h"
#include "processing/graph_plots.h"
#include "processing/ui/chart/chart_image.h"
#include "processing/ui/chart/graph_chart.h"

#include <QApplication>
#include <QFile>
#include <QGraphicsScene>
#include <functional>
#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

// The graph window's design size.
constexpr int kDefaultWidth = 1039;
constexpr int kDefaultHeight = 763;
constexpr int kSmallest = 200;
constexpr int kLargest = 10000;

// Qt's own remarks (a missing runtime folder, say) are no news to the user;
// only its errors are.
void sayQtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int pixelsOption(const Arguments& args, const std::string& name, int fallback) {
    if (!args.hasValue(name)) return fallback;
    int pixels = 0;
    if (!parseWhole(args.value(name), pixels) || pixels < kSmallest || pixels > kLargest)
        throw UsageError(name + " takes a whole number of pixels from " +
                         std::to_string(kSmallest) + " to " + std::to_string(kLargest));
    return pixels;
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

// Loads the data set, fills the chart and writes the picture; `nothing` is
// said when no value is worth drawing, as the window then shows none.
int drawPlot(const Arguments& args, const QString& axisTitle, const std::string& nothing,
             const std::function<bool(const LoadedRows&, GraphSink&)>& fill) {
    const std::string output = requireOutput(args);
    const QString outputPath = QFile::decodeName(output.c_str());
    if (!isChartImageName(outputPath))
        throw UsageError("-o names a .png, .svg or .pdf file, not " + output);
    const QSize size(pixelsOption(args, "--width", kDefaultWidth),
                     pixelsOption(args, "--height", kDefaultHeight));
    TerminalMessages messages;
    const LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);

    int argc = 3;
    char program[] = "veldro-cli", option[] = "-platform", platform[] = "offscreen";
    char* argv[] = {program, option, platform, nullptr};
    qInstallMessageHandler(sayQtErrorsOnly);
    QApplication application(argc, argv);
    QGraphicsScene scene;
    auto* chart = new GraphChart; // the scene's
    scene.addItem(chart);
    chart->setLeftAxisTitle(axisTitle);
    if (!fill(d, *chart)) throw CommandFailed(nothing);
    chart->setVisibleCurves(std::vector<bool>(static_cast<std::size_t>(chart->curveCount()), true));
    chart->resize(QSizeF(size));
    const QString error = saveChartImage(*chart, outputPath, size);
    if (!error.isEmpty()) throw CommandFailed(output + ": " + error.toStdString());
    return 0;
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

const Registration fraser{{"plot fraser",
                           "FILE.vlf -o OUT.png|OUT.svg|OUT.pdf [--width W --height H]",
                           "The Fraser view's chart as a picture (W x H pixels, 1039 x 763 "
                           "unless given).",
                           {"-o", "--width", "--height"},
                           {},
                           runFraser}};
const Registration column{{"plot column",
                           "FILE.vlf COLUMN -o OUT.png|OUT.svg|OUT.pdf [--width W --height H]",
                           "One quantity against station as a picture (COLUMN: a caption such "
                           "as \"Q (%)\" or an index as in --columns).",
                           {"-o", "--width", "--height"},
                           {},
                           runColumn}};

} // namespace
