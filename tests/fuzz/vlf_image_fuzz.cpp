// loadFromImage and writeImage, the staging of every load and save: any bytes
// load without harm, and the image written back holds the same bytes.
#include "data/measurement_store.h"
#include "data/messages.h"
#include "fuzz_support.h"
#include "test_support.h"

#include <algorithm>

using namespace veldro;
using veldro::fuzz::require;

namespace {

constexpr std::size_t kComment = MeasurementStore::kCommentSize;
constexpr std::size_t kRecord = MeasurementRecord::kSize;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MeasurementStore store;
    test::RecordingMessages messages;
    store.setCommentText("before");
    store.image.assign(data, data + size);
    store.loadFromImage(messages);
    const std::size_t records = size > kComment ? (size - kComment) / kRecord : 0;
    require(store.count() == static_cast<int>(records), "every whole record loads");

    store.writeImage(ImageMode::Full, false, 0, 0);
    const std::size_t whole = kComment + records * kRecord;
    if (size >= kComment)
        require(store.image.size() == whole && std::equal(data, data + whole, store.image.begin()),
                "a loaded image is written back byte for byte");

    // The kept records of a slice, as a split writes them.
    const int first = size > 0 ? data[0] % (store.count() + 1) : 0;
    store.writeImage(ImageMode::Full, true, first, 0);
    int kept = 0;
    for (int i = first; i < store.count(); ++i) kept += store.record(i).kept();
    require(store.image.size() == kComment + static_cast<std::size_t>(kept) * kRecord,
            "a slice holds its kept records");
    return 0;
}
