// What is done with the journals a download left: which are offered, and the
// data sets and files their records go back to.
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "link/download_journal.h"
#include "link/journal_file.h"
#include "link/journal_names.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace veldro {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<MeasurementStore> dataSetOf(const JournalContents& journal, std::size_t first,
                                            std::size_t end) {
    auto store = std::make_unique<MeasurementStore>();
    store->setCommentText("Transferred at " + journalStartText(journal.startedAt));
    for (std::size_t i = first; i < end; ++i) store->append(journal.records[i]);
    store->writeImage(ImageMode::Full, false, 0, 0);
    return store;
}

} // namespace

// Journals are read without their records: a hundred full ones would
// otherwise be held at once to show one line each.
std::vector<JournalSummary> pendingJournals(const std::string& folder, std::time_t now) {
    std::vector<JournalSummary> pending;
    std::error_code error;
    fs::directory_iterator item(journalPathOf(folder), error);
    if (error == std::errc::no_such_file_or_directory) return pending;
    for (; !error && item != fs::directory_iterator(); item.increment(error)) {
        if (item->path().extension() != kJournalExtension) continue;
        const std::string path = journalNameOf(item->path());
        if (JournalFile::inUse(path)) continue; // a download still running, here or elsewhere
        try {
            JournalSummary journal = readJournalSummary(path);
            std::error_code ignored;
            if (journal.pending())
                pending.push_back(std::move(journal));
            else if (journal.startedAt < now - kDoneJournalLifetime)
                fs::remove(item->path(), ignored);
        } catch (const std::exception&) {
            // Not ours, or unreadable: left as it is.
        }
    }
    if (error) throw FileError("Cannot read", folder, error.message());
    std::sort(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
        return a.startedAt != b.startedAt ? a.startedAt > b.startedAt : a.path > b.path;
    });
    return pending;
}

RestoredDataSets restoredDataSets(const JournalContents& journal) {
    const std::size_t capacity = MeasurementStore::kCapacity;
    const std::size_t count = std::min(journal.records.size(), kJournalRecordLimit);
    RestoredDataSets sets;
    sets.first = dataSetOf(journal, 0, std::min(count, capacity));
    if (count > capacity) sets.second = dataSetOf(journal, capacity, count);
    return sets;
}

std::string secondFileName(const std::string& firstFile) {
    return withoutExtension(firstFile) + "-2" + fileExtension(firstFile);
}

std::string saveSecondFile(MeasurementStore& second, const std::string& firstFile) {
    const std::string name = secondFileName(firstFile);
    second.writeImage(ImageMode::Full, false, 0, 0);
    writeNewOrRegularFile(name, second.image);
    return name;
}

std::string damageReport(const JournalSummary& journal) {
    if (journal.damagedBytes == 0) return {};
    const std::string bytes = std::to_string(journal.damagedBytes);
    if (journal.overLimit)
        return "The journal " + journal.path + " holds more than " +
               std::to_string(kJournalRecordLimit) +
               " records, a data set and its second file:\nits last " + bytes + " bytes stay in it";
    return "The journal " + journal.path + " is damaged after record " +
           std::to_string(journal.recordCount) + ":\nits last " + bytes +
           " bytes could not be restored";
}

} // namespace veldro
