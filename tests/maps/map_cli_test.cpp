// veldro-cli map and export vtk: the files each extension writes, and the
// messages when positions are missing or a request cannot be met.
#include "maps/utm.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using veldro::test::CliRun;
using veldro::test::runCli;
using veldro::test::TempDir;

namespace {

const std::string kDemo = std::string(VELDRO_GOLDEN_DIR) + "/../../examples/demo_survey";

std::string start(const std::string& path, std::size_t length) {
    const std::vector<std::uint8_t> bytes = veldro::test::readBytes(path);
    return {bytes.begin(),
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(length, bytes.size()))};
}

TEST(MapCli, EachExtensionWritesItsKindOfFile) {
    const TempDir dir;
    const struct {
        const char* name;
        std::string start;
    } outputs[] = {{"f.asc", "ncols "},
                   {"f.grd", "DSAA\n"},
                   {"f.geojson", "{\"type\":\"FeatureCollection\",\"name\":\"Fraser (%)\""},
                   {"f.kml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml"}};
    for (const auto& o : outputs) {
        if (o.start.find("<kml") != std::string::npos && !veldro::canComputeLatLon()) continue;
        const CliRun run =
            runCli("map fraser " + kDemo + ".vlf --crs 33N --cell 20 -o " + dir.file(o.name));
        EXPECT_EQ(run.status, 0) << o.name << ": " << run.err;
        EXPECT_EQ(start(dir.file(o.name), o.start.size()), o.start) << o.name;
    }
    // The grid's coordinate system beside it, as GIS programs look for it.
    const std::string prj = "PROJCS[\"WGS_1984_UTM_Zone_33N\"";
    EXPECT_EQ(start(dir.file("f.prj"), prj.size()), prj);
    EXPECT_EQ(runCli("map kh " + kDemo + ".vlf --depth 50 -o " + dir.file("k.grd")).status, 0);
}

TEST(MapCli, SaysWhatIsMissingOrWrong) {
    const TempDir dir;
    const std::string alone = dir.file("alone.vlf");
    std::filesystem::copy_file(kDemo + ".vlf", alone);
    veldro::test::writeBytes(dir.file("two.csv"), "profile,station,easting,northing,elevation\n"
                                                  "1,0,0,0,\n1,1000,1000,0,\n2,0,0,50,\n"
                                                  "2,1000,1000,50,\n");
    const struct {
        std::string arguments;
        int status;
        std::string errStart;
    } cases[] = {
        {"map fraser " + alone + " -o " + dir.file("m.asc"), 1,
         "No positions: " + dir.file("alone.positions.csv") +
             " is not there, and --positions names none"},
        {"map fraser " + kDemo + ".vlf -o " + dir.file("m.txt"), 2,
         "veldro-cli map fraser: -o names a .asc, .grd, .geojson, .kml, .png, .svg or .pdf file, "
         "not " +
             dir.file("m.txt")},
        {"map fraser " + kDemo + ".vlf -o " + dir.file("m.kml"), 2,
         "veldro-cli map fraser: KML needs latitude and longitude: give the positions' coordinate "
         "system with --crs"},
        {"map fraser " + kDemo + ".vlf --crs 33X -o " + dir.file("m.asc"), 2,
         "veldro-cli map fraser: --crs takes a UTM zone such as 33N"},
        {"map kh " + kDemo + ".vlf -o " + dir.file("m.asc"), 2,
         "veldro-cli map kh: --depth D names the pseudo-depth"},
        {"map kh " + kDemo + ".vlf --depth 50 --value-range 5:1 -o " + dir.file("m.png"), 2,
         "veldro-cli map kh: --value-range takes MIN:MAX, MIN below MAX"},
        // Profiles 1 and 2 placed, the rest named and left off.
        {"map fraser " + alone + " --positions " + dir.file("two.csv") + " -o " + dir.file("m.asc"),
         0, "profile 3 has no positions in " + dir.file("two.csv") + ": left off the map\n"},
        {"map section " + dir.file("model.json") + " --depth 5 --positions " + dir.file("two.csv") +
             " -o " + dir.file("m.asc"),
         2,
         "veldro-cli map section: " + dir.file("model.json") +
             ": a model's profile is known by its name, profile-P.json"},
        {"map section " + dir.file("profile-1.json") + " --positions " + dir.file("two.csv") +
             " -o " + dir.file("m.asc"),
         2, "veldro-cli map section: give either --depth D (below the surface) or --elevation E"},
        {"map section " + dir.file("profile-1.json") + " --depth 5 --resistivity-range 0:5" +
             " --positions " + dir.file("two.csv") + " -o " + dir.file("m.png"),
         2, "veldro-cli map section: --resistivity-range takes MIN:MAX in ohm.m"},
        {"export vtk " + dir.file("profile-1.json") + " -o " + dir.file("s.vtu"), 2,
         "veldro-cli export vtk: No positions: --positions P.csv names the stations' positions "
         "file"},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.err;
        EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart) << c.arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("m.txt")));
}

// An inversion's model file: under stations 0 to 100 two columns of cells
// (and a padding column either side), rows 0-10 and 10-30 m deep.
std::string modelFile(int low) {
    const auto row = [](int a, int b) {
        return "[9, " + std::to_string(a) + ", " + std::to_string(b) + ", 9]";
    };
    return R"({"layers": [{"resistivity": 300}], "bodies": [{"grid": {"x": [-100, 0, 50, 100, 200],
      "z": [0, 10, 30], "resistivity": [)" +
           row(low, low * 2) + ", " + row(low * 4, low * 8) +
           R"(]}}], "stations": [0, 50, 100], "frequencies": [19800]})";
}

TEST(MapCli, SlicesAndStandsTheInvertedSections) {
    const TempDir dir;
    std::filesystem::create_directory(dir.file("models"));
    veldro::test::writeBytes(dir.file("models/profile-1.json"), modelFile(1));
    veldro::test::writeBytes(dir.file("models/profile-2.json"), modelFile(10));
    veldro::test::writeBytes(dir.file("p.csv"), "profile,station,easting,northing,elevation\n"
                                                "1,0,0,0,100\n1,100,100,0,100\n"
                                                "2,0,0,50,100\n2,100,100,50,100\n");
    const std::string common = " --positions " + dir.file("p.csv") + " -o ";
    // 20 m down: the lower row, 4 and 8 ohm.m on profile 1, 40 and 80 on 2,
    // down the middle of the columns under the stations.
    ASSERT_EQ(
        runCli("map section " + dir.file("models") + " --depth 20" + common + dir.file("s.geojson"))
            .status,
        0);
    const std::string json = start(dir.file("s.geojson"), 100000);
    for (const char* value :
         {"\"profile\":1,\"station\":25,\"value\":4}", "\"profile\":1,\"station\":75,\"value\":8}",
          "\"profile\":2,\"station\":25,\"value\":40}",
          "\"profile\":2,\"station\":75,\"value\":80}"})
        EXPECT_NE(json.find(value), std::string::npos) << value;
    const CliRun grid = runCli("map section " + dir.file("models/profile-1.json") + ' ' +
                               dir.file("models/profile-2.json") + " --elevation 95 --cell 25" +
                               common + dir.file("s.grd"));
    ASSERT_EQ(grid.status, 0) << grid.err;
    // 5 m down at 95 m: the upper row, 1 and 2 ohm.m on profile 1, 10 and 20
    // on profile 2, at nodes of 25 m cells from (25, 0), gridded as logarithms.
    std::istringstream in(start(dir.file("s.grd"), 100000));
    std::string magic;
    int columns = 0, rows = 0;
    double x0, x1, y0, y1, low, high;
    in >> magic >> columns >> rows >> x0 >> x1 >> y0 >> y1 >> low >> high;
    std::vector<double> nodes(static_cast<std::size_t>(columns * rows));
    for (double& v : nodes) in >> v;
    EXPECT_EQ(x0, 25);
    EXPECT_EQ(y0, 0);
    const auto node = [&](int c, int r) {
        return nodes[static_cast<std::size_t>(r * columns + c)];
    };
    EXPECT_NEAR(node(0, 0), 1, 0.01);
    EXPECT_NEAR(node(2, 0), 2, 0.02);
    EXPECT_NEAR(node(0, 2), 10, 0.1);
    EXPECT_NEAR(node(2, 2), 20, 0.2);
    ASSERT_EQ(runCli("export vtk " + dir.file("models") + common + dir.file("s.vtu")).status, 0);
    EXPECT_NE(start(dir.file("s.vtu"), 1000).find("NumberOfCells=\"8\""), std::string::npos);
}

} // namespace
