// invert run as a user would.
#include "data/file_io.h"
#include "interpretation/ground_model.h"
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace veldro;
using veldro::test::CliRun;
using veldro::test::runCli;
using veldro::test::TempDir;

namespace {

std::string textOf(const std::string& path) {
    const auto bytes = veldro::test::readBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Two profiles over a conductive sheet, as `generate --model` and `add` make them.
std::string twoProfiles(const TempDir& dir) {
    const std::string model = dir.file("model.json");
    writeFileAtomically(model, R"({"layers": [{"resistivity": 1000}],
        "bodies": [{"sheet": {"x": 100, "top": 10, "extent": 60, "dip": 90, "thickness": 2,
                              "conductance": 20}}],
        "stations": {"from": 0, "to": 200, "step": 50}, "frequencies": [19800, 23400]})");
    for (const char* profile : {"1", "2"}) {
        const CliRun run = runCli("generate --model " + model + " --noise 2 --profile " + profile +
                                  " -o " + dir.file(std::string("p") + profile + ".vlf"));
        EXPECT_EQ(run.status, 0) << run.err;
    }
    const std::string both = dir.file("both.vlf");
    const CliRun run =
        runCli("add " + dir.file("p1.vlf") + " " + dir.file("p2.vlf") + " -o " + both);
    EXPECT_EQ(run.status, 0) << run.err;
    return both;
}

} // namespace

// With --doi, each profile is inverted twice more and its section text gains
// the depth of investigation.
TEST(InvertCli, SeveralProfilesGoToAFolderAsModelsThatForwardReads) {
    TempDir dir;
    const std::string survey = twoProfiles(dir);
    const CliRun run =
        runCli("invert " + survey + " -o " + dir.file("models") +
               " --threads 2 --max-iterations 2 --doi" + " --section-text " + dir.file("sections"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Profile 2, iteration 1: RMS "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Profile 2, depth of investigation run 2 of 2, iteration 1: RMS "),
              std::string::npos)
        << run.err;
    for (const char* profile : {"1", "2"}) {
        const std::string model = dir.file("models/profile-" + std::string(profile) + ".json");
        const GroundModel ground = parseGroundModel(textOf(model));
        EXPECT_EQ(ground.stations.size(), 5u);
        EXPECT_EQ(ground.frequencies, (std::vector<double>{19800, 23400}));
        // The models are alike in form: forward's reading one of them shows it
        // reads what invert writes, at the cost of one solve on a grid of bodies.
        if (profile == std::string("1")) {
            const CliRun forward = runCli("forward " + model + " -o " + dir.file("forward.txt"));
            EXPECT_EQ(forward.status, 0) << forward.err;
        }
        // A line per cell of the grid under the stations (0 to 200 m), each
        // cell a body of the model; the padding cells beyond are left out.
        const std::string section =
            textOf(dir.file("sections/profile-" + std::string(profile) + ".txt"));
        EXPECT_EQ(section.rfind("X\tZ\tResistivity (ohm.m)\tSensitivity\tDOI\n", 0), 0u);
        const auto underStations =
            std::count_if(ground.bodies.begin(), ground.bodies.end(), [](const Body& cell) {
                const double x = (cell.polygon[0].x + cell.polygon[1].x) / 2;
                return x >= 0 && x <= 200;
            });
        EXPECT_LT(static_cast<std::size_t>(underStations), ground.bodies.size());
        EXPECT_EQ(std::count(section.begin(), section.end(), '\n'), underStations + 1);
    }
}

TEST(InvertCli, WrongCallsSayWhyAndWriteNothing) {
    TempDir dir;
    const std::string survey = twoProfiles(dir);
    const std::string out = dir.file("inverted.json");
    const std::string holes = dir.file("holes.csv");
    writeFileAtomically(holes, "name,profile,station\nBH1,1,100\n0,10,-5\n");
    const std::string mapped = dir.file("mapped.csv");
    writeFileAtomically(mapped, "name,easting,northing\nBH1,1000,5000\n0,10,50\n");
    const struct {
        std::string options;
        int status;
        std::string message;
    } cases[] = {
        {"--doi", 2, "--doi is written into the section text: give --section-text"},
        {"--borehole-weight 0", 2, "--borehole-weight takes fixed or a weight from 0.01 to 1000"},
        {"--boreholes " + holes, 1, holes + ": line 3: a resistivity must be a number above 0"},
        {"--boreholes " + mapped, 1,
         mapped + ": BH1: placed by easting and northing, but no two stations of a profile"},
        {"--data gravity", 2, "--data takes tilt, resistivity or both"},
        {"--frequency-number 3", 2, "--frequency-number takes 1, 2 or all"},
        {"--error-floor 0", 2, "--error-floor takes a percentage from 0.01 to 100"},
        {"--error tilt=2,rho", 2, "--error takes QUANTITY=PCT,... with tilt, ellipticity, rho"},
        {"--error phase=200", 2, "--error takes QUANTITY=PCT,... with tilt, ellipticity, rho"},
        {"--horizontal-weight 0", 2, "--horizontal-weight takes a weight from 0.01 to 100"},
        {"--error-model guess", 2, "--error-model takes estimate or floor"},
        {"--exclude 10,,20", 2, "--exclude takes stations separated by commas"},
        {"--exclude 10:tilt,20:gravity", 2, "each alone or as STATION:QUANTITY with tilt,"},
        {"--profile 9", 1, "profile 9: no two stations with kept records of the data asked for"},
        {"--data resistivity", 1, "no profile holds data to invert"},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli("invert " + survey + " -o " + out + " " + c.options);
        EXPECT_EQ(run.status, c.status) << c.options;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fileExists(out));
    }
}

// Floors named one by one weigh the data as the same floor given for all
// does: the starting ground's RMS (a target it already meets) says so.
TEST(InvertCli, ErrorsPerQuantityOverTheCommonFloor) {
    TempDir dir;
    const std::string survey = twoProfiles(dir);
    const auto startingRms = [&](const std::string& errors) {
        const CliRun run = runCli("invert " + survey + " -o " + dir.file("m.json") +
                                  " --profile 1 --target-rms 1000 " + errors);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.err;
    };
    const std::string common = startingRms("--error-floor 4");
    EXPECT_EQ(common.rfind("Profile 1: errors tilt 4.00 points (given), ellipticity 4.00 points "
                           "(given)\nProfile 1: RMS ",
                           0),
              0u)
        << common;
    EXPECT_NE(common.find(" after 0 iterations: target RMS reached"), std::string::npos) << common;
    EXPECT_EQ(startingRms("--error-floor 1 --error ellipticity=4,tilt=4,rho=9"), common);
    EXPECT_NE(startingRms("--error-floor 1 --error tilt=4"), common);
}

// Where invert writes is checked before it works: a name that cannot take
// the files, or one that would replace the data file or the model, is
// refused at once, and nothing is written.
TEST(InvertCli, OutputsAreCheckedBeforeAnyWork) {
    TempDir dir;
    const std::string survey = twoProfiles(dir);
    const std::vector<std::uint8_t> surveyBytes = veldro::test::readBytes(survey);
    const std::string aFile = dir.file("kept.txt");
    writeFileAtomically(aFile, "kept");
    const std::string aFolder = dir.file("sections");
    std::filesystem::create_directory(aFolder);
    const struct {
        std::string options;
        int status;
        std::string message;
    } cases[] = {
        {"--profile 1 -o " + survey, 2, "-o would write over the data file " + survey},
        {"--profile 1 -o " + dir.file("m.json") + " --section-text " + survey, 2,
         "--section-text would write over the data file " + survey},
        {"--profile 1 -o " + aFile + " --section-text " + dir.file("./kept.txt"), 2,
         "-o and --section-text name the same file"},
        {"-o " + aFile, 1, aFile + ": not a folder; with several profiles -o names a folder"},
        {"-o " + survey, 1, survey + ": not a folder; with several profiles -o names a folder"},
        {"--profile 1 -o " + aFolder, 1, aFolder + ": a folder; with one profile -o names a file"},
        {"--profile 2 -o " + dir.file("none/m.json"), 1,
         "Cannot write " + dir.file("none/m.json") + ": no folder " + dir.file("none")},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli("invert " + survey + " " + c.options);
        EXPECT_EQ(run.status, c.status) << c.options;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(", iteration 1: RMS"), std::string::npos) << run.err;
    }
    EXPECT_EQ(veldro::test::readBytes(survey), surveyBytes);
    EXPECT_EQ(textOf(aFile), "kept");
    EXPECT_FALSE(fileExists(dir.file("m.json")));
}

// A uniform 1000 ohm.m ground under a ridge 40 m high: its survey and its
// stations' heights, as generate writes them. Under its heights the section
// stays uniform; taken as flat it shows the ridge's bending as structure.
TEST(InvertCli, HeightsBesideTheDataKeepARidgeFromMakingFalseStructure) {
    TempDir dir;
    const std::string model = dir.file("ridge.json");
    writeFileAtomically(model, R"({"layers": [{"resistivity": 1000}],
        "topography": [[125, 0], [200, 40], [275, 0]],
        "stations": {"from": 50, "to": 350, "step": 10}, "frequencies": [19800]})");
    const std::string survey = dir.file("ridge.vlf");
    ASSERT_EQ(runCli("generate --model " + model + " --noise 1 -o " + survey).status, 0);
    // The range of the resistivities of the cells the data see.
    const auto seen = [&](const std::string& options) {
        const std::string section = dir.file("section.txt");
        // Given floors above the noise: what is compared is the surface, not
        // an estimate of the errors.
        const CliRun run = runCli("invert " + survey + " -o " + dir.file("m.json") +
                                  " --error-floor 2 --section-text " + section + options);
        EXPECT_EQ(run.status, 0) << run.err;
        std::istringstream lines(textOf(section));
        std::string header;
        std::getline(lines, header);
        double x = 0, z = 0, rho = 0, sensitivity = 0, low = 1e9, high = 0;
        while (lines >> x >> z >> rho >> sensitivity)
            if (sensitivity > 0.1) low = std::min(low, rho), high = std::max(high, rho);
        return std::pair{low, high};
    };
    const auto [low, high] = seen("");
    EXPECT_GT(low, 1000 / 1.5);
    EXPECT_LT(high, 1000 * 1.5);
    const auto [flatLow, flatHigh] = seen(" --no-topography");
    EXPECT_TRUE(flatLow < 1000 / 1.5 || flatHigh > 1000 * 1.5) << flatLow << " to " << flatHigh;
}
