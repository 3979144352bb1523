// invert1d run as a user would.
#include "data/file_io.h"
#include "test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

using namespace veldro;
using veldro::test::CliRun;
using veldro::test::runCli;
using veldro::test::TempDir;

namespace {

// Profile 4 over 100 ohm.m, 15 m thick, on 2000 ohm.m, as `generate --model`
// records it (Rho to a tenth of an ohm.m, the phase in whole degrees); in
// resistivity mode unless `tilt`.
std::string twoLayerSurvey(const TempDir& dir, bool tilt = false) {
    const std::string model = dir.file("two.json");
    writeFileAtomically(model, R"({"layers": [{"thickness": 15, "resistivity": 100},
        {"resistivity": 2000}], "stations": {"from": 0, "to": 100, "step": 25},
        "frequencies": [19800, 23400]})");
    const std::string survey = dir.file(tilt ? "tilt.vlf" : "two.vlf");
    const CliRun run = runCli("generate --model " + model + " --profile 4 -o " + survey +
                              (tilt ? "" : " --resistivity-mode"));
    EXPECT_EQ(run.status, 0) << run.err;
    return survey;
}

std::vector<std::vector<std::string>> rowsOf(const std::string& path) {
    const auto bytes = veldro::test::readBytes(path);
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string field; std::getline(cells, field, '\t');) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

} // namespace

// A line per station; the whole-degree phases move the layers, but no
// further than the uncertainties stated beside them.
TEST(Invert1dCli, TwoLayersPerStationWithinTheirUncertainties) {
    TempDir dir;
    const std::string out = dir.file("layers.txt");
    const CliRun run = runCli("invert1d " + twoLayerSurvey(dir) + " -o " + out + " --threads 2");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Profile 4: 5 stations, RMS "), std::string::npos) << run.err;
    const auto rows = rowsOf(out);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Profile", "Station", "Rho1 (ohm.m)", "h1 (m)",
                                                 "Rho2 (ohm.m)", "Rho1 factor", "h1 factor",
                                                 "Rho2 factor", "RMS"}));
    const double truth[] = {100, 15, 2000};
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 9u);
        EXPECT_EQ(rows[i][0], "4");
        EXPECT_EQ(std::stod(rows[i][1]), 25.0 * static_cast<double>(i - 1));
        for (std::size_t k = 0; k < 3; ++k) {
            const double found = std::stod(rows[i][2 + k]), factor = std::stod(rows[i][5 + k]);
            EXPECT_GT(factor, 1);
            EXPECT_LE(std::fabs(std::log(found / truth[k])), std::log(factor)) << rows[i][2 + k];
        }
        EXPECT_LT(std::stod(rows[i][8]), 1);
    }
}

TEST(Invert1dCli, WrongInputSaysWhyAndLeavesTheOutputAsItWas) {
    TempDir dir;
    const std::string survey = twoLayerSurvey(dir), tilt = twoLayerSurvey(dir, true);
    const std::string out = dir.file("kept.txt");
    const struct {
        std::string call;
        int status;
        std::string message;
    } cases[] = {
        {tilt + " -o " + out, 1, tilt + ": no kept records of Rho and phase (resistivity mode)\n"},
        {survey + " -o " + out + " --profile 9", 1,
         survey + ": no kept records of Rho and phase (resistivity mode) on profile 9\n"},
        {survey + " -o " + out + " --layers 1", 2,
         "--layers takes a whole number of layers from 2 to 100"},
        {survey + " -o " + survey, 2, "-o would write over the data file " + survey},
    };
    for (const auto& c : cases) {
        writeFileAtomically(out, "mine\n");
        const CliRun run = runCli("invert1d " + c.call);
        EXPECT_EQ(run.status, c.status) << c.call;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(veldro::test::readBytes(out),
                  (std::vector<std::uint8_t>{'m', 'i', 'n', 'e', '\n'}));
    }
}
