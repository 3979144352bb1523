#include "data/bru_import.h"

#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/progress.h"
#include "data/record_text.h"

#include <algorithm>
#include <limits>

namespace veldro {

namespace {

// The progress bar's length: the file's lines, counted in a first pass where
// the file can be read twice; 0 (a busy bar) for a pipe.
int progressLength(LineReader& lines) {
    if (!lines.canRewind()) return 0;
    std::int64_t count = 0;
    while (lines.next()) ++count;
    lines.rewind();
    return static_cast<int>(std::min<std::int64_t>(count, std::numeric_limits<int>::max()));
}

// The most a pipe or a device is read for one import: six times the largest
// .bru file, whose 64000 records take about 5 MB.
constexpr std::uint64_t kMostEndlessBytes = 32 << 20;

// Appends the record of every line that decodes, counting every line. A pipe
// or a device may never end (/dev/urandom): it is read until the store is
// full, and given up when that takes more than kMostEndlessBytes.
BruImportResult storeRecords(LineReader& lines, MeasurementStore& store, Progress* progress,
                             int barLength) {
    const bool mayNeverEnd = !lines.canRewind();
    std::uint64_t bytes = 0;
    BruImportResult result;
    while (const auto line = lines.next()) {
        ++result.lines;
        bytes += line->length + 1;
        if (mayNeverEnd && bytes > kMostEndlessBytes)
            throw FileError("Cannot read", lines.path(),
                            "no end and no full data set in its first " +
                                std::to_string(kMostEndlessBytes >> 20) + " MiB");
        if (line->text.empty()) continue;
        if (progress && progress->position() < barLength) progress->advance();
        // A cut line is longer than any record, so it is rejected as it should be.
        const auto record = decodeBruLine(line->text);
        if (!record) continue;
        if (store.append(*record)) {
            ++result.stored;
        } else {
            ++result.overCapacity;
            if (mayNeverEnd) break;
        }
    }
    return result;
}

} // namespace

BruImportResult ImportBru(MeasurementStore& store, const std::string& fileName, Progress* progress,
                          MessageSink& messages) {
    store.clearRecords();
    LineReader lines(fileName);
    int barLength = 0;
    if (progress) {
        progress->setPosition(0);
        barLength = progressLength(lines);
        progress->setMaximum(barLength);
    }
    BruImportResult result;
    try {
        result = storeRecords(lines, store, progress, barLength);
    } catch (const FileError&) {
        // A file that fails part way gives no records, as one that fails at once.
        store.clearRecords();
        throw;
    }
    if (result.overCapacity > 0) showCapacityWarning(messages);
    if (result.rejected() > 0)
        messages.show({std::to_string(result.rejected()) +
                           " points rejected\nPlease edit BRU file to correct bad records",
                       "", MessageIcon::None});
    return result;
}

} // namespace veldro
