// veldro-cli's export and processing commands write what the window writes:
// checked against the same golden files, and read back where they write .vlf.
#include "data/vlf_file.h"
#include "export_data_test.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

class Cli : public ::testing::Test {
protected:
    TempDir dir;
    std::string errors, output;

    std::string f(const std::string& name) const { return dir.file(name); }
    // Runs veldro-cli with the words (each in double quotes, which both the POSIX
    // shell and a Windows command line take) and returns its exit status.
    int run(const std::vector<std::string>& words) {
        std::string arguments;
        for (const std::string& w : words) arguments += " \"" + w + "\"";
        const CliRun result = runCli(arguments);
        errors = result.err;
        output = result.out;
        return result.status;
    }
    std::string text(const std::string& path) {
        const auto bytes = readBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
    // Saves the data set in the test's folder and returns its path.
    std::string save(DataSet& d, const std::string& name) {
        d.store.saveToFile(f(name));
        return f(name);
    }
    std::unique_ptr<MeasurementStore> load(const std::string& path) {
        RecordingMessages messages;
        return readDataFile(path, messages).store;
    }
};

std::vector<int> flags(const MeasurementStore& store) {
    std::vector<int> ignored;
    for (int i = 0; i < store.count(); ++i) ignored.push_back(store.record(i).ignored);
    return ignored;
}

} // namespace

TEST_F(Cli, RawSpreadsheetBytes) {
    DataSet d = exportSurvey();
    const std::string in = save(d, "s.vlf");
    ASSERT_EQ(run({"export", "raw", in, "-o", f("a.txt"), "--separator", "comma"}), 0) << errors;
    EXPECT_EQ(text(f("a.txt")), goldenText("export_raw_all_columns_comma.txt"));
    ASSERT_EQ(run({"export", "raw", in, "-o", f("b.txt"), "--separator", "semicolon", "--columns",
                   "5,7"}),
              0);
    EXPECT_EQ(text(f("b.txt")), goldenText("export_raw_two_columns_semicolon.txt"));
    EXPECT_EQ(run({"export", "raw", in, "-o", f("c.txt"), "--columns", "21"}), 2);
    EXPECT_EQ(run({"export", "raw", in, "-o", f("c.txt"), "--columns", "1,,2"}), 2);
    EXPECT_EQ(run({"export", "raw", in, "-o", f("c.txt"), "--separator", "pipe"}), 2);
}

TEST_F(Cli, EmptyColumnListShowsNoQuantity) {
    DataSet d = exportSurvey();
    const std::string in = save(d, "s.vlf");
    ASSERT_EQ(run({"export", "raw", in, "-o", f("none.txt"), "--columns", ""}), 0) << errors;
    EXPECT_EQ(text(f("none.txt")), "\r\n\r\n\r\n");
}

TEST_F(Cli, FraserSpreadsheetBytes) {
    DataSet d;
    const int tilts[] = {10, 5, -3, -8, -2};
    for (int s = 0; s < 5; ++s)
        d.add({.profile = 7, .station = 25 * s, .tilt = tilts[s], .frequency = 19800});
    ASSERT_EQ(
        run({"export", "fraser", save(d, "f.vlf"), "-o", f("f.txt"), "--separator", "semicolon"}),
        0);
    EXPECT_EQ(text(f("f.txt")), goldenText("export_fraser_worked_example.txt"));
}

TEST_F(Cli, KarousHjeltSpreadsheetBytesAndLevels) {
    DataSet d = khSurvey();
    const std::string in = save(d, "kh.vlf");
    ASSERT_EQ(run({"--decimal-separator", ",", "export", "kh", in, "-o", f("kh.txt"), "--separator",
                   "semicolon"}),
              0)
        << errors;
    const std::string golden = goldenText("export_kh_three_runs.txt");
    EXPECT_EQ(text(f("kh.txt")), golden);
    // One level leaves out the only level-2 line, profile 5's at depth 20.
    ASSERT_EQ(run({"--decimal-separator", ",", "export", "kh", in, "-o", f("kh1.txt"),
                   "--separator", "semicolon", "--levels", "1"}),
              0);
    const std::string level2 = "5;50,0;20,0;19600;-5,10\r\n";
    EXPECT_EQ(text(f("kh1.txt")), golden.substr(0, golden.find(level2)) +
                                      golden.substr(golden.find(level2) + level2.size()));
    EXPECT_EQ(run({"export", "kh", in, "-o", f("kh0.txt"), "--levels", "0"}), 2);
    EXPECT_NE(errors.find("--levels takes a whole number of levels from 1 to 100"),
              std::string::npos)
        << errors;
}

TEST_F(Cli, FinishedReportStartsWithThePathAsGiven) {
    DataSet d = exportSurvey();
    ASSERT_EQ(run({"export", "report", save(d, "run 12.vlf"), "-o", f("r.txt")}), 0) << errors;
    const std::string golden = goldenText("export_report_finished.txt");
    EXPECT_EQ(text(f("r.txt")), f("run 12.vlf") + golden.substr(golden.find("\r\n")));
}

TEST_F(Cli, ProfileListAndXyzWadiBytes) {
    DataSet d = twoProfiles();
    const std::string in = save(d, "p.vlf");
    ASSERT_EQ(run({"profiles", in}), 0);
    EXPECT_EQ(output, "1\t1\t25 to 50\t16000  ;  19600\n2\t2\t100 to 125\t19600\n");
    ASSERT_EQ(run({"export", "xyz", in, "-o", f("p.xyz"), "--pick", "1=100", "--pick", "2"}), 0)
        << errors;
    EXPECT_EQ(text(f("p.xyz")), goldenText("export_xyz_two_profiles.txt"));
    ASSERT_EQ(run({"export", "wadi", in, "-o", f("p.wad"), "--pick", "1=100N", "--pick", "2=25E"}),
              0);
    EXPECT_EQ(text(f("p.wad")), goldenText("export_wadi_two_profiles.txt"));
}

TEST_F(Cli, ProfileExportRefusals) {
    DataSet d = twoProfiles();
    d.add({.profile = 3, .station = 1, .frequency = 18300});
    const std::string in = save(d, "p.vlf");
    EXPECT_EQ(run({"export", "xyz", in, "-o", f("p.xyz"), "--pick", "1"}), 2);
    EXPECT_NE(errors.find("16000 or 19600"), std::string::npos) << errors;
    EXPECT_EQ(run({"export", "xyz", in, "-o", f("p.xyz"), "--pick", "2", "--pick", "3"}), 1);
    EXPECT_EQ(errors, "No common frequency among selected profiles\n");
    EXPECT_EQ(run({"export", "xyz", in, "-o", f("p.xyz"), "--pick", "1=abc"}), 1);
    EXPECT_EQ(errors, "Please enter a valid numeric value\n");
    EXPECT_EQ(run({"export", "wadi", in, "-o", f("p.wad"), "--pick", "2=-5N"}), 1);
    EXPECT_EQ(errors, "Please enter a positive integer value\n");
    EXPECT_EQ(run({"export", "wadi", in, "-o", f("p.wad"), "--pick", "2=25"}), 1);
    EXPECT_EQ(errors, "Please select a cardinal direction\n");
    EXPECT_EQ(run({"export", "xyz", in, "-o", f("p.xyz"), "--pick", "4"}), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.xyz")));
}

TEST_F(Cli, KeepAndIgnoreRoundTripIntoTheSameFile) {
    DataSet d;
    for (int i = 0; i < 10; ++i) d.add({.station = i});
    const std::string in = save(d, "k.vlf");
    ASSERT_EQ(run({"ignore", in, "3-7,9", "-o", in}), 0) << errors;
    EXPECT_EQ(flags(*load(in)), (std::vector<int>{0, 0, 1, 1, 1, 1, 1, 0, 1, 0}));
    ASSERT_EQ(run({"keep", in, "4,9", "-o", in}), 0);
    EXPECT_EQ(flags(*load(in)), (std::vector<int>{0, 0, 1, 0, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(run({"keep", in, "11", "-o", in}), 2);
    EXPECT_EQ(run({"ignore", in, "7-3", "-o", in}), 2);
    EXPECT_NE(errors.find("7-3 runs backwards"), std::string::npos) << errors;
    EXPECT_EQ(flags(*load(in)), (std::vector<int>{0, 0, 1, 0, 1, 1, 1, 0, 0, 0}));
}

TEST_F(Cli, IgnoreOverloadAndDeleteIgnored) {
    DataSet d;
    d.add({.station = 1});
    MeasurementRecord overloaded = record({.station = 2});
    overloaded.status = makeStatus(0, false, 0, true, 0, false, 1, false);
    d.append(overloaded);
    d.add({.station = 3, .kept = false});
    ASSERT_EQ(run({"ignore-overload", save(d, "o.vlf"), "-o", f("o2.vlf")}), 0);
    EXPECT_EQ(flags(*load(f("o2.vlf"))), (std::vector<int>{0, 1, 1}));
    ASSERT_EQ(run({"delete-ignored", f("o2.vlf"), "-o", f("o3.vlf")}), 0);
    const auto kept = load(f("o3.vlf"));
    ASSERT_EQ(kept->count(), 1);
    EXPECT_EQ(kept->record(0).station, 1);
}

TEST_F(Cli, RejectFrequencyAndItsMessage) {
    DataSet d{record({.frequency = 16000}), record({.frequency = 19600})};
    const std::string in = save(d, "r.vlf");
    ASSERT_EQ(run({"reject-frequency", in, "16000.0005", "-o", f("r2.vlf")}), 0);
    EXPECT_EQ(flags(*load(f("r2.vlf"))), (std::vector<int>{1, 0}));
    EXPECT_EQ(run({"reject-frequency", in, "16k", "-o", f("r2.vlf")}), 1);
    EXPECT_EQ(errors, "Please enter valid numeric value \n");
}

TEST_F(Cli, FilterUnchangedKeepsEveryRowInAnyLocale) {
    DataSet d{record({.tilt = 3}), record({.profile = 1, .station = 2, .resistivity = true})};
    d.store.record(1).resistivity = 152.123456f;
    const std::string in = save(d, "g.vlf");
    ASSERT_EQ(run({"--decimal-separator", ",", "filter", in, "-o", f("g2.vlf")}), 0) << errors;
    EXPECT_EQ(readBytes(dir.file("g2.vlf")), readBytes(in));
}

TEST_F(Cli, FilterRangesAndTheirEdge) {
    DataSet d;
    for (int q : {49, 50, 51, 52}) {
        MeasurementRecord r = record({});
        r.quality = static_cast<std::int16_t>(q);
        d.append(r);
    }
    const std::string in = save(d, "q.vlf");
    ASSERT_EQ(run({"filter", in, "-o", f("q2.vlf"), "--q", "49.0005:50.9995"}), 0) << errors;
    EXPECT_EQ(flags(*load(f("q2.vlf"))), (std::vector<int>{0, 0, 0, 1}));
    ASSERT_EQ(run({"filter", in, "-o", f("q3.vlf"), "--q", ":50.9994"}), 0);
    EXPECT_EQ(flags(*load(f("q3.vlf"))), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(run({"filter", in, "-o", f("q4.vlf"), "--rho", "1:2"}), 1); // no kept resistivity row
    EXPECT_EQ(run({"filter", in, "-o", f("q4.vlf"), "--q", "x:2"}), 1);
    EXPECT_EQ(errors, "Please enter valid numeric value \n");
    EXPECT_EQ(run({"filter", in, "-o", f("q5.vlf"), "--q", "95:72"}), 2);
    EXPECT_NE(errors.find("Q (%): the minimum is above the maximum"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(f("q5.vlf")));
}

TEST_F(Cli, SplitIntoFilesPerProfileAndMode) {
    DataSet d;
    d.add({.profile = 1});
    d.add({.profile = 1});
    d.add({.profile = 1, .station = 3, .resistivity = true});
    d.add({.profile = 2, .station = 4, .resistivity = true});
    std::filesystem::create_directory(dir.file("out"));
    ASSERT_EQ(run({"split", save(d, "s.vlf"), f("out")}), 0) << errors;
    EXPECT_EQ(std::filesystem::file_size(dir.file("out/Profile 1_INC_1.vlf")), 1024u + 2 * 44u);
    EXPECT_EQ(std::filesystem::file_size(dir.file("out/Profile 1_RES_3.vlf")), 1024u + 44u);
    EXPECT_EQ(std::filesystem::file_size(dir.file("out/Profile 2_RES_4.vlf")), 1024u + 44u);

    DataSet lone;
    lone.add({.profile = 9, .kept = false});
    lone.add({.profile = 1});
    ASSERT_EQ(run({"split", save(lone, "l.vlf"), f("out")}), 0);
    EXPECT_EQ(std::filesystem::file_size(dir.file("out/Profile 9_INC_1.vlf")), 1024u);
    EXPECT_EQ(std::filesystem::file_size(dir.file("out/Profile 1_INC_2.vlf")), 1024u + 44u);

    EXPECT_EQ(run({"split", f("s.vlf"), f("missing")}), 1);
    EXPECT_EQ(errors, "Please create new directory\n");
}

TEST_F(Cli, AddAppendsRecordsAndKeepsTheComment) {
    DataSet five, ten;
    for (int i = 0; i < 5; ++i) five.add({.station = i});
    for (int i = 0; i < 10; ++i) ten.add({.station = 100 + i});
    five.store.setCommentText("first set");
    ten.store.setCommentText("second set");
    const std::string a = save(five, "a.vlf");
    ASSERT_EQ(run({"add", a, save(ten, "b.vlf"), "-o", a}), 0) << errors;
    const auto added = load(a);
    ASSERT_EQ(added->count(), 15);
    EXPECT_EQ(added->record(5).station, 100);
    EXPECT_EQ(added->commentText(), "first set");
    writeBytes(dir.file("c.txt"), "");
    EXPECT_EQ(run({"add", a, f("c.txt"), "-o", f("d.vlf")}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.vlf")));
}

// An input cut at the data set's size writes nothing unless --truncate asks
// for the first 64000 records; the records left out are counted either way.
TEST_F(Cli, ACutDataSetIsWrittenOnlyWhenAskedAndTheLossIsCounted) {
    ASSERT_EQ(run({"generate", "-o", f("big.vlf"), "--records", "70000"}), 0) << errors;
    ASSERT_EQ(run({"generate", "-o", f("half.vlf"), "--records", "40000"}), 0) << errors;
    const auto big = readBytes(f("big.vlf"));
    struct Case {
        std::vector<std::string> words;
        std::string output, lost;
    };
    const std::vector<Case> cases{
        {{"ignore", f("big.vlf"), "3", "-o", f("big.vlf")},
         f("big.vlf"),
         "6000 of 70000 records do not fit the 64000 a data set holds"},
        {{"add", f("half.vlf"), f("half.vlf"), "-o", f("all.vlf")},
         f("all.vlf"),
         "16000 of 80000 records do not fit the 64000 a data set holds"},
        {{"split", f("big.vlf"), dir.path()},
         "",
         "6000 of 70000 records do not fit the 64000 a data set holds"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.words), 1) << c.words[0];
        EXPECT_EQ(errors, c.lost + ": nothing written (--truncate writes the first 64000)\n")
            << c.words[0];
        if (!c.output.empty() && c.output != f("big.vlf")) {
            EXPECT_FALSE(std::filesystem::exists(c.output)) << c.words[0];
        }
    }
    EXPECT_EQ(readBytes(f("big.vlf")), big);

    std::vector<std::string> asked = cases[1].words;
    asked.push_back("--truncate");
    EXPECT_EQ(run(asked), 0) << errors;
    EXPECT_NE(errors.find(cases[1].lost + " and are left out\n"), std::string::npos) << errors;
    EXPECT_EQ(load(f("all.vlf"))->count(), 64000);
}
