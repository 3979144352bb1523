// The download end to end, as a user runs it: veldro-sim plays the instrument
// on a pseudo-terminal and veldro-cli downloads from it.
#include "data/measurement_store.h"
#include "data/survey_generator.h"
#include "download_processes.h"
#include "link/d2xx.h"
#include "test_support.h"
#include "veldro_version.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace veldro {
namespace {

using test::ChildProcess;
using test::CliDownload;
using test::LinkPauses;
using test::recordBytesOf;
using test::SimulatedInstrument;
using test::TempDir;

const std::string kStopped = "Transfer stopped (or download error)\nPlease "
                             "check cable and run a new transfer\n";

std::size_t recordCountOf(const std::string& vlfFile) {
    return recordBytesOf(vlfFile).size() / MeasurementRecord::kSize;
}

// The generated survey as the instrument would send it: the wire carries no
// ignored flag, so every record arrives kept.
std::vector<MeasurementRecord> keptSurvey(int records) {
    auto survey = generateSurvey(records, 1);
    for (auto& r : survey) r.ignored = 0;
    return survey;
}

std::vector<std::uint8_t> bytesOf(const std::vector<MeasurementRecord>& records) {
    std::vector<std::uint8_t> bytes(records.size() * MeasurementRecord::kSize);
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i].encode(bytes.data() + i * MeasurementRecord::kSize);
    return bytes;
}

struct Download {
    TempDir dir;
    std::string output = dir.file("out.vlf");
    SimulatedInstrument instrument;
    CliDownload cli;

    explicit Download(std::vector<std::string> simOptions, LinkPauses pauses = LinkPauses::Skipped)
        : instrument(dir.path(), std::move(simOptions)),
          cli(dir.path(), instrument.terminal(), output, pauses) {}
    bool saved() const { return std::filesystem::exists(output); }
};

// Downloads started together, one per set of simulator options: each waits on
// its line far longer than it computes.
std::vector<std::unique_ptr<Download>>
sideBySide(const std::vector<std::vector<std::string>>& simOptions) {
    std::vector<std::unique_ptr<Download>> downloads;
    for (const auto& options : simOptions) downloads.push_back(std::make_unique<Download>(options));
    return downloads;
}

// As a user runs it: the link's pauses take their time.
TEST(DownloadCli, HandWrittenRecordsOfBothModesArriveAsTheGoldenBytes) {
    Download d({"--file", std::string(VELDRO_GOLDEN_DIR) + "/download_two_records.bru"},
               LinkPauses::Real);
    EXPECT_EQ(d.cli.wait(), 0);
    EXPECT_EQ(recordBytesOf(d.output), test::goldenHex("download_two_records.hex"));
    const std::string comment(reinterpret_cast<const char*>(test::readBytes(d.output).data()), 15);
    EXPECT_EQ(comment, "Transferred at ");
    EXPECT_EQ(d.instrument.wait(), 0);
}

TEST(DownloadCli, CleanTransferOfMixedModesSavesExactlyWhatWasSent) {
    TempDir source;
    MeasurementStore sent;
    for (const auto& r : keptSurvey(400)) sent.append(r);
    int resistivity = 0;
    for (int i = 0; i < sent.count(); ++i) resistivity += sent.record(i).resistivityMode();
    ASSERT_GT(resistivity, 0);
    ASSERT_LT(resistivity, sent.count());
    sent.saveToFile(source.file("sent.vlf"));

    Download d({"--file", source.file("sent.vlf")});
    EXPECT_EQ(d.cli.wait(), 0);
    EXPECT_EQ(recordBytesOf(d.output), recordBytesOf(source.file("sent.vlf")));
    EXPECT_NE(d.cli.messages().find("transfer completed\n"), std::string::npos);
    EXPECT_EQ(d.instrument.wait(), 0);
}

TEST(DownloadCli, OpeningThenEndSavesTheCommentBlockAlone) {
    Download d({"--records", "0"});
    EXPECT_EQ(d.cli.wait(), 0);
    EXPECT_NE(d.cli.messages().find("transfer completed\n"), std::string::npos);
    EXPECT_EQ(test::readBytes(d.output).size(), MeasurementStore::kCommentSize);
}

TEST(DownloadCli, UndecodableRecordIsDroppedAndTheRestKeptInOrder) {
    Download d({"--records", "10", "--undecodable", "4"});
    EXPECT_EQ(d.cli.wait(), 1);
    EXPECT_NE(d.cli.messages().find("transfer completed,\nhowever 1 points were rejected\n"
                                    "Please run a new transfer\n"),
              std::string::npos);
    auto expected = keptSurvey(10);
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(recordBytesOf(d.output), bytesOf(expected));
    EXPECT_EQ(d.instrument.wait(), 0) << "a rejected record is acknowledged too";
}

TEST(DownloadCli, UnexpectedLetterEndsAsIncompleteAndSavesWhatCameBefore) {
    Download d({"--records", "5", "--unexpected-letter", "4"});
    EXPECT_EQ(d.cli.wait(), 1);
    EXPECT_NE(d.cli.messages().find("transfer appears to be incomplete\n"), std::string::npos);
    EXPECT_EQ(recordCountOf(d.output), 3u);
}

// The records the simulator logged as acknowledged, in order from the first.
std::size_t acknowledgedCountOf(const std::string& simulatorLog) {
    std::size_t count = 0;
    while (simulatorLog.find("<- \"T\" (record " + std::to_string(count + 1) + ")") !=
           std::string::npos)
        ++count;
    return count;
}

TEST(DownloadCli, EachFaultStopsWithTheMessagesAndSavesTheRecordsBefore) {
    struct StopCase {
        std::string name;
        std::vector<std::string> fault;
        std::size_t recordsSaved;
    };
    const std::vector<StopCase> cases{
        {"missing CR", {"--missing-cr", "3"}, 2},
        {"missing LF", {"--missing-lf", "3"}, 2},
        {"short text", {"--short-text", "3"}, 2},
        {"silence", {"--silence-after", "3", "--silence-ms", "2500"}, 3},
        {"hang-up", {"--hang-up-after", "3"}, 3},
        {"no end", {"--no-end"}, 5}};
    std::vector<std::vector<std::string>> simOptions;
    for (const StopCase& c : cases) {
        simOptions.push_back({"--records", "5"});
        simOptions.back().insert(simOptions.back().end(), c.fault.begin(), c.fault.end());
    }
    const auto downloads = sideBySide(simOptions);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        Download& d = *downloads[i];
        EXPECT_EQ(d.cli.wait(), 1);
        EXPECT_NE(d.cli.messages().find(kStopped + "Partially transfered data will be saved\n"),
                  std::string::npos)
            << d.cli.messages();
        EXPECT_EQ(recordCountOf(d.output), cases[i].recordsSaved);
        // Each record saved was acknowledged before the next came, the faulty
        // one never: the log says so once the program has ended, without
        // waiting for the instrument to give up on the answer.
        EXPECT_EQ(acknowledgedCountOf(d.instrument.log()), cases[i].recordsSaved)
            << d.instrument.log();
    }
}

TEST(DownloadCli, CancelDuringTheOpeningWaitSavesNothing) {
    Download d({"--no-start"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (d.cli.messages().find("Synchronisation...") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    d.cli.interrupt();
    EXPECT_EQ(d.cli.wait(), 1);
    EXPECT_NE(d.cli.messages().find(kStopped + "No data transferred, no data to save\n"),
              std::string::npos)
        << d.cli.messages();
    EXPECT_FALSE(d.saved());
}

// Ctrl-C, a kill or the terminal closing: the records acknowledged are saved.
TEST(DownloadCli, CancelAfterFiftyRecordsSavesThem) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        Download d({"--records", "60", "--silence-after", "50", "--silence-ms", "20000"});
        d.instrument.awaitLog("<- \"T\" (record 50)");
        d.cli.interrupt(signal);
        EXPECT_EQ(d.cli.wait(), 1);
        EXPECT_NE(d.cli.messages().find(kStopped + "Partially transfered data will be saved\n"),
                  std::string::npos)
            << d.cli.messages();
        EXPECT_EQ(recordBytesOf(d.output), bytesOf(keptSurvey(50)));
    }
}

// A save that fails (into a folder that is not there) does not lose the
// records: the user at the terminal names another file; without a terminal
// they go to the user's data folder, and the last line says where.
TEST(DownloadCli, AFailedSaveTakesAnotherFileOrTheDataFolder) {
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal ? "at a terminal" : "without a terminal");
        TempDir dir;
        SimulatedInstrument instrument(dir.path(), {"--records", "30"});
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const std::string data = dir.file("data"), other = dir.file("other.vlf");
        ChildProcess cli({VELDRO_CLI, "download", "--port", instrument.terminal(), "-o",
                          dir.file("missing/out.vlf"), "--yes"},
                         dir.file("cli.out"), dir.file("cli.err"),
                         terminal ? ::ptsname(master) : "/dev/null",
                         {"VELDRO_SKIP_LINK_PAUSES=1", "XDG_DATA_HOME=" + data});
        if (terminal) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (test::fileText(dir.file("cli.err")).find("Another file") == std::string::npos &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const std::string answer = other + "\n";
            ASSERT_EQ(::write(master, answer.data(), answer.size()),
                      static_cast<ssize_t>(answer.size()));
        }
        const int status = cli.wait(std::chrono::seconds(30));
        ::close(master);
        const std::string messages = test::fileText(dir.file("cli.err"));
        std::string saved = other;
        if (!terminal) {
            // Beside the download journals, which share the program's data folder.
            for (const auto& entry : std::filesystem::directory_iterator(data + "/veldro"))
                if (entry.path().extension() == ".vlf") saved = entry.path().string();
            ASSERT_NE(saved, other) << messages;
        }
        EXPECT_EQ(status, terminal ? 0 : 1) << messages;
        EXPECT_NE(messages.find("No such file or directory\n"), std::string::npos) << messages;
        EXPECT_NE(messages.find("30 records saved to " + saved + "\n"), std::string::npos)
            << messages;
        EXPECT_EQ(recordBytesOf(saved), bytesOf(keptSurvey(30)));
    }
}

TEST(DownloadCli, RecordPastTheCapacityIsAcknowledgedAndDropped) {
    Download d({"--records", "64001"});
    EXPECT_EQ(d.cli.wait(), 1);
    EXPECT_NE(d.cli.messages().find("transfer completed\n64000 data points max kept,\n"
                                    "1 more points were not kept\n"),
              std::string::npos)
        << d.cli.messages();
    EXPECT_EQ(recordCountOf(d.output), 64000u);
    EXPECT_EQ(d.instrument.wait(), 0) << "every record, the dropped one too, is acknowledged";
}

// The cable pulled after sampled records of a full instrument memory: the
// file holds exactly the records acknowledged before the cut.
TEST(DownloadCli, FullMemoryCutAfterSampledRecordsSavesEveryRecordBefore) {
    const auto survey = keptSurvey(MeasurementStore::kCapacity);
    const int cuts[] = {0, 1, 23'117, MeasurementStore::kCapacity};
    std::vector<std::vector<std::string>> simOptions;
    for (const int cut : cuts)
        simOptions.push_back({"--records", std::to_string(MeasurementStore::kCapacity),
                              "--hang-up-after", std::to_string(cut)});
    const auto downloads = sideBySide(simOptions);
    for (std::size_t i = 0; i < downloads.size(); ++i) {
        const int cut = cuts[i];
        Download& d = *downloads[i];
        SCOPED_TRACE("hang-up after record " + std::to_string(cut));
        EXPECT_EQ(d.cli.wait(), 1);
        EXPECT_NE(d.cli.messages().find(kStopped), std::string::npos) << d.cli.messages();
        if (cut == 0) {
            EXPECT_FALSE(d.saved());
            continue;
        }
        EXPECT_EQ(recordBytesOf(d.output),
                  bytesOf(std::vector<MeasurementRecord>(survey.begin(), survey.begin() + cut)));
    }
}

TEST(DownloadCli, RefusedDeviceIsNamedWithItsReasonAfterPortError) {
    TempDir dir;
    const std::string line = dir.file("no-such-line");
    ChildProcess cli({VELDRO_CLI, "download", "--port", line, "-o", dir.file("out.vlf"), "--yes"},
                     dir.file("cli.out"), dir.file("cli.err"));
    EXPECT_EQ(cli.wait(std::chrono::seconds(10)), 1);
    EXPECT_NE(test::fileText(dir.file("cli.err"))
                  .find("Port error\n" + line + ": No such file or directory\n"),
              std::string::npos)
        << test::fileText(dir.file("cli.err"));
}

TEST(DownloadCli, YesWaitsForAConverterWithoutFloodingAndCtrlCEndsTheWait) {
    if (CountUsbDevices(*makeSystemD2xx()) > 0) GTEST_SKIP() << "a USB converter is attached";
    TempDir dir;
    ChildProcess cli({VELDRO_CLI, "download", "--port", "usb", "-o", dir.file("out.vlf"), "--yes"},
                     dir.file("cli.out"), dir.file("cli.err"));
    const std::string prompt =
        "Connect USB link beetwen computer and Veldro, then click <OK> Button\n";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (test::fileText(dir.file("cli.err")).find(prompt) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // Long enough for an answer at once to have asked thousands of times.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    cli.interrupt();
    EXPECT_EQ(cli.wait(std::chrono::seconds(10)), 1);
    const std::string messages = test::fileText(dir.file("cli.err"));
    EXPECT_EQ(messages, prompt + "[Download] OK or Cancel? OK\nCancel\nPort error\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.vlf")));
}

TEST(Versions, BothToolsSayTheProgramVersion) {
    TempDir dir;
    for (const std::string program : {VELDRO_CLI, VELDRO_SIM}) {
        ChildProcess run({program, "--version"}, dir.file("out"), dir.file("err"));
        EXPECT_EQ(run.wait(std::chrono::seconds(10)), 0) << program;
        EXPECT_EQ(test::fileText(dir.file("out")),
                  std::filesystem::path(program).filename().string() + ' ' + kProgramVersion +
                      '\n');
    }
}

TEST(SimulatorOptions, FaultsPastTheLastRecordAreRefused) {
    TempDir dir;
    for (const std::vector<std::string>& fault : {std::vector<std::string>{"--undecodable", "6"},
                                                  {"--silence-after", "6"},
                                                  {"--silence-after", "0"},
                                                  {"--hang-up-after", "6"}}) {
        std::vector<std::string> argv{VELDRO_SIM, "--records", "5"};
        argv.insert(argv.end(), fault.begin(), fault.end());
        ChildProcess sim(argv, dir.file("sim.out"), dir.file("sim.err"));
        EXPECT_EQ(sim.wait(std::chrono::seconds(10)), 2) << fault[0] << ' ' << fault[1];
        EXPECT_NE(test::fileText(dir.file("sim.err")).find("no record " + fault[1]),
                  std::string::npos)
            << test::fileText(dir.file("sim.err"));
        EXPECT_EQ(test::fileText(dir.file("sim.out")), "") << "no line opened";
    }
}

} // namespace
} // namespace veldro
