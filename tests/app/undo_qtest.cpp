// "Undo" and "Redo" of the kept states: every command that keeps or ignores
// goes back and forth, rows and records together, as far as the last open,
// import, add or download; "Delete ignored data" stays final.
#include "processing/ui/filter_dialog.h"
#include "processing/ui/frequency_dialog.h"
#include "table_test_support.h"

#include <QLineEdit>
#include <QPushButton>

using namespace veldro;
using namespace veldro::test;

namespace {

std::vector<MeasurementRecord> survey() {
    return {record({.station = 0, .quality = 90}),
            record({.station = 25, .kept = false, .quality = 90}),
            withStatus(record({.station = 50, .quality = 90}),
                       makeStatus(0, true, 0, false, 0, false, 1, false)),
            record({.station = 75, .frequency = 19800, .quality = 90}),
            record({.station = 100, .quality = 20})};
}

void answerFilterQ(ScriptedUiServices& ui, const QString& minimum) {
    ui.dialogAnswers.push_back([minimum](QDialog& dialog) {
        auto& filter = dynamic_cast<TFilterFrm&>(dialog);
        filter.edit(1)->setText(minimum);
        filter.BitBtn1->click();
    });
}

void answerFrequency(ScriptedUiServices& ui, const QString& hertz) {
    ui.dialogAnswers.push_back([hertz](QDialog& dialog) {
        auto& frequency = dynamic_cast<TFreqFrm&>(dialog);
        frequency.Edit1->setText(hertz);
        frequency.BitBtn1->click();
    });
}

} // namespace

class UndoTest : public TableTestBase {
    Q_OBJECT

    // The kept states of the rows, which the records must match.
    std::vector<bool> kept() {
        const std::vector<bool> rows = keptFlags(*window);
        if (rows != recordFlags(*window->store())) QTest::qFail("rows and records differ", "", 0);
        return rows;
    }

private slots:
    void init() { make(); }
    void cleanup() { drop(); }

    // Each command of its own, undone in turn back to the opened state, then redone.
    void everyKeptCommandGoesBackAndForth() {
        TMainFrm& w = open(survey());
        QVERIFY(!action(w, "Undo1")->isEnabled());
        QVERIFY(!action(w, "Redo1")->isEnabled());
        std::vector<std::vector<bool>> states{kept()};
        selectRows(w, {0});
        action(w, "Ignoreselectedrows1")->trigger();
        states.push_back(kept());
        action(w, "Ignoreoverloaddata1")->trigger();
        states.push_back(kept());
        answerFilterQ(*ui, QStringLiteral("50"));
        action(w, "Filtering1")->trigger();
        states.push_back(kept());
        answerFrequency(*ui, QStringLiteral("19800"));
        action(w, "FrequencyDisabler1")->trigger();
        states.push_back(kept());
        press(w, 1, 8); // the image strip keeps row 2 again
        states.push_back(kept());
        QCOMPARE(states.back(), (std::vector<bool>{false, true, false, false, false}));

        for (auto state = states.rbegin() + 1; state != states.rend(); ++state) {
            QVERIFY(action(w, "Undo1")->isEnabled());
            action(w, "Undo1")->trigger();
            QCOMPARE(kept(), *state);
        }
        QVERIFY(!action(w, "Undo1")->isEnabled());
        QCOMPARE(statusText(w), QStringLiteral("Data :4 / 5"));
        for (auto state = states.begin() + 1; state != states.end(); ++state) {
            action(w, "Redo1")->trigger();
            QCOMPARE(kept(), *state);
        }
        QVERIFY(!action(w, "Redo1")->isEnabled());
        QVERIFY(!w.dataSaved());
    }

    // A new change drops what was undone; a command that changed nothing
    // leaves no step.
    void aNewChangeEndsRedoAndNoChangeIsNoStep() {
        TMainFrm& w = open(survey());
        selectRows(w, {0});
        action(w, "Keepselectedrows1")->trigger();
        QVERIFY(!action(w, "Undo1")->isEnabled());
        action(w, "Ignoreselectedrows1")->trigger();
        action(w, "Undo1")->trigger();
        QVERIFY(action(w, "Redo1")->isEnabled());
        selectRows(w, {3});
        action(w, "Ignoreselectedrows1")->trigger();
        QVERIFY(!action(w, "Redo1")->isEnabled());
        action(w, "Undo1")->trigger();
        QCOMPARE(kept(), (std::vector<bool>{true, false, true, true, true}));
        QVERIFY(!action(w, "Undo1")->isEnabled());
    }

    // Ctrl+Z and Ctrl+Shift+Z, from the keyboard.
    void theKeysUndoAndRedo() {
        TMainFrm& w = open(survey());
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(action(w, "Undo1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(action(w, "Redo1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        selectRows(w, {0});
        action(w, "Ignoreselectedrows1")->trigger();
        auto* table = part<MeasurementTableView>(w, "TabMesureCLstView");
        QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(kept()[0], true);
        QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(kept()[0], false);
    }

    // Undo or Redo back to the states the file holds shows the data saved
    // ("*" gone from the title); anywhere else, changed.
    void backToTheSavedStatesIsSaved() {
        TMainFrm& w = open(survey());
        const auto saved = [&w](bool expected) {
            return w.dataSaved() == expected && w.isWindowModified() == !expected;
        };
        selectRows(w, {0});
        action(w, "Ignoreselectedrows1")->trigger();
        QVERIFY(saved(false));
        action(w, "Undo1")->trigger();
        QVERIFY(saved(true));
        action(w, "Redo1")->trigger();
        QVERIFY(saved(false));
        ui->saveAnswers.push_back(sandbox->file("ignored.vlf"));
        action(w, "EnregistrerSous")->trigger();
        QVERIFY(saved(true));
        action(w, "Undo1")->trigger();
        QVERIFY(saved(false));
        action(w, "Redo1")->trigger();
        QVERIFY(saved(true));
    }

    // Open, add and "Delete ignored data" start afresh: nothing before them
    // can be undone.
    void loadingAndDeletingEndTheHistory() {
        TMainFrm& w = open(survey());
        selectRows(w, {0});
        action(w, "Ignoreselectedrows1")->trigger();
        ui->openAnswers.push_back(writeDataFile(sandbox->file("more.vlf"), profileRecords(2, 2)));
        action(w, "Add1")->trigger();
        QCOMPARE(w.rowList().size(), 7);
        QVERIFY(!action(w, "Undo1")->isEnabled());

        selectRows(w, {5});
        action(w, "Ignoreselectedrows1")->trigger();
        ui->answers.push_back(QMessageBox::Yes);
        action(w, "DeleteUnselectedData")->trigger();
        QCOMPARE(w.rowList().size(), 4);
        QVERIFY(!action(w, "Undo1")->isEnabled());
        QVERIFY(!action(w, "Redo1")->isEnabled());

        selectRows(w, {0});
        action(w, "Ignoreselectedrows1")->trigger();
        ui->answers.push_back(QMessageBox::Yes); // discard the unsaved data
        openThroughDialog(w, *ui, writeDataFile(sandbox->file("b.vlf"), profileRecords(3, 2)));
        QVERIFY(!action(w, "Undo1")->isEnabled());
    }
};

QTEST_MAIN(UndoTest)
#include "undo_qtest.moc"
