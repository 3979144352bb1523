// The measurement table and the keep/ignore commands: cells, images, colours,
// header, the mouse gestures, overload and delete, and the column choice.
#include "app/icons.h"
#include "app/measurement_table_model.h"
#include "app/select_columns_dialog.h"
#include "app_test_support.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

using namespace veldro;
using namespace veldro::test;

namespace {

QString cell(TMainFrm& window, int row, int column) {
    return window.tableModel().index(row, column).data().toString();
}

QString header(TMainFrm& window, int column) {
    return window.tableModel().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

qint64 imageKey(TMainFrm& window, int row) {
    return window.tableModel().index(row, 0).data(Qt::DecorationRole).value<QPixmap>().cacheKey();
}

// A point on the image strip (or `x` pixels into the viewport) of a row.
QPoint rowPoint(TMainFrm& window, int row, int x) {
    const QRect rect = part<MeasurementTableView>(window, "TabMesureCLstView")
                           ->visualRect(window.tableModel().index(row, 0));
    return {x, rect.center().y()};
}

void press(TMainFrm& window, int row, int x) {
    QTest::mouseClick(part<MeasurementTableView>(window, "TabMesureCLstView")->viewport(),
                      Qt::LeftButton, {}, rowPoint(window, row, x));
}

MeasurementRecord withStatus(MeasurementRecord r, std::uint16_t status) {
    r.status = status;
    return r;
}

// Answers the next column dialog.
void answerColumnsDialog(ScriptedUiServices& ui, std::function<void(TSelectColumnsFrm&)> act) {
    ui.dialogAnswers.push_back([act = std::move(act)](QDialog& dialog) {
        auto* columns = qobject_cast<TSelectColumnsFrm*>(&dialog);
        QVERIFY(columns);
        act(*columns);
    });
}

} // namespace

class TableTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<ScriptedUiServices> ui;
    std::unique_ptr<TMainFrm> window;

    // A shown window on `records`; the model is checked by the tester throughout.
    TMainFrm& open(const std::vector<MeasurementRecord>& records) {
        window->show();
        openThroughDialog(*window, *ui, writeDataFile(sandbox->file("t.vlf"), records));
        return *window;
    }

private slots:
    void init() {
        sandbox = std::make_unique<Sandbox>();
        ui = std::make_unique<ScriptedUiServices>();
        window = std::make_unique<TMainFrm>(*ui);
        new QAbstractItemModelTester(&window->tableModel(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     window.get());
        QApplication::setDoubleClickInterval(400);
    }
    void cleanup() {
        window.reset();
        ui.reset();
        sandbox.reset();
    }

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

    void keepAndIgnoreSetRowsAndRecords() {
        TMainFrm& w =
            open({record({.profile = 1, .station = 0}),
                  record({.profile = 1, .station = 25, .kept = false}),
                  record({.profile = 1, .station = 50}), record({.profile = 1, .station = 75})});
        selectRows(w, {0, 2});
        action(w, "Ignoreselectedrows1")->trigger();
        QCOMPARE(keptFlags(w), (std::vector<bool>{false, false, false, true}));
        QCOMPARE(recordFlags(*w.store()), keptFlags(w));
        QCOMPARE(statusText(w), QStringLiteral("Data :1 / 4"));
        QVERIFY(!w.dataSaved());

        selectRows(w, {1, 2});
        action(w, "Keepselectedrows1")->trigger();
        QCOMPARE(keptFlags(w), (std::vector<bool>{false, true, true, true}));
        QCOMPARE(recordFlags(*w.store()), keptFlags(w));
        QCOMPARE(statusText(w), QStringLiteral("Data :3 / 4"));
    }

    void keepOnKeptRowsChangesNothing() {
        TMainFrm& w = open({record({.profile = 1, .station = 0}),
                            record({.profile = 1, .station = 25, .kept = false})});
        selectRows(w, {0});
        action(w, "Keepselectedrows1")->trigger();
        QCOMPARE(statusText(w), QStringLiteral("Data :1 / 2"));
        QVERIFY(w.dataSaved());
        selectRows(w, {});
        action(w, "Ignoreselectedrows1")->trigger();
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, false}));
        QVERIFY(w.dataSaved());
    }

    void popupMenuOnRightPress() {
        QTest::mousePress(part<MeasurementTableView>(*window, "TabMesureCLstView")->viewport(),
                          Qt::RightButton, {}, QPoint(30, 5));
        QVERIFY(!part<QMenu>(*window, "PopupMenu1")->isVisible()); // no data, no menu
        TMainFrm& w = open(profileRecords(1, 3));
        QTest::mousePress(part<MeasurementTableView>(w, "TabMesureCLstView")->viewport(),
                          Qt::RightButton, {}, rowPoint(w, 1, 40));
        QVERIFY(part<QMenu>(w, "PopupMenu1")->isVisible());
        QCOMPARE(action(w, "Check1")->text(), QStringLiteral("Keep"));
        QCOMPARE(action(w, "Uncheck1")->text(), QStringLiteral("Ignore"));
        action(w, "Uncheck1")->trigger(); // the right press selected the row under it
        part<QMenu>(w, "PopupMenu1")->hide();
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, false, true}));
    }

    void doubleClickTogglesTheSelectedRows() {
        TMainFrm& w = open({record({.profile = 1, .station = 0}),
                            record({.profile = 1, .station = 25, .kept = false}),
                            record({.profile = 1, .station = 50})});
        QTest::mouseClick(part<MeasurementTableView>(w, "TabMesureCLstView")->viewport(),
                          Qt::LeftButton, {}, rowPoint(w, 1, 40));
        QTest::mouseDClick(part<MeasurementTableView>(w, "TabMesureCLstView")->viewport(),
                           Qt::LeftButton, {}, rowPoint(w, 1, 40));
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, true, true}));
        QCOMPARE(recordFlags(*w.store()), keptFlags(w));
        QCOMPARE(statusText(w), QStringLiteral("Data :3 / 3"));
        QVERIFY(!w.dataSaved());
    }

    void doubleClickOnTheImageStripIsNoDoubleClickToggle() {
        TMainFrm& w = open(profileRecords(1, 3));
        selectRows(w, {0, 1});
        QTest::mouseDClick(part<MeasurementTableView>(w, "TabMesureCLstView")->viewport(),
                           Qt::LeftButton, {}, rowPoint(w, 2, 10));
        // Only the strip's own toggle acted, on the row under the pointer.
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, true, false}));
    }

    void imageStripClickTogglesRowAndRecord() {
        TMainFrm& w = open(profileRecords(1, 3));
        press(w, 1, 10);
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, false, true}));
        QCOMPARE(recordFlags(*w.store()), keptFlags(w));
        QCOMPARE(statusText(w), QStringLiteral("Data :2 / 3"));
        QVERIFY(!w.dataSaved());
        // Saved as shown, and a later rebuild keeps it.
        ui->saveAnswers.push_back(sandbox->file("s.vlf"));
        action(w, "EnregistrerSous")->trigger();
        w.session().rebuildRows(true);
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, false, true}));
    }

    void secondStripClickWithinDoubleClickTimeIsSwallowed() {
        TMainFrm& w = open(profileRecords(1, 3));
        QApplication::setDoubleClickInterval(60000);
        press(w, 0, 10);
        press(w, 0, 10);
        QCOMPARE(keptFlags(w), (std::vector<bool>{false, true, true}));
        press(w, 2, 10); // another row is not a double-click
        QCOMPARE(keptFlags(w), (std::vector<bool>{false, true, false}));
        press(w, 0, 10);
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, true, false}));
        QApplication::setDoubleClickInterval(0);
        press(w, 0, 10);
        QCOMPARE(keptFlags(w), (std::vector<bool>{false, true, false}));
    }

    void stripFollowsTheHorizontalScroll() {
        TMainFrm& w = open(profileRecords(1, 2));
        QApplication::setDoubleClickInterval(0);
        QScrollBar* bar = part<MeasurementTableView>(w, "TabMesureCLstView")->horizontalScrollBar();
        QVERIFY(bar->maximum() >= 30);
        bar->setValue(10);
        press(w, 0, 5); // content x 15: on the strip
        QCOMPARE(keptFlags(w)[0], false);
        press(w, 0, 10); // content x 20: past it
        QCOMPARE(keptFlags(w)[0], false);
        bar->setValue(30);
        press(w, 0, 2); // content x 32
        QCOMPARE(keptFlags(w)[0], false);
        bar->setValue(0);
        press(w, 0, 18);
        QCOMPARE(keptFlags(w)[0], true);
    }

    void ignoreOverloadDataIgnoresOverloadedKeptRows() {
        TMainFrm& w = open({withStatus(record({.profile = 1, .station = 0}),
                                       makeStatus(0, false, 0, true, 0, false, 1, false)),
                            record({.profile = 1, .station = 25}),
                            withStatus(record({.profile = 1, .station = 50, .kept = false}),
                                       makeStatus(0, true, 0, false, 0, false, 1, false)),
                            record({.profile = 1, .station = 75})});
        QApplication::setDoubleClickInterval(0);
        press(w, 3, 10); // row only: the command brings the records into line first
        action(w, "Ignoreoverloaddata1")->trigger();
        QVERIFY(ui->asked.empty());
        QCOMPARE(keptFlags(w), (std::vector<bool>{false, true, false, false}));
        QCOMPARE(recordFlags(*w.store()), keptFlags(w));
        QCOMPARE(statusText(w), QStringLiteral("Data :1 / 4"));
        QVERIFY(!w.dataSaved());
    }

    void deleteIgnoredAsksAndNoKeepsEverything() {
        TMainFrm& w = open({record({.profile = 1, .station = 0}),
                            record({.profile = 1, .station = 25, .kept = false}),
                            record({.profile = 1, .station = 50})});
        action(w, "DeleteUnselectedData")->trigger();
        QCOMPARE(ui->asked.size(), 1u);
        QCOMPARE(ui->asked[0].message.text, std::string("Are you sure ?"));
        QCOMPARE(ui->asked[0].message.caption, std::string("Delete ignored data (unchecked)"));
        QCOMPARE(ui->asked[0].message.icon, MessageIcon::Warning);
        QCOMPARE(ui->asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(ui->asked[0].defaultButton, QMessageBox::No);
        QCOMPARE(w.rowList().size(), 3);
        QVERIFY(w.dataSaved());
    }

    void deleteIgnoredRenumbersTheKeptRows() {
        TMainFrm& w = open({record({.profile = 1, .station = 0}),
                            record({.profile = 1, .station = 25, .kept = false}),
                            record({.profile = 1, .station = 50})});
        ui->answers.push_back(QMessageBox::Yes);
        action(w, "DeleteUnselectedData")->trigger();
        QCOMPARE(w.rowList().size(), 2);
        QCOMPARE(cell(w, 1, 0), QStringLiteral("2"));
        QCOMPARE(cell(w, 1, 2), QStringLiteral("50"));
        QCOMPARE(statusText(w), QStringLiteral("Data :2 / 2"));
        QVERIFY(!w.dataSaved());
    }

    void deleteIgnoredOfEveryRowEmptiesTheTable() {
        TMainFrm& w = open(profileRecords(1, 3));
        selectRows(w, {0, 1, 2});
        action(w, "Ignoreselectedrows1")->trigger();
        ui->answers.push_back(QMessageBox::Yes);
        action(w, "DeleteUnselectedData")->trigger();
        QCOMPARE(w.store()->count(), 0);
        QCOMPARE(w.tableModel().rowCount(), 0);
        QCOMPARE(statusText(w), QStringLiteral("Data :0 / 0"));
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
