#include "maps/contours.h"
#include "maps/minimum_curvature.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>

namespace veldro {
namespace {

using Surface = std::function<double(double x, double y)>;

// Lines of uneven direction and spacing: each from (x, y) on its heading
// (degrees east of north), a station every `step` metres.
struct LineWalk {
    double x, y, heading, length;
};

std::vector<ScatterPoint> sampleLines(const std::vector<LineWalk>& walks, double step,
                                      const Surface& surface) {
    std::vector<ScatterPoint> points;
    int line = 1;
    for (const LineWalk& w : walks) {
        const double rad = w.heading * std::numbers::pi / 180;
        for (double s = 0; s <= w.length + 1e-9; s += step) {
            const double x = w.x + s * std::sin(rad), y = w.y + s * std::cos(rad);
            points.push_back({x, y, surface(x, y), line});
        }
        ++line;
    }
    return points;
}

// Roughly east-west lines 40 to 70 m apart, a little askew.
const std::vector<LineWalk> kUnevenLines = {
    {0, 0, 89, 600},   {5, 45, 91, 590},  {0, 115, 88, 600}, {10, 160, 90, 580},
    {0, 230, 92, 600}, {0, 275, 89, 600}, {0, 340, 91, 600},
};

// The grid's value at (x, y), bilinear between its nodes.
double valueAt(const PlanGrid& grid, double x, double y) {
    const GridGeometry& g = grid.geometry;
    const double u = (x - g.x0) / g.cell, v = (y - g.y0) / g.cell;
    const int c = static_cast<int>(u), r = static_cast<int>(v);
    const double fu = u - c, fv = v - r;
    return (1 - fu) * (1 - fv) * grid.at(c, r) + fu * (1 - fv) * grid.at(c + 1, r) +
           (1 - fu) * fv * grid.at(c, r + 1) + fu * fv * grid.at(c + 1, r + 1);
}

GriddingOptions cells(double cell, double anisotropy = 1) {
    GriddingOptions options;
    options.cell = cell;
    options.anisotropy = anisotropy;
    return options;
}

struct SurfaceCase {
    const char* name;
    Surface surface;
};

class ReproducesSurface : public testing::TestWithParam<SurfaceCase> {};

// Inside the lines' reach (50 to 550 m east, 20 to 320 m north) every node
// holds the sampled surface to 1 % of its range there.
TEST_P(ReproducesSurface, ToOnePercentBetweenUnevenLines) {
    const Surface& surface = GetParam().surface;
    const PlanGrid grid = gridMinimumCurvature(sampleLines(kUnevenLines, 10, surface));
    double low = INFINITY, high = -INFINITY, worst = 0;
    int checked = 0;
    for (int r = 0; r < grid.geometry.rows; ++r)
        for (int c = 0; c < grid.geometry.columns; ++c) {
            const double x = grid.geometry.x(c), y = grid.geometry.y(r);
            if (x < 50 || x > 550 || y < 20 || y > 320) continue;
            ASSERT_FALSE(std::isnan(grid.at(c, r))) << x << ", " << y;
            low = std::min(low, surface(x, y));
            high = std::max(high, surface(x, y));
            worst = std::max(worst, std::abs(grid.at(c, r) - surface(x, y)));
            ++checked;
        }
    EXPECT_GT(checked, 1000);
    EXPECT_LT(worst, 0.01 * (high - low));
}

INSTANTIATE_TEST_SUITE_P(
    Gridding, ReproducesSurface,
    testing::Values(SurfaceCase{"plane",
                                [](double x, double y) { return 3 + 0.02 * x - 0.05 * y; }},
                    SurfaceCase{"paraboloid",
                                [](double x, double y) {
                                    return ((x - 300) * (x - 300) + 2 * (y - 170) * (y - 170)) /
                                           1e3;
                                }}),
    [](const testing::TestParamInfo<SurfaceCase>& c) { return std::string(c.param.name); });

TEST(Gridding, HonoursTheDataAtTheStations) {
    const Surface bumpy = [](double x, double y) {
        return 40 * std::exp(-((x - 260) * (x - 260)) / 800) * std::cos(y / 90) + 0.01 * x;
    };
    const std::vector<ScatterPoint> points = sampleLines(kUnevenLines, 10, bumpy);
    const PlanGrid grid = gridMinimumCurvature(points, cells(5));
    const auto [low, high] = *grid.range();
    for (const ScatterPoint& p : points)
        EXPECT_NEAR(valueAt(grid, p.x, p.y), p.value, 0.01 * (high - low)) << p.x << ", " << p.y;
}

TEST(Gridding, BlanksWhatIsFarFromEveryLine) {
    // Two lines 50 m apart and a third 400 m north: the gap is left blank
    // but for 75 m (1.5 line spacings) either side of it.
    const std::vector<ScatterPoint> points =
        sampleLines({{0, 0, 90, 500}, {0, 50, 90, 500}, {0, 450, 90, 500}}, 10,
                    [](double x, double) { return x; });
    const PlanGrid grid = gridMinimumCurvature(points, cells(10));
    const auto node = [&](double x, double y) {
        return grid.at(static_cast<int>(std::lround((x - grid.geometry.x0) / 10)),
                       static_cast<int>(std::lround((y - grid.geometry.y0) / 10)));
    };
    EXPECT_FALSE(std::isnan(node(250, 25)));
    EXPECT_FALSE(std::isnan(node(250, 120)));
    EXPECT_TRUE(std::isnan(node(250, 250)));
    EXPECT_FALSE(std::isnan(node(250, 380)));
}

TEST(Gridding, AnisotropyAlongTheStrikeJoinsAnObliqueConductor) {
    // East-west lines 100 m apart over a conductor striking 45 degrees: midway
    // between lines the anomaly's crest is where the strike carries it.
    std::vector<LineWalk> walks;
    walks.reserve(6);
    for (int k = 0; k < 6; ++k) walks.push_back({0, 100.0 * k, 90, 1000});
    const Surface crest = [](double x, double y) {
        const double off = x - 300 - y;
        return std::exp(-off * off / 900);
    };
    const std::vector<ScatterPoint> points = sampleLines(walks, 10, crest);
    const auto errorMidway = [&](double anisotropy) {
        GriddingOptions options = cells(10, anisotropy);
        options.strikeAzimuth = 45;
        const PlanGrid grid = gridMinimumCurvature(points, options);
        double error = 0;
        for (int k = 1; k < 4; ++k)
            error += std::abs(valueAt(grid, 350.0 + 100 * k, 50.0 + 100 * k) - 1);
        return error;
    };
    EXPECT_EQ(linesAzimuth(points), 90);
    EXPECT_LT(errorMidway(4), 0.5 * errorMidway(1));
}

TEST(Gridding, LineSpacingAndDirectionOfTheSurvey) {
    const std::vector<ScatterPoint> north = sampleLines(
        {{0, 0, 0, 300}, {50, 0, 0, 300}, {100, 0, 0, 300}}, 25, [](double, double) { return 0; });
    EXPECT_DOUBLE_EQ(lineSpacing(north), 50);
    EXPECT_DOUBLE_EQ(linesAzimuth(north), 0);
}

TEST(Gridding, RefusesWhatItCannotGrid) {
    EXPECT_THROW(gridMinimumCurvature({}), std::invalid_argument);
    EXPECT_THROW(gridMinimumCurvature({{0, 0, NAN, 1}}), std::invalid_argument);
    EXPECT_THROW(gridMinimumCurvature({{0, 0, 1, 1}}, cells(0, 0.5)), std::invalid_argument);
}

TEST(Gridding, ALargeSurveyGetsCoarserCellsRatherThanMoreNodes) {
    const PlanGrid grid =
        gridMinimumCurvature(sampleLines({{0, 0, 90, 30000}, {0, 30000, 90, 30000}}, 3000,
                                         [](double, double) { return 1; }),
                             cells(1));
    EXPECT_LE(grid.geometry.nodes(), kMostGridNodes);
}

TEST(Contours, FollowTheLevelsOfAPlane) {
    PlanGrid grid{{0, 0, 10, 11, 5}, {}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 11; ++c) grid.values.push_back(c * 10.0 - 1);
    grid.values[0] = NAN; // a blank corner: its cell has no line
    const std::vector<double> levels = contourLevels(grid, 5);
    EXPECT_EQ(levels, (std::vector<double>{0, 20, 40, 60, 80}));
    const std::vector<Contour> lines = contours(grid, {4, 55});
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].segments.size(), 3U); // four cells up, the blank one left out
    EXPECT_EQ(lines[1].segments.size(), 4U);
    for (const Contour& contour : lines)
        for (const auto& [a, b] : contour.segments) {
            EXPECT_DOUBLE_EQ(a.x, contour.level + 1);
            EXPECT_DOUBLE_EQ(b.x, contour.level + 1);
        }
}

TEST(Contours, ASaddleIsSplitByItsCentre) {
    // Low south-west and north-east corners, centre 0.5: above the level 0.4,
    // so the lines cut the low corners off.
    const PlanGrid grid{{0, 0, 1, 2, 2}, {0, 1, 1, 0}};
    const std::vector<Contour> lines = contours(grid, {0.4});
    ASSERT_EQ(lines[0].segments.size(), 2U);
    for (const auto& [a, b] : lines[0].segments)
        EXPECT_LT(std::min(std::hypot(a.x, a.y), std::hypot(a.x - 1, a.y - 1)), 0.5);
}

} // namespace
} // namespace veldro
