// The window from the keyboard: every menu and item has its mnemonic, F10
// opens the menu bar, Space toggles the current row, Home and End keep "#"
// and "Profile" in sight.
#include "table_test_support.h"

#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>

using namespace veldro;
using namespace veldro::test;

namespace {

// The mnemonics of a menu's entries, each checked to be there and its own,
// and those of the submenus below.
void checkMnemonics(const QList<QAction*>& actions, const QString& where) {
    QSet<QChar> keys;
    for (const QAction* item : actions) {
        if (item->isSeparator()) continue;
        const QString text = item->text();
        const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&(?!&)")));
        QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(where + ": " + text));
        const QChar key = text[at + 1].toLower();
        QVERIFY2(!keys.contains(key), qPrintable(where + ": " + text + " shares its key"));
        keys.insert(key);
        if (item->menu()) checkMnemonics(item->menu()->actions(), caption(item));
    }
}

} // namespace

class KeyboardTest : public TableTestBase {
    Q_OBJECT

private slots:
    void init() { make(); }
    void cleanup() { drop(); }

    void everyMenuAndItemHasItsOwnMnemonic() {
        checkMnemonics(window->menuBar()->actions(), QStringLiteral("menu bar"));
        checkMnemonics(part<QMenu>(*window, "PopupMenu1")->actions(), QStringLiteral("pop-up"));
        QCOMPARE(window->menuBar()->actions().constFirst()->text(), QStringLiteral("&File"));
        QCOMPARE(caption(action(*window, "Ouvrir1")), QStringLiteral("Open..."));
    }

    void altAndF10OpenTheMenus() {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* file = part<QMenu>(*window, "Fichier1");
        QTest::keyClick(window.get(), Qt::Key_F10);
        QTRY_VERIFY(file->isVisible());
        file->hide();
        QTRY_VERIFY(!file->isVisible());
        QTest::keyClick(window.get(), Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(part<QMenu>(*window, "Help1")->isVisible());
    }

    void spaceTogglesTheCurrentRow() {
        TMainFrm& w = open(profileRecords(1, 3));
        auto* table = part<MeasurementTableView>(w, "TabMesureCLstView");
        table->setCurrentIndex(w.tableModel().index(1, 2));
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, false, true}));
        QCOMPARE(recordFlags(*w.store()), keptFlags(w));
        QCOMPARE(statusText(w), QStringLiteral("Data :2 / 3"));
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(keptFlags(w), (std::vector<bool>{true, true, true}));
    }

    void ctrlEndGoesDownWithoutScrollingSideways() {
        TMainFrm& w = open(profileRecords(1, 60));
        auto* table = part<MeasurementTableView>(w, "TabMesureCLstView");
        QVERIFY(table->horizontalScrollBar()->maximum() > 0);
        table->setCurrentIndex(w.tableModel().index(0, 0));
        QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(table->currentIndex().row(), 59);
        QCOMPARE(table->horizontalScrollBar()->value(), 0);
        QVERIFY(table->verticalScrollBar()->value() > 0);
        QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(table->currentIndex().row(), 0);
        QCOMPARE(table->verticalScrollBar()->value(), 0);
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_qtest.moc"
