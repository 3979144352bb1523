// veldro-icons: renders the window icon's mast as the desktop's icon files, a
// scalable SVG and PNGs of the sizes asked, laid out as the hicolor theme wants.
// Usage: veldro-icons OUTDIR SIZE...
#include "widgets/icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cstdio>

namespace {

// The mast with its waves, as the window icon shows it while the program runs.
constexpr int kWaves = 3;
constexpr int kCanvas = 32;
// A theme icon keeps a small margin.
constexpr double kMargin = 1;

// Where the mast leaves ink, in its own units: found on a large probe image
// with room around the canvas, as its outer waves may run past the edge.
QRectF inkBounds() {
    constexpr int kProbe = 1024;
    constexpr double kUnit = kProbe / (2.0 * kCanvas); // the canvas fills the middle half
    QImage probe(kProbe, kProbe, QImage::Format_ARGB32);
    probe.fill(Qt::transparent);
    QPainter painter(&probe);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(kProbe / 4.0, kProbe / 4.0);
    painter.scale(kUnit, kUnit);
    veldro::icons::paintMast(painter, kWaves);
    painter.end();
    int left = kProbe, top = kProbe, right = -1, bottom = -1;
    for (int y = 0; y < kProbe; ++y)
        for (int x = 0; x < kProbe; ++x)
            if (qAlpha(probe.pixel(x, y)) > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    const auto unit = [](int pixel) { return (pixel - kProbe / 4.0) / kUnit; };
    return QRectF(QPointF(unit(left), unit(top)), QPointF(unit(right + 1), unit(bottom + 1)));
}

// The mast scaled into the canvas within its margin, centred: in the window
// icon the outer waves may run off the edge, in a theme icon they must not.
void paintFitted(QPainter& painter) {
    static const QRectF bounds = inkBounds();
    const double room = kCanvas - 2 * kMargin;
    const double scale = std::min(room / bounds.width(), room / bounds.height());
    painter.translate(kCanvas / 2.0, kCanvas / 2.0);
    painter.scale(scale, scale);
    painter.translate(-bounds.center());
    veldro::icons::paintMast(painter, kWaves);
}

bool writeSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kCanvas, kCanvas));
    svg.setViewBox(QRect(0, 0, kCanvas, kCanvas));
    svg.setTitle(QStringLiteral("Veldro"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    paintFitted(painter);
    return painter.end();
}

bool writePng(const QString& path, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / kCanvas, double(size) / kCanvas);
    paintFitted(painter);
    painter.end();
    return image.save(path, "PNG");
}

QString appsFolder(const QString& root, const QString& theme) {
    const QString folder = root + QStringLiteral("/hicolor/") + theme + QStringLiteral("/apps");
    return QDir().mkpath(folder) ? folder : QString();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 2) {
        std::fputs("usage: veldro-icons OUTDIR SIZE...\n", stderr);
        return 2;
    }
    const QString& root = args[1];
    QString folder = appsFolder(root, QStringLiteral("scalable"));
    bool ok = !folder.isEmpty() && writeSvg(folder + QStringLiteral("/veldro.svg"));
    for (qsizetype i = 2; ok && i < args.size(); ++i) {
        const int size = args[i].toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "veldro-icons: not a size: %s\n", qPrintable(args[i]));
            return 2;
        }
        folder = appsFolder(root, QStringLiteral("%1x%1").arg(size));
        ok = !folder.isEmpty() && writePng(folder + QStringLiteral("/veldro.png"), size);
    }
    if (!ok) {
        std::fprintf(stderr, "veldro-icons: cannot write the icons in %s\n", qPrintable(root));
        return 1;
    }
    return 0;
}
