// veldro-cli run as a user would: exit codes, standard error, written files.
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using veldro::test::CliRun;
using veldro::test::runCli;
using veldro::test::TempDir;

namespace {

std::string golden(const std::string& name) {
    return std::string(VELDRO_GOLDEN_DIR) + "/" + name;
}

// The hex golden as a real .vlf file in `dir`.
std::string goldenVlf(const TempDir& dir) {
    const std::string path = dir.file("three.vlf");
    veldro::writeFileAtomically(path, veldro::test::goldenHex("three_records.vlf.hex"));
    return path;
}

} // namespace

TEST(Cli, InfoCountsRecordsKeptRowsAndRuns) {
    TempDir dir;
    const CliRun run = runCli("info " + goldenVlf(dir));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out,
        "records 3\nkept 2\nSurvey A\nprofile 12 tilt rows 1-1\nprofile 12 resistivity rows 2-2\n"
        "profile -1 tilt rows 3-3\n");
}

TEST(Cli, TableShowsTheWindowsCells) {
    TempDir dir;
    const CliRun run = runCli("table " + goldenVlf(dir));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, veldro::test::goldenText("three_records.table.txt"));
}

TEST(Cli, TableUsesTheLocaleOrTheGivenSeparator) {
    TempDir dir;
    const std::string file = goldenVlf(dir);
    const CliRun given = runCli("--decimal-separator , table " + file);
    EXPECT_NE(given.out.find("\t1234,5000\t"), std::string::npos);
    const CliRun plain = runCli("table " + file, "LC_ALL=C");
    EXPECT_NE(plain.out.find("\t1234.5000\t"), std::string::npos);
}

TEST(Cli, ImportSavesTheDecodedRecordsAndSaysWhatWasRejected) {
    TempDir dir;
    const CliRun run = runCli("import " + golden("mixed.bru") + " -o " + dir.file("out.vlf"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "8 points rejected\nPlease edit BRU file to correct bad records\n");
    EXPECT_EQ(veldro::test::readBytes(dir.file("out.vlf")).size(), 1024u + 4 * 44);
}

TEST(Cli, FailuresAndUsageErrorsHaveTheirOwnExitCodes) {
    TempDir dir;
    const CliRun missing = runCli("info " + dir.file("none.vlf"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Unable to open file\n" + dir.file("none.vlf") + "\n");

    const CliRun wrongExtension = runCli("info " + golden("mixed.bru"));
    EXPECT_EQ(wrongExtension.status, 1);
    EXPECT_NE(wrongExtension.err.find("not a Veldro data file"), std::string::npos);

    const CliRun missingBru = runCli("import " + dir.file("none.bru") + " -o " + dir.file("o.vlf"));
    EXPECT_EQ(missingBru.status, 1);
    EXPECT_EQ(missingBru.err, "Unable to open file\n" + dir.file("none.bru") + "\n");

    EXPECT_EQ(runCli("info").status, 2);
    EXPECT_EQ(runCli("import " + golden("mixed.bru")).status, 2); // no -o
    EXPECT_EQ(runCli("frobnicate").status, 2);
    EXPECT_EQ(runCli("info --bogus x.vlf").status, 2);
    EXPECT_EQ(runCli("info --help").status, 0);
}

TEST(Cli, WrongCallsSayWhatIsExpected) {
    const CliRun group = runCli("export");
    EXPECT_EQ(group.status, 2);
    EXPECT_NE(group.err.find("export needs one of: "), std::string::npos) << group.err;
    EXPECT_NE(group.err.find("raw"), std::string::npos) << group.err;

    const CliRun separator = runCli("--decimal-separator ab info x.vlf");
    EXPECT_EQ(separator.status, 2);
    EXPECT_EQ(separator.err,
              "veldro-cli: --decimal-separator takes one character, such as , or .\n");
}

TEST(Cli, GenerateIsDeterministicForASeed) {
    TempDir dir;
    ASSERT_EQ(runCli("generate -o " + dir.file("a.vlf") + " --records 500 --seed 4").status, 0);
    ASSERT_EQ(runCli("generate -o " + dir.file("b.vlf") + " --records 500 --seed 4").status, 0);
    ASSERT_EQ(runCli("generate -o " + dir.file("c.vlf") + " --records 500 --seed 5").status, 0);
    const auto a = veldro::test::readBytes(dir.file("a.vlf"));
    EXPECT_EQ(a.size(), 1024u + 500 * 44);
    EXPECT_EQ(a, veldro::test::readBytes(dir.file("b.vlf")));
    EXPECT_NE(a, veldro::test::readBytes(dir.file("c.vlf")));

    // The .bru form imports back to the same records (all kept: .bru has no flag).
    ASSERT_EQ(runCli("generate -o " + dir.file("a.bru") + " --records 500 --seed 4 --bru").status,
              0);
    ASSERT_EQ(runCli("import " + dir.file("a.bru") + " -o " + dir.file("d.vlf")).status, 0);
    const auto d = veldro::test::readBytes(dir.file("d.vlf"));
    ASSERT_EQ(d.size(), a.size());
    for (std::size_t i = 0; i < 500; ++i) {
        const std::size_t at = 1024 + i * 44;
        EXPECT_TRUE(std::equal(a.begin() + static_cast<long>(at) + 2,
                               a.begin() + static_cast<long>(at) + 44,
                               d.begin() + static_cast<long>(at) + 2))
            << "record " << i;
    }
}

// A comment's control characters would retitle, recolour or ring the
// terminal: info shows them escaped, line ends as they are.
TEST(Cli, InfoShowsACommentsControlCharactersEscaped) {
    TempDir dir;
    veldro::MeasurementStore store;
    store.setCommentText("\x1B]0;owned\x07 \x1B[31mred\r\nnext\x81");
    store.saveToFile(dir.file("c.vlf"));
    const CliRun run = runCli("info " + dir.file("c.vlf"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "records 0\nkept 0\n\\x1B]0;owned\\x07 \\x1B[31mred\r\nnext\\x81\n");
}

// A command takes exactly the options its usage names, a value after each
// that shows one: "--truncate" stands alone wherever it comes.
TEST(Cli, OptionsAreTakenAsTheUsageNamesThem) {
    TempDir dir;
    const std::string vlf = goldenVlf(dir);
    for (const char* folder : {"out", "out2", "out3"})
        std::filesystem::create_directory(dir.file(folder));
    struct Case {
        std::string arguments;
        int status;
    };
    for (const Case& c : {Case{"split " + vlf + " " + dir.file("out") + " --truncate", 0},
                          Case{"split --truncate " + vlf + " " + dir.file("out2"), 0},
                          Case{"split " + vlf + " " + dir.file("out3") + " --yes", 2},
                          Case{"export raw " + vlf + " --separator", 2}}) {
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << '\n' << run.err;
    }
}
