// The XYZ and WADI export dialog: its profile list, picking with the pick
// image, a double-click and Space, the common frequency, and the files, which
// are those veldro-cli writes for the same picks.
#include "../../app/app_test_support.h"
#include "export/ui/export_xyz_dialog.h"
#include "export/ui/position_dialog.h"
#include "export/ui/profile_list_model.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

using namespace veldro;
using namespace veldro::test;

namespace {

// Profile 1 at 16000 Hz (#1) and 19600 Hz (#2) with an ignored and a
// resistivity row inside; profile 2 at 19600 Hz (#2); profile 3 first at 16000
// and then at 18300 Hz (#1); profile 4 at 19600 Hz on both frequency numbers.
std::vector<MeasurementRecord> survey() {
    return {
        record({.profile = 1, .station = 25, .tilt = -12, .ellipticity = 3}),
        record({.profile = 1,
                .station = 25,
                .tilt = 5,
                .ellipticity = 1,
                .frequencyNumber = 2,
                .frequency = 19600}),
        record({.profile = 1, .station = 50, .tilt = 3, .kept = false}),
        record({.profile = 1, .station = 50, .resistivity = true}),
        record({.profile = 1, .station = 50, .tilt = 7, .ellipticity = -2}),
        record({.profile = 1, .station = 50, .tilt = 8, .frequencyNumber = 2, .frequency = 19600}),
        record({.profile = 2,
                .station = 100,
                .tilt = 1234,
                .ellipticity = -567,
                .frequencyNumber = 2,
                .frequency = 19600}),
        record({.profile = 3, .station = 0, .tilt = 4}),
        record({.profile = 3, .station = 0, .tilt = 6, .frequency = 18300}),
        record({.profile = 4, .station = 10, .tilt = 1, .frequency = 19600}),
        record({.profile = 4, .station = 10, .tilt = 2, .frequencyNumber = 2, .frequency = 19600}),
        record({.profile = 4, .station = 20, .tilt = 3, .frequency = 19600})};
}

// The position dialog answered with an entry (and a direction in the WADI
// form) and OK, or cancelled when `entry` is null.
void answerPosition(ScriptedUiServices& ui, const char* entry,
                    QRadioButton* TPositionFrm::*direction = nullptr) {
    ui.dialogAnswers.push_back([entry, direction](QDialog& dialog) {
        auto& position = dynamic_cast<TPositionFrm&>(dialog);
        if (!entry) {
            position.BitBtn2->click();
            return;
        }
        position.Edit1->setText(QString::fromLatin1(entry));
        if (direction) (position.*direction)->setChecked(true);
        position.BitBtn1->click();
    });
}

// The survey open and the export dialog up; `use` works the dialog.
struct ExportDialogRun {
    Session session;

    void run(const char* command, const std::function<void(TExportXYZFrm&)>& use) {
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("survey.vlf"), survey()));
        bool ran = false;
        ui.dialogAnswers.push_back([&](QDialog& dialog) {
            use(dynamic_cast<TExportXYZFrm&>(dialog));
            ran = true;
        });
        action(window, command)->trigger();
        QVERIFY(ran);
    }
};

QPoint rowPoint(TExportXYZFrm& dialog, int row, int x) {
    const QTableView* list = dialog.TabProfilesCLstView;
    return {x, list->rowViewportPosition(row) + list->rowHeight(row) / 2};
}

void pressPickImage(TExportXYZFrm& dialog, int row) {
    QWidget* list = dialog.TabProfilesCLstView->viewport();
    QTest::mousePress(list, Qt::LeftButton, {}, rowPoint(dialog, row, 8));
    QTest::mouseRelease(list, Qt::LeftButton, {}, rowPoint(dialog, row, 8));
}

// What a double-click delivers: a press, and then a double-click event for the
// second press.
void doubleClick(TExportXYZFrm& dialog, int row, int x) {
    QWidget* list = dialog.TabProfilesCLstView->viewport();
    QTest::mouseClick(list, Qt::LeftButton, {}, rowPoint(dialog, row, x));
    QTest::mouseDClick(list, Qt::LeftButton, {}, rowPoint(dialog, row, x));
    QTest::mouseRelease(list, Qt::LeftButton, {}, rowPoint(dialog, row, x));
}

QString cell(TExportXYZFrm& dialog, int row, int column) {
    return dialog.TabProfilesCLstView->model()->index(row, column).data().toString();
}

QStringList offered(TExportXYZFrm& dialog) {
    QStringList texts;
    for (const QRadioButton* button : dialog.RadioGroup1->findChildren<QRadioButton*>())
        texts << button->text() + (button->isChecked() ? "*" : "");
    return texts;
}

bool shown(const QWidget* part) {
    return part->isVisibleTo(part->window());
}

} // namespace

class ExportXyzDialogTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheProfileItems() {
        ExportDialogRun r;
        r.run("IXVLF1", [](TExportXYZFrm& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Export to XYZ data file"));
            QCOMPARE(dialog.width(), 449);
            QCOMPARE(dialog.minimumHeight(), 287);
            QAbstractItemModel& list = *dialog.TabProfilesCLstView->model();
            QCOMPARE(list.rowCount(), 5);
            const QStringList first{"1", "1", "25 to 50", "16000  ;  19600", ""};
            for (int c = 0; c < 5; ++c) QCOMPARE(cell(dialog, 0, c), first[c]);
            QCOMPARE(cell(dialog, 1, 3), QStringLiteral("19600"));
            QCOMPARE(cell(dialog, 2, 3), QStringLiteral("16000"));
            QCOMPARE(cell(dialog, 3, 3), QStringLiteral("18300"));
            QCOMPARE(cell(dialog, 3, 2), QStringLiteral("0"));
            QCOMPARE(list.index(1, 1).data(Qt::BackgroundRole).value<QColor>(),
                     QColor(234, 249, 251));
            QVERIFY(!dialog.Button1->isEnabled());
            QVERIFY(!shown(dialog.RadioGroup1) && !shown(dialog.Label2) && !shown(dialog.Label3));
        });
        QCOMPARE(r.session.ui.dialogTitles, QStringList{"Export to XYZ data file"});
    }

    void theSharedFrequencyIsChosenOrWhyThereIsNone() {
        ExportDialogRun r;
        auto& ui = r.session.ui;
        r.run("IXVLF1", [&](TExportXYZFrm& dialog) {
            answerPosition(ui, "100");
            answerPosition(ui, nullptr);
            pressPickImage(dialog, 0);
            pressPickImage(dialog, 1);
            QCOMPARE(offered(dialog), QStringList{"19600*"});
            QVERIFY(dialog.Button1->isEnabled());
            QCOMPARE(cell(dialog, 0, 4), QStringLiteral("    100.0"));

            pressPickImage(dialog, 0); // profiles 2 and 3: none shared
            answerPosition(ui, nullptr);
            pressPickImage(dialog, 2);
            QVERIFY(!shown(dialog.RadioGroup1) && shown(dialog.Label2) && shown(dialog.Label3));
            QVERIFY(!dialog.Button1->isEnabled());

            pressPickImage(dialog, 1); // profile 3 alone at 16000; then with 1 at two
            answerPosition(ui, nullptr);
            pressPickImage(dialog, 0);
            QCOMPARE(offered(dialog), QStringList{"16000*"});
            pressPickImage(dialog, 2);
            QCOMPARE(offered(dialog), (QStringList{"16000", "19600"}));
            QVERIFY(!dialog.Button1->isEnabled());
            dialog.RadioGroup1->findChildren<QRadioButton*>()[1]->click();
            QVERIFY(dialog.Button1->isEnabled());

            pressPickImage(dialog, 0); // both frequency numbers at 19600: offered once
            answerPosition(ui, nullptr);
            pressPickImage(dialog, 4);
            QCOMPARE(offered(dialog), QStringList{"19600*"});

            QTest::keyClick(dialog.TabProfilesCLstView,
                            Qt::Key_Space); // nothing picked: nothing said
            QVERIFY(!shown(dialog.RadioGroup1) && !shown(dialog.Label2));
        });
    }

    // The second press of a double press on the pick image must not drop the
    // profile just picked; a press after the double-click time does.
    void theSecondPressOfADoublePressIsIgnored() {
        ExportDialogRun r;
        auto& ui = r.session.ui;
        r.run("IXVLF1", [&](TExportXYZFrm& dialog) {
            answerPosition(ui, nullptr);
            doubleClick(dialog, 1, 8);
            QVERIFY(dialog.items()[1].selected);
            QCOMPARE(ui.dialogTitles.size(), 2); // one position dialog

            const int interval = QApplication::doubleClickInterval();
            QApplication::setDoubleClickInterval(1);
            QTest::qWait(5);
            pressPickImage(dialog, 1);
            QApplication::setDoubleClickInterval(interval);
            QVERIFY(!dialog.items()[1].selected);
        });
    }

    void doubleClickAndSpaceToggleAndCancelKeepsThePosition() {
        ExportDialogRun r;
        auto& ui = r.session.ui;
        r.run("IXVLF1", [&](TExportXYZFrm& dialog) {
            answerPosition(ui, "100");
            doubleClick(dialog, 0, 120);
            QVERIFY(dialog.items()[0].selected);
            QCOMPARE(cell(dialog, 0, 4), QStringLiteral("    100.0"));
            QTest::keyClick(dialog.TabProfilesCLstView, Qt::Key_Space);
            QVERIFY(!dialog.items()[0].selected);
            QCOMPARE(cell(dialog, 0, 4), QStringLiteral("    100.0"));
            answerPosition(ui, nullptr);
            QTest::keyClick(dialog.TabProfilesCLstView, Qt::Key_Space);
            QVERIFY(dialog.items()[0].selected);
            QCOMPARE(dialog.items()[0].positionText, std::string("    100.0"));
        });
        QCOMPARE(ui.dialogTitles.size(), 3);
    }

    void filesAreThoseOfTheCommandLine_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<QString>("message");
        QTest::newRow("xyz") << "IXVLF1"
                             << "xyz" << QStringList{"1=100", "2=-25.5", "5"}
                             << "Export succeeded.";
        QTest::newRow("wadi") << "Orvex1"
                              << "wadi" << QStringList{"1=100N", "2=25E", "5=7S"}
                              << "Export succeeded.\n\nValues exported as tilt and "
                                 "ellipticity,\nNOT as in-phase and quadrature";
    }
    void filesAreThoseOfTheCommandLine() {
        QFETCH(QString, command);
        QFETCH(QString, format);
        QFETCH(QStringList, picks);
        QFETCH(QString, message);
        ExportDialogRun r;
        auto& [sandbox, ui, window] = r.session;
        const QString file = sandbox.file("window." + format.left(3));
        const bool xyz = format == "xyz";
        r.run(command.toLatin1().constData(), [&](TExportXYZFrm& dialog) {
            for (const QString& pick : picks) {
                // "25E" is 25 in the box and "E" checked.
                const QString entry = pick.section('=', 1);
                ui.dialogAnswers.push_back([entry, xyz](QDialog& d) {
                    auto& position = dynamic_cast<TPositionFrm&>(d);
                    if (entry.isEmpty()) return; // cancelled
                    position.Edit1->setText(xyz ? entry : entry.chopped(1));
                    for (QRadioButton* b : position.Panel1->findChildren<QRadioButton*>())
                        b->setChecked(!xyz && entry.endsWith(b->text()));
                    position.BitBtn1->click();
                });
                pressPickImage(dialog, pick.section('=', 0, 0).toInt() - 1);
            }
            ui.saveAnswers.push_back(file);
            dialog.Button1->click();
            QVERIFY(dialog.isVisible()); // open for another export
        });
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(ui.saveRequests.size(), 1u);
        QCOMPARE(ui.saveRequests[0].filterIndex, xyz ? 3 : 4);
        QCOMPARE(ui.saveRequests[0].defaultSuffix, xyz ? QString("xyz") : QString("wad"));
        QCOMPARE(ui.saveRequests[0].directory, QDir::currentPath());
        QVERIFY(ui.saveRequests[0].filter.contains("|WAD data file (*.wad)|*.wad|"));

        QStringList arguments{"export", format, sandbox.file("survey.vlf"), "-o",
                              sandbox.file("cli.out")};
        for (const QString& pick : picks) arguments << "--pick" << pick;
        QCOMPARE(QProcess::execute(VELDRO_CLI, arguments), 0);
        const QByteArray written = fileBytes(file);
        QVERIFY(written.contains(xyz ? "LINE    100.0\r\n" : "0100N\r\n19.6\r\n  2\r\n"));
        QCOMPARE(written, fileBytes(sandbox.file("cli.out")));
    }

    // The dialog proposes the name last chosen, without its extension; a file
    // that cannot be written is said, never reported as exported.
    void aFailedWriteIsSaidAndTheNextExportProposesTheLastName() {
        ExportDialogRun r;
        auto& [sandbox, ui, window] = r.session;
        const QString written = sandbox.file("line.1.xyz");
        const QString missing = sandbox.file("no folder/line.xyz");
        r.run("IXVLF1", [&](TExportXYZFrm& dialog) {
            answerPosition(ui, nullptr);
            pressPickImage(dialog, 1);
            ui.saveAnswers = {written, QString(), missing};
            for (int i = 0; i < 3; ++i) dialog.Button1->click();
        });
        QCOMPARE(ui.saveRequests.size(), 3u);
        QCOMPARE(ui.saveRequests[0].fileName, QString());
        QCOMPARE(ui.saveRequests[1].fileName, sandbox.file("line.1"));
        // The cancelled dialog kept the name it proposed, cut once more now.
        QCOMPARE(ui.saveRequests[2].fileName, sandbox.file("line"));
        QCOMPARE(ui.texts().size(), 2);
        QCOMPARE(ui.texts()[0], QStringLiteral("Export succeeded."));
        QVERIFY(ui.texts()[1].contains(missing) && ui.texts()[1].contains("No such file"));
        QCOMPARE(ui.asked[1].message.icon, MessageIcon::Error);
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(window.dataSaved());
    }
};

QTEST_MAIN(ExportXyzDialogTest)
#include "export_xyz_dialog_qtest.moc"
