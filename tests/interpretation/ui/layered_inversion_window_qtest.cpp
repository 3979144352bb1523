// "1D inversion": each profile's Rho and phase as layered grounds side by side.
#include "interpretation/ui/layered_inversion_window.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "inversion_runs.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

using namespace veldro;
using namespace veldro::test;

namespace {

// Two profiles of five stations over 100 ohm.m, 15 m thick, on 2000 ohm.m,
// read in resistivity mode.
std::vector<MeasurementRecord> twoLayerSurvey() {
    GroundModel model;
    model.layers = {{15, 100}, {0, 2000}};
    model.stations = {0, 25, 50, 75, 100};
    model.frequencies = {19800, 23400};
    const std::vector<StationResponse> response = computeResponse(model);
    return joined(modelSurvey(model, response, {.profile = 1, .resistivityMode = true}),
                  modelSurvey(model, response, {.profile = 2, .resistivityMode = true}));
}

} // namespace

class LayeredInversionWindowTest : public QObject {
    Q_OBJECT

private slots:
    void tiltDataAloneAreToldAndShowNoWindow() {
        Session s;
        openSurvey(s, sheetSurvey());
        action(s.window, "Inversion1D")->trigger();
        QCOMPARE(s.ui.texts(),
                 QStringList({"No profile has kept readings of Rho and phase (resistivity "
                              "mode): there is nothing to invert in 1D."}));
    }

    void eachProfilesGroundsAsTwoLayersOrSmooth() {
        Session s;
        QVERIFY(!action(s.window, "Inversion1D")->isEnabled()); // no data set
        openSurvey(s, twoLayerSurvey());
        bool shown = false;
        s.ui.dialogAnswers.push_back([&](QDialog& dialog) {
            auto* window = qobject_cast<LayeredInversionWindow*>(&dialog);
            QVERIFY(window);
            shown = true;
            auto* profiles = part<QListWidget>(dialog, "Profiles");
            QCOMPARE(profiles->count(), 2);
            QCOMPARE(window->models().size(), 5u);
            for (const LayeredModel& m : window->models()) {
                QCOMPARE(m.layers.size(), 2u);
                QVERIFY(m.rms < 1);
            }
            QVERIFY(window->chart().title().startsWith(
                QStringLiteral("1D inversion, profile 1 (two layers, RMS at most ")));
            QVERIFY(part<QLabel>(dialog, "Note")
                        ->text()
                        .startsWith(QStringLiteral("5 stations, RMS ")));
            profiles->setCurrentRow(1);
            QVERIFY(window->chart().title().startsWith(
                QStringLiteral("1D inversion, profile 2 (two layers")));
            QVERIFY(!part<QSpinBox>(dialog, "Layers")->isEnabled());
            part<QCheckBox>(dialog, "Smooth")->setChecked(true);
            part<QSpinBox>(dialog, "Layers")->setValue(8);
            QCOMPARE(window->models().front().layers.size(), 8u);
            QVERIFY(window->chart().title().startsWith(
                QStringLiteral("1D inversion, profile 2 (8 layers, smooth")));
            dialog.reject();
        });
        action(s.window, "Inversion1D")->trigger();
        QVERIFY(shown);
        QVERIFY(s.ui.texts().isEmpty());
    }
};

QTEST_MAIN(LayeredInversionWindowTest)
#include "layered_inversion_window_qtest.moc"
