#include "data/cp1252.h"
#include "export/rtf.h"

#include <algorithm>
#include <map>
#include <unordered_set>

namespace veldro {

namespace {

enum class Destination { Text, FontTable, ColourTable, Skipped };

// Formatting as the control words set it; fonts and colours by table number,
// looked up when the text is taken, since the tables may follow \deff.
struct Format {
    int font = -1; // -1: the \deff font
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false;
    int colour = 0;
};

struct Group {
    Format format;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;
};

// Deeper groups (only a corrupt file has them) are counted, not kept.
constexpr std::size_t kMaxDepth = 1024;

// clang-format off
const std::unordered_set<std::string_view> kSkippedDestinations{
    "annotation", "author", "bkmkend", "bkmkstart", "colorschememapping", "comment", "datastore",
    "filetbl", "fldinst", "footer", "footerf", "footerl", "footerr", "footnote", "generator",
    "header", "headerf", "headerl", "headerr", "info", "latentstyles", "listoverridetable",
    "listtable", "nonshppict", "object", "operator", "pgdsctbl", "pict", "pntext", "pntxta",
    "pntxtb", "revtbl", "rsidtbl", "stylesheet", "subject", "tc", "themedata", "title", "txe", "xe",
    "xmlnstbl",
};
// clang-format on

// The characters some control words stand for.
const std::map<std::string_view, char32_t> kSymbolWords{
    {"par", '\n'},         {"sect", '\n'},        {"page", '\n'},     {"row", '\n'},
    {"cell", '\t'},        {"tab", '\t'},         {"line", 0x2028},   {"emdash", 0x2014},
    {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018}, {"rquote", 0x2019},
    {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", ' '},   {"enspace", ' '}};

const std::unordered_set<std::string_view> kUnderlineWords{"ul",   "uld",    "uldb",  "ulw",
                                                           "ulth", "uldash", "ulwave"};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    StyledText read() {
        while (at_ < in_.size()) step();
        flush();
        return std::move(runs_);
    }

private:
    void step() {
        const char c = in_[at_];
        if (c == '{') {
            ++at_;
            openGroup();
        } else if (c == '}') {
            ++at_;
            closeGroup();
        } else if (c == '\\') {
            ++at_;
            control();
        } else if (c == '\r' || c == '\n') {
            ++at_;
        } else if (group().destination == Destination::Text && skip_ == 0) {
            plainSpan();
        } else {
            ++at_;
            byte(static_cast<unsigned char>(c));
        }
    }

    // A stretch of ordinary text, taken at once.
    void plainSpan() {
        const std::size_t start = at_;
        while (at_ < in_.size()) {
            const char c = in_[at_];
            const auto code = static_cast<unsigned char>(c);
            if (c == '{' || c == '}' || c == '\\' || code < 0x20 || code >= 0x7F) break;
            ++at_;
        }
        pending_.append(in_.substr(start, at_ - start));
        if (at_ == start) byte(static_cast<unsigned char>(in_[at_++]));
    }

    Group& group() { return groups_.back(); }

    void openGroup() {
        skip_ = 0;
        if (groups_.size() >= kMaxDepth) {
            ++unkeptDepth_;
            return;
        }
        groups_.push_back(groups_.back());
    }

    void closeGroup() {
        skip_ = 0;
        if (unkeptDepth_ > 0) {
            --unkeptDepth_;
            return;
        }
        if (groups_.size() == 1) return; // a stray '}'
        flush();
        if (group().destination == Destination::FontTable && !fontName_.empty()) endFontEntry();
        groups_.pop_back();
    }

    // A literal byte outside ordinary text, or one past the plain span.
    void byte(unsigned char c) {
        if (c == ';' && group().destination == Destination::FontTable) return endFontEntry();
        if (c == ';' && group().destination == Destination::ColourTable) return endColourEntry();
        character(cp1252CodePoint(c));
    }

    void character(char32_t cp) {
        if (skip_ > 0) {
            --skip_;
            return;
        }
        // Control characters other than tab and paragraph end have no place in text.
        if ((cp < 0x20 && cp != '\t' && cp != '\n') || cp == 0x7F) return;
        switch (group().destination) {
        case Destination::Text:
            appendUtf8(pending_, cp);
            break;
        case Destination::FontTable:
            if (cp >= 0x20 && fontName_.size() < kMaxFontNameBytes) appendUtf8(fontName_, cp);
            break;
        case Destination::ColourTable:
        case Destination::Skipped:
            break;
        }
    }

    void control() {
        if (at_ >= in_.size()) return;
        const char c = in_[at_];
        if (!isLetter(c)) return symbol(c);
        const std::size_t start = at_;
        while (at_ < in_.size() && isLetter(in_[at_]) && at_ - start < 32) ++at_;
        const std::string_view word = in_.substr(start, at_ - start);
        std::optional<int> parameter;
        bool negative = false;
        if (at_ + 1 < in_.size() && in_[at_] == '-' && isDigit(in_[at_ + 1])) {
            negative = true;
            ++at_;
        }
        if (at_ < in_.size() && isDigit(in_[at_])) {
            long long value = 0;
            for (int digits = 0; at_ < in_.size() && isDigit(in_[at_]); ++digits, ++at_)
                if (digits < 10) value = value * 10 + (in_[at_] - '0');
            value = std::min(value, 2147483647LL);
            parameter = static_cast<int>(negative ? -value : value);
        }
        if (at_ < in_.size() && in_[at_] == ' ') ++at_;
        controlWord(word, parameter);
    }

    void symbol(char c) {
        ++at_;
        switch (c) {
        case '\'': {
            const int high = at_ < in_.size() ? hexValue(in_[at_]) : -1;
            const int low = at_ + 1 < in_.size() ? hexValue(in_[at_ + 1]) : -1;
            // A cut escape takes its one digit with it.
            at_ += high < 0 ? 0 : low < 0 ? 1 : 2;
            if (high < 0 || low < 0) return;
            return character(cp1252CodePoint(static_cast<unsigned char>(high * 16 + low)));
        }
        case '*':
            group().destination = Destination::Skipped;
            return;
        case '~':
            return character(0xA0);
        case '_':
            return character(0x2011);
        case '-':
            return;
        case '\r':
        case '\n':
            return character('\n');
        default: // '\\', '{', '}' and symbols we do not know stand for themselves
            if (c == '\\' || c == '{' || c == '}') return character(static_cast<unsigned char>(c));
            if (skip_ > 0) --skip_;
        }
    }

    void controlWord(std::string_view word, std::optional<int> parameter) {
        Group& g = group();
        if (word == "bin") return skipBinary(parameter.value_or(0));
        if (skip_ > 0) {
            --skip_;
            return;
        }
        if (g.destination == Destination::Skipped) return;
        if (word == "fonttbl") {
            g.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            g.destination = Destination::ColourTable;
            colours_.clear();
        } else if (kSkippedDestinations.count(word)) {
            g.destination = Destination::Skipped;
        } else if (word == "u" && parameter) {
            unicode(*parameter); // in text and in a font's name alike
        } else if (word == "uc") {
            g.unicodeSkip = std::clamp(parameter.value_or(1), 0, 16);
        } else if (g.destination == Destination::FontTable) {
            if (word == "f") fontNumber_ = parameter.value_or(0);
        } else if (g.destination == Destination::ColourTable) {
            colourPart(word, parameter.value_or(0));
        } else if (word == "deff") {
            defaultFont_ = parameter.value_or(0);
        } else if (auto symbolWord = kSymbolWords.find(word); symbolWord != kSymbolWords.end()) {
            character(symbolWord->second);
        } else {
            formatWord(word, parameter);
        }
    }

    void formatWord(std::string_view word, std::optional<int> parameter) {
        Format format = group().format;
        const bool on = parameter.value_or(1) != 0;
        if (word == "plain") {
            format = Format{};
        } else if (word == "f") {
            format.font = parameter.value_or(0);
        } else if (word == "fs") {
            const int size = parameter.value_or(24);
            format.halfPoints = size < 1 ? 24 : std::min(size, kMaxHalfPoints);
        } else if (word == "b") {
            format.bold = on;
        } else if (word == "i") {
            format.italic = on;
        } else if (kUnderlineWords.count(word)) {
            format.underline = on;
        } else if (word == "ulnone") {
            format.underline = false;
        } else if (word == "cf") {
            format.colour = parameter.value_or(0);
        } else {
            return;
        }
        flush();
        group().format = format;
    }

    // \uN gives a UTF-16 unit (negative above 32767); a surrogate pair is
    // joined. The reader then passes over the \uc fallback characters.
    void unicode(int value) {
        const auto unit = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        if (unit >= 0xD800 && unit < 0xDC00) {
            highSurrogate_ = unit;
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            if (highSurrogate_)
                character(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
            highSurrogate_ = 0;
        } else {
            character(unit);
        }
        skip_ = group().unicodeSkip;
    }

    void skipBinary(int length) {
        at_ += std::min(static_cast<std::size_t>(std::max(length, 0)), in_.size() - at_);
    }

    void colourPart(std::string_view word, int value) {
        const auto component = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        if (word == "red")
            colour_.red = component;
        else if (word == "green")
            colour_.green = component;
        else if (word == "blue")
            colour_.blue = component;
        else
            return;
        colourSet_ = true;
    }

    void endColourEntry() {
        colours_.push_back(colourSet_ ? std::optional<Rgb>(colour_) : std::nullopt);
        colour_ = {};
        colourSet_ = false;
    }

    void endFontEntry() {
        fonts_[fontNumber_] = trimmed(fontName_);
        fontName_.clear();
    }

    // Hands the text read so far to the runs, in the style it was read in.
    void flush() {
        if (pending_.empty()) return;
        runs_.append(pending_, styleOf(group().format));
        pending_.clear();
    }

    TextStyle styleOf(const Format& format) const {
        TextStyle style;
        const auto font = fonts_.find(format.font < 0 ? defaultFont_ : format.font);
        if (font != fonts_.end()) style.font = font->second;
        style.halfPoints = format.halfPoints;
        style.bold = format.bold;
        style.italic = format.italic;
        style.underline = format.underline;
        if (format.colour > 0 && static_cast<std::size_t>(format.colour) < colours_.size())
            style.colour = colours_[static_cast<std::size_t>(format.colour)];
        return style;
    }

    std::string_view in_;
    std::size_t at_ = 0;
    std::vector<Group> groups_{Group{}};
    std::size_t unkeptDepth_ = 0;
    int skip_ = 0; // \uc fallback characters still to pass over
    char32_t highSurrogate_ = 0;
    std::string pending_;
    StyledText runs_;
    std::map<int, FontName> fonts_; // each name once, shared by the styles
    int fontNumber_ = 0;
    std::string fontName_;
    int defaultFont_ = 0;
    std::vector<std::optional<Rgb>> colours_;
    Rgb colour_;
    bool colourSet_ = false;
};

} // namespace

bool isRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

StyledText readRtf(std::string_view bytes) {
    return Reader(bytes).read();
}

} // namespace veldro
