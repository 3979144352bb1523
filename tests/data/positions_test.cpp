// The positions file: what it reads, what it refuses with which line, what
// it writes, and how its positions match a data set's stations.
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "data/positions_file.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "data/vlf_file.h"
#include "records.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using veldro::test::TempDir;

namespace {

const std::string kHeader = "profile,station,easting,northing,elevation\n";

StationPosition at(int profile, int station, std::optional<PlanPoint> plan,
                   std::optional<double> elevation) {
    return {{profile, station}, plan, elevation};
}

struct GoodCase {
    const char* name;
    std::string text;
    std::vector<StationPosition> expected; // by profile then station
};

std::vector<GoodCase> goodCases() {
    return {
        {"plain",
         kHeader + "1,0,500000,7000050,120.5\n",
         {at(1, 0, PlanPoint{500000, 7000050}, 120.5)}},
        {"columns in any order and case, others ignored, quoted, CR LF, byte order mark",
         "\xEF\xBB\xBFName,Elevation,Station,PROFILE,Northing,Easting\r\n"
         "\"a, \"\"b\"\"\",12,25,3,\"7000150\" , 500025.5\r\n",
         {at(3, 25, PlanPoint{500025.5, 7000150}, 12.0)}},
        {"heights only, map only, blank lines, CR, signs, exponents",
         "\r profile , station,easting,northing,elevation\r\r2,0,1e3,+2.5e3,\r2,-25,,,-98\r\t\r",
         {at(2, -25, std::nullopt, -98.0), at(2, 0, PlanPoint{1000, 2500}, std::nullopt)}},
        {"no rows", kHeader, {}},
    };
}

TEST(PositionsFile, ReadsWhatTheRulesAllow) {
    for (const GoodCase& c : goodCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readPositions(c.text, "p.csv").all(), c.expected);
    }
}

struct BadCase {
    const char* name;
    std::string text;
    std::vector<std::string> problems;
};

std::vector<BadCase> badCases() {
    const std::string rule =
        " (the header names profile, station, easting, northing and elevation, in any order)";
    return {
        {"empty", "", {"line 1: no header" + rule}},
        {"blank", "\n \n", {"line 1: no header" + rule}},
        {"semicolons",
         "profile;station;easting;northing;elevation\n1;0;1;2;3\n",
         {"line 1: no column named profile" + rule, "line 1: no column named station" + rule,
          "line 1: no column named easting" + rule, "line 1: no column named northing" + rule,
          "line 1: no column named elevation" + rule}},
        {"other names",
         "\nprofile,station,x,y,elevation\n",
         {"line 2: no column named easting" + rule, "line 2: no column named northing" + rule}},
        {"a column twice",
         "profile,station,easting,northing,elevation,Station\n",
         {"line 1: two columns named station"}},
        {"bad rows",
         kHeader +                          // line 1
             "1,0,500000,7000000,100\n"     // 2
             "1,x,500000,7000000,100\n"     // 3
             "1,25,500000,,100\n"           // 4
             "1,50,\"5e5,7000000,100\n"     // 5
             "1,75,\"500000\"x,7000000,1\n" // 6
             "1,100,500 000,7000000,100\n"  // 7
             "1,125,500000,7000000,30000\n" // 8
             "1,150,,,\n"                   // 9
             "1,175\n"                      // 10
             "\n"                           // 11
             "1,0,500001,7000000,101\n"     // 12
             "40000,0,,,1\n"                // 13
             "1,200,nan,7000000,1\n"        // 14
             "1,225,1,inf,1\n"              // 15
             "1,250,1,2,12,5\n"             // 16
             "1,0,1,2,3\n"                  // 17
             "1,275,,7000000,1\n"           // 18
             ",300,1,2,3\n"                 // 19
             "1,325,1,2,-20000.5\n",        // 20
         {"line 3: station \"x\" is not a whole number from -32768 to 32767",
          "line 4: easting without northing", "line 5: a quoted field is not closed",
          "line 6: text after a quoted field",
          "line 7: easting \"500 000\" is not a number of metres from -100000000 to 100000000",
          "line 8: elevation \"30000\" is not a number of metres from -20000 to 20000",
          "line 9: no easting, northing or elevation", "line 10: 2 fields where the header has 5",
          "line 12: profile 1 station 0 is also on line 2",
          "line 13: profile \"40000\" is not a whole number from -32768 to 32767",
          "line 14: easting \"nan\" is not a number of metres from -100000000 to 100000000",
          "line 15: northing \"inf\" is not a number of metres from -100000000 to 100000000",
          "line 16: 6 fields where the header has 5",
          "line 17: profile 1 station 0 is also on line 2", "line 18: northing without easting",
          "line 19: profile \"\" is not a whole number from -32768 to 32767",
          "line 20: elevation \"-20000.5\" is not a number of metres from -20000 to 20000"}},
    };
}

TEST(PositionsFile, RefusesABadFileNamingEachBadLine) {
    for (const BadCase& c : badCases()) {
        SCOPED_TRACE(c.name);
        try {
            readPositions(c.text, "p.csv");
            ADD_FAILURE() << "read";
        } catch (const PositionsFileError& e) {
            EXPECT_EQ(e.problems(), c.problems);
        }
    }
}

TEST(PositionsFile, MessageListsTheFirstTwentyProblems) {
    std::string text = kHeader;
    for (int i = 0; i < 23; ++i) text += "1,x,1,2,3\n";
    try {
        readPositions(text, "dir/p.csv");
        ADD_FAILURE() << "read";
    } catch (const PositionsFileError& e) {
        std::string expected = "Positions not read from dir/p.csv:";
        for (int line = 2; line < 22; ++line)
            expected += "\nline " + std::to_string(line) +
                        ": station \"x\" is not a whole number from -32768 to 32767";
        EXPECT_EQ(e.what(), expected + "\nand 3 more problems");
    }
}

// Bounded: no more rows than a data set has stations, no more bytes than they take.
TEST(PositionsFile, RefusesMoreRowsOrBytesThanADataSetNeeds) {
    std::string text = kHeader;
    for (int i = 0; i <= MeasurementStore::kCapacity; ++i)
        text += std::to_string(i / 1000) + "," + std::to_string(i % 1000) + ",,,1\n";
    try {
        readPositions(text, "p.csv");
        ADD_FAILURE() << "read";
    } catch (const PositionsFileError& e) {
        EXPECT_EQ(e.problems(), std::vector<std::string>{"line 64002: more than 64000 rows, more "
                                                         "stations than a data set holds"});
    }
    text.erase(text.rfind("64,0,"));
    EXPECT_EQ(readPositions(text, "p.csv").size(), 64000u);

    TempDir dir;
    const std::string big = dir.file("big.positions.csv");
    test::writeBytes(big, kHeader + std::string(kLargestPositionsFile, '\n'));
    try {
        readPositionsFile(big);
        ADD_FAILURE() << "read";
    } catch (const PositionsFileError& e) {
        EXPECT_EQ(e.what(), "Positions not read from " + big +
                                ":\nthe file is over 16 MiB, more than the positions of 64000 "
                                "stations take");
    }
}

TEST(PositionsFile, WritesTheRowsAsTheRulesSayAndReadsThemBack) {
    const StationPositions positions({at(2, 25, std::nullopt, -3.25),
                                      at(1, 0, PlanPoint{500000.5, 7000050}, std::nullopt),
                                      at(-1, -50, PlanPoint{-0.1, 1e-7}, 1.0 / 3)});
    const std::string text = positionsFileText(positions);
    EXPECT_EQ(text, kHeader + // by profile, then station; the fewest digits that read back
                        "-1,-50,-0.1,1e-07,0.3333333333333333\n"
                        "1,0,500000.5,7000050,\n"
                        "2,25,,,-3.25\n");
    EXPECT_EQ(readPositions(text, "p.csv").all(), positions.all());
}

TEST(PositionsFile, IsReadBesideTheDataFileWhenThere) {
    TempDir dir;
    const std::string data = dir.file("line1.vlf");
    EXPECT_EQ(positionsFileNameFor(data), dir.file("line1.positions.csv"));
    EXPECT_FALSE(readPositionsBeside(data).has_value());
    test::writeBytes(dir.file("line1.positions.csv"), kHeader + "4,0,,,7\n");
    const auto read = readPositionsBeside(data);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->all(), std::vector<StationPosition>{at(4, 0, std::nullopt, 7.0)});
}

// Kept stations of any mode and frequency count once; an ignored record
// makes no station.
TEST(PositionMatch, NamesStationsWithoutPositionAndRowsWithoutStation) {
    using veldro::test::record;
    MeasurementStore store;
    for (int station = 0; station <= 200; station += 25)
        for (int number : {1, 2})
            store.append(record({.profile = 1, .station = station, .frequencyNumber = number}));
    store.append(record({.profile = 2, .station = 0, .resistivity = true}));
    store.append(record({.profile = 2, .station = 10, .kept = false}));
    for (int profile = 3; profile <= 5; ++profile)
        store.append(record({.profile = profile, .station = 0}));
    const RowList rows = buildRowList(store);
    std::vector<StationPosition> placed;
    for (int station = 0; station <= 25; station += 25)
        placed.push_back(at(1, station, std::nullopt, 1.0));
    for (int station : {0, 10, 20}) placed.push_back(at(2, station, std::nullopt, 1.0));
    placed.push_back(at(9, 0, std::nullopt, 1.0));
    const StationPositions positions(placed);

    const PositionMatch match = matchPositions(SurveyView(store, rows, &positions));
    EXPECT_EQ(match.stations(), 13);
    EXPECT_EQ(match.matched(), 3);
    ASSERT_NE(match.profile(1), nullptr);
    EXPECT_EQ(match.profile(1)->stations, 9);
    EXPECT_EQ(match.profile(1)->matched, 2);
    EXPECT_EQ(match.profile(9), nullptr);
    EXPECT_EQ(matchReport(match, 10), "3 of 13 stations matched\n"
                                      "Stations without a position:\n"
                                      "profile 1: 7 stations from 50 to 200\n"
                                      "profile 3: 0\nprofile 4: 0\nprofile 5: 0\n"
                                      "Rows matching no station:\n"
                                      "profile 2: 10, 20\nprofile 9: 0");
    EXPECT_EQ(matchReport(match, 2), "3 of 13 stations matched\n"
                                     "Stations without a position:\n"
                                     "profile 1: 7 stations from 50 to 200\n"
                                     "profile 3: 0\nand 2 more profiles\n"
                                     "Rows matching no station:\n"
                                     "profile 2: 10, 20\nprofile 9: 0");
    EXPECT_EQ(matchReport(matchPositions(SurveyView(store, rows)), 10),
              "0 of 13 stations matched\nStations without a position:\n"
              "profile 1: 9 stations from 0 to 200\nprofile 2: 0\nprofile 3: 0\nprofile 4: 0\n"
              "profile 5: 0");
}

// The demo survey's positions file places every station it has, and nothing else.
TEST(PositionMatch, DemoSurveyHasAPositionForEveryStation) {
    const std::string demo = VELDRO_GOLDEN_DIR "/../../examples/demo_survey.vlf";
    veldro::test::RecordingMessages messages;
    const DataFileRead read = readDataFile(demo, messages);
    ASSERT_EQ(read.status, DataFileStatus::Opened);
    const MeasurementStore& store = *read.store;
    const RowList rows = buildRowList(store);
    const auto positions = readPositionsBeside(demo);
    ASSERT_TRUE(positions.has_value());
    const PositionMatch match = matchPositions(SurveyView(store, rows, &*positions));
    EXPECT_EQ(match.matched(), match.stations());
    EXPECT_TRUE(match.unused.empty());
    for (const StationPosition& p : positions->all())
        EXPECT_TRUE(p.plan && p.elevation) << p.key.profile << ' ' << p.key.station;
}

} // namespace
