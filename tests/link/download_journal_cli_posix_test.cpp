// The download journal end to end: veldro-cli killed in the middle of a
// download from veldro-sim, and its records brought back by veldro-cli recover.
#include "data/measurement_store.h"
#include "data/survey_generator.h"
#include "download_processes.h"
#include "link/download_journal.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace veldro {
namespace {

using namespace test;

constexpr int kDumpRecords = 2000;

// A dump of both modes as the instrument sends it (the wire carries no
// ignored flag), saved where veldro-sim reads it.
std::string sentDump(const TempDir& dir) {
    MeasurementStore sent;
    int resistivity = 0;
    for (auto r : generateSurvey(kDumpRecords, 1)) {
        r.ignored = 0;
        sent.append(r);
        resistivity += r.resistivityMode();
    }
    EXPECT_GT(resistivity, 0);
    EXPECT_LT(resistivity, kDumpRecords);
    sent.saveToFile(dir.file("sent.vlf"));
    return dir.file("sent.vlf");
}

// The number of the last record veldro-sim logged as sent ("-> record N ...").
int lastRecordSent(const std::string& log) {
    const std::string mark = "-> record ";
    const auto at = log.rfind(mark);
    return at == std::string::npos ? 0 : std::stoi(log.substr(at + mark.size()));
}

struct Recovery {
    int status;
    std::string out, err;
};

Recovery recover(const std::string& folder, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {VELDRO_CLI, "recover"});
    ChildProcess cli(arguments, folder + "/recover.out", folder + "/recover.err", "/dev/null",
                     {"XDG_DATA_HOME=" + folder});
    const int status = cli.wait(std::chrono::seconds(20));
    return {status, test::fileText(folder + "/recover.out"),
            test::fileText(folder + "/recover.err")};
}

// The download is killed once veldro-sim has logged the acknowledgement of
// record k. veldro-sim sends a record only after the one before was
// acknowledged, and veldro-cli journals a record before acknowledging it: the
// journal holds every record up to the one before the last sent, and the last
// sent when it arrived whole, never one more.
void killAndRecover(const std::string& sent, const std::vector<std::uint8_t>& sentBytes, int k) {
    SCOPED_TRACE("killed after record " + std::to_string(k));
    TempDir dir;
    // Silent before the last record, so that the kill comes before the end.
    SimulatedInstrument instrument(dir.path(),
                                   {"--file", sent, "--silence-after",
                                    std::to_string(kDumpRecords - 1), "--silence-ms", "20000"});
    CliDownload cli(dir.path(), instrument.terminal(), dir.file("out.vlf"), LinkPauses::Skipped);
    instrument.awaitLog("<- \"T\" (record " + std::to_string(k) + ")\n");
    cli.kill();
    EXPECT_EQ(cli.wait(), -1);
    const int lastSent = lastRecordSent(instrument.log());
    ASSERT_GE(lastSent, k + 1);

    const Recovery r = recover(dir.path(), {"-o", dir.file("recovered.vlf")});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto recovered = recordBytesOf(dir.file("recovered.vlf"));
    const std::size_t count = recovered.size() / MeasurementRecord::kSize;
    EXPECT_TRUE(count == static_cast<std::size_t>(lastSent - 1) ||
                count == static_cast<std::size_t>(lastSent))
        << count << " records recovered, the last sent was record " << lastSent;
    EXPECT_EQ(recovered,
              std::vector(sentBytes.begin(),
                          sentBytes.begin() + static_cast<std::ptrdiff_t>(recovered.size())));
    EXPECT_NE(r.err.find(std::to_string(count) + " records saved to " + dir.file("recovered.vlf")),
              std::string::npos)
        << r.err;
    // Saved, its journal is done: nothing is left to recover.
    EXPECT_EQ(recover(dir.path(), {"--list"}).out, "");
}

// Twenty kills, four downloads at a time: each waits mostly on the other
// end of its line.
TEST(DownloadJournalCli, KilledDownloadIsRecoveredUpToTheRecordInFlight) {
    TempDir source;
    const std::string sent = sentDump(source);
    const auto sentBytes = recordBytesOf(sent);
    std::mt19937 random(30);
    std::uniform_int_distribution<int> pick(1, kDumpRecords - 100);
    std::vector<int> kills(20);
    for (int& k : kills) k = pick(random);
    std::vector<std::thread> downloads;
    for (std::size_t first = 0; first < 4; ++first)
        downloads.emplace_back([&, first] {
            for (std::size_t i = first; i < kills.size(); i += 4)
                killAndRecover(sent, sentBytes, kills[i]);
        });
    for (std::thread& d : downloads) d.join();
}

TEST(DownloadJournalCli, ListNamesTheUnsavedJournalsAndRecoverWithoutOneFails) {
    TempDir dir;
    const std::string folder = CliDownload::journalFolder(dir.path());
    EXPECT_EQ(recover(dir.path(), {"-o", dir.file("none.vlf")}).err,
              "No download journal holds unsaved records\n");
    DownloadJournal journal(folder, 1764000000);
    journal.append(MeasurementRecord{});
    journal.close();
    const Recovery list = recover(dir.path(), {"--list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out,
              journal.path() + "\t" + journalStartText(1764000000) + "\t1 records, not ended\n");
}

// A download that saves its file leaves no journal to recover; one whose save
// fails leaves its records there.
TEST(DownloadJournalCli, ADownloadWhoseRecordsReachedAFileIsDone) {
    TempDir dir;
    for (const std::string output : {"out.vlf", "missing/out.vlf"}) {
        SCOPED_TRACE(output);
        SimulatedInstrument instrument(dir.path(), {"--records", "30"});
        // A file that cannot be written sends the records to the data folder.
        CliDownload cli(dir.path(), instrument.terminal(), dir.file(output), LinkPauses::Skipped);
        EXPECT_EQ(cli.wait(), output == "out.vlf" ? 0 : 1);
        EXPECT_NE(cli.messages().find("30 records saved to "), std::string::npos) << cli.messages();
        EXPECT_EQ(recover(dir.path(), {"--list"}).out, "");
    }
}

// The journal is a safety net: without it the download still runs and saves.
TEST(DownloadJournalCli, JournalThatCannotBeMadeIsSaidAndTheDownloadGoesOn) {
    TempDir dir;
    test::writeBytes(dir.file("veldro"), "a file where the journals' folder would be");
    SimulatedInstrument instrument(dir.path(), {"--records", "5"});
    CliDownload cli(dir.path(), instrument.terminal(), dir.file("out.vlf"), LinkPauses::Skipped);
    EXPECT_EQ(cli.wait(), 0);
    EXPECT_NE(cli.messages().find("The download journal is not kept:\nCannot create " +
                                  CliDownload::journalFolder(dir.path())),
              std::string::npos)
        << cli.messages();
    EXPECT_EQ(recordBytesOf(dir.file("out.vlf")).size(), 5 * MeasurementRecord::kSize);
}

} // namespace
} // namespace veldro
