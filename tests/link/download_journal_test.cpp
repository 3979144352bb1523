// The download journal: its bytes against a journal written by hand, what a
// torn or damaged tail leaves, the done mark, and which journals are offered.
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "link/download_journal.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

namespace veldro {
namespace {

using test::TempDir;

constexpr std::time_t kStart = 1764000000;
constexpr std::time_t kDay = 24 * 60 * 60;

std::vector<MeasurementRecord> goldenRecords() {
    const auto bytes = test::goldenHex("download_two_records.hex");
    return {MeasurementRecord::decode(bytes.data()),
            MeasurementRecord::decode(bytes.data() + MeasurementRecord::kSize)};
}

std::string writeJournal(const std::string& folder, std::time_t start,
                         const std::vector<MeasurementRecord>& records,
                         std::optional<JournalEnd> end) {
    DownloadJournal journal(folder, start);
    for (const auto& r : records) journal.append(r);
    journal.markEnded();
    journal.close(end);
    EXPECT_EQ(journal.error(), "");
    return journal.path();
}

std::string bytesOfFile(const std::string& path) {
    const auto bytes = test::readBytes(path);
    return {bytes.begin(), bytes.end()};
}

TEST(DownloadJournal, WritesTheBytesOfTheHandWrittenJournal) {
    TempDir dir;
    const std::string path = writeJournal(dir.path(), kStart, goldenRecords(), JournalEnd::Saved);
    EXPECT_EQ(test::readBytes(path), test::goldenHex("download_journal.hex"));
    EXPECT_EQ(std::filesystem::path(path).extension(), ".vdj");
}

TEST(DownloadJournal, HandWrittenJournalReadsBackItsRecordsAndMarks) {
    TempDir dir;
    const auto golden = test::goldenHex("download_journal.hex");
    test::writeBytes(dir.file("j.vdj"), std::string(golden.begin(), golden.end()));
    const JournalContents j = readJournal(dir.file("j.vdj"));
    EXPECT_EQ(j.startedAt, kStart);
    EXPECT_EQ(j.records, goldenRecords());
    EXPECT_TRUE(j.ended);
    EXPECT_TRUE(j.done);
    EXPECT_EQ(j.damagedBytes, 0u);
    EXPECT_FALSE(j.pending());
}

// A journal cut or spoilt anywhere after its header gives the whole records
// before the first bad entry, and says how many bytes follow.
TEST(DownloadJournal, DamagedTailLeavesTheWholeRecordsBefore) {
    TempDir dir;
    const std::string path = writeJournal(dir.path(), kStart, goldenRecords(), std::nullopt);
    const std::string whole = bytesOfFile(path);
    const std::size_t second = kJournalHeaderSize + kJournalEntrySize;
    struct Case {
        const char* what;
        std::size_t length;  // the bytes kept
        std::size_t spoilt;  // a byte flipped there, when below length
        std::size_t records; // expected
        bool ended;
    };
    const Case cases[] = {
        {"cut inside the first record", kJournalHeaderSize + 30, whole.size(), 0, false},
        {"cut inside the second record", second + 1, whole.size(), 1, false},
        {"cut inside the end mark", whole.size() - 1, whole.size(), 2, false},
        {"a payload byte of the second record", whole.size(), second + 20, 1, false},
        {"the check of the first record", whole.size(), second - 1, 0, false},
        {"the kind of the end mark", whole.size(), second + kJournalEntrySize + 4, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = whole.substr(0, c.length);
        if (c.spoilt < bytes.size()) bytes[c.spoilt] ^= 0x10;
        test::writeBytes(path, bytes);
        const JournalContents j = readJournal(path);
        const auto golden = goldenRecords();
        EXPECT_EQ(j.records, std::vector(golden.begin(), golden.begin() + c.records));
        EXPECT_EQ(j.ended, c.ended);
        EXPECT_EQ(j.damagedBytes, c.length - kJournalHeaderSize - c.records * kJournalEntrySize);
        EXPECT_NE(damageReport(j).find("is damaged after record " + std::to_string(c.records) +
                                       ":\nits last " + std::to_string(j.damagedBytes) + " bytes"),
                  std::string::npos);
    }
}

TEST(DownloadJournal, EntryMovedOutOfSequenceEndsTheReading) {
    TempDir dir;
    const std::string path = writeJournal(dir.path(), kStart, goldenRecords(), std::nullopt);
    std::string bytes = bytesOfFile(path);
    // The second record again in place of the first: whole, but out of place.
    bytes.replace(kJournalHeaderSize, kJournalEntrySize,
                  bytes.substr(kJournalHeaderSize + kJournalEntrySize, kJournalEntrySize));
    test::writeBytes(path, bytes);
    const JournalContents j = readJournal(path);
    EXPECT_TRUE(j.records.empty());
    EXPECT_EQ(j.damagedBytes, 3 * kJournalEntrySize);
}

TEST(DownloadJournal, FileThatIsNoJournalIsRefused) {
    TempDir dir;
    test::writeBytes(dir.file("other.vdj"), "VeldroDJ but nothing more of a header");
    EXPECT_THROW(readJournal(dir.file("other.vdj")), JournalError);
}

// The done mark goes after the last whole entry, over a torn tail.
TEST(DownloadJournal, DoneMarkReplacesATornTail) {
    TempDir dir;
    const std::string path = writeJournal(dir.path(), kStart, goldenRecords(), std::nullopt);
    const std::string whole = bytesOfFile(path);
    test::writeBytes(path, whole.substr(0, whole.size() - 10));
    markJournalDone(path, JournalEnd::Discarded);
    const JournalContents j = readJournal(path);
    EXPECT_EQ(j.records, goldenRecords());
    EXPECT_TRUE(j.done);
    EXPECT_FALSE(j.ended);
    EXPECT_EQ(j.damagedBytes, 0u);
}

TEST(DownloadJournal, RestoredStoreHoldsTheRecordsDatedByTheStart) {
    TempDir dir;
    const auto j = readJournal(writeJournal(dir.path(), kStart, goldenRecords(), std::nullopt));
    const RestoredDataSets dataSets = restoredDataSets(j);
    const MeasurementStore& store = *dataSets.first;
    EXPECT_EQ(store.commentText(), "Transferred at " + journalStartText(kStart));
    std::vector<std::uint8_t> expected(store.commentBlock().begin(), store.commentBlock().end());
    const auto records = test::goldenHex("download_two_records.hex");
    expected.insert(expected.end(), records.begin(), records.end());
    EXPECT_EQ(store.image, expected);
    EXPECT_FALSE(dataSets.second);
}

// Record i of a long journal, told apart by its profile and station.
MeasurementRecord numberedRecord(std::size_t i) {
    MeasurementRecord r;
    r.profile = static_cast<std::int16_t>(i / 10000);
    r.station = static_cast<std::int16_t>(i % 10000);
    return r;
}

std::vector<MeasurementRecord> numberedRecords(std::size_t first, std::size_t end) {
    std::vector<MeasurementRecord> records;
    for (std::size_t i = first; i < end; ++i) records.push_back(numberedRecord(i));
    return records;
}

std::vector<MeasurementRecord> recordsOf(const MeasurementStore& store) {
    std::vector<MeasurementRecord> records;
    records.reserve(static_cast<std::size_t>(store.count()));
    for (int i = 0; i < store.count(); ++i) records.push_back(store.record(i));
    return records;
}

// No download journals more than a data set's records, but a journal may hold
// them: the rest goes to a second data set, and past what two take, reading
// stops and the journal is not marked done, since its last records reached no file.
TEST(DownloadJournal, RecordsPastADataSetGoToASecondOne) {
    const std::size_t capacity = MeasurementStore::kCapacity;
    TempDir dir;
    const std::string longest =
        writeJournal(dir.path(), kStart, numberedRecords(0, 2 * capacity + 1), std::nullopt);
    struct Case {
        std::size_t records, read, second;
        bool overLimit;
    };
    for (const Case c :
         {Case{70000, 70000, 6000, false}, Case{2 * capacity + 1, 2 * capacity, capacity, true}}) {
        SCOPED_TRACE(c.records);
        // The longest journal, cut after its first records, is a shorter one.
        const std::string path = dir.file(std::to_string(c.records) + ".vdj");
        std::filesystem::copy_file(longest, path);
        if (!c.overLimit)
            std::filesystem::resize_file(path, kJournalHeaderSize + c.records * kJournalEntrySize);
        const JournalContents j = readJournal(path);
        EXPECT_EQ(j.recordCount, c.read);
        EXPECT_EQ(j.overLimit, c.overLimit);
        const RestoredDataSets dataSets = restoredDataSets(j);
        EXPECT_EQ(recordsOf(*dataSets.first), numberedRecords(0, capacity));
        ASSERT_TRUE(dataSets.second);
        EXPECT_EQ(recordsOf(*dataSets.second), numberedRecords(capacity, capacity + c.second));
        EXPECT_EQ(dataSets.second->commentText(), dataSets.first->commentText());
        EXPECT_EQ(damageReport(j),
                  c.overLimit ? "The journal " + path +
                                    " holds more than 128000 records, a data set and its second "
                                    "file:\nits last 112 bytes stay in it"
                              : "");
        if (c.overLimit) {
            const auto size = std::filesystem::file_size(path);
            EXPECT_THROW(markJournalDone(path, JournalEnd::Saved), JournalError);
            EXPECT_EQ(std::filesystem::file_size(path), size);
        }
    }
}

TEST(DownloadJournal, SecondFileIsNamedAfterTheFirst) {
    EXPECT_EQ(secondFileName("/data/field.vlf"), "/data/field-2.vlf");
    EXPECT_EQ(secondFileName("field"), "field-2");
    EXPECT_EQ(secondFileName("a.b/field.VLF"), "a.b/field-2.VLF");
}

// Pending: not done and holding a record; newest first. Done journals (and
// empty ones) go 30 days after their download; files of others stay.
TEST(DownloadJournal, PendingJournalsAreListedNewestFirstAndOldDoneOnesRemoved) {
    TempDir dir;
    const auto records = goldenRecords();
    const std::time_t now = kStart + 100 * kDay;
    const std::string older = writeJournal(dir.path(), now - 40 * kDay, records, std::nullopt);
    const std::string newer = writeJournal(dir.path(), now - kDay, records, std::nullopt);
    const std::string oldDone =
        writeJournal(dir.path(), now - 31 * kDay, records, JournalEnd::Saved);
    const std::string youngDone =
        writeJournal(dir.path(), now - 29 * kDay, records, JournalEnd::Discarded);
    const std::string oldEmpty = writeJournal(dir.path(), now - 31 * kDay, {}, std::nullopt);
    test::writeBytes(dir.file("notes.vdj"), "not a journal");

    const auto pending = pendingJournals(dir.path(), now);
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].path, newer);
    EXPECT_EQ(pending[1].path, older);
    EXPECT_FALSE(std::filesystem::exists(oldDone));
    EXPECT_FALSE(std::filesystem::exists(oldEmpty));
    EXPECT_TRUE(std::filesystem::exists(youngDone));
    EXPECT_TRUE(std::filesystem::exists(dir.file("notes.vdj")));
}

// A start from the header is any 64-bit number: the oldest is as old as can
// be, the newest not yet due.
TEST(DownloadJournal, DoneJournalGoesAfterItsTimeWhateverItsStart) {
    const std::time_t now = kStart;
    struct Case {
        std::time_t start;
        bool removed;
    };
    for (const Case c :
         {Case{std::numeric_limits<std::time_t>::min(), true}, Case{now - 31 * kDay, true},
          Case{now - 29 * kDay, false}, Case{std::numeric_limits<std::time_t>::max(), false}}) {
        SCOPED_TRACE(c.start);
        TempDir dir;
        const std::string path =
            writeJournal(dir.path(), c.start, goldenRecords(), JournalEnd::Saved);
        EXPECT_TRUE(pendingJournals(dir.path(), now).empty());
        EXPECT_EQ(std::filesystem::exists(path), !c.removed);
    }
}

// A second instance of the program must neither offer a download that is
// still running for recovery nor write its done mark into it.
TEST(DownloadJournal, RunningDownloadIsNeitherOfferedNorMarked) {
    TempDir dir;
    DownloadJournal running(dir.path(), kStart);
    running.append(goldenRecords().front());

    EXPECT_TRUE(pendingJournals(dir.path(), kStart).empty());
    EXPECT_THROW(markJournalDone(running.path(), JournalEnd::Saved), FileError);

    running.close();
    ASSERT_EQ(pendingJournals(dir.path(), kStart).size(), 1u);
    EXPECT_EQ(readJournal(running.path()).records.size(), 1u);
}

TEST(DownloadJournal, TwoDownloadsInOneSecondGetTwoJournals) {
    TempDir dir;
    const std::string first = writeJournal(dir.path(), kStart, goldenRecords(), std::nullopt);
    const std::string second = writeJournal(dir.path(), kStart, goldenRecords(), std::nullopt);
    EXPECT_NE(first, second);
    EXPECT_EQ(readJournal(second).records, goldenRecords());
}

TEST(DownloadJournal, FolderThatCannotBeMadeIsAFileError) {
    TempDir dir;
    test::writeBytes(dir.file("file"), "x");
    EXPECT_THROW(DownloadJournal(dir.file("file") + "/downloads", kStart), FileError);
}

} // namespace
} // namespace veldro
