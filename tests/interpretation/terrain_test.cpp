// Hills: a surface that rises and falls, the layers following it, the air
// above it, and the stations on it.
#include "interpretation/forward.h"
#include "interpretation/model_pictures.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace veldro;

namespace {

// A ridge of `height` m, 150 m wide at its foot, its crest at x 200, over a
// uniform ground; stations every 10 m.
GroundModel ridge(double height) {
    return parseGroundModel(
        R"({"layers": [{"resistivity": 1000}], "stations": {"from": 0, "to": 400, "step": 10},
            "frequencies": [19800], "topography": [[125, 0], [200, )" +
        std::to_string(height) + R"(], [275, 0]]})");
}

double tiltAt(const std::vector<StationResponse>& responses, double station) {
    for (const StationResponse& r : responses)
        if (r.station == station) return tiltPercent(r.tipper);
    ADD_FAILURE() << "no station at " << station;
    return 0;
}

} // namespace

TEST(Terrain, AreaUnderASlopingSurfaceIsExact) {
    // The surface falls from elevation 10 at x 0 to 0 at x 10: depth x below the datum.
    const std::vector<TerrainPoint> slope{{0, 10}, {10, 0}};
    const struct {
        std::vector<TerrainPoint> topography;
        double offset, x0, x1, z0, z1, area;
    } cases[] = {
        {slope, 0, 0, 10, 0, 10, 50},   // half the square lies below the diagonal
        {slope, 5, 0, 10, 0, 10, 12.5}, // a layer 5 m down: a triangle of 5 by 5
        {slope, 0, 0, 4, 6, 10, 16},    // wholly below
        {slope, 0, 6, 10, 0, 4, 0},     // wholly above
        {slope, 0, -10, 0, 0, 10, 100}, // flat beyond the ends, at elevation 10
        {{}, 3, 0, 10, 0, 10, 70},      // no topography: flat at 0
        {{{0, 0}, {5, 10}, {10, 0}}, 0, 0, 10, 0, 10, 50}, // a peak: two triangles
    };
    for (const auto& c : cases) {
        const SurfaceOverColumn column(c.topography, c.x0, c.x1);
        EXPECT_NEAR(column.areaBelow(c.offset, c.z0, c.z1), c.area, 1e-9)
            << "cell " << c.x0 << ".." << c.x1 << " x " << c.z0 << ".." << c.z1;
    }
}

TEST(Terrain, OneElevationEverywhereIsAFlatGround) {
    GroundModel flat = parseGroundModel(
        R"({"layers": [{"thickness": 10, "resistivity": 300}, {"resistivity": 3000}],
            "bodies": [{"polygon": [[190, 20], [210, 20], [210, 60], [190, 60]], "resistivity": 10}],
            "stations": {"from": 100, "to": 300, "step": 20}, "frequencies": [19800]})");
    GroundModel level = flat;
    level.topography = {{0, 250}, {400, 250}};
    const auto a = computeResponse(flat), b = computeResponse(level);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(tiltPercent(a[i].tipper), tiltPercent(b[i].tipper), 0.05);
        EXPECT_NEAR(apparentResistivity(a[i]) / apparentResistivity(b[i]), 1, 1e-3);
        EXPECT_NEAR(phaseDegrees(a[i]), phaseDegrees(b[i]), 0.05);
    }
}

TEST(Terrain, RidgeTiltTurnsOverAtTheCrestAndGrowsWithItsHeight) {
    const auto low = computeResponse(ridge(20)), high = computeResponse(ridge(40));
    EXPECT_NEAR(tiltAt(high, 200), 0, 0.05);
    for (double d : {30, 60, 100}) {
        SCOPED_TRACE(d);
        EXPECT_NEAR(tiltAt(high, 200 - d), -tiltAt(high, 200 + d), 0.1);
        EXPECT_GT(std::fabs(tiltAt(high, 200 - d)), 1.5 * std::fabs(tiltAt(low, 200 - d)));
    }
    // No hill, no tilt: far from it the ground is level and uniform.
    EXPECT_LT(std::fabs(tiltAt(high, 0)), std::fabs(tiltAt(high, 150)));
}

TEST(Terrain, SectionPictureIsInElevationWithTheAirLeftEmpty) {
    GroundModel model = ridge(40);
    model.layers = {{10, 100}, {0, 1000}};
    model.topography = {{125, 300}, {200, 340}, {275, 300}};
    const ModelSection section = modelSection(model);
    ASSERT_TRUE(section.datum.has_value());
    EXPECT_EQ(*section.datum, 340);
    EXPECT_TRUE(std::isnan(section.field.valueAt(50, 320))); // air over the plain
    EXPECT_NEAR(section.field.valueAt(50, 295), 0, 1e-9);    // the top layer under it
    EXPECT_NEAR(section.field.valueAt(200, 335), 0, 1e-9);   // the top layer at the crest,
    EXPECT_NEAR(section.field.valueAt(200, 320), -1, 1e-9);  // and below it, following it
    EXPECT_NEAR(section.field.valueAt(50, 280), -1, 1e-9);
    ASSERT_FALSE(section.surface.empty());
    EXPECT_EQ(section.surface.front().value, 300);
}
