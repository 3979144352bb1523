#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veldro {

class MeasurementStore;
class MessageSink;
class Progress;

struct BruImportResult {
    int lines = 0;        // every line of the file, empty ones too
    int stored = 0;       // records now in the store
    int overCapacity = 0; // decodable lines past the 64000th record, among the rejected
    int rejected() const { return lines - stored; }
};

// Splits text into lines ending at CR, LF or CR LF; a line break at the very
// end does not start another line.
std::vector<std::string_view> splitLines(std::string_view text);

// Replaces the store's records with the decodable lines of a .bru file, in file
// order. Says " points rejected..." with the count of lines that gave no record
// (empty lines included). Throws FileError when the file cannot be read, with
// the store's records already emptied.
BruImportResult ImportBru(MeasurementStore& store, const std::string& fileName, Progress* progress,
                          MessageSink& messages);

} // namespace veldro
