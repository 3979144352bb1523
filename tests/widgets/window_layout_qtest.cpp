// What keeps a window readable on any screen: its place and size fitted to
// the screen's free area, frame included.
#include "widgets/window_place.h"

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
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_qtest.moc"
