// Why an inversion stops, and what it says about it.
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "interpretation/inversion_output.h"
#include "interpretation/model_survey.h"
#include "interpretation/occam_inversion.h"

#include <gtest/gtest.h>

using namespace veldro;

TEST(InversionStop, EachReasonIsSaidAndAMissedTargetNamesTheWorstStations) {
    ProfileData data;
    data.stations = {0, 20, 40, 60, 80, 100, 120};
    InversionResult result;
    result.rms = 1.5, result.smallestRms = 1.45;
    result.stationRms = {1, 2.5, 1, 4.25, 1, 2.1, 3};
    const struct {
        InversionStop stop;
        double rms;
        std::string text;
    } cases[] = {
        {InversionStop::Target, 0.98, "target RMS reached, then the smoothest section at it"},
        {InversionStop::Stalled, 1.5,
         "target RMS 1.00 not reached: the misfit stopped falling at 1.45; the smoothest "
         "section within 5 % of it. The fit misses stations 60 (RMS 4.25), 120 (3.00), 20 "
         "(2.50), 100 (2.10)"},
        {InversionStop::Iterations, 1.5,
         "stopped at the iteration limit. The fit misses stations 60 (RMS 4.25), 120 (3.00), 20 "
         "(2.50), 100 (2.10)"},
        {InversionStop::Cancelled, 0.5, "cancelled"},
    };
    for (const auto& c : cases) {
        result.stop = c.stop, result.rms = c.rms;
        EXPECT_EQ(stopText(data, result, 1), c.text);
    }
    result.stop = InversionStop::Stalled, result.rms = 1.5;
    result.stationRms.assign(7, 1.5);
    EXPECT_EQ(stopText(data, result, 1),
              "target RMS 1.00 not reached: the misfit stopped falling at 1.45; the smoothest "
              "section within 5 % of it. No station stands out: the errors may be too small");
}

// Readings no section explains: the target cannot be reached, the
// inversion says so, names the station, and keeps the smoothest section
// within the tolerance of the least misfit it met.
TEST(InversionStop, AnUnreachableTargetStopsNearTheLeastMisfitAndNamesTheStation) {
    GroundModel model;
    model.layers = {{0, 1000}};
    for (double x = 0; x <= 200; x += 20) model.stations.push_back(x);
    model.frequencies = {19800, 23400};
    MeasurementStore store{0};
    // Of two frequencies close together, a tilt far up on one and far down
    // on the other: no ground does that.
    for (MeasurementRecord r : modelSurvey(model, computeResponse(model), {})) {
        if (r.station == 100) r.tiltVertical = r.frequency == 19800 ? 30 : -30;
        store.append(r);
    }
    const RowList rows = buildRowList(store);
    const ProfileData data =
        profileData(SurveyView(store, rows), 1, {.errorModel = ErrorModel::Floor});
    const InversionResult result = invertProfile(data, {});
    EXPECT_EQ(result.stop, InversionStop::Stalled);
    EXPECT_GT(result.smallestRms, 1);
    EXPECT_LE(result.rms, result.smallestRms * (1 + kSmoothingTolerance));
    EXPECT_NE(stopText(data, result, 1).find("The fit misses station 100 (RMS "), std::string::npos)
        << stopText(data, result, 1);
}
