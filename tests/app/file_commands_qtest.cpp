// The file commands: open, open last, a file on the command line, save as,
// import, add, split, the scratch file and the error display.
#include "app_test_support.h"
#include "data/file_names.h"
#include "data/survey_generator.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

using namespace veldro;
using namespace veldro::test;

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void openShowsTheFileAndWritesTheScratchFile() {
        Session session;
        auto& [sandbox, ui, window] = session;
        const QString file = writeDataFile(sandbox.file("line1.vlf"),
                                           {record({.profile = 1, .station = 0}),
                                            record({.profile = 1, .station = 25, .kept = false}),
                                            record({.profile = 1, .station = 50})});
        openThroughDialog(window, ui, file);
        QVERIFY(ui.asked.empty());
        QCOMPARE(ui.openRequests.size(), 1u);
        const FileDialogRequest& request = ui.openRequests[0];
        QCOMPARE(request.filter, QStringLiteral("Veldro data file  (*.vlf)|*.vlf|All (*.*)|*.*"));
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(request.defaultSuffix, QStringLiteral("vlf"));
        QCOMPARE(request.directory, QDir::homePath()); // nothing opened yet
        QVERIFY(request.fileName.isEmpty());

        QCOMPARE(window.store()->count(), 3);
        QCOMPARE(statusText(window), QStringLiteral("Data :2 / 3"));
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), QDir::toNativeSeparators(file));
        QCOMPARE(part<QLabel>(window, "NameLblx")->text(), QStringLiteral("Veldro"));
        QCOMPARE(window.settings().lastFile, file);
        QVERIFY(window.dataSaved());
        QCOMPARE(fileBytes(sandbox.file("veldrotmp.vlf")), fileBytes(file));
        for (QAction* enabled :
             {action(window, "EnregistrerSous"), action(window, "Add1"),
              action(window, "Splitonname1"), action(window, "Keepselectedrows1"),
              action(window, "DeleteUnselectedData")})
            QVERIFY(enabled->isEnabled());
    }

    void dataCommandsWaitForData() {
        Session session;
        auto& [sandbox, ui, window] = session;
        for (QAction* disabled :
             {action(window, "EnregistrerSous"), action(window, "Add1"),
              action(window, "Splitonname1"), part<QMenu>(window, "Processing1")->menuAction(),
              action(window, "Comments1"), action(window, "Formatedtype1")})
            QVERIFY(!disabled->isEnabled());
        for (QAction* enabled :
             {action(window, "Ouvrir1"), action(window, "OpenLastFile"),
              action(window, "Importtextfile1"), action(window, "Displayoptions1"),
              part<QMenu>(window, "Communication1")->menuAction(),
              action(window, "Rcuprerdesdonnes1")})
            QVERIFY(enabled->isEnabled());
    }

    void failedOpensLeaveTheDataSet() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 4)));
        const MeasurementStore* before = window.store();

        openThroughDialog(window, ui, {}); // cancelled
        openThroughDialog(window, ui, writeDataFile(sandbox.file("b.txt"), profileRecords(2, 2)));
        QVERIFY(ui.asked.empty());
        const QString missing = sandbox.file("gone.vlf");
        openThroughDialog(window, ui, missing);
        QCOMPARE(ui.texts(), QStringList{"Unable to open file\n" + missing});
        QCOMPARE(ui.asked[0].message.caption, std::string("Error"));
        QCOMPARE(ui.asked[0].message.icon, MessageIcon::Error);

        QCOMPARE(window.store(), before);
        QCOMPARE(window.rowList().size(), 4);
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(),
                 QDir::toNativeSeparators(sandbox.file("a.vlf")));
    }

    void extensionIsMatchedByItsLetters() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("c.VlF"), profileRecords(1, 2)));
        QCOMPARE(window.rowList().size(), 2);
        openThroughDialog(window, ui, writeDataFile(sandbox.file("d.vlfx"), profileRecords(1, 5)));
        QCOMPARE(window.rowList().size(), 5);
    }

    void commentOnlyFileOpensEmpty() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui,
                          writeDataFile(sandbox.file("empty.vlf"), {}, "Only a comment"));
        QVERIFY(window.store());
        QCOMPARE(window.store()->commentText(), std::string("Only a comment"));
        QCOMPARE(statusText(window), QStringLiteral("Data :0 / 0"));
    }

    void openLastFileStartsAtTheLastFile() {
        Sandbox sandbox;
        QDir(sandbox.path()).mkdir("survey");
        const QString last = writeDataFile(sandbox.file("survey/line4.vlf"), profileRecords(4, 3));
        sandbox.settings()->setValue("LastFile", last);
        ScriptedUiServices ui;
        TMainFrm window(ui);
        ui.openAnswers.push_back(last);
        action(window, "OpenLastFile")->trigger();
        QCOMPARE(ui.openRequests.size(), 1u);
        QCOMPARE(ui.openRequests[0].directory, sandbox.file("survey"));
        QCOMPARE(ui.openRequests[0].fileName, QStringLiteral("line4.vlf"));
        QCOMPARE(window.rowList().size(), 3);
    }

    void fileOnTheCommandLineOpensWithoutADialog() {
        Sandbox sandbox;
        const QString file = writeDataFile(sandbox.file("start.vlf"), profileRecords(3, 7));
        ScriptedUiServices ui;
        TMainFrm window(ui);
        window.openOnFirstShow({QStringLiteral("start.vlf")}); // relative to the current folder
        window.show();
        QTRY_COMPARE(window.rowList().size(), 7);
        QVERIFY(ui.openRequests.empty());
        QCOMPARE(window.settings().lastFile, file);
        QVERIFY(window.dataSaved());
    }

    void missingFileOnTheCommandLineIsSaid() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.openOnFirstShow({sandbox.file("none.vlf")});
        window.show();
        QTRY_COMPARE(ui.texts(), QStringList{"Unable to open file\n" + sandbox.file("none.vlf")});
        QVERIFY(!window.store());
    }

    void saveAsAlwaysWritesADataFile() {
        Session session;
        auto& [sandbox, ui, window] = session;
        const QString opened = writeDataFile(sandbox.file("line1.vlf"), profileRecords(1, 3));
        openThroughDialog(window, ui, opened);
        QDir(sandbox.path()).mkdir("v1.0");

        // A name beyond Windows' ANSI code page is written as spelt there too.
        for (const auto& [chosen, written] :
             {std::pair{"out.txt", "out.vlf"}, std::pair{"plain", "plain.vlf"},
              std::pair{"v1.0/line", "v1.0/line.vlf"}, std::pair{".hidden", ".hidden.vlf"},
              std::pair{"Levé Ω", "Levé Ω.vlf"}}) {
            ui.saveAnswers.push_back(sandbox.file(chosen));
            action(window, "EnregistrerSous")->trigger();
            QVERIFY2(QFileInfo::exists(sandbox.file(written)), written);
            QCOMPARE(readBack(sandbox.file(written)).size(), 3u);
        }
        QVERIFY(!QFileInfo::exists(sandbox.file("out.txt")));
        const FileDialogRequest& request = ui.saveRequests[0];
        QCOMPARE(
            request.filter,
            QStringLiteral("Veldro data file  (*.vlf)|*.vlf|Spreadsheet (*.txt)|*.txt|XYZ data "
                           "file (*.xyz)|*.xyz|WAD data file (*.wad)|*.wad|All (*.*)|*.*"));
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), QDir::toNativeSeparators(opened));
        QCOMPARE(window.settings().lastFile, opened);
    }

    void saveAsAsksBeforeReplacingTheDataFileItWrites() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 3)));
        writeDataFile(sandbox.file("line1.vlf"), profileRecords(2, 1));

        ui.saveAnswers.push_back(sandbox.file("line1.txt")); // No, the default
        action(window, "EnregistrerSous")->trigger();
        QCOMPARE(ui.texts(), QStringList{"line1.vlf already exists.\nDo you want to replace it?"});
        QCOMPARE(ui.asked[0].defaultButton, QMessageBox::No);
        QCOMPARE(readBack(sandbox.file("line1.vlf")).size(), 1u);

        ui.saveAnswers.push_back(sandbox.file("line1.txt"));
        ui.answers.push_back(QMessageBox::Yes);
        action(window, "EnregistrerSous")->trigger();
        QCOMPARE(readBack(sandbox.file("line1.vlf")).size(), 3u);

        // The dialog itself asked about a name that is written as typed.
        ui.saveAnswers.push_back(sandbox.file("line1.vlf"));
        action(window, "EnregistrerSous")->trigger();
        QCOMPARE(ui.asked.size(), 2u);
    }

    void saveAsKeepsThePlaceOfTheOpenDialog() {
        Session session;
        auto& [sandbox, ui, window] = session;
        const QString opened = writeDataFile(sandbox.file("line1.vlf"), profileRecords(1, 3));
        openThroughDialog(window, ui, opened);
        openThroughDialog(window, ui, sandbox.file("wrong.txt")); // chosen, not opened
        action(window, "EnregistrerSous")->trigger();             // cancelled
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(),
                 QDir::toNativeSeparators(sandbox.file("wrong.txt")));
        QCOMPARE(window.settings().lastFile, sandbox.file("wrong.txt"));
        QCOMPARE(window.rowList().size(), 3);
    }

    void keptStatesSurviveSaveAndReopen() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 4)));
        selectRows(window, {2});
        action(window, "Ignoreselectedrows1")->trigger();
        ui.saveAnswers.push_back(sandbox.file("b.vlf"));
        action(window, "EnregistrerSous")->trigger();
        QVERIFY(window.dataSaved());
        openThroughDialog(window, ui, sandbox.file("b.vlf"));
        QCOMPARE(keptFlags(window), (std::vector<bool>{true, true, false, true}));
    }

    void failedSaveIsShownAndTheWindowGoesOn() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 2)));
        selectRows(window, {0});
        action(window, "Ignoreselectedrows1")->trigger();
        ui.saveAnswers.push_back(sandbox.file("no/such/folder/x.vlf"));
        action(window, "EnregistrerSous")->trigger();
        QCOMPARE(ui.asked.size(), 1u);
        QVERIFY(ui.texts()[0].startsWith("Cannot write " + sandbox.file("no/such/folder/x.vlf")));
        QCOMPARE(ui.asked[0].message.icon, MessageIcon::Error);
        QVERIFY(!window.dataSaved());
        QVERIFY(action(window, "EnregistrerSous")->isEnabled());
    }

    void scratchFileFailureIsSaidAndTheOpenStays() {
        Sandbox sandbox;
        QDir(sandbox.path()).mkdir("veldrotmp.vlf"); // a folder where the file would go
        ScriptedUiServices ui;
        TMainFrm window(ui);
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 2)));
        QVERIFY(ui.asked.empty());
        QCOMPARE(window.rowList().size(), 2);
        QVERIFY(part<QLabel>(window, "StatusPanel1")
                    ->text()
                    .startsWith("Scratch file not written: Cannot write "
                                "veldrotmp.vlf"));
        QVERIFY(window.dataSaved());
    }

    void importSaysTheRejectedLines() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 4)));
        ui.openRequests.clear();
        const std::string lines =
            bruTextOf({record({.profile = 1, .station = 0}),
                       record({.profile = 2, .station = 25, .resistivity = true}),
                       record({.profile = 1, .station = 50})});
        const QString file = sandbox.file("old.bru");
        writeText(file, "Profile Station Freq\r\n" + QByteArray::fromStdString(lines) + "\r\n");
        ui.openAnswers.push_back(file);
        // The box comes while the old rows are gone: their count must go with them.
        QStringList countsBehindBoxes;
        ui.whenAsked = [&] { countsBehindBoxes << statusText(window); };
        action(window, "Importtextfile1")->trigger();
        QCOMPARE(countsBehindBoxes, QStringList{QString()});
        QCOMPARE(ui.openRequests[0].filter,
                 QStringLiteral("Veldro old format data file  (*.bru)|*.bru|All (*.*)|*.*"));
        QCOMPARE(ui.openRequests[0].directory, QDir::currentPath());
        QCOMPARE(ui.texts(), QStringList{"2 points rejected\nPlease edit BRU file to correct bad "
                                         "records"});
        QCOMPARE(window.rowList().size(), 3);
        QCOMPARE(statusText(window), QStringLiteral("Data :3 / 3"));
        QCOMPARE(window.store()->record(1).resistivityMode(), true);
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), QDir::toNativeSeparators(file));
        QCOMPARE(window.settings().lastFile, file);
        QVERIFY(!window.dataSaved());
        QCOMPARE(readBack(sandbox.file("veldrotmp.vlf")).size(), 3u);
        QVERIFY(action(window, "Add1")->isEnabled());
    }

    void unreadableImportEmptiesTheTable() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 4)));
        QDir(sandbox.path()).mkdir("folder.bru");
        ui.openAnswers.push_back(sandbox.file("folder.bru"));
        action(window, "Importtextfile1")->trigger();
        QCOMPARE(ui.asked.size(), 1u);
        QVERIFY(ui.texts()[0].startsWith("Cannot read " + sandbox.file("folder.bru")));
        QCOMPARE(window.rowList().size(), 0);
        QCOMPARE(window.tableModel().rowCount(), 0);
        QCOMPARE(statusText(window), QStringLiteral("Data :0 / 0"));
    }

    void addAppendsToTheWholeCurrentDataSet() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(
            window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 5), "First survey"));
        selectRows(window, {0});
        action(window, "Ignoreselectedrows1")->trigger();
        const QString added =
            writeDataFile(sandbox.file("b.vlf"), profileRecords(2, 10), "Second survey");
        ui.openAnswers.push_back(added);
        action(window, "Add1")->trigger();
        QCOMPARE(ui.openRequests.back().filter,
                 QStringLiteral("Veldro data file  (*.vlf)|*.vlf|All (*.*)|*.*"));
        QCOMPARE(window.rowList().size(), 15);
        QCOMPARE(window.rowList().entries[14].caption, std::string("15"));
        QCOMPARE(window.store()->record(14).profile, 2);
        QCOMPARE(window.store()->commentText(), std::string("First survey"));
        QCOMPARE(keptFlags(window)[0], false);
        QCOMPARE(statusText(window), QStringLiteral("Data :14 / 15"));
        QVERIFY(!window.dataSaved());
        QCOMPARE(readBack(sandbox.file("veldrotmp.vlf")).size(), 15u);
    }

    void addAfterSplitExtendsEverything() {
        Session session;
        auto& [sandbox, ui, window] = session;
        std::vector<MeasurementRecord> records = profileRecords(1, 3);
        records.push_back(record({.profile = 2, .station = 0}));
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), records));
        QDir(sandbox.path()).mkdir("parts");
        ui.directoryAnswers.push_back([&] { return sandbox.file("parts"); });
        action(window, "Splitonname1")->trigger();
        // The note of the split gives way to the file at the next command.
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(),
                 "2 files written in " + QDir::toNativeSeparators(sandbox.file("parts")));
        ui.openAnswers.push_back(writeDataFile(sandbox.file("b.vlf"), profileRecords(3, 2)));
        action(window, "Add1")->trigger();
        QCOMPARE(window.rowList().size(), 6);
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(),
                 QDir::toNativeSeparators(sandbox.file("a.vlf")));
    }

    void addIgnoresOtherExtensionsAndSaysMissingFiles() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 5)));
        ui.openAnswers.push_back(writeDataFile(sandbox.file("b.txt"), profileRecords(2, 10)));
        action(window, "Add1")->trigger();
        ui.openAnswers.push_back(sandbox.file("gone.vlf"));
        action(window, "Add1")->trigger();
        QCOMPARE(ui.texts(), QStringList{"Unable to open file\n" + sandbox.file("gone.vlf")});
        QCOMPARE(window.rowList().size(), 5);
        QVERIFY(window.dataSaved());
    }

    void splitAsksAgainUntilTheFolderExists() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(
            window, ui,
            writeDataFile(sandbox.file("a.vlf"),
                          {record({.profile = 1, .station = 0}),
                           record({.profile = 1, .station = 25}),
                           record({.profile = 1, .station = 50, .resistivity = true}),
                           record({.profile = 2, .station = 0, .resistivity = true})}));
        const QString missing = sandbox.file("new");
        ui.directoryAnswers.push_back([&] { return missing; });
        ui.directoryAnswers.push_back(
            []() -> QString { throw std::runtime_error("dialog failed"); });
        ui.directoryAnswers.push_back([&] {
            QDir(sandbox.path()).mkdir("new");
            return missing;
        });
        action(window, "Splitonname1")->trigger();

        QCOMPARE(ui.directoryStarts, (QStringList{QDir::currentPath(), missing, missing}));
        QCOMPARE(ui.texts(), (QStringList{"Please create new directory", "Directory Error"}));
        QCOMPARE(ui.asked[0].message.icon, MessageIcon::None);
        QCOMPARE(ui.asked[1].message.icon, MessageIcon::Error);
        QCOMPARE(readBack(missing + "/Profile 1_INC_1.vlf").size(), 2u);
        QCOMPARE(readBack(missing + "/Profile 1_RES_3.vlf").size(), 1u);
        QCOMPARE(readBack(missing + "/Profile 2_RES_4.vlf").size(), 1u);
        QCOMPARE(fileBytes(missing + "/Profile 2_RES_4.vlf").left(11), QByteArray("Test survey"));
        QCOMPARE(QDir(missing).count(), 3u + 2u); // with "." and ".."
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), "3 files written in " + missing);
        QVERIFY(window.dataSaved());
    }

    void splitCancelledWritesNothing() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 2)));
        action(window, "Splitonname1")->trigger();
        QCOMPARE(ui.directoryStarts.size(), 1);
        QVERIFY(!QFileInfo::exists(sandbox.file("Profile 1_INC_1.vlf")));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_qtest.moc"
