#include "link/download_journal.h"

#include "data/file_io.h"
#include "data/measurement_store.h"
#include "link/journal_file.h"
#include "link/journal_names.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace veldro {

namespace fs = std::filesystem;

namespace {

constexpr std::array<char, 8> kMagic{'V', 'e', 'l', 'd', 'r', 'o', 'D', 'J'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderCheckedBytes = kJournalHeaderSize - 4;
constexpr std::size_t kEntryCheckedBytes = kJournalEntrySize - 4;
constexpr std::size_t kPayloadOffset = 8;
constexpr auto kFlushInterval = std::chrono::seconds(1);

constexpr char kRecord = 'R';
constexpr char kEnded = 'E';

// CRC-32 as zip and PNG compute it (reflected, polynomial 0xEDB88320).
std::uint32_t crc32(const std::uint8_t* bytes, std::size_t count) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putLittle(std::uint8_t* at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t little(const std::uint8_t* at, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

bool checked(const std::uint8_t* bytes, std::size_t checkedBytes) {
    return little(bytes + checkedBytes, 4) == crc32(bytes, checkedBytes);
}

std::array<std::uint8_t, kJournalHeaderSize> headerOf(std::time_t startedAt) {
    std::array<std::uint8_t, kJournalHeaderSize> h{};
    std::copy(kMagic.begin(), kMagic.end(), h.begin());
    putLittle(&h[8], kVersion, 2);
    putLittle(&h[10], kJournalEntrySize, 2);
    putLittle(&h[12], static_cast<std::uint64_t>(static_cast<std::int64_t>(startedAt)), 8);
    putLittle(&h[kHeaderCheckedBytes], crc32(h.data(), kHeaderCheckedBytes), 4);
    return h;
}

std::array<std::uint8_t, kJournalEntrySize> entryOf(std::uint32_t sequence, char kind,
                                                    const std::uint8_t* payload) {
    std::array<std::uint8_t, kJournalEntrySize> e{};
    putLittle(&e[0], sequence, 4);
    e[4] = static_cast<std::uint8_t>(kind);
    if (payload) std::copy_n(payload, MeasurementRecord::kSize, &e[kPayloadOffset]);
    putLittle(&e[kEntryCheckedBytes], crc32(e.data(), kEntryCheckedBytes), 4);
    return e;
}

// A time no calendar holds (a forged header's start) is said in seconds.
std::string localTimeText(std::time_t when, const char* format) {
    std::tm local{};
    if (!localtime_r(&when, &local)) return std::to_string(when);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &local));
}

// The journal's whole entries end here; a done mark goes after them.
std::uint64_t wholeLength(std::uint64_t entries) {
    return kJournalHeaderSize + entries * kJournalEntrySize;
}

// Every record the limit allows, an end mark and a done mark: a file of
// endless entries is read no further.
constexpr std::uint64_t kEntryLimit = kJournalRecordLimit + 2;
// Entries are read this many at a time.
constexpr std::size_t kChunkEntries = 1024;

struct ReadJournal {
    JournalContents contents;
    std::uint64_t entries = 0;
};

std::size_t readFully(JournalFile& file, std::uint8_t* bytes, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        const std::size_t more = file.read(bytes + got, count - got);
        if (more == 0) break;
        got += more;
    }
    return got;
}

bool knownKind(char kind) {
    return kind == kRecord || kind == kEnded || kind == static_cast<char>(JournalEnd::Saved) ||
           kind == static_cast<char>(JournalEnd::Discarded);
}

// The journal at `path`, its records kept when `keepRecords`.
ReadJournal read(const std::string& path, bool keepRecords) {
    const auto file = JournalFile::openToRead(path);
    ReadJournal result;
    JournalContents& j = result.contents;
    j.path = path;
    std::array<std::uint8_t, kJournalHeaderSize> header{};
    if (readFully(*file, header.data(), header.size()) != header.size() ||
        !std::equal(kMagic.begin(), kMagic.end(), header.begin()) ||
        !checked(header.data(), kHeaderCheckedBytes) || little(&header[8], 2) != kVersion ||
        little(&header[10], 2) != kJournalEntrySize)
        throw JournalError(path + " is not a download journal, or its header is damaged");
    j.startedAt = static_cast<std::time_t>(static_cast<std::int64_t>(little(&header[12], 8)));
    const auto stopAt = [&](bool overLimit) {
        j.overLimit = overLimit;
        const std::uint64_t size = file->size();
        const std::uint64_t whole = wholeLength(result.entries);
        j.damagedBytes = size > whole ? size - whole : 0;
    };
    std::vector<std::uint8_t> chunk(kChunkEntries * kJournalEntrySize);
    for (std::size_t got = chunk.size(); got == chunk.size();) {
        got = readFully(*file, chunk.data(), chunk.size());
        for (std::size_t at = 0; at < got; at += kJournalEntrySize) {
            const std::uint8_t* e = &chunk[at];
            const char kind = static_cast<char>(e[4]);
            if (got - at < kJournalEntrySize || !checked(e, kEntryCheckedBytes) ||
                little(e, 4) != result.entries || !knownKind(kind)) {
                stopAt(false);
                return result;
            }
            if ((kind == kRecord && j.recordCount == kJournalRecordLimit) ||
                result.entries == kEntryLimit) {
                stopAt(true);
                return result;
            }
            ++result.entries;
            if (kind == kRecord) {
                ++j.recordCount;
                if (keepRecords) j.records.push_back(MeasurementRecord::decode(&e[kPayloadOffset]));
            } else if (kind == kEnded) {
                j.ended = true;
            } else {
                j.done = true;
            }
        }
    }
    return result;
}

} // namespace

std::string downloadJournalFolder() {
    const std::string data = programDataFolder();
    return data.empty() ? std::string() : journalNameOf(journalPathOf(data) / "downloads");
}

JournalContents readJournal(const std::string& path) {
    return read(path, true).contents;
}

JournalSummary readJournalSummary(const std::string& path) {
    return read(path, false).contents;
}

std::string journalStartText(std::time_t startedAt) {
    return localTimeText(startedAt, "%Y-%m-%d %H:%M:%S");
}

void markJournalDone(const std::string& path, JournalEnd end) {
    const ReadJournal journal = read(path, false);
    if (journal.contents.overLimit)
        throw JournalError(path + " holds more records than " +
                           std::to_string(kJournalRecordLimit) + ": not marked done");
    if (journal.contents.done) return;
    try {
        const auto file = JournalFile::openAt(path, wholeLength(journal.entries));
        const auto entry =
            entryOf(static_cast<std::uint32_t>(journal.entries), static_cast<char>(end), nullptr);
        file->write(entry.data(), entry.size());
        file->sync();
    } catch (const JournalDiskFull&) {
        // A full disk would keep offering records that are in a file, or dropped.
        std::error_code error;
        if (!fs::remove(journalPathOf(path), error)) throw;
    }
}

DownloadJournal::DownloadJournal(const std::string& folder, std::time_t startedAt) {
    std::error_code error;
    fs::create_directories(journalPathOf(folder), error);
    if (error) throw FileError("Cannot create " + folder + ": " + error.message());
    const std::string stem =
        journalNameOf(journalPathOf(folder) / localTimeText(startedAt, "%Y-%m-%d_%H-%M-%S"));
    // Two downloads in one second get a number after the time.
    for (int n = 1; !file_; ++n) {
        path_ = stem + (n == 1 ? "" : "_" + std::to_string(n)) + kJournalExtension;
        file_ = JournalFile::create(path_);
    }
    const auto header = headerOf(startedAt);
    try {
        file_->write(header.data(), header.size());
        file_->sync();
    } catch (const FileError&) {
        file_.reset();
        fs::remove(journalPathOf(path_), error);
        throw;
    }
    flusher_ = std::thread([this] { flushEverySecond(); });
}

DownloadJournal::~DownloadJournal() {
    stopFlushing();
}

void DownloadJournal::writeEntry(char kind, const std::uint8_t* payload) {
    {
        std::lock_guard lock(mutex_);
        if (!file_ || !error_.empty()) return;
    }
    const auto entry = entryOf(sequence_, kind, payload);
    try {
        file_->write(entry.data(), entry.size());
        ++sequence_;
        std::lock_guard lock(mutex_);
        dirty_ = true;
    } catch (const FileError& e) {
        std::lock_guard lock(mutex_);
        error_ = e.what();
    }
}

void DownloadJournal::append(const MeasurementRecord& record) {
    std::array<std::uint8_t, MeasurementRecord::kSize> bytes{};
    record.encode(bytes.data());
    writeEntry(kRecord, bytes.data());
}

// Forcing each entry to the disk would cost more than the transfer itself;
// once a second bounds what a power cut can take.
void DownloadJournal::flushEverySecond() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, kFlushInterval, [this] { return stopping_; });
        if (!dirty_ || !error_.empty()) continue;
        dirty_ = false;
        lock.unlock();
        std::string failure;
        try {
            file_->sync();
        } catch (const FileError& e) {
            failure = e.what();
        }
        lock.lock();
        if (!failure.empty() && error_.empty()) error_ = failure;
    }
}

void DownloadJournal::stopFlushing() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (flusher_.joinable()) flusher_.join();
}

void DownloadJournal::syncNow() {
    if (!error().empty()) return;
    try {
        file_->sync();
    } catch (const FileError& e) {
        std::lock_guard lock(mutex_);
        error_ = e.what();
    }
}

void DownloadJournal::markEnded() {
    writeEntry(kEnded, nullptr);
    syncNow();
}

void DownloadJournal::close(std::optional<JournalEnd> end) {
    stopFlushing();
    if (!file_) return;
    const bool stopped = !error().empty();
    if (end && !stopped) {
        writeEntry(static_cast<char>(*end), nullptr);
        syncNow();
    }
    file_.reset();
    if (!end || !stopped) return;
    // A journal that stopped short of a download saved in full would be
    // offered again. Its error, said already, stays as it was.
    try {
        markJournalDone(path_, *end);
    } catch (const std::exception&) {
    }
}

void DownloadJournal::remove() {
    stopFlushing();
    file_.reset();
    std::error_code error;
    fs::remove(journalPathOf(path_), error);
}

std::string DownloadJournal::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

} // namespace veldro
