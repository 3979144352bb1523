// veldro-icons: renders the window icon's mast as the desktop's icon files, a
// scalable SVG and PNGs of the sizes asked, laid out as the hicolor theme wants;
// or, with --ico, as the Windows icon file that veldro.exe carries.
// Usage: veldro-icons OUTDIR SIZE...
//        veldro-icons --ico FILE SIZE...
#include "widgets/icons.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cstdio>
#include <limits>

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

QImage render(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / kCanvas, double(size) / kCanvas);
    paintFitted(painter);
    painter.end();
    return image;
}

// Each size as a PNG image inside the icon file, which Windows reads since
// Vista: the directory of 16-byte entries, then the images (a side of 256
// is written as 0).
bool writeIco(const QString& path, const QList<int>& sizes) {
    QList<QByteArray> images;
    for (const int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !render(size).save(&buffer, "PNG")) return false;
        images.append(png);
    }
    QByteArray ico;
    QDataStream out(&ico, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    auto offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const auto side = quint8(sizes[i] % 256);
        out << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(images[i].size()) << offset;
        offset += quint32(images[i].size());
    }
    for (const QByteArray& png : images) out.writeRawData(png.constData(), int(png.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ico) == ico.size();
}

QString appsFolder(const QString& root, const QString& theme) {
    const QString folder = root + QStringLiteral("/hicolor/") + theme + QStringLiteral("/apps");
    return QDir().mkpath(folder) ? folder : QString();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    QStringList args = QGuiApplication::arguments();
    const bool ico = args.size() > 1 && args[1] == QStringLiteral("--ico");
    if (ico) args.removeAt(1);
    if (args.size() < 2) {
        std::fputs("usage: veldro-icons OUTDIR SIZE...\n       veldro-icons --ico FILE SIZE...\n",
                   stderr);
        return 2;
    }
    const QString& target = args[1];
    // An icon file's directory holds sides up to 256 in a byte.
    const int largest = ico ? 256 : std::numeric_limits<int>::max();
    QList<int> sizes;
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool number = false;
        const int size = args[i].toInt(&number);
        if (!number || size <= 0 || size > largest) {
            std::fprintf(stderr, "veldro-icons: not a size: %s\n", qPrintable(args[i]));
            return 2;
        }
        sizes.append(size);
    }
    bool ok = true;
    if (ico) {
        ok = writeIco(target, sizes);
    } else {
        QString folder = appsFolder(target, QStringLiteral("scalable"));
        ok = !folder.isEmpty() && writeSvg(folder + QStringLiteral("/veldro.svg"));
        for (qsizetype i = 0; ok && i < sizes.size(); ++i) {
            folder = appsFolder(target, QStringLiteral("%1x%1").arg(sizes[i]));
            ok = !folder.isEmpty() &&
                 render(sizes[i]).save(folder + QStringLiteral("/veldro.png"), "PNG");
        }
    }
    if (!ok) {
        std::fprintf(stderr, "veldro-icons: cannot write the icons in %s\n", qPrintable(target));
        return 1;
    }
    return 0;
}
