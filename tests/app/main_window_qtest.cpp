// The window's life: quit and close with their questions, replacing unsaved
// data, the busy state, the title and the captions of its boxes.
#include "app/application.h"
#include "app_test_support.h"
#include "data/survey_generator.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QTimer>

using namespace veldro;
using namespace veldro::test;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void quitAfterOpenDoesNotAsk() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 2)));
        action(window, "Quitter1")->trigger();
        QVERIFY(ui.asked.empty());
        QVERIFY(!window.isVisible());
        QVERIFY(!window.store());
    }

    void quitWithUnsavedDataAsksNoThenYes() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        writeText(sandbox.file("old.bru"),
                  QByteArray::fromStdString(bruTextOf(profileRecords(1, 2))));
        ui.openAnswers.push_back(sandbox.file("old.bru"));
        action(window, "Importtextfile1")->trigger();

        action(window, "Quitter1")
            ->trigger(); // No (the default): the save dialog, and the window stays
        QCOMPARE(ui.asked.size(), 1u);
        QCOMPARE(ui.asked[0].message.text, std::string("Quit without saving ?"));
        QCOMPARE(ui.asked[0].message.caption, std::string("Data not stored"));
        QCOMPARE(ui.asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(ui.asked[0].defaultButton, QMessageBox::No);
        QCOMPARE(ui.saveRequests.size(), 1u);
        QVERIFY(window.isVisible());
        QVERIFY(sandbox.settings()->allKeys().isEmpty());

        ui.answers.push_back(QMessageBox::Yes);
        action(window, "Quitter1")->trigger();
        QCOMPARE(ui.asked.size(), 2u);
        QVERIFY(!window.isVisible());
        QCOMPARE(sandbox.settings()->value("LastFile").toString(), sandbox.file("old.bru"));
    }

    void quitNoThenSavedQuitsWithoutAsking() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 2)));
        selectRows(window, {1});
        action(window, "Ignoreselectedrows1")->trigger(); // a hand-made change is unsaved too
        ui.saveAnswers.push_back(sandbox.file("kept.vlf"));
        action(window, "Quitter1")->trigger();
        QVERIFY(window.isVisible());
        QCOMPARE(readBack(sandbox.file("kept.vlf"))[1].kept(), false);
        action(window, "Quitter1")->trigger();
        QCOMPARE(ui.asked.size(), 1u);
        QVERIFY(!window.isVisible());
    }

    void replacingUnsavedDataAsksFirst() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        const QString first = writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 3));
        openThroughDialog(window, ui, first);
        selectRows(window, {0});
        action(window, "Ignoreselectedrows1")->trigger();

        // No (the default): neither the open dialog nor the import's comes, the edit stays.
        action(window, "Ouvrir1")->trigger();
        action(window, "Importtextfile1")->trigger();
        QCOMPARE(ui.texts(), QStringList({"Discard unsaved data ?", "Discard unsaved data ?"}));
        QCOMPARE(ui.asked[0].message.caption, std::string("Data not stored"));
        QCOMPARE(ui.asked[0].defaultButton, QMessageBox::No);
        QCOMPARE(ui.openRequests.size(), 1u);
        QVERIFY(!window.rowList().kept(0));

        ui.answers.push_back(QMessageBox::Yes);
        openThroughDialog(window, ui, writeDataFile(sandbox.file("b.vlf"), profileRecords(2, 2)));
        QCOMPARE(window.store()->count(), 2);
        QVERIFY(window.dataSaved());

        // Saved data goes without a question.
        openThroughDialog(window, ui, first);
        QCOMPARE(ui.asked.size(), 3u);
    }

    void rebuildSaysWaitAndBlocksCommandsWhileItLetsEventsRun() {
        Session session;
        auto& [sandbox, ui, window] = session;
        const QString file = writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 500));
        QString shownMeanwhile;
        bool openEnabledMeanwhile = true, closedMeanwhile = true;
        QTimer::singleShot(0, &window, [&] {
            shownMeanwhile = part<QLabel>(window, "StatusPanel1")->text();
            openEnabledMeanwhile =
                action(window, "Ouvrir1")->isEnabled() || action(window, "Check1")->isEnabled();
            closedMeanwhile = window.close();
        });
        openThroughDialog(window, ui, file);
        QCOMPARE(shownMeanwhile,
                 QStringLiteral("Please wait, file openning can take a few minutes..."));
        QVERIFY(!openEnabledMeanwhile);
        QVERIFY(!closedMeanwhile);
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(), QDir::toNativeSeparators(file));
        QCOMPARE(window.rowList().size(), 500);
    }

    void closeDuringACommandAsksToCancelIt() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 2)));
        int cancels = 0;
        {
            DataSession::BusyScope busy(window.session(), [&] { ++cancels; });
            for (QAction* disabled :
                 {action(window, "Ouvrir1"), action(window, "EnregistrerSous"),
                  action(window, "Importtextfile1"), action(window, "Add1"),
                  action(window, "Keepselectedrows1"), action(window, "Check1"),
                  action(window, "Quitter1"), part<QMenu>(window, "Fichier1")->menuAction()})
                QVERIFY(!disabled->isEnabled());
            QVERIFY(!window.close()); // No, the default: the command runs on
            QCOMPARE(ui.texts(), QStringList{"Cancel the running command and quit ?"});
            QCOMPARE(ui.asked[0].message.caption, std::string("Quit"));
            QCOMPARE(ui.asked[0].defaultButton, QMessageBox::No);
            QCOMPARE(cancels, 0);
            ui.answers.push_back(QMessageBox::Yes);
            QVERIFY(!window.close()); // the command ends first
            QCOMPARE(cancels, 1);
        }
        QVERIFY(window.isVisible());
        QTRY_VERIFY(!window.isVisible()); // then the close goes on, with nothing unsaved
        QCOMPARE(ui.asked.size(), 2u);
    }

    void titleNamesTheFileAndMarksUnsavedData() {
        Session session;
        auto& [sandbox, ui, window] = session;
        QCOMPARE(window.windowTitle(), QStringLiteral("[*]Veldro"));
        const QString file = writeDataFile(sandbox.file("line1.vlf"), profileRecords(1, 2));
        openThroughDialog(window, ui, file);
        QCOMPARE(window.windowTitle(), QStringLiteral("[*]line1.vlf \u2014 Veldro"));
        QVERIFY(!window.isWindowModified());
        QCOMPARE(part<QLabel>(window, "NameLblx")->text(), QStringLiteral("Veldro"));
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->toolTip(), file);
        selectRows(window, {0});
        action(window, "Ignoreselectedrows1")->trigger();
        QVERIFY(window.isWindowModified());
    }

    // Qt adds the application's display name to every caption once it is set;
    // the program sets none, so a box carries exactly its caption.
    void boxesCarryExactlyTheirCaptions() {
        configureApplication();
        QCoreApplication::setApplicationName(QStringLiteral("probe"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
        QCoreApplication::setApplicationName(QStringLiteral("Veldro"));
        const auto box = messageBox({"Quit without saving ?", "Data not stored"},
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        QCOMPARE(box->windowTitle(), QStringLiteral("Data not stored"));
        QCOMPARE(box->text(), QStringLiteral("Quit without saving ?"));
        QCOMPARE(messageBox({"Directory Error", "", MessageIcon::Error}, QMessageBox::Ok,
                            QMessageBox::Ok)
                     ->windowTitle(),
                 QStringLiteral("Veldro"));
    }

    // Panel 0 keeps its design width and grows for a longer text.
    void statusPanelZeroShowsItsWholeText() {
        Session session;
        session.window.show();
        auto* panel = part<QLabel>(session.window, "StatusPanel0");
        QCOMPARE(panel->width(), 128);
        panel->setText(QStringLiteral("Processing in progress..."));
        QTRY_VERIFY2(panel->contentsRect().width() >=
                         panel->fontMetrics().horizontalAdvance(panel->text()),
                     qPrintable(QString::number(panel->width())));
    }

    // A short text does not squeeze the caption: "Port error" keeps "Veldro",
    // "Are you sure ?" its "Delete ignored data (unchecked)".
    void boxesAreWideEnoughForTheirCaptions() {
        for (const Message& message :
             {Message{"Port error", "", MessageIcon::Error},
              Message{"Are you sure ?", "Delete ignored data (unchecked)", MessageIcon::Warning},
              Message{"Quit without saving ?", "Data not stored", MessageIcon::Warning}}) {
            const auto box = messageBox(message, QMessageBox::Ok, QMessageBox::Ok);
            box->show();
            QFont bold = box->font();
            bold.setBold(true);
            QVERIFY2(box->width() > QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100,
                     qPrintable(box->windowTitle()));
        }
    }

    // The font dialog comes up on the upright style of a family that names it
    // "Book", not on "Oblique".
    void fontDialogStartsOnTheFontsOwnStyle() {
        const QFont upright = withStyleName(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        if (QFontInfo(upright).family() != QStringLiteral("DejaVu Sans Mono"))
            QSKIP("DejaVu Sans Mono is not installed");
        QCOMPARE(upright.styleName(), QStringLiteral("Book"));
        // The slanted faces come in a package of their own (fonts-dejavu-extra).
        if (!QFontDatabase::styles(QStringLiteral("DejaVu Sans Mono"))
                 .contains(QStringLiteral("Oblique")))
            return;
        QFont italic(QStringLiteral("DejaVu Sans Mono"), 10);
        italic.setItalic(true);
        QCOMPARE(withStyleName(italic).styleName(), QStringLiteral("Oblique"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
