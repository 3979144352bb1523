// The inversion against grounds whose answer is known.
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "interpretation/body_shape.h"
#include "interpretation/depth_of_investigation.h"
#include "interpretation/inversion_misfit.h"
#include "interpretation/inversion_section.h"
#include "interpretation/layered_ground.h"
#include "interpretation/model_survey.h"
#include "interpretation/occam_inversion.h"
#include "interpretation/profile_inversion.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace veldro;

namespace {

// The profile as the data set would hold it after `generate --model`.
ProfileData surveyedProfile(const GroundModel& model, const ModelSurveyOptions& survey,
                            InversionData kinds) {
    MeasurementStore store{0};
    for (const MeasurementRecord& r : modelSurvey(model, computeResponse(model), survey))
        store.append(r);
    const RowList rows = buildRowList(store);
    return profileData(SurveyView(store, rows), survey.profile, {.data = kinds});
}

GroundModel groundOf(double resistivity, double from, double to, double step) {
    GroundModel model;
    model.layers = {{0, resistivity}};
    for (double x = from; x <= to; x += step) model.stations.push_back(x);
    model.frequencies = {19800, 23400};
    return model;
}

// The most conductive cell lies within 1.5 station spacings (20 m) of the
// conductor across, and in its depth range (below the surface) widened by
// half of it either way (tilt and ellipticity resolve depth poorly, so the
// smoothest section spreads it).
void expectConductorFound(const InversionResult& result, double x, double top, double bottom) {
    const auto lowest = static_cast<std::size_t>(
        std::min_element(result.log10Resistivity.begin(), result.log10Resistivity.end()) -
        result.log10Resistivity.begin());
    const InversionMesh& mesh = result.mesh;
    const std::size_t row = lowest / mesh.columns(), column = lowest % mesh.columns();
    EXPECT_NEAR((mesh.x[column] + mesh.x[column + 1]) / 2, x, 1.5 * 20);
    const double widening = (bottom - top) / 2;
    EXPECT_GE(mesh.z[row + 1], top - widening);
    EXPECT_LE(mesh.z[row], bottom + widening);
}

} // namespace

TEST(ProfileData, AveragesAStationMeasuredTwiceAndKeepsOneFrequencyWhenAsked) {
    MeasurementStore store{0};
    const auto add = [&](int station, int tilt, int number) {
        MeasurementRecord r;
        r.profile = 3, r.station = static_cast<std::int16_t>(station);
        r.frequency = static_cast<std::int16_t>(number == 1 ? 19800 : 23400);
        r.tiltVertical = static_cast<std::int16_t>(tilt), r.ellipticityVertical = 1;
        r.status = makeStatus(0, false, 0, false, 0, false, number, false);
        store.append(r);
    };
    add(10, 4, 1), add(20, 6, 1), add(10, 8, 1), add(10, -3, 2);
    const RowList rows = buildRowList(store);
    const ProfileData data = profileData(
        SurveyView(store, rows), 3,
        {.frequencyNumber = 1, .errorFloorPercent = {3, 3, 3, 3}, .errorModel = ErrorModel::Floor});
    EXPECT_EQ(data.stations, (std::vector<double>{10, 20}));
    EXPECT_EQ(data.frequencies, (std::vector<double>{19800}));
    ASSERT_EQ(data.data.size(), 4u); // tilt and ellipticity at two stations
    EXPECT_EQ(data.data[0].quantity, FittedQuantity::Tilt);
    EXPECT_DOUBLE_EQ(data.data[0].value, 6); // (4 + 8) / 2
    EXPECT_DOUBLE_EQ(data.data[0].error, 3);
}

TEST(InversionSection, JacobianAgreesWithFiniteDifferencesOfTheForwardModel) {
    ProfileData data;
    data.stations = {0, 25, 50, 75, 100};
    data.frequencies = {10000, 20000};
    for (std::size_t s = 0; s < 5; ++s)
        for (std::size_t f = 0; f < 2; ++f)
            for (FittedQuantity q : {FittedQuantity::Tilt, FittedQuantity::Ellipticity,
                                     FittedQuantity::LogRho, FittedQuantity::Phase})
                data.data.push_back({s, f, q, 0, 1});
    const InversionMesh mesh = inversionMesh(data.stations, data.frequencies, 300);
    const InversionSection section(data, mesh, 300);
    // A rough ground, so that every response differs from the layered one.
    Eigen::VectorXd model(static_cast<Eigen::Index>(mesh.cells()));
    for (Eigen::Index i = 0; i < model.size(); ++i)
        model[i] = 1.5 + 2 * std::sin(1.7 * static_cast<double>(i));
    Eigen::MatrixXd jacobian;
    section.predict(model, &jacobian);
    // Cells under the stations near the surface, and one deeper.
    const std::size_t columns = mesh.columns();
    const std::size_t middle = columns / 2;
    for (std::size_t cell : {middle, columns + middle - 1, 3 * columns + middle + 2}) {
        constexpr double h = 1e-4;
        Eigen::VectorXd up = model, down = model;
        up[static_cast<Eigen::Index>(cell)] += h, down[static_cast<Eigen::Index>(cell)] -= h;
        const Eigen::VectorXd difference = (section.predict(up) - section.predict(down)) / (2 * h);
        const Eigen::VectorXd adjoint = jacobian.col(static_cast<Eigen::Index>(cell));
        ASSERT_GT(difference.cwiseAbs().maxCoeff(), 1e-3) << "cell " << cell;
        for (Eigen::Index i = 0; i < difference.size(); ++i)
            EXPECT_NEAR(adjoint[i], difference[i],
                        0.01 * std::fabs(difference[i]) + 1e-6 * difference.cwiseAbs().maxCoeff())
                << "cell " << cell << " datum " << i;
    }
}

TEST(OccamInversion, AUniformGroundComesBackUniform) {
    const ProfileData data = surveyedProfile(groundOf(300, 0, 100, 25), {.resistivityMode = true},
                                             InversionData::Resistivity);
    const InversionResult result = invertProfile(data, {.startResistivity = 1000});
    EXPECT_LE(result.rms, 1.0);
    // Where the data see: under the stations, down to a skin depth.
    const InversionMesh& mesh = result.mesh;
    for (std::size_t r = 0; mesh.z[r] < skinDepth(300, 19800); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c)
            if (mesh.x[c] >= 0 && mesh.x[c + 1] <= 100) {
                EXPECT_NEAR(std::pow(10.0, result.log10Resistivity[r * mesh.columns() + c]), 300,
                            30)
                    << "cell " << r << ", " << c;
            }
}

// A conductor under a resistive ground, surveyed with 2 % noise: the most
// conductive cell lies within 1.5 station spacings of it across, and in its
// depth range widened by half of it either way down (tilt and ellipticity
// resolve depth poorly, so the smoothest section spreads it).
TEST(OccamInversion, FindsAConductorUnderAResistiveGround) {
    const struct {
        const char* name;
        Body body;
        double x, top, bottom;
    } conductors[] = {
        {"sheet", {sheetPolygon(100, 30, 60, 90, 2), 2.0 / 50}, 100, 30, 90},
        {"block", rectangleBody({80, 30, 120, 70}, 10), 100, 30, 70},
    };
    for (const auto& conductor : conductors) {
        SCOPED_TRACE(conductor.name);
        GroundModel model = groundOf(1000, 0, 200, 20);
        model.bodies.push_back(conductor.body);
        const ProfileData data =
            surveyedProfile(model, {.noisePercent = 2, .seed = 7}, InversionData::Tilt);
        std::vector<double> reported;
        const InversionResult result = invertProfile(data, {}, [&](const InversionStep& step) {
            reported.push_back(step.rms);
            return true;
        });
        EXPECT_LE(result.rms, 1.1);
        EXPECT_LE(result.iterations, 20);
        EXPECT_EQ(reported.size(), static_cast<std::size_t>(result.iterations));
        // The least RMS met, then the smoothest section near it.
        EXPECT_DOUBLE_EQ(*std::min_element(reported.begin(), reported.end()), result.smallestRms);
        EXPECT_LE(result.rms, std::max(1.0, 1.05 * result.smallestRms));
        expectConductorFound(result, conductor.x, conductor.top, conductor.bottom);
    }
}

// The same under a slope falling 60 m over the line (30 %), inverted under
// the stations' heights: the cells' rows count down from the surface, the
// conductor's depths too.
TEST(OccamInversion, FindsAConductorUnderASlopeWithTheTerrain) {
    GroundModel model = groundOf(1000, 0, 200, 20);
    model.frequencies = {19800};
    model.topography = {{0, 60}, {200, 0}};
    // The surface lies 30 m below the datum at x 100: the block is 30 to 70 m down there.
    model.bodies.push_back(rectangleBody({80, 60, 120, 100}, 10));
    ProfileData data = surveyedProfile(model, {.noisePercent = 2, .seed = 7}, InversionData::Tilt);
    data.topography = model.topography;
    // Three steps reach the target here; taken as flat the data are not fitted so.
    const InversionResult result = invertProfile(data, {.maxIterations = 3});
    EXPECT_LE(result.rms, 1.1);
    expectConductorFound(result, 100, 30, 70);
}

// Under the stations, the index is small where the data see the ground
// (the top skin depth) and near 1 deep below, where only the reference holds.
TEST(DepthOfInvestigation, NearZeroWhereTheDataSeeAndNearOneAtDepth) {
    const ProfileData data =
        surveyedProfile(groundOf(300, 0, 100, 25), {.noisePercent = 2, .resistivityMode = true},
                        InversionData::Resistivity);
    std::vector<int> runs;
    const DepthOfInvestigation doi =
        depthOfInvestigation(data, {.maxIterations = 6}, [&](const InversionStep& step) {
            runs.push_back(step.run);
            return true;
        });
    const InversionMesh mesh = inversionMesh(data.stations, data.frequencies, 1000);
    ASSERT_EQ(doi.index.size(), mesh.cells());
    EXPECT_EQ(runs.front(), 1);
    EXPECT_EQ(runs.back(), 2);
    const double seen = skinDepth(300, 23400) / 2;
    double shallowest = 0, deepest = 1;
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            if (mesh.x[c] < 0 || mesh.x[c + 1] > 100) continue;
            const double index = doi.index[r * mesh.columns() + c];
            if (mesh.z[r + 1] <= seen) shallowest = std::max(shallowest, index);
            if (r + 1 == mesh.rows()) deepest = std::min(deepest, index);
        }
    EXPECT_LT(shallowest, 0.2);
    EXPECT_GT(deepest, 0.8);
}

TEST(OccamInversion, CancelKeepsTheBestModelSoFar) {
    GroundModel model = groundOf(1000, 0, 100, 25);
    model.bodies.push_back({sheetPolygon(50, 10, 60, 90, 2), 2.0 / 50});
    const ProfileData data = surveyedProfile(model, {}, InversionData::Tilt);
    double first = 0;
    const InversionResult result = invertProfile(data, {}, [&](const InversionStep& step) {
        first = step.rms;
        return false;
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.iterations, 1);
    EXPECT_DOUBLE_EQ(result.rms, first);
}

// The starting model's misfit is said once, before the first iteration's
// sensitivities (on a long profile, many forward solves' time), and not at
// all when the start already meets the target.
TEST(OccamInversion, TheStartingMisfitIsSaidBeforeTheFirstIteration) {
    GroundModel model = groundOf(1000, 0, 100, 25);
    model.bodies.push_back({sheetPolygon(50, 10, 60, 90, 2), 2.0 / 50});
    const ProfileData data = surveyedProfile(model, {}, InversionData::Tilt);
    for (const double target : {1.0, 1000.0}) {
        SCOPED_TRACE(target);
        std::vector<double> told; // the start's RMS, then each iteration's
        const InversionResult result = invertProfile(
            data, {.targetRms = target, .maxIterations = 1},
            [&](const InversionStep& step) {
                EXPECT_EQ(told.size(), 1u);
                told.push_back(step.rms);
                return true;
            },
            [&](double rms) {
                EXPECT_TRUE(told.empty());
                told.push_back(rms);
            });
        if (target == 1000) {
            EXPECT_TRUE(told.empty());
            continue;
        }
        ASSERT_EQ(told.size(), 2u);
        const InversionSection start(data, result.mesh, 1000);
        EXPECT_DOUBLE_EQ(told[0],
                         misfitRms(data, start.predict(Eigen::VectorXd::Constant(
                                             static_cast<Eigen::Index>(result.mesh.cells()), 3))));
        EXPECT_GT(told[0], told[1]);
        EXPECT_DOUBLE_EQ(told[1], result.rms);
    }
}

TEST(OccamInversion, CancelLeavesTheProfilesNotBegunUninverted) {
    GroundModel model = groundOf(1000, 0, 100, 25);
    model.bodies.push_back({sheetPolygon(50, 10, 60, 90, 2), 2.0 / 50});
    const ProfileData data = surveyedProfile(model, {}, InversionData::Tilt);
    std::vector<std::size_t> told;
    const std::vector<ProfileInversion> results = invertEachProfile(
        {data, data, data}, {}, 1, false, [&](std::size_t profile, const InversionStep&) {
            told.push_back(profile);
            return false;
        });
    EXPECT_EQ(told, std::vector<std::size_t>{0});
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].result.iterations, 1);
    EXPECT_FALSE(results[0].result.log10Resistivity.empty());
    for (const ProfileInversion& notBegun : {results[1], results[2]}) {
        EXPECT_TRUE(notBegun.result.cancelled);
        EXPECT_TRUE(notBegun.result.log10Resistivity.empty());
    }
}

// A profile that cannot be inverted says why, and the others keep their
// sections (and fits) rather than being lost with it.
TEST(OccamInversion, EachProfileKeepsItsOwnResultWhenAnotherFails) {
    GroundModel model = groundOf(1000, 0, 100, 25);
    model.bodies.push_back({sheetPolygon(50, 10, 60, 90, 2), 2.0 / 50});
    const ProfileData data = surveyedProfile(model, {}, InversionData::Tilt);
    ProfileData lonely = data;
    lonely.stations.resize(1);
    std::erase_if(lonely.data, [](const Datum& datum) { return datum.station > 0; });
    const std::vector<ProfileInversion> inversions =
        invertEachProfile({lonely, data}, {.maxIterations = 1}, 2, true);
    ASSERT_EQ(inversions.size(), 2u);
    EXPECT_EQ(inversions[0].failure, "an inversion needs two stations or more");
    EXPECT_TRUE(inversions[0].result.log10Resistivity.empty());
    EXPECT_EQ(inversions[1].failure, "");
    EXPECT_EQ(inversions[1].result.iterations, 1);
    EXPECT_EQ(inversions[1].fit.sensitivity.size(), inversions[1].result.mesh.cells());
}

TEST(ProfileData, EachQuantityTakesItsOwnErrorFloor) {
    const ProfileDataOptions floors{.errorFloorPercent = {1, 3, 5, 7},
                                    .errorModel = ErrorModel::Floor};
    const struct {
        bool resistivityMode;
        FittedQuantity quantity;
        double error;
    } cases[] = {
        {false, FittedQuantity::Tilt, 1},
        {false, FittedQuantity::Ellipticity, 3},
        {true, FittedQuantity::LogRho, std::log10(1.05)},
        {true, FittedQuantity::Phase, 0.035 * 180 / std::numbers::pi}, // half of 7 % in radians
    };
    const GroundModel model = groundOf(300, 0, 50, 25);
    for (const auto& c : cases) {
        MeasurementStore store{0};
        for (const MeasurementRecord& r :
             modelSurvey(model, computeResponse(model), {.resistivityMode = c.resistivityMode}))
            store.append(r);
        const RowList rows = buildRowList(store);
        ProfileDataOptions options = floors;
        options.data = InversionData::Both;
        const ProfileData data = profileData(SurveyView(store, rows), 1, options);
        int seen = 0;
        for (const Datum& d : data.data)
            if (d.quantity == c.quantity) {
                EXPECT_DOUBLE_EQ(d.error, c.error) << static_cast<int>(c.quantity);
                ++seen;
            }
        EXPECT_EQ(seen, 6) << static_cast<int>(c.quantity); // 3 stations, 2 frequencies
    }
}
