// A monkey in the window: random commands over the main window, every dialog
// answered at random by script, each step saying what it may do to the
// records. The test (monkey_qtest.cpp) runs the steps and checks the window
// after each one.
#pragma once

#include "app/select_columns_dialog.h"
#include "app_test_support.h"
#include "data/measurement_store.h"
#include "export/ui/export_xyz_dialog.h"
#include "export/ui/position_dialog.h"
#include "monkey_files.h"
#include "processing/ui/filter_dialog.h"
#include "processing/ui/frequency_dialog.h"
#include "test_support.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>
#include <cstring>
#include <optional>
#include <random>

namespace veldro::test {

class Monkey;

// One command of the monkey: the menu item it triggers (or the gesture it
// makes), and how it answers what the command asks. An entry without a play
// triggers its item when enabled and leaves every dialog cancelled.
struct MonkeyCommand {
    const char* name;
    void (Monkey::*play)(const char* name) = nullptr;
};

class Monkey {
public:
    explicit Monkey(unsigned seed) : files(session.sandbox, seed), random_(seed) { window.show(); }

    Session session;
    TMainFrm& window = session.window;
    ScriptedUiServices& ui = session.ui;
    MonkeyFiles files;
    // What the step will leave in the store, kept flags aside; none: what was there.
    std::optional<std::vector<MeasurementRecord>> expected;
    // The step may show an error box (a missing file).
    bool errorExpected = false;

    // Every command; a new one is one line here.
    static const std::vector<MonkeyCommand>& commands();

    void play(const MonkeyCommand& command) {
        expected.reset();
        errorExpected = false;
        if (command.play)
            (this->*command.play)(command.name);
        else
            trigger(command.name);
        // With nothing to undo, this is where undoing every step leads back to.
        if (!action(window, "Undo1")->isEnabled()) undoBase_ = keptFlags(window);
    }

    std::vector<MeasurementRecord> records() const {
        return window.store() ? recordsOf(*window.store()) : std::vector<MeasurementRecord>{};
    }

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool chance() { return pick(2) == 0; }

    void trigger(const char* name) {
        QAction* item = action(window, name);
        if (item->isEnabled()) item->trigger();
    }

    // ---- files ----
    void openFile(const char* name) {
        const QString file = files.anyDataFile(pick(MonkeyFiles::kDataFileChoices));
        if (willReplace(file)) expected = recordsOfFile(file);
        trigger(name);
    }
    void openLastFile(const char* name) {
        // The dialog shows the last file; the monkey takes another at times.
        const QString file = chance() ? window.settings().lastFile
                                      : files.anyDataFile(pick(MonkeyFiles::kDataFileChoices));
        if (willReplace(file)) expected = recordsOfFile(file);
        trigger(name);
    }
    void importFile(const char* name) {
        const QString file = chance() ? sandbox().file("survey.bru") : sandbox().file("faults.bru");
        if (!mayReplace()) return trigger(name);
        ui.openAnswers.push_back(file);
        errorExpected = !QFile::exists(file);
        expected = importedRecords(file);
        trigger(name);
    }
    void addFile(const char* name) {
        if (!window.store()) return;
        const QString file = files.anyDataFile(pick(MonkeyFiles::kDataFileChoices));
        ui.openAnswers.push_back(file);
        if (file.endsWith(".vlf") && QFile::exists(file)) {
            std::vector<MeasurementRecord> all = records();
            for (const MeasurementRecord& r : recordsOfFile(file))
                if (all.size() < MeasurementStore::kCapacity) all.push_back(r);
            expected = all;
        }
        errorExpected = !QFile::exists(file);
        trigger(name);
    }
    // "File" > "Recent files": one of them, which may have vanished since.
    void openRecent(const char* name) {
        auto* menu = part<QMenu>(window, name);
        if (!menu->menuAction()->isEnabled()) return;
        emit menu->aboutToShow();
        const QList<QAction*> items = menu->actions();
        if (items.isEmpty()) return;
        QAction* item = items[pick(static_cast<int>(items.size()))];
        const QString file = item->data().toString();
        const bool replace = mayReplace();
        errorExpected = replace && !QFile::exists(file);
        if (replace && file.endsWith(".bru"))
            expected = importedRecords(file);
        else if (replace && QFile::exists(file))
            expected = recordsOfFile(file);
        item->trigger();
    }
    // A file the program knows goes away behind its back, or comes back.
    void vanish(const char*) {
        static const char* const names[] = {"saved 0.vlf", "saved 1.vlf", "faults.bru"};
        const QString file = sandbox().file(names[pick(3)]);
        if (QFile::exists(file))
            QFile::remove(file);
        else if (file.endsWith(".bru"))
            files.writeFaultyBru();
    }
    void saveAndReopen(const char* name) {
        if (!window.store()) return;
        const QString file = sandbox().file(QStringLiteral("saved %1.vlf").arg(pick(3)));
        const std::vector<MeasurementRecord> before = records();
        const std::string comment = window.store()->commentText();
        ui.saveAnswers.push_back(file);
        trigger(name);
        QVERIFY(window.dataSaved());
        const std::vector<MeasurementRecord> saved = recordsOfFile(file);
        QVERIFY2(saved == before, "the file saved holds the records, flags too");
        if (chance()) return;
        ui.openAnswers.push_back(file);
        trigger("Ouvrir1");
        QVERIFY2(records() == before, "a save reopens as the same records");
        QCOMPARE(window.store()->commentText(), comment);
    }
    void split(const char* name) {
        const QString folder = sandbox().file(chance() ? "split" : "no such folder");
        QDir().mkpath(sandbox().file("split"));
        ui.directoryAnswers.push_back([folder] { return folder; });
        ui.directoryAnswers.push_back([] { return QString(); }); // after "create new directory"
        trigger(name);
    }

    // ---- keep and ignore, by every route ----
    void selectSome() {
        const int rows = window.rowList().size();
        if (rows == 0) return;
        std::vector<int> chosen;
        const int first = pick(rows);
        const int last = std::min(rows - 1, first + pick(20));
        for (int row = first; row <= last; ++row)
            if (pick(4) != 0) chosen.push_back(row);
        selectRows(window, chosen);
    }
    void keepOrIgnore(const char* name) {
        selectSome();
        trigger(name);
    }
    void pressImageStrip(const char*) { pressRow(Qt::LeftButton, 8, false); }
    void doubleClickRow(const char*) {
        selectSome();
        pressRow(Qt::LeftButton, 60, true);
    }
    void popUpMenu(const char*) {
        pressRow(Qt::RightButton, 60, false);
        auto* popup = part<QMenu>(window, "PopupMenu1");
        if (popup->isVisible()) {
            popup->hide();
            trigger(chance() ? "Check1" : "Uncheck1");
        }
    }
    // Undoing every step returns the kept states the steps started from, and
    // redoing them all comes back to where it began.
    void undoAll(const char*) {
        const std::vector<bool> before = keptFlags(window);
        int steps = 0;
        for (; action(window, "Undo1")->isEnabled(); ++steps) trigger("Undo1");
        QVERIFY2(keptFlags(window) == undoBase_, "every step undone, the kept states are back");
        if (chance()) return;
        for (; steps > 0; --steps) trigger("Redo1");
        QVERIFY2(keptFlags(window) == before, "every step redone, the kept states are as before");
    }
    void deleteIgnored(const char* name) {
        if (!window.store()) return;
        const bool yes = chance();
        ui.answers.push_back(yes ? QMessageBox::Yes : QMessageBox::No);
        if (yes) {
            std::vector<MeasurementRecord> kept;
            const std::vector<MeasurementRecord> all = records();
            for (std::size_t i = 0; i < all.size(); ++i)
                if (window.rowList().kept(static_cast<int>(i))) kept.push_back(all[i]);
            expected = kept;
        }
        trigger(name);
    }

    // ---- dialogs ----
    void filter(const char* name) {
        ui.dialogAnswers.push_back([this](QDialog& dialog) {
            auto& filter = dynamic_cast<TFilterFrm&>(dialog);
            for (int box = 1 + pick(4); box <= 20; box += 1 + pick(6))
                filter.edit(box)->setText(pick(8) == 0 ? QStringLiteral("x1")
                                                       : QString::number(pick(4001) - 2000));
            finish(dialog, chance() ? filter.BitBtn1 : filter.BitBtn2, filter.BitBtn2);
        });
        trigger(name);
    }
    void rejectFrequency(const char* name) {
        const std::vector<MeasurementRecord> all = records();
        const int frequency =
            all.empty() || pick(4) == 0
                ? pick(30000)
                : all[static_cast<std::size_t>(pick(static_cast<int>(all.size())))].frequency;
        ui.dialogAnswers.push_back([this, frequency](QDialog& dialog) {
            auto& asked = dynamic_cast<TFreqFrm&>(dialog);
            asked.Edit1->setText(pick(8) == 0 ? QStringLiteral("-") : QString::number(frequency));
            finish(dialog, asked.BitBtn1, asked.BitBtn2);
        });
        trigger(name);
    }
    void exportSpreadsheet(const char* name) {
        answerSave(QStringLiteral("export %1.txt").arg(pick(3)));
        trigger(name);
    }
    void exportProfiles(const char* name) {
        ui.dialogAnswers.push_back([this, name](QDialog& dialog) {
            auto& form = dynamic_cast<TExportXYZFrm&>(dialog);
            const int profiles = form.TabProfilesCLstView->model()->rowCount();
            for (int n = pick(4); n > 0 && profiles > 0; --n) {
                answerPosition(std::strcmp(name, "Orvex1") == 0);
                const auto* model = form.TabProfilesCLstView->model();
                form.TabProfilesCLstView->setCurrentIndex(model->index(pick(profiles), 0));
                form.TabProfilesCLstViewDblClick();
            }
            const auto choices = form.RadioGroup1->findChildren<QRadioButton*>();
            if (!choices.empty()) choices[pick(static_cast<int>(choices.size()))]->click();
            if (form.Button1->isEnabled() && chance()) {
                answerSave(QStringLiteral("profiles %1.xyz").arg(pick(3)));
                form.Button1->click();
            }
            form.Button2->click();
        });
        trigger(name);
    }
    void displayOptions(const char* name) {
        ui.dialogAnswers.push_back([this](QDialog& dialog) {
            auto& columns = dynamic_cast<TSelectColumnsFrm&>(dialog);
            if (pick(4) == 0)
                (chance() ? columns.ButtonSelectAll : columns.ButtonSelectNone)->click();
            for (int n = pick(5); n > 0; --n)
                columns.TabMesureCLstViewColumnClick(pick(kColumnCount));
            finish(dialog, columns.BitBtn1, columns.BitBtn2);
        });
        trigger(name);
    }
    // A click on a column's header plots the column.
    void clickHeader(const char*) {
        QHeaderView* header =
            part<MeasurementTableView>(window, "TabMesureCLstView")->horizontalHeader();
        const int column = pick(header->count());
        if (chance()) ui.dialogAnswers.push_back([](QDialog& graph) { graph.reject(); });
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
             header->height() / 2});
    }
    void viewReport(const char* name) {
        if (chance()) ui.dialogAnswers.push_back([](QDialog& viewer) { viewer.reject(); });
        trigger(name);
    }
    void viewFile(const char* name) {
        const QStringList present = QDir(sandbox().path()).entryList(QDir::Files);
        ui.openAnswers.push_back(sandbox().file(present[pick(static_cast<int>(present.size()))]));
        trigger(name);
    }
    void editComment(const char* name) {
        ui.dialogAnswers.push_back([this](QDialog& viewer) {
            part<QTextEdit>(viewer, "ReportMemo")
                ->setPlainText(QString(pick(1100), QChar(u"aé\nΩ "[pick(5)])));
            part<QToolButton>(viewer, "SaveBtn")->click();
            viewer.reject();
        });
        trigger(name);
    }
    // Only a quit that asks, and is refused: "No", and the save offered is cancelled.
    void quit(const char* name) {
        if (window.dataSaved()) return;
        ui.answers.push_back(QMessageBox::No);
        trigger(name);
        QVERIFY2(window.isVisible(), "a refused quit leaves the window open");
    }

private:
    Sandbox& sandbox() { return session.sandbox; }

    bool mayReplace() {
        if (!window.store() || window.dataSaved()) return true;
        const bool yes = chance();
        ui.answers.push_back(yes ? QMessageBox::Yes : QMessageBox::No);
        return yes;
    }
    // Queues `file` in the open dialog; whether the data set will be replaced.
    bool willReplace(const QString& file) {
        const bool replace = mayReplace();
        ui.openAnswers.push_back(file);
        errorExpected = replace && file.endsWith(".vlf") && !QFile::exists(file);
        return replace && file.endsWith(".vlf") && QFile::exists(file);
    }

    void answerSave(const QString& name) {
        ui.saveAnswers.push_back(pick(4) == 0 ? QString() : sandbox().file(name));
    }
    void answerPosition(bool wadi) {
        ui.dialogAnswers.push_back([this, wadi](QDialog& dialog) {
            auto& position = dynamic_cast<TPositionFrm&>(dialog);
            position.Edit1->setText(pick(6) == 0 ? QStringLiteral("east")
                                                 : QString::number(pick(2000) - 1000));
            if (wadi) position.RadioButtonS->setChecked(chance());
            finish(dialog, position.BitBtn1, position.BitBtn2);
        });
    }
    // Presses `button` at random, else cancels; a dialog that stays open (a
    // bad entry said in a box) is cancelled.
    void finish(QDialog& dialog, QPushButton* button, QPushButton* cancel) {
        (chance() ? button : cancel)->click();
        if (dialog.isVisible()) cancel->click();
    }

    void pressRow(Qt::MouseButton button, int x, bool twice) {
        auto* table = part<MeasurementTableView>(window, "TabMesureCLstView");
        const int rows = window.rowList().size();
        if (rows == 0) return;
        const QModelIndex index = window.tableModel().index(pick(rows), 0);
        table->scrollTo(index);
        const QPoint at(x, table->visualRect(index).center().y());
        if (twice)
            QTest::mouseDClick(table->viewport(), button, {}, at);
        else
            QTest::mousePress(table->viewport(), button, {}, at);
        QTest::mouseRelease(table->viewport(), button, {}, at);
    }

    std::mt19937 random_;
    std::vector<bool> undoBase_;
};

} // namespace veldro::test
