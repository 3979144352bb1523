// What the model plot draws: the section's colours and the response's curves.
#include "interpretation/model_pictures.h"
#include "processing/fraser_walk.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace veldro;

namespace {

struct Curves : GraphSink {
    std::vector<std::string> titles;
    std::vector<int> colours; // the graph window colours a curve by its profile
    std::vector<std::vector<std::pair<double, double>>> points;
    int curveCount() const override { return static_cast<int>(titles.size()); }
    void addCurve(const FraserRun& run) override {
        titles.push_back(run.title);
        colours.push_back(run.profile);
        points.emplace_back();
    }
    void markCurveUsed(int) override {}
    void addPoint(int curve, double x, double y, bool) override {
        points[static_cast<std::size_t>(curve)].push_back({x, y});
    }
};

} // namespace

TEST(ModelPictures, SectionShowsLayersBodiesAndSheetsThinnerThanACell) {
    GroundModel model;
    model.layers = {{20, 100}, {0, 1000}};
    model.bodies = {{{{40, 30}, {60, 30}, {60, 80}, {40, 80}}, 1},
                    {sheetPolygon(150, 10, 60, 90, 0.5), 0.5 / 20}};
    model.stations = {0, 200};
    model.frequencies = {20000};
    const ModelSection section = modelSection(model);
    EXPECT_EQ(section.reference, 100);
    EXPECT_NEAR(section.field.valueAt(100, 5), 0, 1e-9);   // the top layer
    EXPECT_NEAR(section.field.valueAt(100, 50), -1, 1e-9); // the layer below
    EXPECT_NEAR(section.field.valueAt(50, 50), 2, 1e-9);   // the block
    EXPECT_GT(section.field.valueAt(150, 40), 1);          // the sheet, 0.5 m in a 1 m cell
    EXPECT_GE(section.field.top(), 80);                    // the deepest depth shown
}

TEST(ModelPictures, CurvesOfTiltAndEllipticityPerFrequency) {
    GroundModel model;
    model.layers = {{0, 100}};
    model.stations = {0, 25};
    model.frequencies = {19800, 23400};
    std::vector<StationResponse> responses;
    for (double station : model.stations)
        for (double f : model.frequencies) responses.push_back({station, f, {0.1, 0.1}, 1});
    Curves curves;
    plotModelResponse(model, responses, curves);
    EXPECT_EQ(curves.titles,
              (std::vector<std::string>{"Tilt.ver(%) 19800 Hz", "Ellip.ver(%) 19800 Hz",
                                        "Tilt.ver(%) 23400 Hz", "Ellip.ver(%) 23400 Hz"}));
    EXPECT_EQ(curves.colours, (std::vector<int>{1, 2, 1, 2})); // tilt and ellipticity apart
    ASSERT_EQ(curves.points[2].size(), 2u);
    EXPECT_EQ(curves.points[2][1].first, 25);
    EXPECT_DOUBLE_EQ(curves.points[2][1].second, tiltPercent({0.1, 0.1}));
    EXPECT_DOUBLE_EQ(curves.points[3][0].second, ellipticityPercent({0.1, 0.1}));
}
