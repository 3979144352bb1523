// The download journal end to end: veldro-cli killed in the middle of a
// download from veldro-sim, and its records brought back by veldro-cli recover.
#include "data/measurement_store.h"
#include "data/survey_generator.h"
#include "download_processes.h"
#include "faulty_folder.h"
#include "link/download_journal.h"
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
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
    long peakKilobytes;
};

// veldro-cli recover with the journals of `folder`/veldro/downloads; its
// output goes to `outputFolder` (`folder` unless given).
Recovery recover(const std::string& folder, std::vector<std::string> arguments,
                 std::string outputFolder = {}) {
    if (outputFolder.empty()) outputFolder = folder;
    arguments.insert(arguments.begin(), {VELDRO_CLI, "recover"});
    ChildProcess cli(arguments, outputFolder + "/recover.out", outputFolder + "/recover.err",
                     "/dev/null", {"XDG_DATA_HOME=" + folder});
    const int status = cli.wait(std::chrono::seconds(20));
    return {status, test::fileText(outputFolder + "/recover.out"),
            test::fileText(outputFolder + "/recover.err"), cli.peakKilobytes};
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

// Record i of a long journal, told apart by its profile and station.
MeasurementRecord numberedRecord(std::size_t i) {
    MeasurementRecord r;
    r.profile = static_cast<std::int16_t>(i / 10000);
    r.station = static_cast<std::int16_t>(i % 10000);
    return r;
}

std::vector<std::uint8_t> numberedRecordBytes(std::size_t first, std::size_t end) {
    std::vector<std::uint8_t> bytes((end - first) * MeasurementRecord::kSize);
    for (std::size_t i = first; i < end; ++i)
        numberedRecord(i).encode(&bytes[(i - first) * MeasurementRecord::kSize]);
    return bytes;
}

std::string journalOf(const std::string& folder, std::size_t records) {
    DownloadJournal journal(folder, 1764000000);
    for (std::size_t i = 0; i < records; ++i) journal.append(numberedRecord(i));
    journal.close();
    return journal.path();
}

// Every record reaches a file, those past a data set's in a second one; the
// journal is done only when none is left out. No download journals more
// than a data set's records, but a file may hold them.
TEST(DownloadJournalCli, RecordsPastADataSetGoToASecondFileAndOnlyAWholeRecoveryIsDone) {
    const std::size_t capacity = MeasurementStore::kCapacity;
    TempDir source;
    const std::string longest = journalOf(source.path(), 2 * capacity + 1);
    struct Case {
        std::size_t records, saved, second;
        int status;
        const char* left; // what recover --list says after
    };
    for (const Case c : {Case{70000, 70000, 6000, 0, ""},
                         Case{2 * capacity + 1, 2 * capacity, capacity, 1,
                              "128000 records, not ended, more past the limit"}}) {
        SCOPED_TRACE(c.records);
        TempDir dir;
        const std::string folder = CliDownload::journalFolder(dir.path());
        std::filesystem::create_directories(folder);
        const std::string journal = folder + "/j.vdj";
        std::filesystem::copy_file(longest, journal);
        std::filesystem::resize_file(journal, kJournalHeaderSize + c.records * kJournalEntrySize);

        const Recovery r = recover(dir.path(), {"-o", dir.file("out.vlf")});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(std::to_string(c.saved) + " records saved: 64000 to " +
                             dir.file("out.vlf") + ", " + std::to_string(c.second) + " to " +
                             dir.file("out-2.vlf") + "\n"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(recordBytesOf(dir.file("out.vlf")), numberedRecordBytes(0, capacity));
        EXPECT_EQ(recordBytesOf(dir.file("out-2.vlf")),
                  numberedRecordBytes(capacity, capacity + c.second));
        const std::string list = recover(dir.path(), {"--list"}).out;
        EXPECT_EQ(list, *c.left
                            ? journal + "\t" + journalStartText(1764000000) + "\t" + c.left + "\n"
                            : "");
    }
}

// A pipe, a link or a folder among the journals is never waited on nor
// followed; named, it is refused at once.
TEST(DownloadJournalCli, NamesThatAreNoRegularFileNeitherHangNorCount) {
    TempDir dir;
    const std::string folder = CliDownload::journalFolder(dir.path());
    const std::string journal = journalOf(folder, 3);
    ASSERT_EQ(::mkfifo((folder + "/pipe.vdj").c_str(), 0600), 0);
    std::filesystem::create_symlink(journal, folder + "/link.vdj");
    const std::string listed =
        journal + "\t" + journalStartText(1764000000) + "\t3 records, not ended\n";
    EXPECT_EQ(recover(dir.path(), {"--list"}).out, listed);
    for (const char* name : {"pipe.vdj", "link.vdj"}) {
        const Recovery r = recover(dir.path(), {folder + "/" + name, "-o", dir.file("out.vlf")});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Cannot read " + folder + "/" + name + ": not a regular file\n");
    }
    EXPECT_EQ(recover(dir.path(), {"-o", dir.file("out.vlf")}).status, 0);
    EXPECT_EQ(recordBytesOf(dir.file("out.vlf")), numberedRecordBytes(0, 3));
}

// A folder that cannot be read is not a folder without journals.
TEST(DownloadJournalCli, JournalsFolderThatCannotBeReadIsSaidSo) {
    TempDir dir;
    const std::string folder = CliDownload::journalFolder(dir.path());
    std::filesystem::create_directories(dir.file("veldro"));
    test::writeBytes(folder, "a file where the journals' folder would be");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--list"}, {"-o", dir.file("out.vlf")}}) {
        const Recovery r = recover(dir.path(), arguments);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Cannot read " + folder + ": Not a directory\n");
    }
}

// The records reached their file: that the journal takes no done mark is
// said, not a failure.
TEST(DownloadJournalCli, ReadOnlyJournalIsRecoveredAndSaysItStaysPending) {
    test::FaultyFolder data;
    if (!data.readOnlyHolds()) GTEST_SKIP() << "root ignores folder permissions here";
    TempDir dir;
    const std::string journal = journalOf(CliDownload::journalFolder(data.path()), 3);
    data.makeReadOnly();
    const Recovery r = recover(data.path(), {"-o", dir.file("out.vlf")}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(recordBytesOf(dir.file("out.vlf")), numberedRecordBytes(0, 3));
    EXPECT_NE(r.err.find("3 records saved to " + dir.file("out.vlf") + "\nCannot write " + journal),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("\nThe journal is not marked done: it is offered again\n"),
              std::string::npos)
        << r.err;
}

// Listing reads each journal through, but keeps none of its records: five
// full journals more cost what one does.
TEST(DownloadJournalCli, ListingHoldsNoJournalsRecords) {
    TempDir dir;
    const std::string folder = CliDownload::journalFolder(dir.path());
    const std::string full = journalOf(folder, MeasurementStore::kCapacity);
    const long one = recover(dir.path(), {"--list"}).peakKilobytes;
    for (int i = 0; i < 5; ++i)
        std::filesystem::copy_file(full, folder + "/copy" + std::to_string(i) + ".vdj");
    const Recovery six = recover(dir.path(), {"--list"});
    EXPECT_EQ(std::count(six.out.begin(), six.out.end(), '\n'), 6);
    // One journal's records take 64000 x 44 bytes, 2750 KiB.
    EXPECT_LT(six.peakKilobytes - one, 2048) << one << " KiB for one journal";
}

} // namespace
} // namespace veldro
