#include "charts/chart_image.h"

#include "charts/local_file_name.h"
#include "charts/station_chart.h"
#include "data/file_io.h"

#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

namespace veldro {

namespace {

// Screen pixels per inch: a chart laid out at this many pixels per inch of
// paper keeps the text sizes it has on screen.
constexpr int kLayoutDotsPerInch = 96;

// The quality Qt turns into zlib's fastest level: a chart compresses nearly as
// well, in half the time of the default.
constexpr int kQuickPng = 80;

// The chart and its legend lay themselves out when their posted requests
// come; a picture is drawn before that. A layout may ask for another (charts
// that align their plot areas after laying out), which the next round serves.
void layOut() {
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// Draws the chart (or charts laid out together) into `target`, laid out at
// `layout` for the time of drawing.
void renderChart(QGraphicsWidget& chart, QPainter& painter, const QRectF& target,
                 const QSizeF& layout) {
    const QSizeF shown = chart.size();
    chart.resize(layout);
    layOut();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    chart.scene()->render(&painter, target, QRectF(chart.pos(), layout));
    chart.resize(shown);
    layOut();
}

QString writeImage(QGraphicsWidget& chart, const QString& title, QIODevice& file,
                   const QString& format, QSize size) {
    const QRectF area(QPointF(0, 0), QSizeF(size));
    if (format == QLatin1String("png")) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        renderChart(chart, painter, area, area.size());
        painter.end();
        return image.save(&file, "PNG", kQuickPng) ? QString()
                                                   : QStringLiteral("the PNG image was not made");
    }
    if (format == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(area);
        svg.setResolution(kLayoutDotsPerInch);
        svg.setTitle(title);
        QPainter painter;
        if (!painter.begin(&svg)) return QStringLiteral("the SVG drawing was not started");
        renderChart(chart, painter, area, area.size());
        return painter.end() ? QString() : QStringLiteral("the SVG drawing was not finished");
    }
    QPdfWriter pdf(&file);
    pdf.setResolution(kLayoutDotsPerInch);
    const QSizeF points = QSizeF(size) * 72.0 / kLayoutDotsPerInch;
    pdf.setPageSize(QPageSize(points, QPageSize::Point, {}, QPageSize::ExactMatch));
    pdf.setPageMargins({});
    QPainter painter;
    if (!painter.begin(&pdf)) return QStringLiteral("the PDF document was not started");
    renderChart(chart, painter, QRectF(painter.viewport()), area.size());
    return painter.end() ? QString() : QStringLiteral("the PDF document was not finished");
}

// A chart shows its picture title (what it shows, in words) while it is drawn
// for a file or a printer, and its own title again after.
class PictureTitle {
public:
    explicit PictureTitle(StationChart& chart) : chart_(chart), shown_(chart.title()) {
        chart.setTitle(chart.pictureTitle());
    }
    ~PictureTitle() { chart_.setTitle(shown_); }
    PictureTitle(const PictureTitle&) = delete;
    PictureTitle& operator=(const PictureTitle&) = delete;

private:
    StationChart& chart_;
    QString shown_;
};

} // namespace

bool isChartImageName(const QString& path) {
    const QString format = QFileInfo(path).suffix().toLower();
    return format == QLatin1String("png") || format == QLatin1String("svg") ||
           format == QLatin1String("pdf");
}

QString saveChartImage(StationChart& chart, const QString& path, QSize size) {
    const PictureTitle titled(chart);
    return saveChartsImage(chart, chart.title(), path, size);
}

QString saveChartsImage(QGraphicsWidget& charts, const QString& title, const QString& path,
                        QSize size) {
    if (!isChartImageName(path)) return QStringLiteral("the name must end in .png, .svg or .pdf");
    const QString format = QFileInfo(path).suffix().toLower();
    // Drawn whole first, then written as every file the user names is.
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    const QString error = writeImage(charts, title, picture, format, size);
    if (!error.isEmpty()) return error;
    try {
        writeFileAtomically(localName(path),
                            std::string_view(picture.data().constData(),
                                             static_cast<std::size_t>(picture.data().size())));
    } catch (const FileError& e) {
        return qtName(e.reason());
    }
    return {};
}

bool printChart(StationChart& chart, QPrinter& printer) {
    const PictureTitle titled(chart);
    return printCharts(chart, printer);
}

bool printCharts(QGraphicsWidget& chart, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page(0, 0, printer.width() - 1, printer.height() - 1);
    const double scale = static_cast<double>(kLayoutDotsPerInch) / printer.resolution();
    renderChart(chart, painter, page, page.size() * scale);
    return painter.end();
}

} // namespace veldro
