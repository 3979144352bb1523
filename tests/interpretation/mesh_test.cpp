// The mesh's rule: answers that stop moving when every cell is halved, and
// models the mesh cannot hold refused at once, naming the cause.
#include "interpretation/forward.h"
#include "interpretation/mesh_check.h"
#include "interpretation/section_mesh.h"

#include <gtest/gtest.h>
#include <string>

using namespace veldro;

namespace {

struct HardCase {
    const char* name;
    const char* json;
};

// Stations every 20 m over the body; the rule must hold there, where a crew looks.
const HardCase kHardCases[] = {
    {"DippingSheetUnderConductiveCover",
     R"({"layers": [{"thickness": 15, "resistivity": 300}, {"resistivity": 3000}],
         "bodies": [{"sheet": {"x": 500, "top": 15, "extent": 100, "dip": 60, "thickness": 2,
                               "conductance": 30}}],
         "stations": {"from": 400, "to": 600, "step": 20}, "frequencies": [23400]})"},
    {"BlockAboutASkinDepthWide",
     R"({"layers": [{"resistivity": 1000}],
         "bodies": [{"polygon": [[490, 10], [510, 10], [510, 80], [490, 80]], "resistivity": 10}],
         "stations": {"from": 400, "to": 600, "step": 20}, "frequencies": [19800]})"},
    {"SheetReachingTheSurface",
     R"({"layers": [{"resistivity": 1000}],
         "bodies": [{"sheet": {"x": 500, "top": 0, "extent": 80, "dip": 90, "thickness": 2,
                               "conductance": 20}}],
         "stations": {"from": 400, "to": 600, "step": 20}, "frequencies": [19800]})"},
    {"VerticalContact",
     R"({"layers": [{"resistivity": 1000}],
         "bodies": [{"polygon": [[500, 0], [3000, 0], [3000, 3000], [500, 3000]],
                     "resistivity": 100}],
         "stations": {"from": 400, "to": 600, "step": 20}, "frequencies": [19800]})"},
    {"RidgeOverUniformGround",
     R"({"layers": [{"resistivity": 1000}], "topography": [[125, 0], [200, 40], [275, 0]],
         "stations": {"from": 0, "to": 400, "step": 10}, "frequencies": [19800]})"},
};

class HardCases : public testing::TestWithParam<HardCase> {};

} // namespace

TEST_P(HardCases, AnswersMoveLessThanTheInstrumentReadsWhenEveryCellIsHalved) {
    const MeshCheck check = checkMesh(parseGroundModel(GetParam().json));
    const double limits[4] = {0.3, 0.3, 1.0, 0.2}; // % points, % points, %, degrees
    for (std::size_t q = 0; q < 4; ++q) {
        SCOPED_TRACE(testing::Message()
                     << "quantity " << q << " at " << check.changes[q].station << " m");
        EXPECT_LE(check.changes[q].largest, limits[q]);
    }
}

INSTANTIATE_TEST_SUITE_P(Mesh, HardCases, testing::ValuesIn(kHardCases),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(Mesh, ModelsBeyondItsReachAreRefusedAtOnceNamingTheKey) {
    struct Case {
        const char* json;
        const char* message; // how it starts
    };
    const Case cases[] = {
        {R"({"layers": [{"resistivity": 1000}], "stations": {"from": 0, "to": 1000, "step": 25},
             "bodies": [{"polygon": [[1e10, 10], [1e10, 20], [1.00000001e10, 20]],
                         "resistivity": 10}], "frequencies": [19800]})",
         "bodies[0]: lies more than"},
        {R"({"layers": [{"resistivity": 1000}], "stations": {"from": 0, "to": 1000, "step": 25},
             "bodies": [{"sheet": {"x": 500, "top": 10, "extent": 1e12, "dip": 90,
                                   "thickness": 2, "conductance": 20}}],
             "frequencies": [19800]})",
         "bodies[0]: lies more than"},
        {R"({"layers": [{"resistivity": 1000}], "stations": [1e20, 1.0000000000001e20],
             "frequencies": [19800], "bodies": [{"polygon": [[0, 1], [1, 1], [1, 2]],
                                                 "resistivity": 10}]})",
         "stations[0]: must lie within"},
        {R"({"layers": [{"resistivity": 1e-6}], "stations": [0, 10], "frequencies": [1e9],
             "bodies": [{"polygon": [[0, 1], [1, 1], [1, 2]], "resistivity": 10}]})",
         "layers[0]: its skin depth at 1e+09 Hz"},
        {R"({"layers": [{"resistivity": 1000}], "stations": [0, 10], "frequencies": [1e-310],
             "bodies": [{"polygon": [[0, 1], [1, 1], [1, 2]], "resistivity": 10}]})",
         "frequencies[0]: 1e-310 Hz reaches"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            sectionResponse(parseGroundModel(c.json));
            ADD_FAILURE() << "not refused";
        } catch (const ModelError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

TEST(Mesh, PlausibleModelsWithFarLayersOrOneCloseStationAreSolved) {
    for (const char* json :
         {// A station 1 m from another on a 2 km line: fine about those two only.
          R"({"layers": [{"resistivity": 1000}], "frequencies": [19800],
                 "stations": [0, 25, 50, 975, 1000, 1001, 1025, 1975, 2000],
                 "bodies": [{"polygon": [[990, 10], [1010, 10], [1010, 60], [990, 60]],
                             "resistivity": 10}]})",
          // A layer boundary far below the reach of the field is left to the boundary's field.
          R"({"layers": [{"thickness": 1e308, "resistivity": 1000}, {"resistivity": 10}],
                 "stations": [0, 50, 100], "frequencies": [19800],
                 "bodies": [{"polygon": [[40, 10], [60, 10], [60, 30], [40, 30]],
                             "resistivity": 10}]})"}) {
        const auto responses = sectionResponse(parseGroundModel(json));
        for (const StationResponse& r : responses) EXPECT_GT(apparentResistivity(r), 0);
    }
}

TEST(Mesh, TooManyNodesIsRefusedBeforeTheyAreMadeNamingWhatNeedsThem) {
    GroundModel model;
    model.layers = {{0, 300}};
    model.frequencies = {20000};
    for (double x = 0; x <= 4000; ++x) model.stations.push_back(x);
    model.bodies.push_back({{{0, 0}, {4000, 0}, {4000, 1000}, {0, 1000}}, 10});
    try {
        buildMesh(model);
        ADD_FAILURE() << "not refused";
    } catch (const ModelError& e) {
        EXPECT_STREQ(e.what(),
                     "the model needs a mesh of more than 300000 nodes, most of them for its "
                     "4001 stations");
    }
}
