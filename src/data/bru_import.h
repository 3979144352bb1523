#pragma once

#include <cstdint>
#include <string>

namespace veldro {

class MeasurementStore;
class MessageSink;
class Progress;

struct BruImportResult {
    std::int64_t lines = 0;        // every line of the file, empty ones too
    int stored = 0;                // records now in the store
    std::int64_t overCapacity = 0; // decodable lines past the 64000th record, among the rejected
    std::int64_t rejected() const { return lines - stored; }
};

// Replaces the store's records with the decodable lines of a .bru file, in file
// order, reading it as a stream of lines so memory stays bounded whatever its size. Says " points
// rejected..." with the count of lines that gave no record (empty lines included). Throws FileError
// when the file cannot be read, with the store's records already emptied.
BruImportResult ImportBru(MeasurementStore& store, const std::string& fileName, Progress* progress,
                          MessageSink& messages);

} // namespace veldro
