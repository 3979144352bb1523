// "2D inversion...": the dialog's choices, the run in the background with a
// line per profile, Cancel, and what the result window saves and hands on.
#include "interpretation/inversion_output.h"
#include "interpretation/model_survey.h"
#include "interpretation/ui/inversion_dialog.h"
#include "interpretation/ui/inversion_picture.h"
#include "interpretation/ui/inversion_runner.h"
#include "interpretation/ui/inversion_window.h"
#include "interpretation/ui/model_charts.h"
#include "interpretation/ui/model_window.h"
#include "inversion_runs.h"
#include "widgets/help_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSemaphore>
#include <QSpinBox>
#include <atomic>

using namespace veldro;
using namespace veldro::test;

class InversionWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    void runInversion(const std::function<void(QDialog&)>& choose,
                      const std::function<void(InversionWindow&)>& act) {
        veldro::test::runInversion(*s, choose, act);
    }

private slots:
    void init() { s = std::make_unique<Session>(); }
    void cleanup() { s.reset(); }

    void theDialogsChoicesReachTheRunAndAreOfferedAgain() {
        QVERIFY(!action(s->window, "Inversion")->isEnabled()); // no data set
        openSurvey(*s, sheetSurvey());
        QVERIFY(action(s->window, "Inversion")->isEnabled());
        s->ui.dialogAnswers.push_back([](QDialog& dialog) {
            auto* profiles = part<QListWidget>(dialog, "Profiles");
            QCOMPARE(profiles->count(), 2);
            QCOMPARE(profiles->item(0)->checkState(), Qt::Checked);
            profiles->item(0)->setCheckState(Qt::Unchecked);
            profiles->item(1)->setCheckState(Qt::Unchecked);
            part<QPushButton>(dialog, "OK")->click(); // nothing ticked: told, and left open
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            profiles->item(0)->setCheckState(Qt::Checked);
            // Resistivity-mode readings the survey has none of.
            part<QComboBox>(dialog, "DataKinds")->setCurrentIndex(1);
            part<QPushButton>(dialog, "OK")->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            part<QPushButton>(dialog, "Cancel")->click();
        });
        action(s->window, "Inversion")->trigger();
        QCOMPARE(s->ui.texts(),
                 QStringList({"Tick the profiles to invert.",
                              "Profile 1 has no two stations with kept readings of the data "
                              "asked for: tick others, or ask for other data."}));

        runInversion([](QDialog& dialog) { setChoices(dialog, false, 2, 5, 500, 2); },
                     [](InversionWindow& window) {
                         waitForTheEnd(window);
                         QCOMPARE(window.inversions().size(), 1u);
                         const InversionResult& result = window.inversions().front().result;
                         QCOMPARE(result.model.frequencies, std::vector<double>{23400});
                         QCOMPARE(result.model.layers.front().resistivity, 500.0);
                         QVERIFY(result.iterations <= 2);
                         const auto* runner = window.findChild<InversionRunner*>();
                         QCOMPARE(runner->profiles().front().data.front().error, 5.0);
                     });
        s->ui.dialogAnswers.push_back([](QDialog& dialog) {
            QCOMPARE(part<QListWidget>(dialog, "Profiles")->item(1)->checkState(), Qt::Unchecked);
            QCOMPARE(part<QComboBox>(dialog, "FrequencyNumbers")->currentIndex(), 2);
            for (const char* box : kErrorBoxes)
                QCOMPARE(part<QDoubleSpinBox>(dialog, box)->value(), 5.0);
            QCOMPARE(part<QDoubleSpinBox>(dialog, "StartResistivity")->value(), 500.0);
            QCOMPARE(part<QSpinBox>(dialog, "MaxIterations")->value(), 2);
        });
        action(s->window, "Inversion")->trigger();
    }

    // What the command line's --horizontal-weight and --error set, the dialog
    // sets too; its buttons tick every profile or none.
    void theDialogTicksAllOrNoneAndSetsTheWeightAndEachQuantitysError() {
        openSurvey(*s, sheetSurvey());
        runInversion(
            [](QDialog& dialog) {
                auto* profiles = part<QListWidget>(dialog, "Profiles");
                const auto ticked = [profiles] {
                    int count = 0;
                    for (int row = 0; row < profiles->count(); ++row)
                        count += profiles->item(row)->checkState() == Qt::Checked ? 1 : 0;
                    return count;
                };
                part<QPushButton>(dialog, "TickNone")->click();
                QCOMPARE(ticked(), 0);
                part<QPushButton>(dialog, "TickAll")->click();
                QCOMPARE(ticked(), 2);
                profiles->item(1)->setCheckState(Qt::Unchecked);
                // Only the fitted quantities' errors can be set.
                auto* kinds = part<QComboBox>(dialog, "DataKinds");
                const auto enabled = [&] {
                    QList<bool> states;
                    for (const char* box : kErrorBoxes)
                        states << part<QDoubleSpinBox>(dialog, box)->isEnabled();
                    return states;
                };
                kinds->setCurrentIndex(1);
                QCOMPARE(enabled(), (QList<bool>{false, false, true, true}));
                kinds->setCurrentIndex(0);
                QCOMPARE(enabled(), (QList<bool>{true, true, false, false}));
                part<QComboBox>(dialog, "ErrorModel")->setCurrentIndex(1);
                part<QDoubleSpinBox>(dialog, "TiltError")->setValue(3);
                part<QDoubleSpinBox>(dialog, "EllipticityError")->setValue(4);
                part<QDoubleSpinBox>(dialog, "HorizontalWeight")->setValue(2.5);
                part<QCheckBox>(dialog, "Robust")->setChecked(true);
                part<QCheckBox>(dialog, "DepthOfInvestigation")->setChecked(true);
                part<QSpinBox>(dialog, "MaxIterations")->setValue(1);
            },
            [](InversionWindow& window) {
                const auto* runner = window.findChild<InversionRunner*>();
                QCOMPARE(runner->options().horizontalWeight, 2.5);
                QVERIFY(runner->options().robust);
                QVERIFY(runner->options().depthOfInvestigation);
                QCOMPARE(runner->profiles().size(), 1u);
                for (const Datum& datum : runner->profiles().front().data)
                    QCOMPARE(datum.error, datum.quantity == FittedQuantity::Tilt ? 3.0 : 4.0);
                waitForTheEnd(window);
                const InversionResult& result = window.inversions().front().result;
                QCOMPARE(result.depthOfInvestigation.size(), result.mesh.cells());
                // Beside the section: the errors it was fitted with, and why it stopped.
                const QString note = part<QLabel>(window, "FitNote")->text();
                QVERIFY2(note.startsWith(QStringLiteral("Errors: tilt 3.00 points (given), "
                                                        "ellipticity 4.00 points (given).\n"
                                                        "Stopped: ")),
                         qPrintable(note));
            });
    }

    // The dialog takes the files of what is known besides the data, as
    // invert's --start, --reference, --fix and --boreholes do; a file it
    // cannot read is told, and the dialog stays open.
    void theDialogReadsThePriorModelsAndBoreholes() {
        openSurvey(*s, sheetSurvey());
        const QString model = s->sandbox.file(QStringLiteral("fix.json"));
        writeText(model, R"({"layers": [{"resistivity": 300}],
            "bodies": [{"polygon": [[0, 0], [50, 0], [50, 20], [0, 20]], "resistivity": 40}],
            "stations": [0, 50], "frequencies": [19800]})");
        const QString holes = s->sandbox.file(QStringLiteral("holes.csv"));
        writeText(holes, "name,profile,station\nBH1,1,100\n0,10,-5\n");
        s->ui.openAnswers.push_back(model);
        runInversion(
            [&](QDialog& dialog) {
                part<QPushButton>(dialog, "FixModelBrowse")->click();
                QCOMPARE(part<QLineEdit>(dialog, "FixModel")->text(), model);
                part<QLineEdit>(dialog, "Boreholes")->setText(holes);
                part<QPushButton>(dialog, "OK")->click();
                QCOMPARE(dialog.result(), int(QDialog::Rejected));
                QCOMPARE(s->ui.texts().back(),
                         holes + QStringLiteral(": line 3: a resistivity must be a number "
                                                "above 0"));
                writeText(holes, "name,profile,station\nBH1,1,100\n0,10,5\n");
                part<QDoubleSpinBox>(dialog, "BoreholeWeight")->setValue(0);
                part<QSpinBox>(dialog, "MaxIterations")->setValue(1);
            },
            [](InversionWindow& window) {
                const PriorKnowledge& prior = window.findChild<InversionRunner*>()->options().prior;
                QVERIFY(prior.fixed.has_value());
                QCOMPARE(prior.fixed->bodies.front().resistivity, 40.0);
                QVERIFY(!prior.start.has_value());
                QCOMPARE(prior.boreholes.size(), 1u);
                QCOMPARE(prior.boreholeWeight, 0.0);
                waitForTheEnd(window);
            });
    }

    // Heights beside the data: the dialog says how many stations have one,
    // and the profile is inverted under them unless unticked.
    void theDialogInvertsUnderTheStationsHeights() {
        writeText(s->sandbox.file(QStringLiteral("survey.positions.csv")),
                  "profile,station,easting,northing,elevation\n1,0,,,100\n1,25,,,110\n"
                  "1,50,,,125\n1,75,,,110\n1,100,,,100\n");
        openSurvey(*s, sheetSurvey());
        runInversion(
            [](QDialog& dialog) {
                auto* heights = part<QCheckBox>(dialog, "Heights");
                QVERIFY(heights->isEnabled() && heights->isChecked());
                QVERIFY2(heights->text().contains(QStringLiteral("5 stations")),
                         qPrintable(heights->text()));
                part<QSpinBox>(dialog, "MaxIterations")->setValue(1);
            },
            [](InversionWindow& window) {
                const auto& profiles = window.findChild<InversionRunner*>()->profiles();
                QCOMPARE(profiles.front().topography.size(), 5u);
                waitForTheEnd(window);
            });
    }

    // F1 opens each window's own page of the guide, at its place; the
    // guide's contents and its walkthrough lead to the inversion's page.
    void f1OpensTheGuideAtTheDialogAndAtTheWindow() {
        openSurvey(*s, sheetSurvey());
        const auto pressF1 = [](QWidget& window) {
            window.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &window);
            QTest::keyClick(&window, Qt::Key_F1);
        };
        runInversion(
            [&](QDialog& dialog) {
                pressF1(dialog);
                part<QSpinBox>(dialog, "MaxIterations")->setValue(1);
            },
            [&](InversionWindow& window) {
                pressF1(window);
                waitForTheEnd(window);
            });
        QCOMPARE(s->ui.helpContexts,
                 (std::vector<int>{kInversionDialogHelp, kInversionWindowHelp}));
        const auto guidePage = [](const QString& page) {
            QFile file(QStringLiteral(":/docs/guide/") + page);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        for (const auto& [context, page, place] :
             {std::tuple{kModelWindowHelp, "model.html", "window"},
              {kInversionDialogHelp, "inversion.html", "dialog"},
              {kInversionWindowHelp, "inversion.html", "window"}}) {
            QCOMPARE(helpPage(context), QStringLiteral("%1#%2").arg(page, place));
            QVERIFY2(guidePage(page).contains(QStringLiteral("id=\"%1\"").arg(place)), page);
        }
        QCOMPARE(guidePage(QStringLiteral("index.html"))
                     .count(QStringLiteral("href=\"inversion.html\"")),
                 2);
    }

    void eachProfilesSectionIsSavedAndHandedToTheModelWindow() {
        // Profile 3, of one station, is passed over once the user agrees.
        openSurvey(*s, joined(sheetSurvey(), std::vector{record({.profile = 3, .station = 0})}));
        const QString model = s->sandbox.file("model.json");
        const QString text = s->sandbox.file("section.txt");
        const QString image = s->sandbox.file("section.png");
        const QString printed = s->sandbox.file("printed.pdf");
        s->ui.saveAnswers = {model, text, image};
        s->ui.printerAnswers = {printed};
        GroundModel handed;
        runInversion([](QDialog& dialog) { setChoices(dialog, true, 0, 2, 1000, 1); },
                     [&](InversionWindow& window) {
                         waitForTheEnd(window);
                         const std::vector<ProfileInversion>& inversions = window.inversions();
                         QCOMPARE(inversions.size(), 2u);
                         auto* profiles = part<QListWidget>(window, "Profiles");
                         for (int row = 0; row < 2; ++row) {
                             const InversionResult& result = inversions[std::size_t(row)].result;
                             QVERIFY(!result.cancelled);
                             QVERIFY(profiles->item(row)->text().startsWith(
                                 QStringLiteral("Profile %1: done, RMS %2, %3 iteration")
                                     .arg(row + 1)
                                     .arg(result.rms, 0, 'f', 2)
                                     .arg(result.iterations)));
                         }
                         part<QPushButton>(window, "SaveModel")->click();
                         QCOMPARE(fileBytes(model),
                                  QByteArray::fromStdString(inversionModelFile(
                                      inversions[0].result, inversions[0].fit.sensitivity)));
                         profiles->setCurrentRow(1);
                         part<QPushButton>(window, "SaveSectionText")->click();
                         QCOMPARE(fileBytes(text), QByteArray::fromStdString(sectionText(
                                                       inversions[1].result, inversions[1].fit)));
                         s->ui.dialogAnswers.push_back([&](QDialog& dialog) {
                             auto* modelWindow = qobject_cast<ModelWindow*>(&dialog);
                             QVERIFY(modelWindow);
                             handed = modelWindow->model();
                             // The grid, faded, in the colours of the picture here.
                             QCOMPARE(modelWindow->view().gridSection().scale().highest(),
                                      window.picture()->section().scale().highest());
                         });
                         part<QPushButton>(window, "OpenInModel")->click();
                         QVERIFY(handed.grid && !handed.grid->sensitivity.empty());
                         QVERIFY(handed == inversionModel(inversions[1].result,
                                                          inversions[1].fit.sensitivity));
                         // The picked profile's section and curves, saved and printed.
                         QVERIFY(window.picture());
                         part<QPushButton>(window, "SaveImage")->click();
                         QVERIFY(colouredPixels(QImage(image)) > 1000);
                         part<QPushButton>(window, "BitBtnPrint")->click();
                         QVERIFY(fileBytes(printed).startsWith("%PDF"));
                     });
        QCOMPARE(s->ui.texts(), QStringList({"Profile 3 has no two stations with kept readings of "
                                             "the data asked for. Invert the others?"}));
        QCOMPARE(s->ui.saveRequests.size(), 3u);
        QCOMPARE(s->ui.saveRequests[0].fileName, QStringLiteral("survey_inversion_profile1.json"));
        QCOMPARE(s->ui.saveRequests[1].fileName, QStringLiteral("survey_inversion_profile2.txt"));
        QCOMPARE(s->ui.saveRequests[2].fileName, QStringLiteral("survey_inversion_profile2.png"));
    }

    // The first profile's first iteration is held until the run is
    // cancelled, by the button or by closing the window, so that it is
    // cancelled then whatever the machine's speed.
    void cancelStopsEveryProfileKeepingItsBestModel_data() {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("Cancel") << false;
        QTest::newRow("closing the window") << true;
    }
    void cancelStopsEveryProfileKeepingItsBestModel() {
        QFETCH(bool, byClosing);
        openSurvey(*s, sheetSurvey());
        runInversion(
            [](QDialog& dialog) {
                setChoices(dialog, true, 0, 2, 1000, 1000);
                part<QSpinBox>(dialog, "Threads")->setValue(1);
            },
            [&](InversionWindow& window) {
                QSemaphore held, released;
                std::atomic<bool> first = true;
                connect(
                    window.findChild<InversionRunner*>(), &InversionRunner::stepped, this,
                    [&] {
                        if (!first.exchange(false)) return;
                        held.release();
                        released.tryAcquire(1, 30000);
                    },
                    Qt::DirectConnection);
                QVERIFY(held.tryAcquire(1, 30000));
                if (byClosing)
                    window.reject();
                else
                    part<QPushButton>(window, "CancelRun")->click();
                QVERIFY(window.isVisible()); // until the profiles have stopped
                released.release();
                waitForTheEnd(window);
                QCOMPARE(window.isVisible(), !byClosing);
                // The first profile keeps the model of its one iteration; the
                // second, not begun, has none.
                const std::vector<ProfileInversion>& inversions = window.inversions();
                QCOMPARE(inversions.size(), 2u);
                const InversionResult &begun = inversions[0].result,
                                      &notBegun = inversions[1].result;
                QVERIFY(begun.cancelled && notBegun.cancelled);
                QCOMPARE(begun.iterations, 1);
                QVERIFY(notBegun.log10Resistivity.empty());
                auto* profiles = part<QListWidget>(window, "Profiles");
                QCOMPARE(profiles->item(0)->text(),
                         QStringLiteral("Profile 1: cancelled, RMS %1, 1 iteration")
                             .arg(begun.rms, 0, 'f', 2));
                QCOMPARE(profiles->item(1)->text(),
                         QStringLiteral("Profile 2: cancelled before it began"));
                QVERIFY(part<QLabel>(window, "Note")
                            ->text()
                            .startsWith(QStringLiteral("Cancelled after ")));
                QVERIFY(window.picture());
                profiles->setCurrentRow(1);
                QVERIFY(!window.picture());
                QVERIFY(!part<QPushButton>(window, "SaveModel")->isEnabled());
            });
    }
};

QTEST_MAIN(InversionWindowTest)
#include "inversion_window_qtest.moc"
