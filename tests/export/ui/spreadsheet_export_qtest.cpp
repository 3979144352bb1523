// The spreadsheet exports in the window: the separator choice, the shared save
// dialog and its proposed name, the files written, and the saved state.
#include "app/save_dialog.h"
#include "app_test_support.h"

#include <QActionGroup>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <cstring>

using namespace veldro;
using namespace veldro::test;

namespace {

// Profile 7 at 19800 Hz is the Fraser walk's worked example with a sixth
// station, which gives it a Karous-Hjelt value; an ignored row and a
// resistivity row join it.
std::vector<MeasurementRecord> surveyRows() {
    std::vector<MeasurementRecord> rows;
    const int tilts[] = {10, 5, -3, -8, -2, 4};
    for (int i = 0; i < 6; ++i)
        rows.push_back(record({.profile = 7,
                               .station = 25 * i,
                               .tilt = tilts[i],
                               .frequency = 19800,
                               .quality = 80 + i,
                               .hHorizontal = 1.5f}));
    rows.insert(
        rows.begin() + 2,
        record({.profile = 7, .station = 30, .tilt = 90, .frequency = 19800, .kept = false}));
    rows.push_back(record({.profile = 8,
                           .station = 0,
                           .resistivity = true,
                           .rho = 152.25f,
                           .phase = -12,
                           .eField = 3.5f,
                           .hField = 0.25f}));
    return rows;
}

QByteArray cliExport(const QStringList& arguments, const QString& output) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(VELDRO_CLI), arguments + QStringList{"-o", output});
    if (!cli.waitForFinished() || cli.exitCode() != 0)
        throw std::runtime_error(cli.readAllStandardError().toStdString());
    return fileBytes(output);
}

} // namespace

class SpreadsheetExportTest : public QObject {
    Q_OBJECT
private slots:
    void exportsMatchTheCommandLine() {
        struct Case {
            const char* command;
            const char* separatorItem;
            QStringList cliArguments;
            QByteArray line; // one line worked out by hand
        };
        const std::vector<Case> cases{
            {"Spreadsheet1",
             "PointVirgule1",
             {"export", "raw", "--separator", "semicolon", "--columns", "0,1,2,5,7,8,20"},
             "8;0;Res;;152.2500;-12;1\r\n"},
            {"Fraser1",
             "Tabulation1",
             {"export", "fraser", "--separator", "tab"},
             "7\t38\t19800\t26\r\n"},
            // 0.102*10 - 0.059*5 + 0.561*(-3) - 0.561*(-8) + 0.059*(-2) - 0.102*4 = 3.004
            {"KarousHjeltValues",
             "Virgule1",
             {"export", "kh", "--separator", "comma"},
             "7,62.5,25.0,19800,3.00\r\n"}};
        for (const Case& c : cases) {
            Sandbox sandbox;
            {
                QByteArray shown(512, '\0');
                for (int column : {0, 1, 2, 5, 7, 8, 20}) shown[4 * column] = 1;
                sandbox.settings()->setValue("TabColumn", shown);
            }
            ScriptedUiServices ui;
            TMainFrm window(ui);
            const QString data = writeDataFile(sandbox.file("survey.vlf"), surveyRows());
            openThroughDialog(window, ui, data);
            action(window, c.separatorItem)->trigger();
            ui.saveAnswers.push_back(sandbox.file("window.txt"));
            action(window, c.command)->trigger();

            QVERIFY(ui.asked.empty());
            const QByteArray written = fileBytes(sandbox.file("window.txt"));
            QVERIFY2(written.contains(c.line), written.constData());
            QCOMPARE(written,
                     cliExport(c.cliArguments + QStringList{data}, sandbox.file("cli.txt")));
            QCOMPARE(ui.saveRequests.size(), 1u);
            const FileDialogRequest& request = ui.saveRequests[0];
            QCOMPARE(request.filter, SaveDialog::kFilter);
            QCOMPARE(request.filterIndex, 2);
            QCOMPARE(request.defaultSuffix, QStringLiteral("txt"));
            QCOMPARE(request.directory, QDir::currentPath());
            QCOMPARE(statusText(window), QString());
        }
    }

    // Only the data file holds the ignored rows: an export does not count as
    // saving them.
    void exportOfUnsavedChangesStillAsksAtQuit() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), surveyRows()));
        selectRows(window, {0});
        action(window, "Ignoreselectedrows1")->trigger();
        ui.saveAnswers.push_back(sandbox.file("raw.txt"));
        action(window, "Spreadsheet1")->trigger();
        QVERIFY(QFile::exists(sandbox.file("raw.txt")));
        QVERIFY(!window.dataSaved());
        ui.answers.push_back(QMessageBox::Yes);
        action(window, "Quitter1")->trigger();
        QCOMPARE(ui.texts(), QStringList{"Quit without saving ?"});
    }

    // The dialog proposes the name it last held, chosen or proposed, cut at the
    // file name's extension; "Save as..." leaves its name there too.
    void proposedNameIsTheLastNameWithoutItsExtension() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), surveyRows()));
        QDir(sandbox.path()).mkdir("data.old");
        ui.saveAnswers = {sandbox.file("run12.txt"),
                          {},
                          sandbox.file("data.old/notes"),
                          sandbox.file("line1.vlf")};
        for (const char* command :
             {"Spreadsheet1", "Fraser1", "Spreadsheet1", "EnregistrerSous", "Fraser1"})
            action(window, command)->trigger();
        QStringList proposed;
        for (const FileDialogRequest& request : ui.saveRequests) proposed << request.fileName;
        QCOMPARE(proposed, (QStringList{{},
                                        sandbox.file("run12"),
                                        sandbox.file("run12"),
                                        sandbox.file("data.old/notes"),
                                        sandbox.file("line1")}));
        QVERIFY(!window.store()->exportBuffer.empty()); // the cancelled Fraser text
        QVERIFY(QFile::exists(sandbox.file("data.old/notes")));
    }

    void failedWriteNamesTheFileAndTheReason() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), surveyRows()));
        const QString target = sandbox.file("no/such/folder/x.txt");
        ui.saveAnswers.push_back(target);
        QString statusDuringBox;
        ui.whenAsked = [&] { statusDuringBox = statusText(window); };
        action(window, "Fraser1")->trigger();
        QCOMPARE(ui.asked.size(), 1u);
        QCOMPARE(ui.texts()[0],
                 "Cannot write " + target + ": " + QString::fromLocal8Bit(std::strerror(ENOENT)));
        QCOMPARE(ui.asked[0].message.icon, MessageIcon::Error);
        QCOMPARE(statusDuringBox, QStringLiteral("Processing in progress..."));
        QCOMPARE(statusText(window), QString());
    }

    void separatorChoiceIsKeptAtClose() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        {
            TMainFrm window(ui);
            action(window, "Tabulation1")->trigger();
            QCOMPARE(window.settings().separatorChar, int('\t'));
            QCOMPARE(part<QActionGroup>(window, "separatorGroup")->checkedAction(),
                     action(window, "Tabulation1"));
            QVERIFY(window.close());
        }
        QCOMPARE(sandbox.settings()->value("TabSeparateur").toInt(), 9);
    }
};

QTEST_MAIN(SpreadsheetExportTest)
#include "spreadsheet_export_qtest.moc"
