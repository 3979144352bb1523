#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldro {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The character formatting rich text carries here.
struct TextStyle {
    std::string font; // the family name, UTF-8
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<Rgb> colour; // none: the reader's automatic colour
    bool operator==(const TextStyle&) const = default;
};

// Text of one style, UTF-8: '\n' ends a paragraph, U+2028 breaks a line
// inside one, '\t' is a tab.
struct StyledRun {
    std::string text;
    TextStyle style;
    bool operator==(const StyledRun&) const = default;
};
using StyledText = std::vector<StyledRun>;

// RTF sizes past this (a corrupt \fs) are taken as this: 1638 points.
inline constexpr int kMaxHalfPoints = 3276;

// Whether a file's bytes are rich text: they start with "{\rtf".
bool isRtf(std::string_view bytes);

// Reads RTF into runs: font and colour tables, \plain, \f, \fs, \b, \i, \ul,
// \cf, \par, \line, \tab, \'hh (Windows-1252), \uN with \uc and its
// fallback; other destinations and control words are skipped. Adjacent runs
// of one style are merged. Malformed input (unbalanced groups, a cut file)
// gives what could be read.
StyledText readRtf(std::string_view bytes);

// Writes runs as RTF a word processor opens: Windows-1252 where it holds the
// character, \uN with a '?' fallback elsewhere.
std::string writeRtf(const StyledText& runs);

} // namespace veldro
