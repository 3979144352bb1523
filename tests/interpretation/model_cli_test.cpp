// forward and generate --model run as a user would.
#include "data/file_io.h"
#include "data/measurement_record.h"
#include "data/measurement_store.h"
#include "interpretation/forward.h"
#include "test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace veldro;
using veldro::test::CliRun;
using veldro::test::runCli;
using veldro::test::TempDir;

namespace {

std::string modelFile(const TempDir& dir, const std::string& json) {
    const std::string path = dir.file("model.json");
    writeFileAtomically(path, json);
    return path;
}

std::vector<MeasurementRecord> recordsOf(const std::string& path) {
    const std::vector<std::uint8_t> bytes = veldro::test::readBytes(path);
    std::vector<MeasurementRecord> records;
    for (std::size_t at = MeasurementStore::kCommentSize;
         at + MeasurementRecord::kSize <= bytes.size(); at += MeasurementRecord::kSize)
        records.push_back(MeasurementRecord::decode(bytes.data() + at));
    return records;
}

const char* const kSheet = R"({"layers": [{"resistivity": 1000}],
    "bodies": [{"sheet": {"x": 100, "top": 15, "extent": 100, "dip": 90, "thickness": 2,
                          "conductance": 50}}],
    "stations": {"from": 0, "to": 200, "step": 25}, "frequencies": [19800, 23400]})";

} // namespace

TEST(ModelCli, ForwardWritesTheLayeredGroundsResponse) {
    TempDir dir;
    const std::string model = modelFile(dir, R"({"layers": [{"thickness": 30, "resistivity": 100},
        {"resistivity": 10}], "stations": [12.5, 0], "frequencies": [19800, 23400]})");
    // The decimal comma of the tables does not reach the file.
    const CliRun run =
        runCli("--decimal-separator , forward " + model + " -o " + dir.file("out.txt"));
    EXPECT_EQ(run.status, 0) << run.err;
    const auto bytes = veldro::test::readBytes(dir.file("out.txt"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              veldro::test::goldenText("forward_two_layers.txt"));
}

TEST(ModelCli, BadModelNamesTheFileTheKeyAndTheReasonAndWritesNothing) {
    TempDir dir;
    const std::string model = modelFile(dir, R"({"layers": [{"resistivity": -5}], "stations": [0],
        "frequencies": [1000]})");
    const CliRun run = runCli("forward " + model + " -o " + dir.file("out.txt"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, model + ": layers[0].resistivity: must be a number above 0\n");
    EXPECT_FALSE(fileExists(dir.file("out.txt")));
}

TEST(ModelCli, GeneratedTiltSurveyHoldsTheRoundedResponse) {
    TempDir dir;
    const std::string model = modelFile(dir, kSheet);
    const CliRun run =
        runCli("generate --model " + model + " --profile 7 -o " + dir.file("synth.vlf"));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto records = recordsOf(dir.file("synth.vlf"));
    const auto responses = computeResponse(parseGroundModel(kSheet));
    ASSERT_EQ(records.size(), responses.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const MeasurementRecord& r = records[i];
        SCOPED_TRACE(testing::Message() << "record " << i);
        EXPECT_EQ(r.profile, 7);
        EXPECT_EQ(r.station, responses[i].station);
        EXPECT_EQ(r.frequency, responses[i].frequency);
        EXPECT_EQ(r.frequencyNumber(), static_cast<int>(i % 2) + 1);
        EXPECT_FALSE(r.resistivityMode());
        EXPECT_EQ(r.tiltVertical, std::lround(tiltPercent(responses[i].tipper)));
        EXPECT_EQ(r.ellipticityVertical, std::lround(ellipticityPercent(responses[i].tipper)));
        EXPECT_GE(r.quality, 90);
        EXPECT_LE(r.quality, 100);
    }
    EXPECT_GT(records[6].tiltVertical, 20); // 75 m, before the sheet
}

TEST(ModelCli, GeneratedSurveyOverAHillHasItsHeightsBeside) {
    TempDir dir;
    const std::string model = modelFile(dir, R"({"layers": [{"resistivity": 1000}],
        "topography": [[0, 100], [100, 150]], "stations": [0, 50, 150], "frequencies": [19800]})");
    const CliRun run =
        runCli("generate --model " + model + " --profile 4 -o " + dir.file("hill.vlf"));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto bytes = veldro::test::readBytes(dir.file("hill.positions.csv"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "profile,station,easting,northing,elevation\n"
              "4,0,,,100\n"
              "4,50,,,125\n"
              "4,150,,,150\n");
}

TEST(ModelCli, GeneratedResistivitySurveyOverAUniformGround) {
    TempDir dir;
    const std::string model = modelFile(
        dir, R"({"layers": [{"resistivity": 250}], "stations": [0, 25], "frequencies": [20000]})");
    const CliRun run =
        runCli("generate --model " + model + " --resistivity-mode -o " + dir.file("synth.vlf"));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto records = recordsOf(dir.file("synth.vlf"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].resistivityMode());
    EXPECT_EQ(records[0].resistivity, 250.0f);
    EXPECT_EQ(records[0].phase, 45);
    // |E| = sqrt(Rho ω μ0) |H|: 250 ohm.m at 20 kHz, 100 µA/m.
    EXPECT_NEAR(records[0].eField,
                std::sqrt(250 * 2 * std::numbers::pi * 20000 * 4e-7 * std::numbers::pi) * 100,
                0.005);
}

TEST(ModelCli, NoiseHasTheGivenDeviationAndTheSeedRepeatsIt) {
    TempDir dir;
    const std::string model = modelFile(dir, R"({"layers": [{"resistivity": 250}],
        "stations": {"from": 0, "to": 5000, "step": 5}, "frequencies": [20000]})");
    const std::string args = "generate --model " + model + " --noise 3 --seed 9 -o ";
    ASSERT_EQ(runCli(args + dir.file("a.vlf")).status, 0);
    ASSERT_EQ(runCli(args + dir.file("b.vlf")).status, 0);
    EXPECT_EQ(veldro::test::readBytes(dir.file("a.vlf")),
              veldro::test::readBytes(dir.file("b.vlf")));
    double sum = 0, squares = 0;
    const auto records = recordsOf(dir.file("a.vlf"));
    for (const MeasurementRecord& r : records)
        sum += r.tiltVertical, squares += r.tiltVertical * r.tiltVertical;
    const double n = static_cast<double>(records.size());
    EXPECT_NEAR(sum / n, 0, 0.3);
    // Rounding to whole percent adds 1/12 to the variance.
    EXPECT_NEAR(std::sqrt(squares / n - sum * sum / n / n), std::sqrt(9 + 1.0 / 12), 0.2);
}

TEST(ModelCli, GenerateRefusesWhatTheRecordsCannotHold) {
    TempDir dir;
    const std::string model =
        modelFile(dir, R"({"layers": [{"resistivity": 250}], "stations": [0.5],
        "frequencies": [20000]})");
    const CliRun run = runCli("generate --model " + model + " -o " + dir.file("synth.vlf"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              model +
                  ": stations: the instrument keeps whole station numbers from -32767 to 32767\n");
    // Options of the other kind of survey, or a bad one, are usage errors.
    for (const std::string& wrong : {" --model " + model + " --noise x",
                                     " --model " + model + " --bru", std::string(" --noise 2")})
        EXPECT_EQ(runCli("generate" + wrong + " -o " + dir.file("s.vlf")).status, 2) << wrong;
}
