// "Data download" in the window against veldro-sim on a pseudo-terminal mapped
// to COM 1: the prompts and their texts, the panel, the table and the save, the
// lock of the link, and every way the download ends early.
#include "link/download_journal.h"
#include "link/port.h"
#include "link_test_support.h"

#include <QActionGroup>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>

using namespace veldro;
using namespace veldro::test;

namespace {

// The cable prompt of COM `number`, which names its device.
std::string connectPrompt(const QString& device, int number = 1) {
    return "Connect Serial link < COM " + std::to_string(number) + " (" + device.toStdString() +
           ") > between computer and Veldro click <OK Button>";
}
const std::string kOnVeldro = "On Veldro, Select < Dump >, < Computer >,\npress < Ok > button on "
                              "PC,\nthen validate < 9600 Bauds > on Veldro";
const std::string kStopped =
    "Transfer stopped (or download error)\nPlease check cable and run a new transfer";

QStringList textsOf(std::initializer_list<std::string> texts) {
    QStringList all;
    for (const std::string& text : texts) all << QString::fromStdString(text);
    return all;
}

QAction* portItem(TMainFrm& window, const QString& caption) {
    for (QAction* item : part<QActionGroup>(window, "portGroup")->actions())
        if (veldro::test::caption(item) == caption) return item;
    return nullptr;
}

// The data commands that a download without records leaves off.
void verifyDataCommandsOff(TMainFrm& window) {
    for (QAction* off :
         {action(window, "EnregistrerSous"),
          part<QMenu>(window, "ExporterEtEnregistrer")->menuAction(), action(window, "Add1"),
          action(window, "Splitonname1"), part<QMenu>(window, "Processing1")->menuAction(),
          action(window, "Comments1"), action(window, "Formatedtype1")})
        QVERIFY2(!off->isEnabled(), qPrintable(off->text()));
}

void verifyPanelPutAway(TMainFrm& window) {
    QVERIFY(part<QGroupBox>(window, "DownloadGB")->isHidden());
    QVERIFY(part<QLabel>(window, "ProgressBarLbl")->text().isEmpty());
    QCOMPARE(part<QProgressBar>(window, "ProgressBar1")->value(), 0);
    QVERIFY(!part<MeasurementTableView>(window, "TabMesureCLstView")->isHidden());
}

} // namespace

class DownloadTest : public QObject {
    Q_OBJECT
private slots:
    void wholeDownloadIsShownSavedAndLocksTheLink() {
        SimulatorSession session({"--records", "12", "--seed", "5"});
        auto& window = session.window;
        auto& ui = session.ui;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ui.saveAnswers.push_back(session.sandbox.file("line5.vlf"));
        QStringList labels;
        bool storeCommandsOff = true;
        QPoint panelOffset;
        const int statusHeight = part<QStatusBar>(window, "StatusBar1")->height();
        bool statusKeptItsHeight = true;
        bool countFollowsTheLabel = true;
        DuringTransfer watch(window, [&] {
            const QString figures = part<QLabel>(window, "DownloadFigures")->text();
            countFollowsTheLabel =
                countFollowsTheLabel &&
                figures.startsWith(QStringLiteral("%1 records ").arg(shownRecordNumber(window)));
            statusKeptItsHeight = statusKeptItsHeight &&
                                  part<QStatusBar>(window, "StatusBar1")->height() == statusHeight;
            if (labels.isEmpty() || labels.back() != part<QLabel>(window, "ProgressBarLbl")->text())
                labels << part<QLabel>(window, "ProgressBarLbl")->text();
            for (QAction* command :
                 {action(window, "Ouvrir1"), action(window, "Importtextfile1"),
                  action(window, "Rcuprerdesdonnes1"),
                  part<QMenu>(window, "Communication1")->menuAction(), action(window, "Quitter1")})
                storeCommandsOff = storeCommandsOff && !command->isEnabled();
            panelOffset =
                part<QGroupBox>(window, "DownloadGB")->geometry().center() - window.rect().center();
        });
        QString figuresAtTheEnd;
        ui.whenAsked = [&] { figuresAtTheEnd = part<QLabel>(window, "DownloadFigures")->text(); };
        action(window, "Rcuprerdesdonnes1")->trigger();

        QCOMPARE(ui.texts(), textsOf({connectPrompt(session.instrument.terminal()), kOnVeldro,
                                      "transfer completed"}));
        QVERIFY(countFollowsTheLabel);
        QVERIFY2(figuresAtTheEnd.contains(QRegularExpression(
                     QStringLiteral("^12 records    (\\d+|-) records/s    0:0\\d elapsed$"))),
                 qPrintable(figuresAtTheEnd));
        QCOMPARE(ui.asked[1].message.caption, std::string("On Veldro"));
        QCOMPARE(ui.asked[1].message.icon, MessageIcon::Information);
        QCOMPARE(ui.asked[1].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(ui.saveRequests.size(), 1u);
        const FileDialogRequest& save = ui.saveRequests[0];
        QCOMPARE(save.directory, QDir::homePath()); // not the program's folder
        QVERIFY(save.fileName.isEmpty());
        QCOMPARE(save.filter, QStringLiteral("Veldro data file  (*.vlf)|*.vlf"));
        QCOMPARE(save.defaultSuffix, QStringLiteral("vlf"));

        const auto expected = simulatedSurvey(12, 5);
        QVERIFY(window.store());
        QVERIFY(recordsOf(*window.store()) == expected);
        QVERIFY(recordsInFile(session.sandbox.file("line5.vlf"), ui) == expected);
        QCOMPARE(window.rowList().size(), 12);
        QCOMPARE(statusText(window), QStringLiteral("Data :12 / 12"));
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), session.sandbox.file("line5.vlf"));
        QVERIFY(window.dataSaved());
        QVERIFY(action(window, "EnregistrerSous")->isEnabled());
        verifyPanelPutAway(window);

        // The panel said "Synchronisation..." and then each record in turn.
        QCOMPARE(labels.first(), QStringLiteral("Synchronisation..."));
        const MeasurementRecord& last = expected.back();
        QCOMPARE(labels.last(), QStringLiteral("Data # 12  Profile # %1  Station # %2")
                                    .arg(last.profile)
                                    .arg(last.station));
        QVERIFY(storeCommandsOff);
        QVERIFY(statusKeptItsHeight); // the hidden table keeps its place
        QVERIFY(qAbs(panelOffset.x()) <= 1 && qAbs(panelOffset.y()) <= 1);
        QCOMPARE(session.instrument.wait(), 0); // every record acknowledged

        // The link is locked now: another choice is refused, the same one is quiet.
        QVERIFY(window.currentPort() && window.currentPort()->isLocked());
        const auto before = ui.asked.size();
        portItem(window, QStringLiteral("COM 2"))->trigger();
        QCOMPARE(ui.asked.size(), before + 1);
        QCOMPARE(
            ui.texts().last(),
            QStringLiteral("Communication port locked, please quit program before changing it"));
        QCOMPARE(ui.asked.back().message.caption, std::string("WARNING"));
        QCOMPARE(ui.asked.back().message.icon, MessageIcon::Warning);
        QCOMPARE(caption(part<QActionGroup>(window, "portGroup")->checkedAction()),
                 QStringLiteral("COM 1"));
        QCOMPARE(window.settings().portNumber, 1);
        portItem(window, QStringLiteral("COM 1"))->trigger();
        QCOMPARE(ui.asked.size(), before + 1);
        QCOMPARE(caption(part<QActionGroup>(window, "portGroup")->checkedAction()),
                 QStringLiteral("COM 1"));
    }

    // "Tools" > "Ports..." puts the instrument's line behind COM 2: the prompt
    // names it and the download talks to it. Once connected, the line stays.
    void theDeviceChosenForAComIsTheLineTheDownloadOpens() {
        SimulatorSession session({"--records", "3", "--seed", "6"});
        auto& window = session.window;
        auto& ui = session.ui;
        const QString line = session.instrument.terminal();
        portItem(window, QStringLiteral("COM 2"))->trigger();
        ui.dialogAnswers.push_back([&](QDialog& dialog) {
            part<QComboBox>(dialog, "Com2Device")->setEditText(line);
            dialog.accept();
        });
        action(window, "Ports")->trigger();
        QCOMPARE(ui.dialogTitles, QStringList{QStringLiteral("Ports")});
        ui.saveAnswers.push_back(session.sandbox.file("line.vlf"));
        action(window, "Rcuprerdesdonnes1")->trigger();

        QCOMPARE(ui.texts(), textsOf({connectPrompt(line, 2), kOnVeldro, "transfer completed"}));
        QVERIFY(recordsOf(*window.store()) == simulatedSurvey(3, 6));

        action(window, "Ports")->trigger();
        QCOMPARE(
            ui.texts().last(),
            QStringLiteral("Communication port locked, please quit program before changing it"));
        QCOMPARE(ui.dialogTitles.size(), 1);
    }

    void missingDeviceIsAPortErrorWithTheReason() {
        Sandbox sandbox;
        const QString missing = sandbox.file("no-such-line");
        mapCom1(sandbox, missing);
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        TMainFrm window(ui, {&converters});
        openThroughDialog(window, ui, writeDataFile(sandbox.file("old.vlf"), profileRecords(1, 3)));
        action(window, "Rcuprerdesdonnes1")->trigger();

        QCOMPARE(ui.texts(), textsOf({connectPrompt(missing), "Port error"}));
        QCOMPARE(ui.asked[1].message.caption, std::string()); // the application title
        QCOMPARE(ui.asked[1].message.icon, MessageIcon::Error);
        QCOMPARE(ui.details.size(), 1);
        QVERIFY2(ui.details[0].contains(missing), qPrintable(ui.details[0]));
        QVERIFY(ui.saveRequests.empty());
        // The data shown before is gone, the table is back and empty.
        QVERIFY(!window.store());
        QCOMPARE(window.rowList().size(), 0);
        QVERIFY(statusText(window).isEmpty());
        QVERIFY(!part<MeasurementTableView>(window, "TabMesureCLstView")->isHidden());
        verifyDataCommandsOff(window);

        // Never connected, so the link may still change, without a warning.
        QVERIFY(!window.currentPort()->isLocked());
        portItem(window, QStringLiteral("COM 2"))->trigger();
        QCOMPARE(ui.asked.size(), 2u);
        QCOMPARE(window.settings().portNumber, 2);
    }

    void declinedOnVeldroPromptTransfersNothing() {
        SimulatorSession session({"--records", "3"});
        auto& window = session.window;
        auto& ui = session.ui;
        ui.answers = {QMessageBox::Ok, QMessageBox::Cancel};
        action(window, "Rcuprerdesdonnes1")->trigger();

        QCOMPARE(ui.texts(), textsOf({connectPrompt(session.instrument.terminal()), kOnVeldro}));
        QVERIFY(ui.saveRequests.empty());
        QVERIFY(!window.store());
        QVERIFY(window.dataSaved());
        QVERIFY(part<QGroupBox>(window, "DownloadGB")->isHidden());
        QVERIFY(!part<MeasurementTableView>(window, "TabMesureCLstView")->isHidden());
        verifyDataCommandsOff(window);
        QVERIFY(!session.instrument.log().contains("<-")); // nothing answered
    }

    void cancelDuringTheOpeningWaitSavesNothing() {
        SimulatorSession session({"--no-start"});
        auto& window = session.window;
        auto& ui = session.ui;
        bool pressed = false;
        DuringTransfer cancel(window, [&] {
            if (pressed || part<QLabel>(window, "ProgressBarLbl")->text() !=
                               QStringLiteral("Synchronisation..."))
                return;
            pressed = true;
            part<QPushButton>(window, "StopDownload")->click();
        });
        action(window, "Rcuprerdesdonnes1")->trigger();

        QVERIFY(pressed);
        QCOMPARE(ui.texts(), textsOf({connectPrompt(session.instrument.terminal()), kOnVeldro,
                                      kStopped, "No data transferred, no data to save"}));
        QVERIFY(ui.saveRequests.empty());
        QCOMPARE(window.store()->count(), 0);
        QCOMPARE(window.rowList().size(), 0);
        QVERIFY(window.dataSaved());
        verifyPanelPutAway(window);
    }

    void cancelAfterSomeRecordsSavesWhatArrived() {
        SimulatorSession session({"--records", "200", "--seed", "9"});
        auto& window = session.window;
        auto& ui = session.ui;
        ui.saveAnswers.push_back(session.sandbox.file("part.vlf"));
        int shownAtCancel = 0;
        DuringTransfer cancel(window, [&] {
            if (shownAtCancel > 0 || shownRecordNumber(window) < 5) return;
            shownAtCancel = shownRecordNumber(window);
            part<QPushButton>(window, "StopDownload")->click();
        });
        action(window, "Rcuprerdesdonnes1")->trigger();

        QVERIFY(shownAtCancel >= 5 && shownAtCancel < 200);
        QCOMPARE(ui.texts(), textsOf({connectPrompt(session.instrument.terminal()), kOnVeldro,
                                      kStopped, "Partially transfered data will be saved"}));
        QCOMPARE(ui.saveRequests.size(), 1u);
        auto expected = simulatedSurvey(200, 9);
        expected.resize(static_cast<std::size_t>(shownAtCancel));
        QVERIFY(recordsInFile(session.sandbox.file("part.vlf"), ui) == expected);
        QVERIFY(recordsOf(*window.store()) == expected);
        QCOMPARE(window.rowList().size(), shownAtCancel);
        QVERIFY(window.dataSaved());
        verifyPanelPutAway(window);
    }

    // No open dialog chose a file in this run: "Save as..." has no name to put
    // back, and must not empty the file shown and the one remembered.
    void saveAsAfterADownloadKeepsTheFileShownAndRemembered() {
        Sandbox sandbox;
        SimulatedInstrument instrument(sandbox.path(), {"--records", "4", "--seed", "3"});
        mapCom1(sandbox, instrument.terminal());
        const QString remembered = sandbox.file("earlier.vlf");
        sandbox.settings()->setValue("LastFile", remembered);
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        InstantPauseClock pauses;
        TMainFrm window(ui, {&converters, &pauses});
        ui.saveAnswers = {sandbox.file("line3.vlf"), sandbox.file("copy.vlf")};
        action(window, "Rcuprerdesdonnes1")->trigger();
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), sandbox.file("line3.vlf"));

        action(window, "EnregistrerSous")->trigger();
        QVERIFY(recordsInFile(sandbox.file("copy.vlf"), ui) == simulatedSurvey(4, 3));
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), sandbox.file("line3.vlf"));
        QCOMPARE(window.settings().lastFile, remembered);
    }

    // A converter unplugged and plugged again comes back on another device
    // node, which COM 1's path (a symlink, as /dev/serial/by-id/... are) leads
    // to: the next download opens it afresh rather than waiting for ever on the
    // line of the device that went.
    void aDeviceThatWentIsFoundAfresh() {
        Sandbox sandbox;
        QDir(sandbox.path()).mkpath(QStringLiteral("first"));
        QDir(sandbox.path()).mkpath(QStringLiteral("second"));
        const QString com1 = sandbox.file("com1");
        mapCom1(sandbox, com1);
        auto first = std::make_unique<SimulatedInstrument>(sandbox.file("first"),
                                                           QStringList{"--records", "3"});
        QVERIFY(QFile::link(first->terminal(), com1));
        ScriptedUiServices ui;
        SimulatedD2xx converters;
        InstantPauseClock pauses;
        TMainFrm window(ui, {&converters, &pauses});
        ui.saveAnswers = {sandbox.file("a.vlf"), sandbox.file("b.vlf")};
        action(window, "Rcuprerdesdonnes1")->trigger();
        QCOMPARE(window.rowList().size(), 3);

        first.reset(); // unplugged
        SimulatedInstrument second(sandbox.file("second"), {"--records", "5", "--seed", "4"});
        QVERIFY(QFile::remove(com1) && QFile::link(second.terminal(), com1));
        QElapsedTimer waited;
        waited.start();
        DuringTransfer watchdog(window, [&] {
            if (waited.elapsed() > 10000) part<QPushButton>(window, "StopDownload")->click();
        });
        action(window, "Rcuprerdesdonnes1")->trigger();
        QCOMPARE(ui.texts().mid(3),
                 textsOf({connectPrompt(com1), kOnVeldro, "transfer completed"}));
        QVERIFY(recordsInFile(sandbox.file("b.vlf"), ui) == simulatedSurvey(5, 4));
        QCOMPARE(window.rowList().size(), 5);
    }

    void declinedSaveKeepsTheRowsUnsaved() {
        SimulatorSession session({"--records", "7", "--seed", "2"});
        auto& window = session.window;
        auto& ui = session.ui;
        action(window, "Rcuprerdesdonnes1")->trigger();

        QCOMPARE(ui.texts(), textsOf({connectPrompt(session.instrument.terminal()), kOnVeldro,
                                      "transfer completed"}));
        QCOMPARE(ui.saveRequests.size(), 1u); // declined
        QVERIFY(recordsOf(*window.store()) == simulatedSurvey(7, 2));
        QCOMPARE(statusText(window), QStringLiteral("Data :7 / 7"));
        QVERIFY(part<QLabel>(window, "StatusPanel1")->text().isEmpty());
        QVERIFY(!window.dataSaved());
        QVERIFY(action(window, "EnregistrerSous")->isEnabled());
        // The journal keeps them until a file does.
        const auto pending = pendingJournals(downloadJournalFolder(), std::time(nullptr));
        QCOMPARE(pending.size(), 1u);
        QVERIFY(readJournal(pending[0].path).records == simulatedSurvey(7, 2));
        QVERIFY(pending[0].ended);

        // Quitting asks before the received records go.
        QVERIFY(!window.close());
        QCOMPARE(ui.texts().last(), QStringLiteral("Quit without saving ?"));
        ui.saveAnswers.push_back(session.sandbox.file("later.vlf"));
        action(window, "EnregistrerSous")->trigger();
        QVERIFY(readJournal(pending[0].path).done);
    }
};

QTEST_MAIN(DownloadTest)
#include "download_posix_qtest.moc"
