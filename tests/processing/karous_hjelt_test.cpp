#include "data_set_test.h"
#include "processing/karous_hjelt.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace veldro;
using namespace veldro::test;

namespace {

// Products such as 0.561 * 8 are not exact in binary; the hand sums are.
constexpr double kRounding = 1e-12;

// One kept tilt reading per station of profile 1 at frequency #1.
DataSet profile(const std::vector<int>& stations, const std::vector<int>& tilts) {
    DataSet d;
    for (std::size_t s = 0; s < stations.size(); ++s)
        d.add({.station = stations[s], .tilt = tilts[s]});
    return d;
}

std::vector<int> evenStations(int count, int spacing) {
    std::vector<int> stations;
    for (int s = 0; s < count; ++s) stations.push_back(s * spacing);
    return stations;
}

KhRun onlyRun(const DataSet& d, int levels = kDefaultKhLevels) {
    const std::vector<KhRun> runs = karousHjelt(d.survey(), levels);
    EXPECT_EQ(runs.size(), 1u);
    return runs.at(0);
}

} // namespace

TEST(KarousHjelt, SixGroupsGiveOneValueAtLevelOne) {
    const KhRun run = onlyRun(profile(evenStations(6, 25), {10, 5, -3, -8, -2, 4}));
    ASSERT_EQ(run.values.size(), 1u);
    const KhValue& v = run.values[0];
    EXPECT_EQ(v.level, 1);
    EXPECT_EQ(v.x, 62.5);     // (50 + 75) / 2
    EXPECT_EQ(v.depth, 25.0); // 1 x the spacing
    // 0.102*10 - 0.059*5 + 0.561*(-3) - 0.561*(-8) + 0.059*(-2) - 0.102*4
    // = 1.02 - 0.295 - 1.683 + 4.488 - 0.118 - 0.408 = 3.004
    EXPECT_NEAR(v.value, 3.004, kRounding);

    EXPECT_TRUE(onlyRun(profile(evenStations(5, 25), {10, 5, -3, -8, -2})).values.empty());
}

// Tilt 100 at group 5 and 50 at group 10, 0 elsewhere: each value is the
// coefficients met by the two readings.
TEST(KarousHjelt, ElevenGroupsGiveSixValuesAtLevelOneAndOneAtLevelTwo) {
    std::vector<int> tilts(11, 0);
    tilts[5] = 100;
    tilts[10] = 50;
    const KhRun run = onlyRun(profile(evenStations(11, 10), tilts));
    ASSERT_EQ(run.values.size(), 7u);
    const double level1[] = {-0.102 * 100,              // i = 0: group 5 is i + 5n
                             0.059 * 100,               // i = 1: i + 4n
                             -0.561 * 100,              // i = 2: i + 3n
                             0.561 * 100,               // i = 3: i + 2n
                             -0.059 * 100,              // i = 4: i + n
                             0.102 * 100 - 0.102 * 50}; // i = 5: groups 5 and 10 are i and i + 5n
    for (int i = 0; i < 6; ++i) {
        const KhValue& v = run.values[static_cast<std::size_t>(i)];
        EXPECT_EQ(v.level, 1);
        EXPECT_EQ(v.x, 10 * i + 25); // (S(i+2) + S(i+3)) / 2
        EXPECT_EQ(v.depth, 10);
        EXPECT_NEAR(v.value, level1[i], kRounding) << "i = " << i;
    }
    const KhValue& deep = run.values[6]; // groups 0, 2, 4, 6, 8, 10
    EXPECT_EQ(deep.level, 2);
    EXPECT_EQ(deep.x, 50); // (S4 + S6) / 2
    EXPECT_EQ(deep.depth, 20);
    EXPECT_NEAR(deep.value, -0.102 * 50, kRounding);

    EXPECT_EQ(onlyRun(profile(evenStations(11, 10), tilts), 1).values.size(), 6u);
}

TEST(KarousHjelt, SpacingIsTheMedianStepBetweenGroups) {
    struct Case {
        std::vector<int> stations;
        double spacing;
    };
    const Case cases[] = {
        {{0, 10, 20, 35, 45, 55}, 10},     // steps 10 10 15 10 10
        {{0, 10, 20, 30, 50, 70, 90}, 15}, // steps 10 10 10 20 20 20: (10 + 20) / 2
        {{100, 75, 50, 25, 0, -25}, 25},   // walked backwards
        {{0, 10, 20, 20, 30, 40, 50}, 10}, // a repeated station is one group
    };
    for (const Case& c : cases) {
        const KhRun run = onlyRun(profile(c.stations, std::vector<int>(c.stations.size(), 1)));
        EXPECT_EQ(run.spacing, c.spacing) << c.stations[4];
        ASSERT_FALSE(run.values.empty());
        EXPECT_EQ(run.values[0].depth, c.spacing);
    }
}

// Station 0 holds readings 3 and 4, with an ignored reading, a resistivity
// row and a frequency #2 row between them; the other groups read 0.
TEST(KarousHjelt, OnlyKeptTiltReadingsEnterTheAverages) {
    DataSet d;
    d.add({.station = 0, .tilt = 3});
    d.add({.station = 0, .tilt = 90, .kept = false});
    d.add({.station = 0, .resistivity = true});
    d.add({.station = 0, .tilt = 70, .frequencyNumber = 2});
    d.add({.station = 0, .tilt = 4});
    for (int s = 1; s < 6; ++s) d.add({.station = 10 * s, .tilt = 0});
    const std::vector<KhRun> runs = karousHjelt(d.survey(), kDefaultKhLevels);
    ASSERT_EQ(runs.size(), 2u); // Prof1,Freq1 and Prof1,Freq2
    ASSERT_EQ(runs[0].values.size(), 1u);
    EXPECT_NEAR(runs[0].values[0].value, 0.102 * 3.5, kRounding); // (3 + 4) / 2
    EXPECT_TRUE(runs[1].values.empty());
}

// An interrupting profile starts new runs: the group at station 10 does not
// continue into the second run of profile 1, as the Fraser window would.
TEST(KarousHjelt, GroupsBelongToTheirRun) {
    DataSet d;
    d.add({.station = 0, .tilt = 1});
    d.add({.station = 10, .tilt = 2});
    d.add({.profile = 7, .station = 99, .kept = false});
    d.add({.station = 10, .tilt = 4});
    d.add({.station = 20, .tilt = 8});
    const std::vector<RunGroups> runs = runStationGroups(d.survey());
    ASSERT_EQ(runs.size(), 3u);
    auto stations = [&runs](std::size_t run) {
        std::vector<std::pair<int, float>> groups;
        for (const StationGroup& g : runs[run].groups) groups.emplace_back(g.station, g.average());
        return groups;
    };
    EXPECT_EQ(stations(0), (std::vector<std::pair<int, float>>{{0, 1.f}, {10, 2.f}}));
    EXPECT_TRUE(runs[1].groups.empty());
    EXPECT_EQ(runs[2].run.title, "Prof1,Freq1");
    EXPECT_EQ(runs[2].run.curve, 2);
    EXPECT_EQ(stations(2), (std::vector<std::pair<int, float>>{{10, 4.f}, {20, 8.f}}));
}

// The tilt over a thin vertical sheet at x = 105, 20 m deep: positive before
// it, negative after, crossing zero over it.
TEST(KarousHjelt, ThinSheetPeaksOverTheCrossingOnLevelOneAsTheFraserValueDoes) {
    std::vector<int> stations = evenStations(21, 10), tilts;
    for (int x : stations) {
        const double dx = x - 105.0;
        tilts.push_back(static_cast<int>(std::lround(-60 * dx * 20 / (dx * dx + 400))));
    }
    const DataSet d = profile(stations, tilts);
    const KhRun run = onlyRun(d);
    std::vector<KhValue> level1;
    std::copy_if(run.values.begin(), run.values.end(), std::back_inserter(level1),
                 [](const KhValue& v) { return v.level == 1; });
    ASSERT_EQ(level1.size(), 16u);
    const auto peak = std::max_element(level1.begin(), level1.end(),
                                       [](auto& a, auto& b) { return a.value < b.value; });
    EXPECT_EQ(peak->x, 105);
    EXPECT_GT(peak->value, 0);

    struct FraserPeak : FraserVisitor {
        FraserValue highest;
        void value(const FraserValue& v) override {
            if (v.value > highest.value) highest = v;
        }
    } fraser;
    walkFraser(d.survey(), fraser);
    EXPECT_EQ(fraser.highest.x, 105);
}
