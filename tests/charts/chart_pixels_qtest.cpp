// What the charts draw on pixels: a curve cut down to its pixel columns, its
// strokes and dashes filled straight into an image, and a chart of many
// points drawn where a chart of few draws it.
#include "charts/graph_chart.h"
#include "charts/pixel_columns.h"
#include "charts/pixel_strokes.h"
#include "processing/fraser_walk.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <random>

using namespace veldro;

namespace {

// An image as rows of '#' (painted) and '.'.
QStringList rowsOf(const QImage& image) {
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x)
            row += image.pixel(x, y) == qRgb(0, 0, 0) ? QLatin1Char('#') : QLatin1Char('.');
        rows << row;
    }
    return rows;
}

QImage whiteImage(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

void fill(QImage& image, const QRect& clip, const QLineF& piece, double width) {
    fillStroke({image.bits(), image.bytesPerLine(), clip}, piece, width, qRgb(0, 0, 0));
}

// The chart's picture on white, as a PNG of it would be drawn, at twice its
// size.
QImage pictureOf(GraphChart* chart) {
    QGraphicsScene scene;
    scene.addItem(chart);
    chart->resize(400, 300);
    chart->setVisibleCurves({true});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QImage image = whiteImage(QSize(800, 600));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(image.rect()), QRectF(0, 0, 400, 300));
    return image;
}

bool dark(QRgb pixel) {
    return qGray(pixel) < 160;
}

} // namespace

class ChartPixelsTest : public QObject {
    Q_OBJECT

private slots:
    // Per run of points in one pixel column, the first, the lowest, the
    // highest and the last, in their order.
    void pixelColumnsKeepTheirEndsAndExtremes_data() {
        QTest::addColumn<QPolygonF>("line");
        QTest::addColumn<QPolygonF>("kept");
        QTest::newRow("one column") << QPolygonF{{0.1, 5}, {0.2, 9}, {0.5, 1}, {0.7, 4}, {0.9, 6}}
                                    << QPolygonF{{0.1, 5}, {0.2, 9}, {0.5, 1}, {0.9, 6}};
        QTest::newRow("a point a column")
            << QPolygonF{{0.5, 1}, {1.5, 2}, {2.5, 0}} << QPolygonF{{0.5, 1}, {1.5, 2}, {2.5, 0}};
        QTest::newRow("back to a column")
            << QPolygonF{{0.5, 0}, {0.6, 7}, {0.7, 3}, {1.5, 0}, {0.6, 1}, {0.8, 1}}
            << QPolygonF{{0.5, 0}, {0.6, 7}, {0.7, 3}, {1.5, 0}, {0.6, 1}, {0.8, 1}};
        QTest::newRow("flat") << QPolygonF{{2.1, 3}, {2.2, 3}, {2.3, 3}, {2.4, 3}}
                              << QPolygonF{{2.1, 3}, {2.4, 3}};
        QTest::newRow("empty") << QPolygonF{} << QPolygonF{};
    }
    void pixelColumnsKeepTheirEndsAndExtremes() {
        QFETCH(QPolygonF, line);
        QFETCH(QPolygonF, kept);
        QCOMPARE(reduceToPixelColumns(line), kept);
    }

    // A dash pattern runs on round corners; a dash ending on a segment's end
    // leaves no empty piece behind.
    void piecesAreSegmentsOrDashes_data() {
        QTest::addColumn<QPolygonF>("line");
        QTest::addColumn<QList<qreal>>("pattern");
        QTest::addColumn<QList<QLineF>>("pieces");
        const QPolygonF corner{{0, 0}, {5, 0}, {5, 4}};
        QTest::newRow("solid") << corner << QList<qreal>{}
                               << QList<QLineF>{{0, 0, 5, 0}, {5, 0, 5, 4}};
        QTest::newRow("dash ends at the corner")
            << corner << QList<qreal>{2, 1}
            << QList<QLineF>{{0, 0, 2, 0}, {3, 0, 5, 0}, {5, 1, 5, 3}};
        QTest::newRow("dash round the corner")
            << QPolygonF{{0, 0}, {2, 0}, {2, 4}} << QList<qreal>{3, 1}
            << QList<QLineF>{{0, 0, 2, 0}, {2, 0, 2, 1}, {2, 2, 2, 4}};
        QTest::newRow("one point") << QPolygonF{{1, 1}} << QList<qreal>{2, 1} << QList<QLineF>{};
    }
    void piecesAreSegmentsOrDashes() {
        QFETCH(QPolygonF, line);
        QFETCH(QList<qreal>, pattern);
        QFETCH(QList<QLineF>, pieces);
        QCOMPARE(strokePieces(line, pattern), pieces);
    }

    // The pixels whose centres lie in the stroke, square ends taken in,
    // within the clip.
    void strokesFillThePixelsTheyCover_data() {
        QTest::addColumn<QLineF>("piece");
        QTest::addColumn<double>("width");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("across") << QLineF(1.7, 2.5, 4.3, 2.5) << 1.0
                                << QStringList{"......", "......", ".####.", "......", "......"};
        QTest::newRow("down") << QLineF(2.5, 1.2, 2.5, 3.8) << 1.6
                              << QStringList{"..#...", "..#...", "..#...", "..#...", "..#..."};
        QTest::newRow("slanting") << QLineF(1, 1, 4, 4) << 1.0
                                  << QStringList{"......", ".#....", "..#...", "...#..", "......"};
        QTest::newRow("a point is a square")
            << QLineF(3, 2, 3, 2) << 2.0
            << QStringList{"......", "..##..", "..##..", "......", "......"};
        QTest::newRow("cut at the clip")
            << QLineF(-9, 0.5, 20, 0.5) << 1.0
            << QStringList{".####.", "......", "......", "......", "......"};
    }
    void strokesFillThePixelsTheyCover() {
        QFETCH(QLineF, piece);
        QFETCH(double, width);
        QFETCH(QStringList, rows);
        QImage image = whiteImage(QSize(6, 5));
        fill(image, QRect(1, 0, 4, 5), piece, width);
        QCOMPARE(rowsOf(image), rows);
    }

    // Strokes of all slants and widths fill the pixels a painter fills
    // without smoothing, but for a few on their edges.
    void strokesFillWhatAPainterFills() {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> at(-5, 45), width(0.5, 5);
        qsizetype filled = 0, differing = 0;
        for (int i = 0; i < 300; ++i) {
            const QLineF piece(at(random), at(random), at(random), at(random));
            const double w = width(random);
            QImage ours = whiteImage(QSize(40, 40));
            fill(ours, ours.rect(), piece, w);
            QImage painted = whiteImage(QSize(40, 40));
            QPainter painter(&painted);
            painter.setPen(QPen(Qt::black, w));
            painter.drawLine(piece);
            painter.end();
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    filled += painted.pixel(x, y) != qRgb(255, 255, 255);
                    differing += ours.pixel(x, y) != painted.pixel(x, y);
                }
        }
        QVERIFY2(differing * 15 < filled,
                 qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(differing).arg(filled)));
    }

    // Past some 20000 points a chart is drawn another way, on more pixels and
    // by two threads: the picture stays where the few points put it, its
    // pens as wide, also when the picture is drawn larger than the chart.
    void manyPointsDrawWhereFewDo() {
        const auto chartOf = [](const QList<QPointF>& points) {
            auto* chart = new GraphChart;
            chart->addCurve(FraserRun{0, 1, 1, 16000, "Prof1,Freq1"});
            for (QPointF point : points) chart->addPoint(0, point.x(), point.y(), false);
            return pictureOf(chart);
        };
        // A ramp, a drop and a flat stretch: no turn or mirror of it looks the same.
        QList<QPointF> many;
        for (int i = 0; i <= 30000; ++i) {
            const double x = i / 30.0;
            many.append({x, x < 500 ? x : 200});
        }
        const QImage few =
            chartOf({{0, 0}, {many[14999].x(), many[14999].y()}, {500, 200}, {1000, 200}});
        const QImage dense = chartOf(many);
        qsizetype darkInFew = 0, differing = 0;
        for (int y = 0; y < few.height(); ++y)
            for (int x = 0; x < few.width(); ++x) {
                darkInFew += dark(few.pixel(x, y));
                differing += dark(few.pixel(x, y)) != dark(dense.pixel(x, y));
            }
        QVERIFY(darkInFew > 500);
        QVERIFY2(
            differing * 10 < darkInFew,
            qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(differing).arg(darkInFew)));
    }
};

QTEST_MAIN(ChartPixelsTest)
#include "chart_pixels_qtest.moc"
