#include "export/export_text.h"

#include "data/cp1252.h"

namespace veldro {

char separatorFromSetting(int code) {
    const char c = static_cast<char>(code & 0xFF);
    for (const SeparatorChoice& s : kSeparators)
        if (s.character == c) return c;
    return ' ';
}

std::optional<char> separatorNamed(std::string_view name) {
    for (const SeparatorChoice& s : kSeparators)
        if (s.name == name) return s.character;
    return std::nullopt;
}

const std::string& exportCaption(int column) {
    static const std::array<std::string, kColumnCount> captions = [] {
        std::array<std::string, kColumnCount> converted;
        for (int c = 0; c < kColumnCount; ++c)
            converted[static_cast<std::size_t>(c)] = utf8ToCp1252(quantity(c).caption);
        return converted;
    }();
    return captions[static_cast<std::size_t>(column)];
}

void appendExportCell(std::string& out, const MeasurementRecord& record, int column) {
    if (column == ColMode)
        out += record.resistivityMode() ? "Res" : "Tilt";
    else
        appendCellText(out, record, column);
}

} // namespace veldro
