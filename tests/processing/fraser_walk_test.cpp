#include "data_set_test.h"
#include "processing/fraser_walk.h"

#include <gtest/gtest.h>
#include <vector>

using namespace veldro;
using namespace veldro::test;

namespace {

struct Point {
    int curve;
    float x;
    float value;
    int profile;
    int frequency;
    bool operator==(const Point&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << "{curve " << p.curve << ", x " << p.x << ", F " << p.value << ", profile "
               << p.profile << ", " << p.frequency << " Hz}";
}

struct Recorder : FraserVisitor {
    std::vector<FraserRun> runs;
    std::vector<int> used;
    std::vector<Point> points;
    void newRun(const FraserRun& run) override { runs.push_back(run); }
    void curveUsed(int curve) override { used.push_back(curve); }
    void value(const FraserValue& v) override {
        points.push_back({v.curve, v.x, v.value, v.profile, v.frequency});
    }
};

Recorder walk(const DataSet& d) {
    Recorder recorder;
    walkFraser(d.survey(), recorder);
    return recorder;
}

// One kept tilt reading per station of profile 1 at frequency #1.
DataSet profile(std::initializer_list<std::pair<int, int>> stationTilts, int number = 1) {
    DataSet d;
    for (auto [station, tilt] : stationTilts)
        d.add({.profile = number, .station = station, .tilt = tilt});
    return d;
}

} // namespace

TEST(FraserWalk, FiveStationsGiveTwoValuesOldestGroupsFirst) {
    const Recorder r = walk(profile({{10, 1}, {20, 2}, {30, 4}, {40, 8}, {50, 16}}));
    EXPECT_EQ(r.points, (std::vector<Point>{{0, 25, 1 + 2 - 4 - 8, 1, 16000},
                                            {0, 35, 2 + 4 - 8 - 16, 1, 16000}}));
    EXPECT_EQ(r.used, (std::vector<int>{0, 0}));
}

TEST(FraserWalk, WorkedExample) {
    const Recorder r = walk(profile({{0, 10}, {25, 5}, {50, -3}, {75, -8}, {100, -2}}));
    EXPECT_EQ(r.points, (std::vector<Point>{{0, 37.5f, 26, 1, 16000}, {0, 62.5f, 12, 1, 16000}}));
}

TEST(FraserWalk, PositionIsTheMidpointOfOuterStations) {
    const Recorder r = walk(profile({{10, 0}, {25, 0}, {40, 0}, {55, 0}}));
    ASSERT_EQ(r.points.size(), 1u);
    EXPECT_EQ(r.points[0].x, 32.5f);
}

TEST(FraserWalk, FourStationsGiveOneValueFromTheFlushThreeGiveNone) {
    EXPECT_EQ(walk(profile({{1, 0}, {2, 0}, {3, 0}, {4, 0}})).points.size(), 1u);
    const Recorder three = walk(profile({{1, 5}, {2, 0}, {3, 0}}));
    EXPECT_TRUE(three.points.empty());
    EXPECT_TRUE(three.used.empty());
    ASSERT_EQ(three.runs.size(), 1u);
    EXPECT_EQ(three.runs[0].title, "Prof1,Freq1");
}

TEST(FraserWalk, ReadingsOfOneStationAreAveragedAcrossRowsThatDoNotContribute) {
    DataSet d;
    d.add({.station = 1, .tilt = 3});
    d.add({.station = 9, .tilt = 100, .kept = false});
    d.add({.profile = 1, .station = 8, .resistivity = true});
    d.add({.station = 1, .tilt = 4});
    for (int s = 2; s <= 4; ++s) d.add({.station = s, .tilt = 0});
    const Recorder r = walk(d);
    ASSERT_EQ(r.points.size(), 1u);
    EXPECT_EQ(r.points[0].value, 3.5f);
    EXPECT_EQ(r.points[0].x, 2.5f);
}

TEST(FraserWalk, TheSameStationInRowsApartIsTwoGroups) {
    const Recorder r = walk(profile({{1, 1}, {2, 1}, {1, 1}, {2, 1}}));
    ASSERT_EQ(r.points.size(), 1u);
    EXPECT_EQ(r.points[0].x, 1.5f);
}

TEST(FraserWalk, InterleavedFrequencyNumbersAreFilteredApart) {
    DataSet d;
    const int tilts1[] = {10, 5, -3, -8, -2};
    for (int s = 0; s < 5; ++s) {
        d.add({.station = s * 25, .tilt = tilts1[s], .frequencyNumber = 1, .frequency = 16000});
        d.add({.station = s * 25, .tilt = 1, .frequencyNumber = 2, .frequency = 19600});
    }
    const Recorder r = walk(d);
    ASSERT_EQ(r.runs.size(), 2u);
    EXPECT_EQ(r.runs[0].title, "Prof1,Freq1");
    EXPECT_EQ(r.runs[1].title, "Prof1,Freq2");
    EXPECT_EQ(r.runs[1].curve, 1);
    // Track 1 emits at the row opening station 100, track 2 at its own next row;
    // then the flush of track 1 and that of track 2.
    EXPECT_EQ(r.points, (std::vector<Point>{{0, 37.5f, 26, 1, 16000},
                                            {1, 37.5f, 0, 1, 19600},
                                            {0, 62.5f, 12, 1, 16000},
                                            {1, 62.5f, 0, 1, 19600}}));
}

TEST(FraserWalk, ProfileChangeHandsTheLastValueToThePreviousRun) {
    DataSet d = profile({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
    d.add({.profile = 2, .station = 1, .frequency = 18300});
    for (int s = 2; s <= 4; ++s) d.add({.profile = 2, .station = s, .frequency = 18300});
    const Recorder r = walk(d);
    EXPECT_EQ(r.points,
              (std::vector<Point>{
                  {0, 2.5f, -4, 1, 16000}, {0, 3.5f, -4, 1, 16000}, {1, 2.5f, 0, 2, 18300}}));
}

TEST(FraserWalk, InterruptingProfileStartsNewRunsButKeepsTheWindow) {
    DataSet d = profile({{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    d.add({.profile = 7, .station = 50, .kept = false});
    d.add({.station = 5, .tilt = 5});
    d.add({.station = 6, .tilt = 6});
    const Recorder r = walk(d);
    ASSERT_EQ(r.runs.size(), 3u);
    EXPECT_EQ(r.runs[1].title, "Prof7,Freq1");
    EXPECT_EQ(r.runs[2].title, "Prof1,Freq1");
    EXPECT_EQ(r.runs[2].curve, 2);
    EXPECT_EQ(r.points,
              (std::vector<Point>{
                  {0, 2.5f, -4, 1, 16000}, {2, 3.5f, -4, 1, 16000}, {2, 4.5f, -4, 1, 16000}}));
}

TEST(FraserWalk, IgnoredAndResistivityRowsDoNotContribute) {
    DataSet d = profile({{1, 1}, {2, 2}});
    d.add({.station = 3, .tilt = 50, .kept = false});
    d.add({.profile = 1, .station = 3, .resistivity = true});
    d.add({.station = 4, .tilt = 4});
    const Recorder r = walk(d);
    EXPECT_TRUE(r.points.empty()); // stations 1, 2, 4: three groups only
}

TEST(FraserWalk, ReadsTheRowsKeptFlagNotTheRecords) {
    DataSet d = profile({{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    d.rows.entries[3].kept = false;
    EXPECT_TRUE(walk(d).points.empty());
}
