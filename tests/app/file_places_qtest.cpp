// Which file the window names and where its file dialogs start: a file added
// is not the data set's file, and the dialogs open where the user's files are.
#include "app_test_support.h"

#include <QDir>

using namespace veldro;
using namespace veldro::test;

class FilePlacesTest : public QObject {
    Q_OBJECT
private slots:
    // After "Add..." and "Save as...", the title, the status line and "Open
    // last file..." still name the file that was opened, not the one added.
    void addThenSaveAsNamesTheOpenedFile() {
        Session session;
        auto& [sandbox, ui, window] = session;
        const QString opened = writeDataFile(sandbox.file("demo.vlf"), profileRecords(1, 3));
        openThroughDialog(window, ui, opened);
        QDir(sandbox.path()).mkdir(QStringLiteral("more"));
        ui.openAnswers.push_back(
            writeDataFile(sandbox.file("more/second.vlf"), profileRecords(2, 2)));
        action(window, "Add1")->trigger();
        ui.saveAnswers.push_back(sandbox.file("saved1"));
        action(window, "EnregistrerSous")->trigger();
        QCOMPARE(readBack(sandbox.file("saved1.vlf")).size(), 5u);
        QVERIFY(window.windowTitle().startsWith(QStringLiteral("[*]demo.vlf")));
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), QDir::toNativeSeparators(opened));
        QCOMPARE(window.settings().lastFile, opened);
        action(window, "OpenLastFile")->trigger();
        QCOMPARE(ui.openRequests.back().fileName, QStringLiteral("demo.vlf"));
    }

    // Nothing opened yet: the home folder; then the folder of the file last
    // opened or saved, for every open, save and folder dialog.
    void dialogsStartWhereTheLastFileWas() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        QDir(sandbox.path()).mkdir(QStringLiteral("survey"));
        openThroughDialog(window, ui,
                          writeDataFile(sandbox.file("survey/a.vlf"), profileRecords(1, 2)));
        QCOMPARE(ui.openRequests.at(0).directory, QDir::homePath());
        const QString folder = sandbox.file("survey");
        action(window, "Add1")->trigger();
        action(window, "Importtextfile1")->trigger();
        action(window, "EnregistrerSous")->trigger();
        action(window, "Spreadsheet1")->trigger();
        action(window, "Splitonname1")->trigger();
        QCOMPARE(ui.openRequests.size(), 3u);
        QCOMPARE(ui.openRequests.at(1).directory, folder);
        QCOMPARE(ui.openRequests.at(2).directory, folder);
        QCOMPARE(ui.saveRequests.size(), 2u);
        for (const FileDialogRequest& request : ui.saveRequests)
            QCOMPARE(request.directory, folder);
        QCOMPARE(ui.directoryStarts, QStringList{folder});

        QDir(sandbox.path()).mkdir(QStringLiteral("elsewhere"));
        ui.saveAnswers.push_back(sandbox.file("elsewhere/b.vlf"));
        action(window, "EnregistrerSous")->trigger();
        action(window, "Ouvrir1")->trigger();
        QCOMPARE(ui.openRequests.back().directory, sandbox.file("elsewhere"));
    }
};

QTEST_MAIN(FilePlacesTest)
#include "file_places_qtest.moc"
