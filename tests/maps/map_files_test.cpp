#include "interpretation/body_extent.h"
#include "maps/grid_files.h"
#include "maps/map_features.h"
#include "maps/placed_sections.h"
#include "maps/utm.h"
#include "section_models.h"
#include "test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace veldro {
namespace {

using test::goldenText;

TEST(GridFiles, EsriAndSurferGridsAsTheirFormatsLayThemOut) {
    // Rows from the south: 1, 2.5, blank; then -0.125, 0.00001, 123456.789.
    const PlanGrid grid{{500000, 7000000, 25, 3, 2}, {1, 2.5, NAN, -0.125, 1e-5, 123456.789}};
    EXPECT_EQ(esriAsciiGrid(grid), goldenText("map_grid_small.asc"));
    EXPECT_EQ(surferGrid(grid), goldenText("map_grid_small.grd"));
}

TEST(Crs, ReadsUtmZonesAndTheirEpsgCodes) {
    struct Case {
        const char* text;
        std::optional<UtmZone> zone;
    };
    const Case cases[] = {
        {"33N", UtmZone{33, true}},
        {"33s", UtmZone{33, false}},
        {"EPSG:32633", UtmZone{33, true}},
        {"epsg:32760", UtmZone{60, false}},
        {"32701", UtmZone{1, false}},
        {"61N", std::nullopt},
        {"0N", std::nullopt},
        {"EPSG:4326", std::nullopt},
        {"32661", std::nullopt},
        {"33", std::nullopt},
        {"", std::nullopt},
        {"N", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readCrs(c.text), c.zone) << c.text;
    EXPECT_EQ(crsName({33, false}), "WGS 84 / UTM zone 33S");
}

TEST(Crs, PrjNamesTheZonesMeridianAndFalseNorthing) {
    const std::string north = prjText({33, true}), south = prjText({1, false});
    EXPECT_NE(north.find("PROJCS[\"WGS_1984_UTM_Zone_33N\""), std::string::npos);
    EXPECT_NE(north.find("PARAMETER[\"Central_Meridian\",15.0]"), std::string::npos);
    EXPECT_NE(north.find("PARAMETER[\"False_Northing\",0.0]"), std::string::npos);
    EXPECT_NE(south.find("PARAMETER[\"Central_Meridian\",-177.0]"), std::string::npos);
    EXPECT_NE(south.find("PARAMETER[\"False_Northing\",10000000.0]"), std::string::npos);
}

TEST(Crs, LatitudeAndLongitudeOfUtmPoints) {
    if (!canComputeLatLon()) GTEST_SKIP() << "this build has no GeographicLib";
    // GeographicLib's own example: 33.3 N 44.4 E is 444140.54 3684706.36 in zone 38N.
    const LatLon baghdad = latLonOf({38, true}, 444140.54, 3684706.36);
    EXPECT_NEAR(baghdad.latitude, 33.3, 1e-6);
    EXPECT_NEAR(baghdad.longitude, 44.4, 1e-6);
    // A zone's central meridian at the equator; and south of it.
    const LatLon centre = latLonOf({33, true}, 500000, 0);
    EXPECT_NEAR(centre.latitude, 0, 1e-9);
    EXPECT_NEAR(centre.longitude, 15, 1e-9);
    EXPECT_LT(latLonOf({33, false}, 500000, 9000000).latitude, -8);
    EXPECT_THROW(latLonOf({33, true}, 500000, 1e9), std::invalid_argument);
}

MappedValue at(int profile, double station, double easting, double northing, double value) {
    return {profile, station, {easting, northing}, value};
}

TEST(AnomalyAxes, FollowACrestFromLineToLine) {
    // Three lines 50 m apart; a crest over 20 moving east 10 m a line, and a
    // bump of 8 under the threshold.
    std::vector<MappedValue> values;
    for (int line = 1; line <= 3; ++line)
        for (int s = 0; s <= 10; ++s) {
            const double x = 10.0 * s;
            const double crest = 25 - std::abs(x - 30 - 10 * line) / 2;
            const double bump = s == 9 ? 8 : 0;
            values.push_back(at(line, x, x, 50.0 * line, std::max({crest, bump, 0.0})));
        }
    const std::vector<AnomalyAxis> axes = anomalyAxes(values, 10, 60);
    ASSERT_EQ(axes.size(), 1U);
    ASSERT_EQ(axes[0].picks.size(), 3U);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(axes[0].picks[k].profile, k + 1);
        EXPECT_DOUBLE_EQ(axes[0].picks[k].at.easting, 40 + 10 * k);
    }
    // Lines too far apart for the reach: three lone picks.
    EXPECT_EQ(anomalyAxes(values, 10, 40).size(), 3U);
}

GroundModel twoLayers() {
    GroundModel model;
    model.layers = {{20, 100}, {0, 1000}};
    // A 5 ohm.m block from x 40 to 60 and z 10 to 30.
    model.bodies = {{{{40, 10}, {60, 10}, {60, 30}, {40, 30}}, 5}};
    model.stations = {0, 50, 100};
    return model;
}

TEST(Sections, ResistivityAtAPointOfTheModel) {
    const GroundModel model = twoLayers();
    EXPECT_EQ(resistivityAt(model, 10, 5), 100);
    EXPECT_EQ(resistivityAt(model, 10, 25), 1000);
    EXPECT_EQ(resistivityAt(model, 50, 25), 5);
    // Under a hill's slope the layers follow the surface: 25 m below the
    // datum is 5 m into the ground where the surface lies 20 m down.
    GroundModel hill = model;
    hill.topography = {{0, 100}, {100, 80}};
    EXPECT_EQ(resistivityAt(hill, 100, 25), 100);
    EXPECT_EQ(resistivityAt(hill, 0, 25), 1000);
    EXPECT_EQ(profileOfModelFile("out/profile-12.json"), 12);
    EXPECT_EQ(profileOfModelFile("profile--3.json"), -3);
    EXPECT_EQ(profileOfModelFile("model.json"), std::nullopt);
    EXPECT_EQ(profileOfModelFile("profile-1x.json"), std::nullopt);
}

TEST(Sections, SlicesAtADepthOrAnElevation) {
    // Profile 2 walked north at easting 1000, stations 0 to 100, the ground
    // rising from 300 m to 320 m.
    const StationPositions positions(
        {{{2, 0}, PlanPoint{1000, 0}, 300}, {{2, 100}, PlanPoint{1000, 100}, 320}});
    const std::vector<ProfileSection> sections = {{2, test::gridSection(1)}};
    // Down the middle of the columns under the stations, at 25 and 75.
    const std::vector<MappedValue> deep = sliceValues(sections, positions, {25, false});
    ASSERT_EQ(deep.size(), 2U);
    EXPECT_EQ(deep[0].at, (PlanPoint{1000, 25}));
    EXPECT_EQ(deep[0].value, 4);
    EXPECT_EQ(deep[1].value, 8);
    // At 300 m: 5 m down at 25 (surface 305), 15 m at 75 (surface 315).
    const std::vector<MappedValue> level = sliceValues(sections, positions, {300, true});
    ASSERT_EQ(level.size(), 2U);
    EXPECT_EQ(level[0].value, 1);
    EXPECT_EQ(level[1].value, 8);
    // At 310 m the first column is under the air.
    const std::vector<MappedValue> high = sliceValues(sections, positions, {310, true});
    ASSERT_EQ(high.size(), 1U);
    EXPECT_EQ(high[0].value, 2);
    EXPECT_THROW(sliceValues({{3, test::gridSection(1)}}, positions, {25, false}),
                 std::invalid_argument);
    const StationPositions flat({{{2, 0}, PlanPoint{1000, 0}, std::nullopt},
                                 {{2, 100}, PlanPoint{1000, 100}, std::nullopt}});
    EXPECT_THROW(sliceValues(sections, flat, {290, true}), std::invalid_argument);
    GroundModel layered = test::gridSection(1);
    layered.bodies.clear();
    EXPECT_THROW(sliceValues({{2, layered}}, positions, {25, false}), std::invalid_argument);
}

} // namespace
} // namespace veldro
