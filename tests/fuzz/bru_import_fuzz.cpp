// "Import file...": a .bru file read as a stream of lines, compared with the
// plain reading of its rules: lines end at CR, LF or CR LF, a break at the very
// end starts no line, and every line of a layout's length that decodes is a
// record, in file order, up to the store's capacity.
#include "data/bru_import.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/progress.h"
#include "data/record_text.h"
#include "fuzz_support.h"
#include "test_support.h"

#include <vector>

using namespace veldro;
using veldro::fuzz::require;

namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = veldro::fuzz::textOf(data, size);
    const std::string file = veldro::fuzz::scratchFile(text, ".bru");
    static MeasurementStore store;
    store.append(MeasurementRecord{}); // what an import replaces
    test::RecordingMessages messages;
    test::RecordingProgress bar;
    const BruImportResult result = ImportBru(store, file, &bar, messages);

    const std::vector<std::string_view> lines = linesOf(text);
    std::vector<MeasurementRecord> expected;
    for (const std::string_view line : lines)
        if (const auto record = decodeBruLine(line);
            record && expected.size() < MeasurementStore::kCapacity)
            expected.push_back(*record);
    require(result.lines == static_cast<std::int64_t>(lines.size()), "every line is counted");
    require(result.stored == store.count(), "the count said is the count stored");
    require(store.count() == static_cast<int>(expected.size()), "every decodable line is stored");
    for (int i = 0; i < store.count(); ++i)
        require(store.record(i) == expected[static_cast<std::size_t>(i)],
                "records are stored as their lines read, in file order");
    require(bar.highest <= bar.maximum, "the progress stays within its bar");
    const std::size_t losses = (result.overCapacity > 0 ? 1 : 0) + (result.rejected() > 0 ? 1 : 0);
    require(messages.shown.size() == losses, "each kind of loss is said once");
    return 0;
}
