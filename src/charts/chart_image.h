#pragma once

#include <QSize>
#include <QString>

class QGraphicsWidget;
class QPrinter;

namespace veldro {

class StationChart;

// The picture formats a chart is saved in, chosen by the name's extension.
inline const QString kChartImageFilter =
    QStringLiteral("PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf");

// A picture's size unless the user asks for another: a landscape page at
// the 96 dots an inch charts are laid out at, so that it prints well. A side
// asked for has from the least to the most pixels.
inline constexpr QSize kChartPictureSize(1039, 763);
inline constexpr int kLeastPictureSide = 200;
inline constexpr int kMostPictureSide = 10000;

// Whether the name ends in a format a chart is saved in.
bool isChartImageName(const QString& path);

// Writes the chart as it stands (visible curves, zoom) with its picture title,
// laid out at `size` pixels into `path`: PNG, SVG or PDF by the extension. An existing file is
// replaced only by a whole picture. Returns what went wrong, empty on success.
QString saveChartImage(StationChart& chart, const QString& path, QSize size);
// The same of several charts laid out together in one widget of the scene.
QString saveChartsImage(QGraphicsWidget& charts, const QString& title, const QString& path,
                        QSize size);

// Prints the chart with its picture title as one page filling the printer's
// page, laid out to the page's shape. False when the print job could not be
// started or finished.
bool printChart(StationChart& chart, QPrinter& printer);
// The same of several charts laid out together in one widget of the scene.
bool printCharts(QGraphicsWidget& charts, QPrinter& printer);

} // namespace veldro
