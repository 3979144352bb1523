#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldro {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A font's family name, UTF-8. The text is shared by every copy, so a name
// costs its memory once however many styles and runs use it.
class FontName {
public:
    FontName() = default;
    FontName(std::string name);
    FontName(const char* name) : FontName(std::string(name)) {}
    const std::string& text() const;
    bool empty() const { return !name_; }
    bool operator==(const FontName& other) const;

private:
    std::shared_ptr<const std::string> name_; // none for no name
};

// The character formatting rich text carries here.
struct TextStyle {
    FontName font;
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
};

// Runs of styled text kept compactly, since a hostile file may switch style
// every few bytes: the text once, each distinct style once, and per run only
// where it ends and which style it has. Adjacent runs of one style merge and
// empty ones are dropped. The text stays under 4 GiB.
class StyledText {
public:
    struct Run {
        std::string_view text;
        const TextStyle& style;
        std::size_t styleIndex; // into styles()
    };

    StyledText() = default;
    StyledText(std::initializer_list<StyledRun> runs);

    void append(std::string_view text, const TextStyle& style);
    std::size_t size() const { return runs_.size(); }
    bool empty() const { return runs_.empty(); }
    Run run(std::size_t index) const;
    // Every run's letters, one after the other.
    const std::string& text() const { return text_; }
    const std::vector<TextStyle>& styles() const { return styles_; }
    // Same text in the same styles, run by run.
    bool operator==(const StyledText& other) const;

private:
    struct Span {
        std::uint32_t end;
        std::uint32_t style;
    };
    std::uint32_t intern(const TextStyle& style);

    std::string text_;
    std::vector<Span> runs_;
    std::vector<TextStyle> styles_;
    // An open-addressing index of styles_: each slot 0 or a style's index + 1.
    std::vector<std::uint32_t> slots_;
};

// RTF sizes past this (a corrupt \fs) are taken as this: 1638 points.
inline constexpr int kMaxHalfPoints = 3276;

// Font family names are short; a longer one in a file is cut here.
inline constexpr std::size_t kMaxFontNameBytes = 255;

// Whether a file's bytes are rich text: they start with "{\rtf".
bool isRtf(std::string_view bytes);

// Reads RTF into runs: font and colour tables, \plain, \f, \fs, \b, \i, \ul,
// \cf, \par, \line, \tab, \'hh (Windows-1252), \uN with \uc and its
// fallback; other destinations and control words are skipped. A font's name
// is cut after kMaxFontNameBytes. Malformed input (unbalanced groups, a cut
// file) gives what could be read.
StyledText readRtf(std::string_view bytes);

// Writes runs as RTF a word processor opens: Windows-1252 where it holds the
// character, \uN with a '?' fallback elsewhere.
std::string writeRtf(const StyledText& runs);

} // namespace veldro
