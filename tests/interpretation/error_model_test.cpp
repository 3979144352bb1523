// How the errors of a profile's data are set, and how the fit treats data
// that err more than they say.
#include "block_survey.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "interpretation/body_shape.h"
#include "interpretation/inversion_fit.h"
#include "interpretation/model_survey.h"
#include "interpretation/occam_inversion.h"
#include "records.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace veldro;
using veldro::test::Reading;
using veldro::test::record;

namespace {

ProfileData dataOf(const std::vector<Reading>& readings, const ProfileDataOptions& options) {
    MeasurementStore store{0};
    for (const Reading& r : readings) store.append(record(r));
    const RowList rows = buildRowList(store);
    return profileData(SurveyView(store, rows), 1, options);
}

double floorOf(const ProfileData& data, FittedQuantity q) {
    return data.errorFloor[static_cast<std::size_t>(q)];
}
ErrorSource sourceOf(const ProfileData& data, FittedQuantity q) {
    return data.errorSource[static_cast<std::size_t>(q)];
}

} // namespace

// A station read more than once tells the scatter; without repeats the
// curve's roughness does, and a smooth curve is not taken for noise; with
// too few stations to tell, the floor given stands.
TEST(ErrorModel, TheFloorIsEstimatedFromRepeatsElseFromTheRoughnessOfTheCurve) {
    std::vector<Reading> repeats, noisy, smooth, short_;
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0, 3);
    for (int s = 0; s <= 400; s += 10) {
        // Each station twice, the readings 4 apart: a deviation of 4 / √2.
        if (s <= 100) repeats.push_back({.station = s, .tilt = 10, .ellipticity = s / 10});
        if (s <= 100) repeats.push_back({.station = s, .tilt = 14, .ellipticity = s / 10});
        noisy.push_back({.station = s, .tilt = static_cast<int>(std::lround(noise(random)))});
        smooth.push_back({.station = s, .tilt = s / 10 - 20, .ellipticity = 3});
    }
    short_ = {{.station = 0, .tilt = 3}, {.station = 10, .tilt = 9}};
    const struct {
        const char* name;
        const std::vector<Reading>& readings;
        double tilt, tolerance;
        ErrorSource source;
        double ellipticity;
    } cases[] = {
        {"repeats", repeats, 4 / std::sqrt(2.0), 1e-9, ErrorSource::Repeats, 0.5},
        {"noisy", noisy, 3, 0.6, ErrorSource::Roughness, 0.5},
        {"smooth", smooth, 0.5, 1e-9, ErrorSource::Roughness, 0.5},
        {"two stations", short_, 2, 1e-9, ErrorSource::Given, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProfileData data = dataOf(c.readings, {.errorFractionPercent = 10});
        EXPECT_NEAR(floorOf(data, FittedQuantity::Tilt), c.tilt, c.tolerance);
        EXPECT_EQ(sourceOf(data, FittedQuantity::Tilt), c.source);
        EXPECT_NEAR(floorOf(data, FittedQuantity::Ellipticity), c.ellipticity, 1e-9);
        EXPECT_EQ(sourceOf(data, FittedQuantity::LogRho), ErrorSource::None);
        // Each error is the floor and a tenth of the value.
        for (const Datum& d : data.data)
            EXPECT_DOUBLE_EQ(d.error, floorOf(data, d.quantity) + 0.1 * std::fabs(d.value));
    }
    const ProfileData floors = dataOf(noisy, {.errorModel = ErrorModel::Floor});
    EXPECT_EQ(floorOf(floors, FittedQuantity::Tilt), 2);
    EXPECT_EQ(errorText(floors), "tilt 2.00 points (given), ellipticity 2.00 points (given)");
    EXPECT_EQ(errorText(dataOf(repeats, {.errorFractionPercent = 5})),
              "tilt 2.83 points (estimated from repeated readings), ellipticity 0.50 points "
              "(estimated from repeated readings), plus 5.00 % of each value");
}

// Stations kept out of the fit keep their data, marked, and neither their
// misfit nor their scatter counts; one quantity kept out leaves the others in.
TEST(ErrorModel, ExcludedStationsStayOutOfTheEstimateAndTheMisfit) {
    std::vector<Reading> readings;
    for (int s = 0; s <= 200; s += 10) readings.push_back({.station = s, .tilt = s / 10});
    // Station 100 read four times, far apart: the only repeats.
    for (int tilt : {0, 40, -40}) readings.push_back({.station = 100, .tilt = tilt});
    const ProfileData all = dataOf(readings, {});
    const ProfileData without = dataOf(readings, {.excluded = {{.station = 100}}});
    ASSERT_EQ(without.data.size(), all.data.size());
    for (const Datum& d : without.data)
        EXPECT_EQ(d.excluded, without.stations[d.station] == 100) << d.station;
    EXPECT_EQ(sourceOf(all, FittedQuantity::Tilt), ErrorSource::Repeats);
    EXPECT_EQ(sourceOf(without, FittedQuantity::Tilt), ErrorSource::Roughness);
    EXPECT_DOUBLE_EQ(floorOf(without, FittedQuantity::Tilt), 0.5);

    const ProfileData tiltIn = dataOf(readings, {.excluded = {{100, FittedQuantity::Ellipticity}}});
    for (const Datum& d : tiltIn.data)
        EXPECT_EQ(d.excluded,
                  tiltIn.stations[d.station] == 100 && d.quantity == FittedQuantity::Ellipticity);
    EXPECT_EQ(sourceOf(tiltIn, FittedQuantity::Tilt), ErrorSource::Repeats);
}

// A conductor surveyed with 2 % noise and a few readings 30 points off: the
// robust misfit finds it as the plain one finds it in clean data, while
// the plain misfit bends its section towards the outliers.
TEST(ErrorModel, TheRobustMisfitIsNotPulledByOutliers) {
    MeasurementStore store{0};
    for (const MeasurementRecord& r : test::blockSurvey()) store.append(r);
    const RowList rows = buildRowList(store);
    ProfileData data = profileData(SurveyView(store, rows), 1, {.errorModel = ErrorModel::Floor});
    // 2 of the 44 readings (5 %), one up and one down.
    const std::size_t outliers[] = {5, 30};
    for (std::size_t i : outliers) data.data[i].value += i == 5 ? 30 : -30;
    const auto off = [&](const InversionResult& result, std::size_t i) {
        return std::fabs(inversionFit(data, result, 1000).computed[i] - data.data[i].value);
    };
    const InversionResult plain = invertProfile(data, {});
    const InversionResult robust = invertProfile(data, {.robust = true});
    for (std::size_t i : outliers) EXPECT_GT(off(robust, i), off(plain, i) + 2) << i;
    const auto lowest = static_cast<std::size_t>(
        std::min_element(robust.log10Resistivity.begin(), robust.log10Resistivity.end()) -
        robust.log10Resistivity.begin());
    const InversionMesh& mesh = robust.mesh;
    const std::size_t row = lowest / mesh.columns(), column = lowest % mesh.columns();
    EXPECT_NEAR((mesh.x[column] + mesh.x[column + 1]) / 2, 100, 1.5 * 20);
    EXPECT_GE(mesh.z[row + 1], 30 - 20);
    EXPECT_LE(mesh.z[row], 70 + 20);
}

// The steps between neighbouring cells of the top two rows under the
// stations: their standard deviation, in decades.
double topRowsStriping(const InversionResult& result, double from, double to) {
    const InversionMesh& mesh = result.mesh;
    double worst = 0;
    for (std::size_t row = 0; row < 2; ++row) {
        double sum = 0, squares = 0;
        int count = 0;
        for (std::size_t c = 0; c + 1 < mesh.columns(); ++c) {
            if (mesh.x[c] < from || mesh.x[c + 2] > to) continue;
            const std::size_t cell = row * mesh.columns() + c;
            const double step = result.log10Resistivity[cell + 1] - result.log10Resistivity[cell];
            sum += step, squares += step * step, ++count;
        }
        const double mean = sum / count;
        worst = std::max(worst, std::sqrt(squares / count - mean * mean));
    }
    return worst;
}

// A uniform ground surveyed with 3 % noise. With the errors estimated from
// the data the fit reaches an RMS of 1 and the top rows stay even; with
// errors too small for the noise the target cannot be reached, and the
// smoothest section near the least misfit keeps the noise out of the top
// rows all the same, rather than alternating from station to station.
TEST(ErrorModel, NoiseIsFittedToItsSizeWithoutStripingTheTopRows) {
    GroundModel model;
    model.layers = {{0, 300}};
    for (double x = 0; x <= 300; x += 20) model.stations.push_back(x);
    model.frequencies = {19800, 23400};
    const auto surveyed = [&](bool resistivityMode, const ProfileDataOptions& options) {
        MeasurementStore store{0};
        for (const MeasurementRecord& r :
             modelSurvey(model, computeResponse(model),
                         {.noisePercent = 3, .seed = 11, .resistivityMode = resistivityMode}))
            store.append(r);
        const RowList rows = buildRowList(store);
        return profileData(SurveyView(store, rows), 1, options);
    };
    const ProfileData estimated = surveyed(true, {.data = InversionData::Resistivity});
    EXPECT_EQ(sourceOf(estimated, FittedQuantity::LogRho), ErrorSource::Roughness);
    const InversionResult fitted = invertProfile(estimated, {});
    EXPECT_NEAR(fitted.rms, 1, 0.1);
    EXPECT_LT(topRowsStriping(fitted, 0, 300), 0.1);

    const ProfileData tooSmall = surveyed(false, {.errorModel = ErrorModel::Floor});
    const InversionResult smoothest = invertProfile(tooSmall, {});
    EXPECT_EQ(smoothest.stop, InversionStop::Stalled);
    EXPECT_GT(smoothest.rms, smoothest.smallestRms);
    EXPECT_LT(topRowsStriping(smoothest, 0, 300), 0.15);
}
