// The position dialog in its XYZ and WADI forms: layout, keyboard, and OK
// with good and bad entries.
#include "../../app/app_test_support.h"
#include "export/ui/position_dialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace veldro;
using namespace veldro::test;

class PositionDialogTest : public QObject {
    Q_OBJECT
private slots:
    void formsAsTheyOpen() {
        ScriptedUiServices ui;
        TPositionFrm xyz(false, ui);
        TPositionFrm wadi(true, ui);
        for (TPositionFrm* dialog : {&xyz, &wadi}) {
            dialog->show();
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Veldro"));
            QCOMPARE(dialog->GroupBox1->title(),
                     QStringLiteral("Position of the selected profile"));
            QCOMPARE(dialog->Edit1->text(), QStringLiteral("0"));
            QCOMPARE(dialog->focusWidget(), dialog->Edit1);
            QCOMPARE(dialog->width(), 209);
        }
        QCOMPARE(xyz.height(), 152);
        QCOMPARE(xyz.Edit1->maxLength(), 9);
        QVERIFY(xyz.Panel1->isHidden());
        QCOMPARE(wadi.height(), 278);
        QCOMPARE(wadi.Edit1->maxLength(), 4);
        QVERIFY(wadi.Panel1->isVisible());
        for (QRadioButton* b : wadi.Panel1->findChildren<QRadioButton*>()) QVERIFY(!b->isChecked());
    }

    // Tab reaches "N" only; the arrow keys go round the compass.
    void keyboardInTheWadiForm() {
        ScriptedUiServices ui;
        TPositionFrm dialog(true, ui);
        dialog.show();
        QWidget* chain = dialog.Edit1;
        QWidgetList order;
        for (int i = 0; i < 4; ++i) order << (chain = chain->nextInFocusChain());
        QVERIFY(order.contains(dialog.RadioButtonN));
        for (QRadioButton* b : {dialog.RadioButtonE, dialog.RadioButtonS, dialog.RadioButtonW})
            QVERIFY(!(b->focusPolicy() & Qt::TabFocus));

        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.RadioButtonN->setFocus();
        dialog.RadioButtonN->setChecked(true);
        QTest::keyClick(dialog.RadioButtonN, Qt::Key_Right);
        QVERIFY(dialog.RadioButtonE->isChecked());
        QTest::keyClick(dialog.RadioButtonE, Qt::Key_Down);
        QVERIFY(dialog.RadioButtonS->isChecked());
        QTest::keyClick(dialog.RadioButtonS, Qt::Key_Left);
        QVERIFY(dialog.RadioButtonW->isChecked());
    }

    void okBuildsThePositionOrSaysWhyNot_data() {
        QTest::addColumn<bool>("wadi");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("result");  // empty: the dialog stays open
        QTest::addColumn<QString>("message"); // said when it stays open
        QTest::newRow("metres") << false << "100"
                                << ""
                                << "    100.0"
                                << "";
        QTest::newRow("limited") << false << "2500000"
                                 << ""
                                 << " 999999.9"
                                 << "";
        QTest::newRow("letters") << false << "abc"
                                 << ""
                                 << ""
                                 << "Please enter a valid numeric value";
        QTest::newRow("east") << true << "25"
                              << "E"
                              << "0025E"
                              << "";
        QTest::newRow("no direction") << true << "25"
                                      << ""
                                      << ""
                                      << "Please select a cardinal direction";
        QTest::newRow("negative") << true << "-5"
                                  << "N"
                                  << ""
                                  << "Please enter a positive integer value";
        QTest::newRow("not whole") << true << "2.5"
                                   << "N"
                                   << ""
                                   << "Please enter a valid integer value";
    }
    void okBuildsThePositionOrSaysWhyNot() {
        QFETCH(bool, wadi);
        QFETCH(QString, entry);
        QFETCH(QString, direction);
        QFETCH(QString, result);
        QFETCH(QString, message);
        ScriptedUiServices ui;
        TPositionFrm dialog(wadi, ui);
        dialog.show();
        dialog.Edit1->setText(entry);
        for (QRadioButton* b : dialog.Panel1->findChildren<QRadioButton*>())
            b->setChecked(b->text() == direction);
        dialog.BitBtn1->click();
        QCOMPARE(QString::fromStdString(dialog.resultText()), result);
        QCOMPARE(dialog.isVisible(), result.isEmpty());
        QCOMPARE(dialog.result(), result.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        QCOMPARE(ui.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(dialog.Edit1->text(), entry);
    }
};

QTEST_MAIN(PositionDialogTest)
#include "position_dialog_qtest.moc"
