// Saving onto a full disk or into a read-only folder, by every command that
// writes a file the user keeps: the old file stays whole, a box names the file
// and the reason, and the data set stays open, unsaved, for another try.
#include "app_test_support.h"
#include "export/ui/export_xyz_dialog.h"
#include "export/ui/position_dialog.h"
#include "faulty_folder.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using namespace veldro;
using namespace veldro::test;

namespace {

enum class Fault { Full, ReadOnly };

// Picks the first profile at position 100 (east for WADI), its frequency and
// OK, then closes the export dialog.
void answerProfileExport(ScriptedUiServices& ui, const QString&) {
    ui.dialogAnswers.push_back([&ui](QDialog& dialog) {
        auto& form = dynamic_cast<TExportXYZFrm&>(dialog);
        ui.dialogAnswers.push_back([](QDialog& asked) {
            auto& position = dynamic_cast<TPositionFrm&>(asked);
            position.Edit1->setText(QStringLiteral("100"));
            position.RadioButtonE->setChecked(true);
            position.BitBtn1->click();
        });
        form.TabProfilesCLstView->setCurrentIndex(form.TabProfilesCLstView->model()->index(0, 0));
        form.TabProfilesCLstViewDblClick();
        form.RadioGroup1->findChildren<QRadioButton*>().value(0)->click();
        form.Button1->click();
        form.Button2->click();
    });
}

// Saves the text file viewed, then closes the viewer.
void answerViewerSave(ScriptedUiServices& ui, const QString&) {
    ui.dialogAnswers.push_back([](QDialog& viewer) {
        part<QToolButton>(viewer, "SaveBtn")->click();
        viewer.reject();
    });
}

struct Command {
    const char* item;
    const char* file; // what it writes in the folder
    void (*answer)(ScriptedUiServices&, const QString& folder);
};

void answerSplitFolder(ScriptedUiServices& ui, const QString& folder) {
    ui.directoryAnswers.push_back([folder] { return folder; });
}

// What the system says of each fault, on a file system of the test's own or
// as the fallback imitates it.
QStringList reasonsFor(Fault fault) {
    if (fault == Fault::Full) return {"No space left on device", "File too large"};
    return {"Read-only file system", "Permission denied"};
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Command)

class SaveFailureTest : public QObject {
    Q_OBJECT
private slots:
    void failedSaveKeepsTheOldFileAndTheDataSet_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<Command>("command");
        const Command commands[] = {
            {"EnregistrerSous", "survey.vlf", nullptr},
            {"Spreadsheet1", "raw.txt", nullptr},
            {"Fraser1", "fraser.txt", nullptr},
            {"IXVLF1", "line.xyz", answerProfileExport},
            {"Orvex1", "line.wad", answerProfileExport},
            {"File1", "report.txt", answerViewerSave},
            {"Splitonname1", "Profile 1_INC_1.vlf", answerSplitFolder},
            {"Formatedtype1", "bt_temp.txt", nullptr}, // the report, in the current folder
        };
        for (const Command& command : commands) {
            QTest::addRow("%s on a full disk", command.item) << Fault::Full << command;
            QTest::addRow("%s into a read-only folder", command.item) << Fault::ReadOnly << command;
        }
    }

    void failedSaveKeepsTheOldFileAndTheDataSet() {
        QFETCH(Fault, fault);
        QFETCH(Command, command);
        Session session;
        auto& [sandbox, ui, window] = session;
        FaultyFolder folder;
        if (fault == Fault::ReadOnly && !folder.readOnlyHolds())
            QSKIP("root writes into read-only folders");
        writeText(sandbox.file("notes.txt"), "Levé\r\n");
        openThroughDialog(window, ui,
                          writeDataFile(sandbox.file("survey.vlf"), profileRecords(1, 6)));
        selectRows(window, {1, 2});
        action(window, "Ignoreselectedrows1")->trigger();
        QVERIFY(!window.dataSaved());

        const QString target = QString::fromStdString(folder.file(command.file));
        writeText(target, "old contents\r\n");
        const bool workingFile = QString(command.item) == "Formatedtype1";
        if (workingFile) QDir::setCurrent(QString::fromStdString(folder.path()));
        ui.openAnswers.push_back(sandbox.file("notes.txt"));
        ui.saveAnswers.push_back(target);
        if (command.answer) command.answer(ui, QString::fromStdString(folder.path()));
        if (fault == Fault::Full)
            folder.fill();
        else
            folder.makeReadOnly();
        action(window, command.item)->trigger();
        folder.restore();
        QDir::setCurrent(sandbox.path());

        QCOMPARE(fileBytes(target), QByteArray("old contents\r\n"));
        const auto error = std::find_if(ui.asked.begin(), ui.asked.end(), [](const auto& asked) {
            return asked.message.icon == MessageIcon::Error;
        });
        QVERIFY2(error != ui.asked.end(), "the failure is said");
        const QString said = QString::fromStdString(error->message.text);
        QVERIFY2(said.contains(workingFile ? QStringLiteral("could not be written") : target),
                 qPrintable(said));
        const QStringList reasons = reasonsFor(fault);
        QVERIFY2(std::any_of(reasons.begin(), reasons.end(),
                             [&](const QString& reason) { return said.contains(reason); }),
                 qPrintable(said));
        QCOMPARE(window.store()->count(), 6);
        QCOMPARE(keptFlags(window), (std::vector<bool>{true, false, false, true, true, true}));
        QVERIFY(!window.dataSaved());
        QVERIFY(!window.session().busy());
    }
};

QTEST_MAIN(SaveFailureTest)
#include "save_failure_posix_qtest.moc"
