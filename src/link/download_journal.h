#pragma once

#include "data/measurement_record.h"
#include "data/measurement_store.h"

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace veldro {

class JournalFile;

// The download journal: every record a download stores, appended as it
// arrives to a file of its own, so that a dead battery, a crash or a killed
// process loses none of them. The format (also in the README):
//
//   header, 32 bytes:  "VeldroDJ", u16 version 1, u16 entry size 56,
//                      i64 start (seconds since 1970), 8 zero bytes,
//                      u32 CRC-32 of the 28 bytes before it
//   entries, 56 bytes: u32 sequence number (0 for the first), u8 kind,
//                      3 zero bytes, 44 bytes (the record as stored for 'R',
//                      zero otherwise), u32 CRC-32 of the 52 bytes before it
//
// Kinds: 'R' a record, 'E' the transfer ended, 'S' its data set was saved,
// 'D' its data set was discarded. Numbers are little-endian. Reading stops at
// the first entry that is short, fails its check or is out of sequence: what
// follows is a torn or damaged tail.
inline constexpr std::size_t kJournalHeaderSize = 32;
inline constexpr std::size_t kJournalEntrySize = 56;

// Journals marked done (saved or discarded) are removed this long after their download.
inline constexpr std::time_t kDoneJournalLifetime = 30 * 24 * 60 * 60;

// A file that is not a download journal, or whose header is damaged.
class JournalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user's folder of download journals: $XDG_DATA_HOME/veldro/downloads
// (~/.local/share unless set); on Windows, under the local application data.
std::string downloadJournalFolder();

// What a journal holds, read back without its records.
struct JournalSummary {
    std::string path;
    std::time_t startedAt = 0;
    std::size_t recordCount = 0; // the whole records before any damage, at most kJournalRecordLimit
    bool ended = false;
    bool done = false;              // its data set was saved or discarded
    std::uint64_t damagedBytes = 0; // the bytes from the first bad entry on
    // More records than a data set and its second file take: reading stopped
    // at the limit, and damagedBytes counts the rest, which stays in the journal.
    bool overLimit = false;

    // A download whose records may still be wanted.
    bool pending() const { return !done && recordCount > 0; }
};

// A journal as read back, with its records.
struct JournalContents : JournalSummary {
    std::vector<MeasurementRecord> records; // recordCount of them
};

// The most records a journal gives back: a data set's, and as many again for
// a second file. No download journals more than one data set's, but a file
// may hold anything.
inline constexpr std::size_t kJournalRecordLimit = 2 * MeasurementStore::kCapacity;

// Only a regular file is read, never through a link nor waiting on a pipe.
// Throw FileError when it cannot be read, JournalError when it is no journal.
JournalContents readJournal(const std::string& path);
JournalSummary readJournalSummary(const std::string& path);

// The pending journals of `folder`, newest first; unreadable files and the
// journals of running downloads are passed over, and no folder holds none.
// Removes the journals that are done (or hold no record) and older than
// kDoneJournalLifetime at `now`. Throws FileError when the folder cannot be read.
std::vector<JournalSummary> pendingJournals(const std::string& folder, std::time_t now);

// "2026-12-07 18:31:11": a journal's start in local time, as its name and the
// questions about it say it.
std::string journalStartText(std::time_t startedAt);

// The data sets of a journal's records, their images written: the first
// MeasurementStore::kCapacity, and the rest (none when there is none) for a
// second file. Their comment dates them by the start, as journalStartText
// says it, unlike the locale's short date a download writes, which can be
// read two ways.
struct RestoredDataSets {
    std::unique_ptr<MeasurementStore> first, second;
};
RestoredDataSets restoredDataSets(const JournalContents& journal);

// The second file of the records past a data set's capacity, beside the file
// `firstFile` of the first: "field.vlf" gives "field-2.vlf".
std::string secondFileName(const std::string& firstFile);
// Saves `second` there, where the name is free or holds a regular file (a
// name the program made is never followed). Returns it. Throws FileError.
std::string saveSecondFile(MeasurementStore& second, const std::string& firstFile);

// What a damaged journal lost, or what one over the limit left in it, in
// words; empty for a whole one.
std::string damageReport(const JournalSummary& journal);

enum class JournalEnd : char { Saved = 'S', Discarded = 'D' };

// Appends the done mark to a journal (after its last whole entry) unless it
// has one. A journal whose disk is full is removed instead: its records are in
// a file, or were dropped. Throws FileError (also while a download writes it)
// or JournalError (also for a journal over the limit, whose last records
// reached no file).
void markJournalDone(const std::string& path, JournalEnd end);

// The journal of a running download. Entries are written as they come, so a
// killed process leaves every one written; a thread forces them to the disk
// once a second while there are new ones, and the end forces the rest.
class DownloadJournal {
public:
    // Creates a new journal in `folder` (made when missing), named by the
    // start. Throws FileError.
    DownloadJournal(const std::string& folder, std::time_t startedAt);
    ~DownloadJournal();
    DownloadJournal(const DownloadJournal&) = delete;
    DownloadJournal& operator=(const DownloadJournal&) = delete;

    const std::string& path() const { return path_; }
    // Never throws: the first failure stops the journal and is kept for error().
    void append(const MeasurementRecord& record);
    // Appends the end mark and forces everything to the disk.
    void markEnded();
    // Appends the done mark when given, and closes the file. A journal that
    // stopped (a full disk) is marked as markJournalDone marks it.
    void close(std::optional<JournalEnd> end = std::nullopt);
    // Closes and deletes a journal that holds nothing worth keeping.
    void remove();
    // Why the journal stopped being written; empty while it is whole.
    std::string error() const;

private:
    void writeEntry(char kind, const std::uint8_t* payload);
    void syncNow();
    void flushEverySecond();
    void stopFlushing();

    std::string path_;
    std::unique_ptr<JournalFile> file_;
    std::uint32_t sequence_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool dirty_ = false;
    bool stopping_ = false;
    std::string error_;
    std::thread flusher_;
};

} // namespace veldro
