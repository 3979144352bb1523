// What keeps a window readable on any screen: its place and size fitted to
// the screen's free area, frame included, and legends that wrap their entries
// into rows rather than cutting them short.
#include "charts/wrapped_legend.h"
#include "widgets/window_place.h"

#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTest>

using namespace veldro;

class WindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    // A free area of 1920 x 1040 from (0, 40), as a screen with a top panel;
    // a frame of 4 pixels with a title bar of 30.
    void fitsTheWindowAndItsFrameIntoTheFreeArea_data() {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("fits as it is") << QRect(100, 200, 800, 600) << QRect(100, 200, 800, 600);
        QTest::newRow("as tall as the screen")
            << QRect(0, 40, 887, 1040) << QRect(4, 74, 887, 1040 - 38);
        QTest::newRow("larger than the screen")
            << QRect(-50, -50, 4000, 3000) << QRect(4, 74, 1920 - 8, 1040 - 38);
        QTest::newRow("past the bottom right")
            << QRect(1500, 900, 800, 600) << QRect(1920 - 804, 1080 - 604, 800, 600);
        QTest::newRow("above the panel") << QRect(10, 0, 800, 600) << QRect(10, 74, 800, 600);
    }
    void fitsTheWindowAndItsFrameIntoTheFreeArea() {
        QFETCH(QRect, wanted);
        QFETCH(QRect, fitted);
        QCOMPARE(fitToScreen(wanted, QMargins(4, 34, 4, 4), QRect(0, 40, 1920, 1040)), fitted);
    }

    // Eight long entries in a narrow chart: several rows, each entry whole and
    // within the legend's width, and the plot kept above the legend.
    void legendEntriesWrapIntoRows() {
        QGraphicsScene scene;
        auto* chart = new QChart; // the scene's
        scene.addItem(chart);
        QStringList titles;
        for (const char* quantity : {"Tilt.ver(%)", "Ellip.ver(%)"})
            for (const char* kind : {"19800 Hz", "23400 Hz", "measured #1", "measured #2"}) {
                auto* series = new QLineSeries;
                series->setName(QStringLiteral("%1 %2").arg(quantity, kind));
                series->append(0, 0);
                chart->addSeries(series);
                titles << series->name();
            }
        chart->legend()->setAlignment(Qt::AlignBottom);
        wrapLegend(*chart);
        chart->resize(500, 443);
        for (int round = 0; round < 4; ++round)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

        const QLegend& legend = *chart->legend();
        const std::vector<LegendPlace> places = legendRows(legend, legend.size().width());
        QStringList shown;
        double lowest = 0;
        for (const LegendPlace& place : places) {
            shown << place.label;
            QVERIFY(place.area.left() >= 0 && place.area.right() <= legend.size().width());
            lowest = std::max(lowest, place.area.bottom());
        }
        QCOMPARE(shown, titles);
        QVERIFY(places.back().area.top() > places.front().area.top()); // more than one row
        QVERIFY(legend.size().height() >= lowest);
        QVERIFY(chart->plotArea().bottom() < legend.geometry().top());

        // An entry hidden leaves the rows.
        chart->legend()->markers().at(0)->setVisible(false);
        QCOMPARE(legendRows(legend, legend.size().width()).front().label, titles.at(1));
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_qtest.moc"
