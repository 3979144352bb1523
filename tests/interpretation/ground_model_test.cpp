// The model file: what it describes, and what a bad one is told.
#include "interpretation/ground_model.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace veldro;

namespace {

const char* const kExample = R"({
  "layers": [ {"thickness": 20, "resistivity": 300}, {"resistivity": 2000} ],
  "bodies": [
    {"polygon": [[440, 15], [460, 15], [460, 200], [440, 200]], "resistivity": 5},
    {"sheet": {"x": 700, "top": 10, "extent": 150, "dip": 60, "thickness": 2, "conductance": 50}},
    {"grid": {"x": [0, 10, 30], "z": [5, 15], "resistivity": [[100, 200]]}}
  ],
  "stations": {"from": 0, "to": 1000, "step": 25},
  "frequencies": [19800, 23400],
  "topography": [[0, 312.5], [500, 340], [1000, 300]]
})";

} // namespace

TEST(GroundModel, ReadsLayersBodiesStationsAndFrequencies) {
    const GroundModel model = parseGroundModel(kExample);
    ASSERT_EQ(model.layers.size(), 2u);
    EXPECT_EQ(model.layers[0].thickness, 20);
    EXPECT_EQ(model.layers[1].resistivity, 2000);
    ASSERT_EQ(model.bodies.size(), 4u); // the polygon, the sheet, the grid's two cells
    EXPECT_EQ(model.bodies[0].polygon.size(), 4u);
    EXPECT_EQ(model.bodies[1].resistivity, 2.0 / 50);
    EXPECT_EQ(model.bodies[3].resistivity, 200);
    EXPECT_EQ(model.bodies[3].polygon[0].x, 10);
    EXPECT_EQ(model.bodies[3].polygon[2].z, 15);
    ASSERT_EQ(model.stations.size(), 41u);
    EXPECT_EQ(model.stations.back(), 1000);
    EXPECT_EQ(model.frequencies, (std::vector<double>{19800, 23400}));
    EXPECT_EQ(model.topography[1], (TerrainPoint{500, 340}));
}

TEST(GroundModel, WrittenFileReadsBackToTheSameModel) {
    GroundModel model = parseGroundModel(kExample);
    // A sheet from the surface, its upper corners brought down to z 0; a
    // station and a resistivity that no short decimal holds.
    model.bodies.push_back(parseGroundModel(R"({"layers": [{"resistivity": 1}],
        "bodies": [{"sheet": {"x": 5, "top": 0, "extent": 9, "dip": 45, "thickness": 2,
                              "conductance": 3}}], "stations": [0], "frequencies": [1]})")
                               .bodies.front());
    model.stations.push_back(1000.0 + 1.0 / 3);
    model.bodies[0].resistivity = 0.1 + 0.2;
    EXPECT_EQ(parseGroundModel(groundModelJson(model)), model);
}

// An inversion's model file: its grid stays one, with its cells' sensitivity,
// and the bodies after it polygons; read and written, the same bytes.
TEST(GroundModel, AGridFileReadsAndWritesBackTheSameBytes) {
    const std::string file = R"({
  "bodies": [
    {
      "grid": {
        "resistivity": [
          [
            10.5,
            2000.0
          ]
        ],
        "sensitivity": [
          [
            1.0,
            0.25
          ]
        ],
        "x": [
          -50.0,
          0.0,
          40.0
        ],
        "z": [
          0.0,
          12.5
        ]
      }
    },
    {
      "polygon": [
        [
          0.0,
          1.0
        ],
        [
          5.0,
          1.0
        ],
        [
          5.0,
          3.0
        ]
      ],
      "resistivity": 7.0
    }
  ],
  "frequencies": [
    19800.0
  ],
  "layers": [
    {
      "resistivity": 300.0
    }
  ],
  "stations": [
    0.0,
    25.0
  ]
}
)";
    const GroundModel model = parseGroundModel(file);
    ASSERT_TRUE(model.grid);
    EXPECT_EQ(model.gridCells(), 2u);
    EXPECT_EQ(model.grid->sensitivity, (std::vector<double>{1, 0.25}));
    ASSERT_EQ(model.bodies.size(), 3u); // the solver reads the cells as bodies
    EXPECT_EQ(model.bodies[1].polygon,
              (std::vector<SectionPoint>{{0, 0}, {40, 0}, {40, 12.5}, {0, 12.5}}));
    EXPECT_EQ(model.bodies[1].resistivity, 2000);
    EXPECT_EQ(groundModelJson(model), file);
    // A grid after other bodies, or under hills, is cells like any body.
    EXPECT_FALSE(parseGroundModel(kExample).grid);
}

TEST(GroundModel, StationListsAreSortedOnce) {
    const GroundModel model = parseGroundModel(
        R"({"layers": [{"resistivity": 10}], "stations": [50, 0, 50, 25], "frequencies": [1000]})");
    EXPECT_EQ(model.stations, (std::vector<double>{0, 25, 50}));
}

TEST(GroundModel, SheetLeansTowardsLargerStationsBelowNinetyDegrees) {
    // Top centre (100, 10), 2 m thick, 100 m down a 60° dip.
    const auto corners = sheetPolygon(100, 10, 100, 60, 2);
    ASSERT_EQ(corners.size(), 4u);
    const double s = std::sin(std::numbers::pi / 3), c = std::cos(std::numbers::pi / 3);
    EXPECT_NEAR(corners[0].x, 100 - s, 1e-12);
    EXPECT_NEAR(corners[0].z, 10 + c, 1e-12);
    EXPECT_NEAR(corners[2].x, 100 + s + 100 * c, 1e-12);
    EXPECT_NEAR(corners[2].z, 10 - c + 100 * s, 1e-12);
    const auto vertical = sheetPolygon(100, 10, 50, 90, 4);
    EXPECT_NEAR(vertical[0].x, 98, 1e-12);
    EXPECT_NEAR(vertical[2].x, 102, 1e-12);
    EXPECT_NEAR(vertical[2].z, 60, 1e-12);
}

struct BadFile {
    const char* json;
    const char* message;
};

class GroundModelRefuses : public testing::TestWithParam<BadFile> {};

TEST_P(GroundModelRefuses, NamingTheKeyAndTheReason) {
    try {
        parseGroundModel(GetParam().json);
        FAIL() << "accepted " << GetParam().json;
    } catch (const ModelError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

#define TAIL R"("stations": [0], "frequencies": [1000])"
INSTANTIATE_TEST_SUITE_P(
    Files, GroundModelRefuses,
    testing::Values(
        BadFile{"{\"layers\": [",
                "parse error at line 1, column 13: syntax error while parsing "
                "value - unexpected end of input; expected '[', '{', or a literal"},
        BadFile{"[1]", "the file: must be an object {...}"},
        BadFile{R"({"stations": [0], "frequencies": [1000]})", "layers: missing"},
        BadFile{R"({"layers": [], )" TAIL "}", "layers: must not be empty"},
        BadFile{R"({"layer": [], )" TAIL "}", "layer: unknown key"},
        BadFile{R"({"layers": [{"resistivity": 0}], )" TAIL "}",
                "layers[0].resistivity: must be a number above 0"},
        BadFile{R"({"layers": [{"resistivity": "10"}], )" TAIL "}",
                "layers[0].resistivity: must be a number"},
        BadFile{R"({"layers": [{"resistivity": 10}, {"resistivity": 5}], )" TAIL "}",
                "layers[0].thickness: missing"},
        BadFile{R"({"layers": [{"resistivity": 10, "thickness": 5}], )" TAIL "}",
                "layers[0].thickness: the last layer reaches down without end: leave it out"},
        BadFile{
            R"({"layers": [{"resistivity": 10}], "bodies": [{"polygon": [[0, 1], [2, -1], [2, 5]],
                "resistivity": 1}], )" TAIL "}",
            "bodies[0].polygon[1][1]: must not lie above the surface (z 0 or more)"},
        BadFile{R"({"layers": [{"resistivity": 10}], "bodies": [{"polygon": [[0, 1], [2, 1]],
                "resistivity": 1}], )" TAIL "}",
                "bodies[0].polygon: needs 3 corners or more"},
        BadFile{
            R"({"layers": [{"resistivity": 10}], "bodies": [{"polygon": [[0, 1], [1, 1], [2, 1]],
                "resistivity": 1}], )" TAIL "}",
            "bodies[0].polygon: encloses no area"},
        BadFile{R"({"layers": [{"resistivity": 10}], "bodies": [{"box": {}}], )" TAIL "}",
                "bodies[0]: must hold a polygon, a sheet or a grid"},
        BadFile{R"({"layers": [{"resistivity": 10}], "bodies": [{"sheet": {"x": 0, "top": 5,
                "extent": 10, "dip": 190, "thickness": 1, "conductance": 1}}], )" TAIL "}",
                "bodies[0].sheet.dip: must be from 0 to 180 degrees"},
        BadFile{R"({"layers": [{"resistivity": 10}], "bodies": [{"sheet": {"x": 0, "top": 5,
                "extent": 10, "dip": 90, "thickness": 1}}], )" TAIL "}",
                "bodies[0].sheet.conductance: missing"},
        BadFile{R"({"layers": [{"resistivity": 10}], "bodies": [{"grid": {"x": [0, 5, 5],
                "z": [0, 1], "resistivity": [[1, 1]]}}], )" TAIL "}",
                "bodies[0].grid.x[2]: edges must rise"},
        BadFile{R"({"layers": [{"resistivity": 10}], "bodies": [{"grid": {"x": [0, 5, 6],
                "z": [0, 1], "resistivity": [[1]]}}], )" TAIL "}",
                "bodies[0].grid.resistivity[0]: needs one value per cell across (2)"},
        BadFile{R"({"layers": [{"resistivity": 10}], "bodies": [{"grid": {"x": [0, 5],
                "z": [0, 1], "resistivity": [[1]], "sensitivity": [[1.5]]}}], )" TAIL "}",
                "bodies[0].grid.sensitivity[0][0]: must be a number from 0 to 1"},
        BadFile{R"({"layers": [{"resistivity": 10}], "stations": {"from": 10, "to": 0, "step": 5},
                "frequencies": [1000]})",
                "stations.to: must not lie before stations.from"},
        BadFile{R"({"layers": [{"resistivity": 10}], "stations": {"from": 0, "to": 1e6, "step": 1},
                "frequencies": [1000]})",
                "stations: more than 5000 stations"},
        BadFile{R"({"layers": [{"resistivity": 10}], "stations": [0], "frequencies": [-3]})",
                "frequencies[0]: must be a number above 0"},
        BadFile{R"({"layers": [{"resistivity": 10}], "topography": [[0, 1], [0, 2]], )" TAIL "}",
                "topography[1][0]: points must rise in x"},
        BadFile{R"({"layers": [{"resistivity": 10}], "topography": [[0, 1, 2]], )" TAIL "}",
                "topography[0]: must be a point [x, elevation]"},
        BadFile{R"({"layers": [{"resistivity": 10}], "topography": [[0, 1e9]], )" TAIL "}",
                "topography[0][1]: must be an elevation from -20000 to 20000 m"}));

// A file made to exhaust the parser or the screen: its names are cut in the
// message, and the parse stops at a nesting or a count no model needs.
TEST(GroundModel, HugeFilesAreRefusedEarlyWithAShortMessage) {
    const std::string longName(1 << 20, 'k');
    const std::string unterminated = "[\"" + std::string(1 << 20, 'a');
    std::string manyValues = "[0";
    for (int i = 0; i < 1'000'000; ++i) manyValues += ",0";
    manyValues += ']';
    const std::string readPrefix = "parse error at line 1, column 1048579: syntax error while "
                                   "parsing value - invalid string: missing closing quote; last "
                                   "read: '\"";
    const struct {
        std::string json, message;
    } cases[] = {
        {"{\"" + longName + "\": 1}", std::string(40, 'k') + "...: unknown key"},
        {std::string(1 << 20, '['), "the file: lists and objects nested more than 16 deep"},
        {manyValues, "the file: more than 1000000 numbers, lists and objects"},
        {unterminated, readPrefix + std::string(160 - readPrefix.size(), 'a') + "..."},
    };
    for (const auto& c : cases) {
        try {
            parseGroundModel(c.json);
            ADD_FAILURE() << "accepted " << c.json.substr(0, 20);
        } catch (const ModelError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}
