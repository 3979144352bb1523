#include "data_set_test.h"
#include "processing/fraser_map.h"
#include "processing/karous_hjelt.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace veldro;
using namespace veldro::test;

namespace {

struct Line {
    int profile;
    std::vector<std::pair<double, double>> values;
    std::vector<int> stations;
    bool operator==(const Line&) const = default;
};

std::vector<Line> linesOf(const FraserMap& map) {
    std::vector<Line> lines;
    for (const FraserMapLine& l : map.lines) {
        Line line{l.profile, {}, l.stations};
        for (const FieldPoint& p : l.values) line.values.emplace_back(p.x, p.value);
        lines.push_back(line);
    }
    return lines;
}

// Profile 1: the Fraser worked example on frequency #1 (values 26 at 15 and
// 12 at 25), three stations on frequency #2 between its rows. Profile 2:
// F = 4 + 3 - 2 - 1 = 4 at 15, and an ignored reading at 35.
DataSet twoProfiles() {
    DataSet d;
    const int tilts1[] = {10, 5, -3, -8, -2};
    for (int s = 0; s < 5; ++s) {
        d.add({.profile = 1, .station = 10 * s, .tilt = tilts1[s]});
        if (s < 3) d.add({.profile = 1, .station = 10 * s, .frequencyNumber = 2});
    }
    for (int s = 0; s < 4; ++s) d.add({.profile = 2, .station = 10 * s, .tilt = 4 - s});
    d.add({.profile = 2, .station = 35, .tilt = 50, .kept = false});
    return d;
}

} // namespace

TEST(FraserMap, AProfileLinePerFrequencyNumberWithItsStations) {
    const DataSet d = twoProfiles();
    const std::array<FraserMap, 2> maps = fraserMaps(d.survey());
    EXPECT_EQ(linesOf(maps[0]), (std::vector<Line>{{1, {{15, 26}, {25, 12}}, {0, 10, 20, 30, 40}},
                                                   {2, {{15, 4}}, {0, 10, 20, 30}}}));
    EXPECT_TRUE(maps[0].hasValues());
    EXPECT_EQ(linesOf(maps[1]), (std::vector<Line>{{1, {}, {0, 10, 20}}}));
    EXPECT_FALSE(maps[1].hasValues());
}

// Profiles 1 and 2 at 50 and 100 with a line spacing of 50.
TEST(FraserMap, ValuesBetweenNeighbouringProfilesAtEachStation) {
    const DataSet d = twoProfiles();
    const LayeredField field = fraserMapField(fraserMaps(d.survey())[0], 50);
    struct Case {
        double x, y, value; // NaN: no value
    };
    const double none = std::nan("");
    const Case cases[] = {
        {15, 50, 26},     // on profile 1
        {20, 50, 19},     // halfway from 26 to 12 along it
        {15, 75, 15},     // halfway from 26 up to 4
        {15, 87.5, 9.5},  // three quarters of the way
        {20, 62.5, 19},   // profile 2 has no value at 20: the lower half of the gap is profile 1's
        {20, 87.5, none}, // ... and the upper half has none
        {15, 125, 4},     // half a spacing beyond the outer profiles
        {15, 24, none},   {30, 50, none}, // past profile 1's last value
    };
    for (const Case& c : cases) {
        const double v = field.valueAt(c.x, c.y);
        if (std::isnan(c.value))
            EXPECT_TRUE(std::isnan(v)) << c.x << ", " << c.y << ": " << v;
        else
            EXPECT_DOUBLE_EQ(v, c.value) << c.x << ", " << c.y;
    }
    EXPECT_EQ(field.largestMagnitude(), 26);
    EXPECT_EQ(field.bottom(), 25);
    EXPECT_EQ(field.top(), 125);
}

// Profile 2 has no tilt data: profiles 1 and 3 each hold for half a spacing
// and profile 2's place stays blank, in the map's picture too.
TEST(FraserMap, AProfileWithoutValuesIsLeftBlank) {
    DataSet d;
    for (int profile : {1, 3})
        for (int s = 0; s < 4; ++s) d.add({.profile = profile, .station = 10 * s, .tilt = 4 - s});
    d.add({.profile = 2, .station = 0, .resistivity = true});
    const LayeredField field = fraserMapField(fraserMaps(d.survey())[0], 50);
    EXPECT_DOUBLE_EQ(field.valueAt(15, 70), 4);
    EXPECT_TRUE(std::isnan(field.valueAt(15, 100)));
    EXPECT_DOUBLE_EQ(field.valueAt(15, 130), 4);
    const std::vector<float> grid = field.sample({15}, {60, 90, 100, 110, 140});
    EXPECT_EQ(std::count_if(grid.begin(), grid.end(), [](float v) { return std::isnan(v); }), 3);
}

// Six groups 25 apart: one value at (62.5, 25), a cell of 25 x 25 around it.
TEST(KarousHjeltSection, ALoneValueFillsItsCellAndTheGridAgreesWithThePoints) {
    DataSet d;
    const int tilts[] = {10, 5, -3, -8, -2, 4};
    for (int s = 0; s < 6; ++s) d.add({.station = 25 * s, .tilt = tilts[s]});
    const KhRun run = karousHjelt(d.survey(), kDefaultKhLevels).at(0);
    const LayeredField field = khSectionField(run);
    const std::vector<double> xs{40, 50, 62.5, 75, 80}, ys{10, 12.5, 25, 37.5, 40};
    const std::vector<float> grid = field.sample(xs, ys);
    ASSERT_EQ(grid.size(), 25u);
    for (std::size_t r = 0; r < ys.size(); ++r)
        for (std::size_t c = 0; c < xs.size(); ++c) {
            const bool inside = std::fabs(xs[c] - 62.5) <= 12.5 && std::fabs(ys[r] - 25) <= 12.5;
            const float v = grid[r * xs.size() + c];
            EXPECT_EQ(std::isnan(v), !inside) << xs[c] << ", " << ys[r];
            if (inside) {
                EXPECT_EQ(v, static_cast<float>(run.values[0].value));
            }
            EXPECT_EQ(std::isnan(v), std::isnan(field.valueAt(xs[c], ys[r])));
        }
}
