// "Open..." and "Add..." of a .vlf file of any bytes: the file's whole records
// load, an add appends them, and a save writes exactly the loaded data set.
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/vlf_file.h"
#include "fuzz_support.h"
#include "test_support.h"

#include <fstream>
#include <iterator>

using namespace veldro;
using veldro::fuzz::require;

namespace {

constexpr std::size_t kComment = MeasurementStore::kCommentSize;
constexpr std::size_t kRecord = MeasurementRecord::kSize;

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = veldro::fuzz::textOf(data, size);
    const std::string file = veldro::fuzz::scratchFile(bytes, ".vlf");
    test::RecordingMessages messages;
    const DataFileRead read = readDataFile(file, messages);
    require(read.status == DataFileStatus::Opened && read.store, "an existing .vlf file opens");
    MeasurementStore& store = *read.store;
    const std::size_t records = size > kComment ? (size - kComment) / kRecord : 0;
    require(store.count() == static_cast<int>(records), "every whole record loads");

    require(addDataFile(store, file, messages) == DataFileStatus::Opened, "the file adds");
    require(store.count() == static_cast<int>(2 * records), "an add appends every whole record");

    store.saveToFile(file);
    const std::string saved = contentsOf(file);
    const std::string_view recordBytes = bytes.substr(std::min(size, kComment), records * kRecord);
    require(saved.size() == kComment + 2 * recordBytes.size() &&
                saved.compare(kComment, recordBytes.size(), recordBytes) == 0 &&
                saved.compare(kComment + recordBytes.size(), recordBytes.size(), recordBytes) == 0,
            "a save writes the records as they were read");
    if (size >= kComment)
        require(saved.compare(0, kComment, bytes.substr(0, kComment)) == 0,
                "the comment block is saved as it was read");
    return 0;
}
