// The remembered settings: first start, the rules for separator and link, the
// column block, the window's place, and what is written at close.
#include "app_test_support.h"
#include "widgets/window_place.h"

#include <QActionGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QScreen>

using namespace veldro;
using namespace veldro::test;

namespace {

QString checkedCaption(QActionGroup* group) {
    QAction* checked = group->checkedAction();
    return checked ? caption(checked) : QString();
}

QByteArray columnBlock(std::initializer_list<std::int32_t> entries, int bytes) {
    QByteArray block(bytes, '\0');
    int i = 0;
    for (std::int32_t entry : entries) {
        for (int b = 0; b < 4 && i * 4 + b < bytes; ++b)
            block[i * 4 + b] =
                static_cast<char>((static_cast<std::uint32_t>(entry) >> (8 * b)) & 0xFF);
        ++i;
    }
    return block;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    // The design size, no larger than the screen's free area with the
    // window's frame (the offscreen screen is 800 pixels wide, as a scaled
    // small screen would be), centred, frame and all.
    void firstStartIsCentredWithDefaults() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QVERIFY(ui.asked.empty());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QMargins frame = windowFrame(window);
        const QSize size = QSize(887, 616).boundedTo(screen.size().shrunkBy(frame));
        QCOMPARE(window.size(), size);
        const QSize outer = size.grownBy(frame);
        QCOMPARE(window.pos(), QPoint(screen.x() + (screen.width() - outer.width()) / 2,
                                      screen.y() + (screen.height() - outer.height()) / 2));
        QCOMPARE(window.settings().separatorChar, int(' '));
        QCOMPARE(checkedCaption(part<QActionGroup>(window, "separatorGroup")),
                 QStringLiteral("Space"));
        QCOMPARE(window.settings().portNumber, 1);
        QCOMPARE(checkedCaption(part<QActionGroup>(window, "portGroup")), QStringLiteral("COM 1"));
        QCOMPARE(window.tableModel().columnCount(), 22);
        QVERIFY(window.settings().lastFile.isEmpty());
    }

    void semicolonSeparatorChecksSemiComma() {
        Sandbox sandbox;
        sandbox.settings()->setValue("TabSeparateur", 59);
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(checkedCaption(part<QActionGroup>(window, "separatorGroup")),
                 QStringLiteral("Semi comma"));
    }

    void separatorUsesTheLowByteOnly() {
        Sandbox sandbox;
        sandbox.settings()->setValue("TabSeparateur", 0x100 + 44);
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(checkedCaption(part<QActionGroup>(window, "separatorGroup")),
                 QStringLiteral("Comma"));
    }

    void unknownSeparatorIsReplacedBySpaceAndWrittenBack() {
        Sandbox sandbox;
        sandbox.settings()->setValue("TabSeparateur", 65);
        ScriptedUiServices ui;
        {
            TMainFrm window(ui);
            QCOMPARE(checkedCaption(part<QActionGroup>(window, "separatorGroup")),
                     QStringLiteral("Space"));
            QVERIFY(window.close());
        }
        QCOMPARE(sandbox.settings()->value("TabSeparateur").toInt(), 32);
    }

    void unknownPortIsReplacedByCom1() {
        for (int stored : {0, 6, 9}) {
            Sandbox sandbox;
            sandbox.settings()->setValue("PortNum", stored);
            ScriptedUiServices ui;
            TMainFrm window(ui);
            QCOMPARE(window.settings().portNumber, 1);
            QCOMPARE(checkedCaption(part<QActionGroup>(window, "portGroup")),
                     QStringLiteral("COM 1"));
        }
    }

    void knownPortIsChecked() {
        Sandbox sandbox;
        sandbox.settings()->setValue("PortNum", 5);
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(checkedCaption(part<QActionGroup>(window, "portGroup")), QStringLiteral("USB"));
    }

    void shortColumnBlockOverwritesTheStartOnly() {
        Sandbox sandbox;
        // 21 integers: "Station" and "Meas.Mode" hidden, the rest shown.
        std::initializer_list<std::int32_t> entries{1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,
                                                    1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        sandbox.settings()->setValue("TabColumn", columnBlock(entries, 84));
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QVERIFY(ui.asked.empty());
        const ColumnVisibility& columns = window.settings().columnVisible;
        QCOMPARE(columns[0], 1);
        QCOMPARE(columns[1], 0);
        QCOMPARE(columns[2], 0);
        QCOMPARE(columns[20], 1);
        for (std::size_t i = 21; i < columns.size(); ++i) QCOMPARE(columns[i], 0);
        QCOMPARE(window.tableModel().columnCount(), 20);
        QCOMPARE(window.tableModel().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Freq(Hz)"));
    }

    void columnBlockLongerThan512BytesStopsTheReading() {
        Sandbox sandbox;
        {
            auto stored = sandbox.settings();
            stored->setValue("LastFile", "/data/line7.vlf");
            stored->setValue("TabColumn", columnBlock({0, 0, 0}, 600));
            stored->setValue("IXVLF", "/opt/ixvlf");
            stored->setValue("Orvex", "/opt/orvex");
        }
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(ui.texts(), QStringList{"Invalid settings value \"TabColumn\""});
        QCOMPARE(ui.asked[0].message.icon, MessageIcon::Error);
        QCOMPARE(window.settings().lastFile, QStringLiteral("/data/line7.vlf"));
        QCOMPARE(window.settings().columnVisible, defaultColumnVisibility());
        QVERIFY(window.settings().ixvlfPath.isEmpty());
        QVERIFY(window.settings().orvexPath.isEmpty());
    }

    void columnVisibleOtherThanOneHidesTheColumnEverywhere() {
        Sandbox sandbox;
        sandbox.settings()->setValue("TabColumn", columnBlock({5, 1}, 8));
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(window.settings().columnVisible[0], 0);
        QCOMPARE(window.tableModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Station"));
    }

    void integerThatDoesNotParseStopsTheReading() {
        Sandbox sandbox;
        {
            auto stored = sandbox.settings();
            stored->setValue("TabSeparateur", 44);
            stored->setValue("Top", "high");
            stored->setValue("Left", 10);
            stored->setValue("LastFile", "/data/line7.vlf");
        }
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(ui.texts(), QStringList{"Invalid settings value \"Top\""});
        QCOMPARE(window.settings().separatorChar, int(','));
        QVERIFY(!window.settings().top);
        QVERIFY(!window.settings().left);
        QVERIFY(window.settings().lastFile.isEmpty());
    }

    void storedPlaceIsUsed() {
        Sandbox sandbox;
        {
            auto stored = sandbox.settings();
            stored->setValue("Top", 40);
            stored->setValue("Left", 30);
            stored->setValue("Width", 700);
            stored->setValue("Height", 500);
        }
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(window.pos(), QPoint(30, 40));
        QCOMPARE(window.size(), QSize(700, 500));
    }

    // Whatever the settings hold, the window with its frame lies wholly on
    // the screen, no larger than it, and that is what is written back at close.
    void hostilePlacesAndSizesStayOnTheScreen_data() {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("huge size") << 0 << 0 << 2000000000 << 2000000000;
        QTest::newRow("far up and left") << -100000 << -100000 << 700 << 500;
        QTest::newRow("far down and right") << 100000 << 100000 << 700 << 500;
        QTest::newRow("past the right edge") << 10 << 790 << 16000 << 16000;
    }

    void hostilePlacesAndSizesStayOnTheScreen() {
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(int, width);
        QFETCH(int, height);
        Sandbox sandbox;
        {
            auto stored = sandbox.settings();
            stored->setValue("Top", top);
            stored->setValue("Left", left);
            stored->setValue("Width", width);
            stored->setValue("Height", height);
        }
        ScriptedUiServices ui;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        {
            TMainFrm window(ui);
            const QRect framed(window.pos(), window.size().grownBy(windowFrame(window)));
            QVERIFY2(screen.contains(framed), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                             .arg(window.x())
                                                             .arg(window.y())
                                                             .arg(window.width())
                                                             .arg(window.height())));
            QVERIFY(window.close());
        }
        auto stored = sandbox.settings();
        QVERIFY(screen.contains(QRect(stored->value("Left").toInt(), stored->value("Top").toInt(),
                                      stored->value("Width").toInt(),
                                      stored->value("Height").toInt())));
    }

    void sizeUnderTheMinimumIsRefused() {
        Sandbox sandbox;
        {
            auto stored = sandbox.settings();
            stored->setValue("Width", 599);
            stored->setValue("Height", 500);
        }
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QCOMPARE(window.size(),
                 QSize(887, 616).boundedTo(
                     QGuiApplication::primaryScreen()->availableGeometry().size().shrunkBy(
                         windowFrame(window))));
        window.show();
        window.resize(500, 300);
        QCOMPARE(window.size(), QSize(600, 400));
        // The hidden download panel stays centred.
        QCOMPARE(part<QGroupBox>(window, "DownloadGB")->geometry(),
                 QRect(300 - 188, 200 - 145, 377, 290));
    }

    void everyValueIsWrittenAtClose() {
        Sandbox sandbox;
        {
            auto stored = sandbox.settings();
            stored->setValue("TabSeparateur", 9);
            stored->setValue("PortNum", 4);
            stored->setValue("IXVLF", "/opt/ixvlf");
            stored->setValue("Ports/COM2", "/dev/ttyUSB0");
        }
        ScriptedUiServices ui;
        {
            TMainFrm window(ui);
            QCOMPARE(window.settings().comDevices[1], QStringLiteral("/dev/ttyUSB0"));
            window.move(12, 34);
            window.resize(800, 500);
            QVERIFY(window.close());
        }
        auto stored = sandbox.settings();
        QCOMPARE(stored->value("TabSeparateur").toInt(), 9);
        QCOMPARE(stored->value("PortNum").toInt(), 4);
        QCOMPARE(stored->value("Top").toInt(), 34);
        QCOMPARE(stored->value("Left").toInt(), 12);
        QCOMPARE(stored->value("Width").toInt(), 800);
        QCOMPARE(stored->value("Height").toInt(), 500);
        QCOMPARE(stored->value("LastFile").toString(), QString());
        const QByteArray block = stored->value("TabColumn").toByteArray();
        QCOMPARE(block.size(), 512);
        QCOMPARE(block.left(8), QByteArray::fromHex("0100000001000000"));
        QCOMPARE(block.mid(84), QByteArray(512 - 84, '\0'));
        QCOMPARE(stored->value("IXVLF").toString(), QStringLiteral("/opt/ixvlf"));
        QCOMPARE(stored->value("Orvex").toString(), QString());
        QCOMPARE(stored->value("Ports/COM1").toString(), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(stored->value("Ports/COM2").toString(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(stored->value("Ports/COM4").toString(), QStringLiteral("/dev/ttyS3"));
    }

    void nothingIsWrittenBeforeClose() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        TMainFrm window(ui);
        QVERIFY(sandbox.settings()->allKeys().isEmpty());
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_qtest.moc"
