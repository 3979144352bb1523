#pragma once

#include "data/rows.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace veldro {

// The spreadsheet separator: the setting keeps its character code.
struct SeparatorChoice {
    char character;
    std::string_view caption; // the menu item
    std::string_view name;    // the command-line word
};
inline constexpr std::array<SeparatorChoice, 4> kSeparators{{{',', "Comma", "comma"},
                                                             {';', "Semi comma", "semicolon"},
                                                             {' ', "Space", "space"},
                                                             {'\t', "Tabulation", "tab"}}};

// The separator of a stored code (only its low byte counts): tab, comma or
// semicolon, any other code a space.
char separatorFromSetting(int code);
std::optional<char> separatorNamed(std::string_view name);

// Which of the 21 quantity columns are shown, by logical index.
using VisibleColumns = std::array<bool, kColumnCount>;
inline constexpr VisibleColumns kAllColumns = [] {
    VisibleColumns all{};
    all.fill(true);
    return all;
}();

// The column's caption as written into files, in Windows-1252.
const std::string& exportCaption(int column);

// A cell as the exports write it: the table's text, except that the mode reads
// "Tilt" or "Res".
void appendExportCell(std::string& out, const MeasurementRecord& record, int column);

} // namespace veldro
