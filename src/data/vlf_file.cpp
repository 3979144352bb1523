#include "data/vlf_file.h"

#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "data/messages.h"

namespace veldro {

namespace {

// The comment block, the records a store can hold, and one record more: enough
// to say "64000 data points max kept" exactly when a whole record lies beyond.
constexpr std::size_t kBytesThatMatter =
    MeasurementStore::kCommentSize + (MeasurementStore::kCapacity + 1) * MeasurementRecord::kSize;

// The checks an open and an add share before they read.
DataFileStatus checkDataFile(const std::string& path, MessageSink& messages) {
    if (!hasDataFileExtension(path)) return DataFileStatus::WrongExtension;
    if (!fileExists(path)) {
        messages.show(unableToOpenFile(path));
        return DataFileStatus::Missing;
    }
    return DataFileStatus::Opened;
}

} // namespace

Message unableToOpenFile(const std::string& path) {
    return {"Unable to open file\n" + path, "Error", MessageIcon::Error};
}

DataFileRead readDataFile(const std::string& path, MessageSink& messages) {
    DataFileRead result;
    result.status = checkDataFile(path, messages);
    if (result.status != DataFileStatus::Opened) return result;
    std::vector<std::uint8_t> bytes = readFileStart(path, kBytesThatMatter);
    result.store = std::make_unique<MeasurementStore>();
    result.store->image = std::move(bytes);
    result.store->loadFromImage(messages);
    return result;
}

DataFileStatus addDataFile(MeasurementStore& store, const std::string& path,
                           MessageSink& messages) {
    const DataFileStatus status = checkDataFile(path, messages);
    if (status != DataFileStatus::Opened) return status;
    const std::vector<std::uint8_t> bytes = readFileStart(path, kBytesThatMatter);
    // The image may hold a split group or older flags: extend the current data set.
    store.writeImage(ImageMode::Full, false, 0, 0);
    if (bytes.size() > MeasurementStore::kCommentSize)
        store.image.insert(store.image.end(), bytes.begin() + MeasurementStore::kCommentSize,
                           bytes.end());
    store.loadFromImage(messages);
    return status;
}

void writeScratchFile(MeasurementStore& store) {
    store.writeImage(ImageMode::Full, false, 0, 0);
    writeWorkingFile(kScratchFileName, store.image);
}

} // namespace veldro
