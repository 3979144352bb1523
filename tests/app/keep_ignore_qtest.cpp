// The keep and ignore commands on the table: the menu, the pop-up menu, the
// mouse gestures, overload and delete.
#include "table_test_support.h"

#include <QMenu>
#include <QScrollBar>

using namespace veldro;
using namespace veldro::test;

class KeepIgnoreTest : public TableTestBase {
    Q_OBJECT

private slots:
    void init() { make(); }
    void cleanup() { drop(); }

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
        QCOMPARE(caption(action(w, "Check1")), QStringLiteral("Keep"));
        QCOMPARE(caption(action(w, "Uncheck1")), QStringLiteral("Ignore"));
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
};

QTEST_MAIN(KeepIgnoreTest)
#include "keep_ignore_qtest.moc"
