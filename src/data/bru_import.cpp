#include "data/bru_import.h"

#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/progress.h"
#include "data/record_text.h"

namespace veldro {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

BruImportResult ImportBru(MeasurementStore& store, const std::string& fileName, Progress* progress,
                          MessageSink& messages) {
    store.clearRecords();
    const std::vector<std::uint8_t> bytes = readWholeFile(fileName);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::vector<std::string_view> lines = splitLines(text);

    BruImportResult result;
    result.lines = static_cast<int>(lines.size());
    if (progress) {
        progress->setPosition(0);
        progress->setMaximum(result.lines);
    }
    for (std::string_view line : lines) {
        if (line.empty()) continue;
        if (progress) progress->advance();
        const auto record = decodeBruLine(line);
        if (!record) continue;
        if (store.append(*record))
            ++result.stored;
        else
            ++result.overCapacity;
    }
    if (result.overCapacity > 0) showCapacityWarning(messages);
    if (result.rejected() > 0)
        messages.show({std::to_string(result.rejected()) +
                           " points rejected\nPlease edit BRU file to correct bad records",
                       "", MessageIcon::None});
    return result;
}

} // namespace veldro
