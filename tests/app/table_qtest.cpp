// The measurement table: cells, images, colours, header, hints, and the
// column choice.
#include "app/measurement_table_model.h"
#include "app/select_columns_dialog.h"
#include "table_test_support.h"
#include "widgets/icons.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <cmath>

using namespace veldro;
using namespace veldro::test;

namespace {

// Answers the next column dialog.
void answerColumnsDialog(ScriptedUiServices& ui, std::function<void(TSelectColumnsFrm&)> act) {
    ui.dialogAnswers.push_back([act = std::move(act)](QDialog& dialog) {
        auto* columns = qobject_cast<TSelectColumnsFrm*>(&dialog);
        QVERIFY(columns);
        act(*columns);
    });
}

} // namespace

class TableTest : public TableTestBase {
    Q_OBJECT

private slots:
    void init() { make(); }
    void cleanup() { drop(); }

    void rowsShowNumbersImagesAndCount() {
        TMainFrm& w = open({record({.profile = 1, .station = 0}),
                            record({.profile = 1, .station = 25, .kept = false}),
                            record({.profile = 1, .station = 50})});
        QCOMPARE(cell(w, 0, 0), QStringLiteral("1"));
        QCOMPARE(cell(w, 2, 0), QStringLiteral("3"));
        QCOMPARE(imageKey(w, 0), icons::keptBox().cacheKey());
        QCOMPARE(imageKey(w, 1), icons::ignoredBox().cacheKey());
        QCOMPARE(imageKey(w, 2), icons::keptBox().cacheKey());
        QCOMPARE(statusText(w), QStringLiteral("Data :2 / 3"));
    }

    void cellsFollowTheMode() {
        TMainFrm& w =
            open({record({.profile = 12, .station = 350, .tilt = -12, .hHorizontal = 2.125f}),
                  record({.profile = 12,
                          .station = 375,
                          .resistivity = true,
                          .rho = 152.25f,
                          .eField = 12.5f})});
        QCOMPARE(cell(w, 0, 1), QStringLiteral("12"));
        QCOMPARE(cell(w, 0, 2), QStringLiteral("350"));
        QCOMPARE(cell(w, 0, 3), QStringLiteral("Tilt"));
        QCOMPARE(cell(w, 0, 6), QStringLiteral("-12"));
        QCOMPARE(cell(w, 0, 8), QString()); // Rho: the other mode's quantity
        QCOMPARE(cell(w, 0, 12), QStringLiteral("2.13"));
        QCOMPARE(cell(w, 1, 3), QStringLiteral("Resistivity"));
        QCOMPARE(cell(w, 1, 6), QString());
        QCOMPARE(cell(w, 1, 8), QStringLiteral("152.2500"));
        QCOMPARE(cell(w, 1, 10), QStringLiteral("12.50"));
        QCOMPARE(cell(w, 1, 12), QString());
    }

    void gainsOverloadsAndFrequencyNumber() {
        TMainFrm& w = open({withStatus(record({.profile = 1, .station = 0}),
                                       makeStatus(2, false, 1, true, 3, false, 2, false))});
        QCOMPARE(cell(w, 0, 15), QStringLiteral("16"));
        QCOMPARE(cell(w, 0, 16), QStringLiteral("0"));
        QCOMPARE(cell(w, 0, 17), QStringLiteral("4"));
        QCOMPARE(cell(w, 0, 18), QStringLiteral("1"));
        QCOMPARE(cell(w, 0, 19), QStringLiteral("32"));
        QCOMPARE(cell(w, 0, 21), QStringLiteral("2"));
    }

    void oddRowsAreTinted() {
        TMainFrm& w = open(profileRecords(1, 3));
        QVERIFY(!w.tableModel().index(0, 3).data(Qt::BackgroundRole).isValid());
        QCOMPARE(w.tableModel().index(1, 3).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(234, 249, 251));
        QVERIFY(!w.tableModel().index(2, 0).data(Qt::BackgroundRole).isValid());
        QCOMPARE(w.tableModel().index(1, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
    }

    void headerHasCaptionsWidthsAndChartMarks() {
        TMainFrm& w = *window;
        QCOMPARE(w.tableModel().columnCount(), 22);
        QCOMPARE(header(w, 0), QStringLiteral("#"));
        QCOMPARE(header(w, 1), QStringLiteral("Profile"));
        QCOMPARE(header(w, 9), QStringLiteral("Ph.E/H (\u00B0)"));
        QCOMPARE(header(w, 10), QStringLiteral("E (\u00B5V/m)"));
        QCOMPARE(header(w, 21), QStringLiteral("Freq. #"));
        QCOMPARE(part<MeasurementTableView>(w, "TabMesureCLstView")->columnWidth(0), 46);
        QCOMPARE(part<MeasurementTableView>(w, "TabMesureCLstView")->columnWidth(8), 101);
        QCOMPARE(part<MeasurementTableView>(w, "TabMesureCLstView")->columnWidth(21), 47);
        int marked = 0;
        for (int column = 0; column < 22; ++column)
            if (w.tableModel().headerData(column, Qt::Horizontal, Qt::DecorationRole).isValid())
                ++marked;
        QCOMPARE(marked, 10);
        QVERIFY(w.tableModel().headerData(5, Qt::Horizontal, Qt::DecorationRole).isValid());
        QVERIFY(!w.tableModel().headerData(4, Qt::Horizontal, Qt::DecorationRole).isValid());
    }

    void selectNoneLeavesOnlyTheNumberColumn() {
        TMainFrm& w = open(profileRecords(1, 3));
        answerColumnsDialog(*ui, [](TSelectColumnsFrm& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Select columns"));
            dialog.ButtonSelectNone->click();
            QCOMPARE(dialog.TabMesureCLstView->item(0, 5)->text(), QStringLiteral("No"));
            dialog.BitBtn1->click();
        });
        action(w, "Displayoptions1")->trigger();
        QCOMPARE(w.tableModel().columnCount(), 1);
        QCOMPARE(w.settings().columnVisible[0], 0);
        QCOMPARE(w.rowList().size(), 3);

        answerColumnsDialog(*ui, [](TSelectColumnsFrm& dialog) {
            dialog.ButtonSelectAll->click();
            dialog.BitBtn1->click();
        });
        action(w, "Displayoptions1")->trigger();
        QCOMPARE(w.tableModel().columnCount(), 22);
    }

    void headerClicksChooseColumnsAndCancelKeepsThem() {
        TMainFrm& w = *window;
        answerColumnsDialog(*ui, [](TSelectColumnsFrm& dialog) {
            dialog.TabMesureCLstViewColumnClick(2);
            dialog.TabMesureCLstViewColumnClick(4);
            dialog.BitBtn2->click();
        });
        action(w, "Displayoptions1")->trigger();
        QCOMPARE(w.tableModel().columnCount(), 22);

        answerColumnsDialog(*ui, [](TSelectColumnsFrm& dialog) {
            dialog.ButtonSelectNone->click();
            dialog.TabMesureCLstViewColumnClick(0); // "-" does nothing
            dialog.TabMesureCLstViewColumnClick(1);
            dialog.TabMesureCLstViewColumnClick(6);
            dialog.TabMesureCLstViewColumnClick(7);
            dialog.TabMesureCLstViewColumnClick(7);
            dialog.BitBtn1->click();
        });
        action(w, "Displayoptions1")->trigger();
        QCOMPARE(w.tableModel().columnCount(), 3);
        QCOMPARE(header(w, 1), QStringLiteral("Profile"));
        QCOMPARE(header(w, 2), QStringLiteral("Tilt.ver(%)"));
        QCOMPARE(w.tableModel().logicalColumn(2), int(ColTiltVertical));
        QCOMPARE(part<MeasurementTableView>(w, "TabMesureCLstView")->columnWidth(2), 90);
    }

    void columnDialogShowsTheChoice() {
        ColumnVisibility columns = defaultColumnVisibility();
        columns[3] = 0;
        TSelectColumnsFrm dialog(columns);
        QTableWidget* table = dialog.TabMesureCLstView;
        QCOMPARE(table->columnCount(), 22);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("-"));
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Visible"));
        // Captions wrap at their unit, so that all the columns fit a common screen.
        QCOMPARE(table->horizontalHeaderItem(4)->text(), QStringLiteral("Freq\n(Hz)"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Profile"));
        QCOMPARE(table->item(0, 4)->text(), QStringLiteral("No"));
        QCOMPARE(table->item(0, 5)->text(), QStringLiteral("Yes"));
        QCOMPARE(table->font().pointSize(), 8); // the main table's
        int width = 0;
        for (int column = 0; column < table->columnCount(); ++column) {
            for (const QString& line : table->horizontalHeaderItem(column)->text().split('\n'))
                QVERIFY(table->columnWidth(column) > table->fontMetrics().horizontalAdvance(line));
            width += table->columnWidth(column);
        }
        QVERIFY(width < 1280 - 40);
        dialog.TabMesureCLstViewColumnClick(4);
        QCOMPARE(table->item(0, 4)->text(), QStringLiteral("Yes"));
        QCOMPARE(dialog.chosen(), defaultColumnVisibility());
        QCOMPARE(dialog.height(), 168);
    }

    void columnCellsToggleByClickAndSpace() {
        answerColumnsDialog(*ui, [](TSelectColumnsFrm& dialog) {
            QTableWidget* table = dialog.TabMesureCLstView;
            const QRect frequency = table->visualRect(table->model()->index(0, 4));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, frequency.center());
            QCOMPARE(table->item(0, 4)->text(), QStringLiteral("No"));
            table->setCurrentCell(0, 2);
            QTest::keyClick(table, Qt::Key_Space);
            QCOMPARE(table->item(0, 2)->text(), QStringLiteral("No"));
            dialog.BitBtn1->click();
        });
        action(*window, "Displayoptions1")->trigger();
        QCOMPARE(window->tableModel().columnCount(), 20);
        QCOMPARE(header(*window, 2), QStringLiteral("Meas.Mode"));
    }

    void aCutCellShowsItsWholeText() {
        TMainFrm& w = open({record({.profile = 12, .station = 12345})});
        auto* table = part<MeasurementTableView>(w, "TabMesureCLstView");
        const QModelIndex station = w.tableModel().index(0, 2);
        QCOMPARE(table->cutText(station), QString());
        table->setColumnWidth(2, 12);
        QCOMPARE(table->cutText(station), QStringLiteral("12345"));
    }

    // A broken record's garbage: no number says "NaN", a number too wide
    // for its column shows "#" marks rather than a cut "-308...", whole in
    // its tooltip.
    void garbageValuesDoNotPassForNumbers() {
        MeasurementRecord broken = record({.resistivity = true, .hField = -3.08e38f});
        broken.resistivity = std::nanf("");
        TMainFrm& w = open({broken});
        auto* table = part<MeasurementTableView>(w, "TabMesureCLstView");
        const QModelIndex rho = w.tableModel().index(0, 8), h = w.tableModel().index(0, 11);
        QCOMPARE(table->shownText(rho), QStringLiteral("NaN"));
        QVERIFY(cell(w, 0, 11).startsWith(QStringLiteral("-307999")));
        QCOMPARE(table->cutText(h), cell(w, 0, 11));
        QVERIFY(!table->shownText(h).isEmpty());
        QCOMPARE(table->shownText(h), QString(table->shownText(h).size(), QLatin1Char('#')));
        QCOMPARE(table->shownText(w.tableModel().index(0, 1)), QStringLiteral("1"));
        table->setColumnWidth(3, 20); // a word cut stays a word
        QCOMPARE(table->shownText(w.tableModel().index(0, 3)), QStringLiteral("Resistivity"));
    }

    void columnChoiceDoesNotRevertHandToggles() {
        TMainFrm& w = open(profileRecords(1, 3));
        press(w, 2, 10);
        answerColumnsDialog(*ui, [](TSelectColumnsFrm& dialog) { dialog.BitBtn1->click(); });
        action(w, "Displayoptions1")->trigger();
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, true, false}));
    }
};

QTEST_MAIN(TableTest)
#include "table_qtest.moc"
