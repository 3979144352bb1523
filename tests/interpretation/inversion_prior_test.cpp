// What the inversion is told of the ground besides the data: boreholes,
// models to start from, to measure roughness from, and to hold fixed.
#include "block_survey.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "interpretation/body_shape.h"
#include "interpretation/inversion_prior.h"
#include "interpretation/model_survey.h"
#include "interpretation/occam_inversion.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace veldro;

TEST(Boreholes, AFileOfHolesAndTheirIntervalsIsReadAndAWrongLineNamed) {
    const std::vector<Borehole> holes = parseBoreholes("name,profile,station\n"
                                                       "BH1,2,100\n"
                                                       "from,to,resistivity,label\n"
                                                       "0,12.5,300,overburden\n"
                                                       "12.5,30,15\n"
                                                       "\n"
                                                       "BH 2 , -1 , 40\r\n"
                                                       "0,8,,clay\r\n");
    const std::vector<Borehole> expected{
        {"BH1", 2, 100, {{0, 12.5, 300, "overburden"}, {12.5, 30, 15, ""}}},
        {"BH 2", -1, 40, {{0, 8, 0, "clay"}}},
    };
    EXPECT_EQ(holes, expected);
    const struct {
        std::string text, message;
    } wrong[] = {
        {"BH1,2,100\n",
         "line 1: the file must begin with name,profile,station or name,easting,northing"},
        {"name,easting,northing\nBH1,1063\n", "line 2: a borehole is name,easting,northing"},
        {"name,profile,station\n0,5,10\n", "line 2: an interval before any borehole"},
        {"name,profile,station\nBH1,2.5,100\n", "line 2: a borehole is name,profile,station"},
        {"name,profile,station\nBH1,2,100\n5,5,10\n",
         "line 3: an interval is from,to,resistivity,label with 0 <= from < to"},
        {"name,profile,station\nBH1,2,100\n0,5,-3\n",
         "line 3: a resistivity must be a number above 0"},
        {"name,profile,station\nBH1,2,100\n0,5,\n", "line 3: an interval needs a resistivity "
                                                    "or a label"},
    };
    for (const auto& c : wrong) {
        try {
            parseBoreholes(c.text);
            ADD_FAILURE() << c.text;
        } catch (const BoreholeError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

// Holes given by easting and northing land on the nearest line, at the
// station where they project onto it (profile 2 runs the other way), and tie
// the cells there from the surface down; one too far off, or without map
// positions to go by, is refused by name.
TEST(Boreholes, AHoleByEastingAndNorthingLandsOnTheNearestLine) {
    std::vector<StationPosition> lines;
    for (int station = 0; station <= 100; station += 20) {
        lines.push_back({{1, station}, PlanPoint{1000.0 + station, 5000}, 10});
        lines.push_back({{2, station}, PlanPoint{1100.0 - station, 5050}, 10});
    }
    const StationPositions positions(lines);
    const std::vector<Borehole> holes = placeBoreholes(parseBoreholes("name,easting,northing\n"
                                                                      "BH1,1063,5004\n"
                                                                      "0,10,50,clay\n"
                                                                      "BH2,1040,5047\n"
                                                                      "0,5,,sand\n"),
                                                       positions);
    ASSERT_EQ(holes.size(), 2u);
    EXPECT_EQ(holes[0].profile, 1);
    EXPECT_DOUBLE_EQ(holes[0].station, 63);
    EXPECT_EQ(holes[0].intervals, (std::vector<BoreholeInterval>{{0, 10, 50, "clay"}}));
    EXPECT_EQ(holes[1].profile, 2);
    EXPECT_DOUBLE_EQ(holes[1].station, 60);
    const InversionMesh mesh = inversionMesh({0, 20, 40, 60, 80, 100}, {19800}, 1000);
    PriorKnowledge prior;
    prior.boreholes = holes;
    const CellPrior cells = cellPrior(mesh, prior, 1000, 1);
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            const bool tied = mesh.x[c] == 60 && mesh.x[c + 1] == 70 && mesh.z[r] < 10;
            EXPECT_EQ(cells.tieWeight[static_cast<Eigen::Index>(r * mesh.columns() + c)] > 0, tied);
        }
    const struct {
        StationPositions positions;
        std::string message;
    } refused[] = {
        {positions, "BH3: 25 m off the nearest line (profile 1 near station 50), farther than "
                    "its stations' spacing of 20 m"},
        {StationPositions({{{1, 0}, std::nullopt, 10}, {{1, 20}, std::nullopt, 12}}),
         "BH3: placed by easting and northing, but no two stations of a profile have a "
         "position on the map to place it by (give the data set a positions file, or the "
         "borehole's profile and station)"},
    };
    for (const auto& c : refused) {
        try {
            placeBoreholes(parseBoreholes("name,easting,northing\nBH3,1050,5025\n"), c.positions);
            ADD_FAILURE() << c.message;
        } catch (const BoreholeError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

// Models and boreholes set the cells: the start and reference where given,
// a fixed model's bodies and a borehole fixed hold their cells, a borehole
// tied pulls its cells, on its own profile only.
TEST(Boreholes, ModelsAndHolesSetTheCellsTheyCover) {
    const InversionMesh mesh = inversionMesh({0, 20, 40, 60, 80}, {19800}, 1000);
    GroundModel layered;
    layered.layers = {{10, 100}, {0, 1000}};
    GroundModel fixedBlock;
    fixedBlock.layers = {{0, 1}};
    fixedBlock.bodies = {rectangleBody({0, 0, 40, 200}, 50)};
    PriorKnowledge prior{.start = layered, .reference = layered, .fixed = fixedBlock};
    prior.boreholes = {{"BH1", 3, 60, {{0, 10, 10, ""}}}, {"BH2", 4, 20, {{0, 10, 10, ""}}}};
    const CellPrior cells = cellPrior(mesh, prior, 1000, 3);
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            const auto i = static_cast<Eigen::Index>(r * mesh.columns() + c);
            const double x = (mesh.x[c] + mesh.x[c + 1]) / 2, z = (mesh.z[r] + mesh.z[r + 1]) / 2;
            const bool fixed = x > 0 && x < 40 && z < 200;
            const double layer = z < 10 ? 2 : 3;
            EXPECT_EQ(cells.reference[i], layer);
            EXPECT_EQ(cells.start[i], fixed ? std::log10(50.0) : layer);
            EXPECT_EQ(cells.lowest[i] == cells.highest[i], fixed) << x << ", " << z;
            const bool tied = (mesh.x[c] == 60 || mesh.x[c + 1] == 60) && mesh.z[r] < 10;
            EXPECT_EQ(cells.tieWeight[i], tied ? 10 : 0) << x << ", " << z;
            if (tied) {
                EXPECT_EQ(cells.tieValue[i], 1);
            }
        }
}

// A conductor under a resistive cover, its depth seen poorly by tilt data:
// a borehole that found it ties its cells, and the section puts its top
// within a cell of where it is.
TEST(Boreholes, AHoleTiedToAConductorSetsItsDepth) {
    MeasurementStore store{0};
    for (const MeasurementRecord& r : test::blockSurvey()) store.append(r);
    const RowList rows = buildRowList(store);
    const ProfileData data = profileData(SurveyView(store, rows), 1, {});
    InversionOptions options;
    options.prior.boreholes = {{"BH1", 1, 100, {{0, 30, 1000, ""}, {30, 70, 10, ""}}}};
    const InversionResult result = invertProfile(data, options);
    const InversionMesh& mesh = result.mesh;
    const std::size_t column =
        static_cast<std::size_t>(std::find(mesh.x.begin(), mesh.x.end(), 100.0) - mesh.x.begin());
    std::size_t top = 0;
    while (top < mesh.rows() &&
           result.log10Resistivity[top * mesh.columns() + column] > std::log10(100.0))
        ++top;
    ASSERT_LT(top, mesh.rows());
    const std::size_t expected = static_cast<std::size_t>(
        std::upper_bound(mesh.z.begin(), mesh.z.end(), 30.0) - mesh.z.begin() - 1);
    EXPECT_LE(std::max(top, expected) - std::min(top, expected), 1u) << mesh.z[top];
}
