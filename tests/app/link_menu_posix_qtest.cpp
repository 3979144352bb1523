// The "Communication port" menu without an instrument: the choice and its
// picture, the USB link checker, the converter watch and the icon animation.
#include "app/commands/link_commands.h"
#include "link_test_support.h"
#include "widgets/icons.h"

#include <QActionGroup>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

using namespace veldro;
using namespace veldro::test;

namespace {

const QString kNoLinkTest =
    QStringLiteral("Unable to find LinkTest.exe\n(Please reinstall the software)");

QAction* portItem(TMainFrm& window, const QString& caption) {
    for (QAction* item : part<QActionGroup>(window, "portGroup")->actions())
        if (veldro::test::caption(item) == caption) return item;
    return nullptr;
}

QImage imageOf(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool showsPicture(const TMainFrm& window, int index) {
    return imageOf(part<QLabel>(window, "Image2")->pixmap()) == imageOf(icons::linkPicture(index));
}

QImage iconImage(const QIcon& icon) {
    return imageOf(icon.pixmap(32, 32));
}

} // namespace

class LinkMenuTest : public QObject {
    Q_OBJECT
private slots:
    void everyChoiceHasItsPicture() {
        QCOMPARE(linkPictureIndex(1, false), std::optional<int>(2));
        QCOMPARE(linkPictureIndex(4, true), std::optional<int>(5));
        QCOMPARE(linkPictureIndex(5, false), std::optional<int>(0));
        QCOMPARE(linkPictureIndex(5, true), std::optional<int>(1));
        QCOMPARE(linkPictureIndex(0, true), std::nullopt);
        QCOMPARE(linkPictureIndex(6, true), std::nullopt);
        // Six different pictures, none for an unknown index.
        for (int a = 0; a < 6; ++a) {
            QCOMPARE(icons::linkPicture(a).size(), QSize(47, 15));
            for (int b = a + 1; b < 6; ++b)
                QVERIFY(imageOf(icons::linkPicture(a)) != imageOf(icons::linkPicture(b)));
        }
        QVERIFY(icons::linkPicture(6).isNull());
    }

    void comChoiceSetsThePortAndItsPicture() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        TMainFrm window(ui, {&converters});
        QVERIFY(showsPicture(window, 2));
        portItem(window, QStringLiteral("COM 3"))->trigger();
        QVERIFY(ui.asked.empty());
        QCOMPARE(window.settings().portNumber, 3);
        QCOMPARE(caption(part<QActionGroup>(window, "portGroup")->checkedAction()),
                 QStringLiteral("COM 3"));
        QVERIFY(showsPicture(window, 4));
        QVERIFY(!part<QTimer>(window, "ConverterWatch")->isActive());
        window.close();
        QCOMPARE(sandbox.settings()->value("PortNum").toInt(), 3);
    }

    void usbWithoutItsCheckerSaysSoEachTimeAndStaysChosen() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        TMainFrm window(ui, {&converters});
        QVERIFY(!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/LinkTest"));
        for (int time = 1; time <= 2; ++time) {
            portItem(window, QStringLiteral("USB"))->trigger();
            QCOMPARE(ui.texts().size(), time);
            QCOMPARE(ui.texts().last(), kNoLinkTest);
            QCOMPARE(ui.asked.back().message.icon, MessageIcon::Error);
            QCOMPARE(caption(part<QActionGroup>(window, "portGroup")->checkedAction()),
                     QStringLiteral("USB"));
            QCOMPARE(window.settings().portNumber, 5);
            // The picture follows the choice all the same: no converter here.
            QVERIFY(showsPicture(window, 0));
        }
    }

    void linkCheckerStartsOnItsOwnWithABlank() {
        QTemporaryDir folder;
        const QString said = folder.filePath("arguments");
        const QString checker = folder.filePath("LinkTest");
        QFile script(checker);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\nprintf '%s:[%s]' \"$#\" \"$1\" > \"$(dirname \"$0\")/arguments.part\"\n"
            "mv \"$(dirname \"$0\")/arguments.part\" \"$(dirname \"$0\")/arguments\"\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
        startLinkTest(folder.path());
        QTRY_VERIFY(QFileInfo::exists(said));
        QFile result(said);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), QByteArray("1:[ ]"));

        QTemporaryDir empty;
        try {
            startLinkTest(empty.path());
            QFAIL("no error for a missing checker");
        } catch (const std::exception& error) {
            QCOMPARE(QString::fromUtf8(error.what()), kNoLinkTest);
        }
    }

    // "Tools" > "Ports...": the devices present offered for each COM, the
    // mapped one shown; a typed path is taken, an emptied box is the default.
    void portsMapEachComToADevicePresentOrTyped() {
        Sandbox sandbox;
        sandbox.settings()->setValue("Ports/COM4", "/dev/ttyACM9");
        QDir(sandbox.path()).mkpath(QStringLiteral("root/dev/serial/by-id"));
        writeText(sandbox.file("root/dev/ttyUSB0"), "");
        QVERIFY(QFile::link(QStringLiteral("../../ttyUSB0"),
                            sandbox.file("root/dev/serial/by-id/usb-FTDI_Veldro-if00-port0")));
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        TMainFrm window(ui, {&converters, nullptr, sandbox.file("root").toStdString()});
        QStringList offered;
        QString shown;
        ui.dialogAnswers.push_back([&](QDialog& dialog) {
            auto* com4 = part<QComboBox>(dialog, "Com4Device");
            for (int i = 0; i < com4->count(); ++i) offered << com4->itemText(i);
            shown = com4->currentText();
            com4->setEditText(QString());
            part<QComboBox>(dialog, "Com2Device")->setCurrentIndex(0);
            part<QComboBox>(dialog, "Com3Device")->setEditText(QStringLiteral("/dev/pts/7"));
            dialog.accept();
        });
        action(window, "Ports")->trigger();
        QCOMPARE(ui.dialogTitles, QStringList{QStringLiteral("Ports")});
        QCOMPARE(offered,
                 (QStringList{"/dev/serial/by-id/usb-FTDI_Veldro-if00-port0", "/dev/ttyUSB0"}));
        QCOMPARE(shown, QStringLiteral("/dev/ttyACM9"));
        window.close();
        auto settings = sandbox.settings();
        QCOMPARE(settings->value("Ports/COM1").toString(), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(settings->value("Ports/COM2").toString(),
                 QStringLiteral("/dev/serial/by-id/usb-FTDI_Veldro-if00-port0"));
        QCOMPARE(settings->value("Ports/COM3").toString(), QStringLiteral("/dev/pts/7"));
        QCOMPARE(settings->value("Ports/COM4").toString(), QStringLiteral("/dev/ttyS3"));
    }

    void pluggingTheConverterSwitchesThePictureByItself() {
        Sandbox sandbox;
        sandbox.settings()->setValue("PortNum", 5);
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        TMainFrm window(ui, {&converters});
        auto* watch = part<QTimer>(window, "ConverterWatch");
        QVERIFY(watch->isActive());
        QCOMPARE(watch->interval(), 500);
        watch->setInterval(10); // the half-second counts below pass at once
        QVERIFY(showsPicture(window, 0));
        const int first = converters.attach();
        QTRY_VERIFY(showsPicture(window, 1));
        converters.detach(first);
        QTRY_VERIFY(showsPicture(window, 0));
        converters.attach();
        QTRY_VERIFY(showsPicture(window, 1));
        // A listing that fails counts as no converter.
        converters.failListing(true);
        QTRY_VERIFY(showsPicture(window, 0));
        QVERIFY(ui.asked.empty());

        // Back on a COM port, the watch stops.
        portItem(window, QStringLiteral("COM 2"))->trigger();
        QVERIFY(!watch->isActive());
        QVERIFY(showsPicture(window, 3));
    }

    void iconCyclesThroughSixMastFrames() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        TMainFrm window(ui, {&converters});
        QCOMPARE(part<QTimer>(window, "Timer1")->interval(), 400);
        QVERIFY(part<QTimer>(window, "Timer1")->isActive());
        part<QTimer>(window, "Timer1")->stop(); // the ticks below are the test's own
        std::vector<QImage> frames;
        for (int tick = 0; tick < 7; ++tick) {
            QMetaObject::invokeMethod(part<QTimer>(window, "Timer1"), "timeout");
            QCOMPARE(iconImage(window.windowIcon()), iconImage(QApplication::windowIcon()));
            frames.push_back(iconImage(window.windowIcon()));
        }
        for (int frame = 0; frame < 6; ++frame) {
            QCOMPARE(frames[static_cast<std::size_t>(frame)],
                     iconImage(icons::applicationIcon(frame)));
            for (int other = frame + 1; other < 6; ++other)
                QVERIFY(frames[static_cast<std::size_t>(frame)] !=
                        frames[static_cast<std::size_t>(other)]);
        }
        QCOMPARE(frames[6], frames[0]);
    }

    void focusEnteringThePanelClearsItsLabel() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        TMainFrm window(ui, {&converters});
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        part<MeasurementTableView>(window, "TabMesureCLstView")->setFocus();
        part<QLabel>(window, "ProgressBarLbl")
            ->setText(QStringLiteral("Data # 3  Profile # 1  Station # 50"));
        part<QGroupBox>(window, "DownloadGB")->show();
        part<QPushButton>(window, "StopDownload")->setFocus();
        QTRY_VERIFY(part<QLabel>(window, "ProgressBarLbl")->text().isEmpty());
    }
};

QTEST_MAIN(LinkMenuTest)
#include "link_menu_posix_qtest.moc"
