// veldro-cli and the positions file: the positions command's report, and the
// file beside the data or --positions read by the commands that use them.
#include "data/measurement_store.h"
#include "records.h"
#include "test_support.h"

#include <cstdio>
#include <gtest/gtest.h>

using veldro::test::CliRun;
using veldro::test::runCli;
using veldro::test::TempDir;

namespace {

const std::string kHeader = "profile,station,easting,northing,elevation\n";

// Profile 1 at stations 0, 25 and 50 (50 ignored), profile 2 at station 0.
std::string writeSurvey(const TempDir& dir) {
    using veldro::test::record;
    veldro::MeasurementStore store;
    for (int station : {0, 25}) store.append(record({.profile = 1, .station = station}));
    store.append(record({.profile = 1, .station = 50, .kept = false}));
    store.append(record({.profile = 2, .station = 0}));
    const std::string path = dir.file("line.vlf");
    store.saveToFile(path);
    return path;
}

} // namespace

TEST(PositionsCli, PositionsSaysHowTheFileMatchesTheStations) {
    TempDir dir;
    const std::string data = writeSurvey(dir);
    const std::string beside = dir.file("line.positions.csv");
    const std::string other = dir.file("other.csv");
    veldro::test::writeBytes(beside, kHeader + "1,0,1,2,3\n1,25,1,2,3\n2,0,1,2,3\n");
    veldro::test::writeBytes(other, kHeader + "1,0,1,2,3\n1,50,,,3\n7,0,,,3\n1,100,,,3\n");
    veldro::test::writeBytes(dir.file("bad.csv"), kHeader + "1,0,1,2,3\n1,0,,,3\n");
    const struct {
        std::string arguments;
        int status;
        std::string out, err;
    } cases[] = {
        {"positions " + data, 0, "Positions from " + beside + "\n3 of 3 stations matched\n", ""},
        {"positions " + data + " --positions " + other, 0,
         "Positions from " + other +
             "\n1 of 3 stations matched\nStations without a position:\nprofile 1: 25\n"
             "profile 2: 0\nRows matching no station:\nprofile 1: 50, 100\nprofile 7: 0\n",
         ""},
        {"positions " + data + " --positions " + dir.file("bad.csv"), 1, "",
         "Positions not read from " + dir.file("bad.csv") +
             ":\nline 3: profile 1 station 0 is also on line 2\n"},
        {"profiles " + data + " --positions " + other, 0,
         "1\t1\t0 to 25\t16000\tpositions 1 of 2\n2\t2\t0\t16000\tpositions 0 of 1\n", ""},
        {"profiles " + data, 0,
         "1\t1\t0 to 25\t16000\tpositions 2 of 2\n2\t2\t0\t16000\tpositions 1 of 1\n", ""},
        // Read and checked before any work.
        {"invert " + data + " -o " + dir.file("m.json") + " --positions " + dir.file("bad.csv"), 1,
         "",
         "Positions not read from " + dir.file("bad.csv") +
             ":\nline 3: profile 1 station 0 is also on line 2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
    const CliRun missing = runCli("positions " + data + " --positions " + dir.file("none.csv"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("Cannot open " + dir.file("none.csv") + ": ", 0), 0u)
        << missing.err;
    std::remove(beside.c_str());
    const CliRun none = runCli("positions " + data);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "No positions: " + beside + " is not there, and --positions names none\n");
    EXPECT_EQ(runCli("profiles " + data).out, "1\t1\t0 to 25\t16000\n2\t2\t0\t16000\n");
}
