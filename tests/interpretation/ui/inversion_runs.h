#pragma once

// What the tests of "2D inversion..." share: a survey to invert, the
// dialog's choices, and a run from the menu item to the result window.
#include "../../app/app_test_support.h"
#include "interpretation/model_survey.h"
#include "interpretation/ui/inversion_window.h"

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <functional>

namespace veldro::test {

inline const char* const kErrorBoxes[] = {"TiltError", "EllipticityError", "RhoError",
                                          "PhaseError"};

// Two profiles of five stations over a conductive sheet, as `generate --model` makes them.
inline std::vector<MeasurementRecord> sheetSurvey() {
    GroundModel model;
    model.layers = {{0, 1000}};
    model.stations = {0, 25, 50, 75, 100};
    model.frequencies = {19800, 23400};
    model.bodies.push_back({sheetPolygon(50, 10, 60, 90, 2), 2.0 / 50});
    const std::vector<StationResponse> response = computeResponse(model);
    return joined(modelSurvey(model, response, {.profile = 1}),
                  modelSurvey(model, response, {.profile = 2, .noisePercent = 2}));
}

inline void setChoices(QDialog& dialog, bool secondProfile, int frequencyNumber, double errorFloor,
                       double startResistivity, int iterations) {
    part<QListWidget>(dialog, "Profiles")
        ->item(1)
        ->setCheckState(secondProfile ? Qt::Checked : Qt::Unchecked);
    part<QComboBox>(dialog, "FrequencyNumbers")->setCurrentIndex(frequencyNumber);
    part<QComboBox>(dialog, "ErrorModel")->setCurrentIndex(1); // the floors
    for (const char* box : kErrorBoxes) part<QDoubleSpinBox>(dialog, box)->setValue(errorFloor);
    part<QDoubleSpinBox>(dialog, "StartResistivity")->setValue(startResistivity);
    part<QSpinBox>(dialog, "MaxIterations")->setValue(iterations);
}

// Triggers "2D inversion...", answers the dialog with `choose` and OK, and
// runs `act` on the result window.
inline void runInversion(Session& s, const std::function<void(QDialog&)>& choose,
                         const std::function<void(InversionWindow&)>& act) {
    bool shown = false;
    s.ui.dialogAnswers.push_back([choose](QDialog& dialog) {
        choose(dialog);
        part<QPushButton>(dialog, "OK")->click();
    });
    s.ui.dialogAnswers.push_back([&](QDialog& dialog) {
        auto* window = qobject_cast<InversionWindow*>(&dialog);
        QVERIFY(window);
        shown = true;
        act(*window);
    });
    action(s.window, "Inversion")->trigger();
    QVERIFY(shown);
}

inline void waitForTheEnd(InversionWindow& window) {
    QTRY_VERIFY_WITH_TIMEOUT(!window.running(), 30000);
}

} // namespace veldro::test
