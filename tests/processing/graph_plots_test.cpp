#include "data_set_test.h"
#include "processing/fraser_walk.h"
#include "processing/graph_plots.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace veldro;
using namespace veldro::test;

namespace {

struct Point {
    int curve;
    double x;
    double y;
    bool marked;
    bool operator==(const Point&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << "{curve " << p.curve << ", " << p.x << ", " << p.y
               << (p.marked ? ", marked}" : "}");
}

struct RecordingGraph : GraphSink {
    std::vector<std::string> titles;
    std::vector<Point> points;
    int curveCount() const override { return static_cast<int>(titles.size()); }
    void addCurve(const FraserRun& run) override { titles.push_back(run.title); }
    void markCurveUsed(int) override {}
    void addPoint(int curve, double x, double y, bool marked) override {
        points.push_back({curve, x, y, marked});
    }
};

} // namespace

TEST(StationGaps, OneMissingStationMarksTheValuesWhoseStationsSpanIt) {
    DataSet d;
    for (int station : {0, 10, 20, 30, 50, 60, 70, 80}) d.add({.station = station, .tilt = 1});
    RecordingGraph graph;
    plotFraser(d.store, d.rows, graph);
    EXPECT_EQ(graph.points, (std::vector<Point>{{0, 15, 0, false},
                                                {0, 30, 0, true},
                                                {0, 40, 0, true},
                                                {0, 50, 0, true},
                                                {0, 65, 0, false}}));
}

TEST(StationGaps, EachCurveIsMeasuredAgainstItsOwnSpacing) {
    DataSet d;
    for (int s = 0; s < 5; ++s) d.add({.profile = 1, .station = 10 * s});
    for (int s = 0; s < 5; ++s) d.add({.profile = 2, .station = 25 * s});
    RecordingGraph graph;
    plotFraser(d.store, d.rows, graph);
    ASSERT_EQ(graph.points.size(), 4u);
    for (const Point& p : graph.points) EXPECT_FALSE(p.marked) << p;
}

TEST(ColumnPlot, ValuesOf99999AndMoreArePlottedButAreNoReasonToShow) {
    DataSet d;
    d.add({.station = 0, .resistivity = true, .rho = 100000});
    d.add({.station = 25, .resistivity = true, .rho = 99999});
    d.add({.station = 50, .resistivity = true, .rho = std::nanf("")});
    RecordingGraph graph;
    EXPECT_FALSE(plotColumn(d.store, d.rows, ColResistivity, graph));
    EXPECT_EQ(
        graph.points,
        (std::vector<Point>{{0, 0, 100000, false}, {0, 25, 99999, false}, {0, 50, 99999, false}}));

    d.add({.station = 75, .resistivity = true, .rho = 99998.5f});
    EXPECT_TRUE(plotColumn(d.store, d.rows, ColResistivity, graph));
}

TEST(ColumnPlot, ImageNamesAreSafeForFiles) {
    const std::pair<const char*, const char*> cases[] = {
        {"Q (%)", "Q_%"},
        {"Rho (ohm.m)", "Rho_ohm.m"},
        {"Ph.E/H (\u00B0)", "Ph.E_H_\u00B0"},
        {"Tilt.ver(%)", "Tilt.ver%"},
    };
    for (auto [caption, name] : cases) EXPECT_EQ(fileNamePart(caption), name) << caption;
}
