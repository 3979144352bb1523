#include "data/cp1252.h"
#include "export/rtf.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace veldro {

namespace {

void appendNumber(std::string& out, int value) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void appendHexByte(std::string& out, int byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    ((out += "\\'") += kHex[byte >> 4]) += kHex[byte & 15];
}

// A UTF-16 unit as \uN wants it: signed, with '?' for readers that cannot.
void appendUnicodeUnit(std::string& out, char32_t unit) {
    out += "\\u";
    appendNumber(out, unit > 0x7FFF ? static_cast<int>(unit) - 65536 : static_cast<int>(unit));
    out += '?';
}

// Text in an RTF body or a font name: ASCII as it is, the rest of Windows-1252
// as \'hh, other characters as \uN. In a font name ';' would end the entry.
void appendText(std::string& out, std::string_view utf8, bool fontName) {
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = nextCodePoint(utf8, i);
        if (fontName && cp < 0x20) continue; // a name is one line
        if (cp == '\\' || cp == '{' || cp == '}') {
            (out += '\\') += static_cast<char>(cp);
        } else if (cp == ';' && fontName) {
            appendHexByte(out, ';');
        } else if (cp >= 0x20 && cp < 0x7F) {
            out += static_cast<char>(cp);
        } else if (cp == '\n') {
            out += "\\par\r\n";
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp == 0x2028) {
            out += "\\line ";
        } else if (cp == kInvalidUtf8) {
            out += '?';
        } else if (const int byte = cp1252Byte(cp); byte >= 0x80) {
            appendHexByte(out, byte);
        } else if (cp >= 0x10000) {
            appendUnicodeUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
            appendUnicodeUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else if (cp >= 0x80) {
            appendUnicodeUnit(out, cp);
        } // other control characters have no place in the text
    }
}

// The number of `entry` in `table`, added at its end when new.
template <class Key> int indexIn(std::map<Key, int>& table, const Key& entry) {
    return table.emplace(entry, static_cast<int>(table.size())).first->second;
}

} // namespace

std::string writeRtf(const StyledText& runs) {
    std::map<std::string, int> fonts;
    std::map<std::uint32_t, int> colours; // 0xRRGGBB
    // Each style's control words, made once.
    std::vector<std::string> styleWords(runs.styles().size());
    for (std::size_t s = 0; s < styleWords.size(); ++s) {
        const TextStyle& style = runs.styles()[s];
        std::string& words = styleWords[s];
        words = "\\plain\\f";
        appendNumber(words, indexIn(fonts, style.font.text()));
        words += "\\fs";
        appendNumber(words, std::clamp(style.halfPoints, 1, kMaxHalfPoints));
        if (style.bold) words += "\\b";
        if (style.italic) words += "\\i";
        if (style.underline) words += "\\ul";
        if (const auto& c = style.colour) {
            words += "\\cf";
            const std::uint32_t rgb = c->red << 16 | c->green << 8 | c->blue;
            appendNumber(words, indexIn(colours, rgb) + 1); // 0 is automatic
        }
        words += ' ';
    }
    std::string body;
    body.reserve(runs.size() * 24);
    std::size_t previous = styleWords.size();
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const StyledText::Run run = runs.run(r);
        if (run.styleIndex != previous) body += styleWords[run.styleIndex];
        previous = run.styleIndex;
        appendText(body, run.text, false);
    }

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    if (fonts.empty()) fonts.emplace(std::string(), 0);
    std::vector<const std::string*> fontsInOrder(fonts.size());
    for (const auto& [name, number] : fonts) fontsInOrder[static_cast<std::size_t>(number)] = &name;
    for (std::size_t f = 0; f < fontsInOrder.size(); ++f) {
        out += "{\\f";
        appendNumber(out, static_cast<int>(f));
        out += "\\fnil\\fcharset0 ";
        appendText(out, *fontsInOrder[f], true);
        out += ";}";
    }
    out += "}\r\n{\\colortbl;";
    std::vector<std::uint32_t> coloursInOrder(colours.size());
    for (const auto& [rgb, number] : colours)
        coloursInOrder[static_cast<std::size_t>(number)] = rgb;
    for (const std::uint32_t rgb : coloursInOrder) {
        out += "\\red";
        appendNumber(out, static_cast<int>(rgb >> 16));
        out += "\\green";
        appendNumber(out, static_cast<int>(rgb >> 8 & 0xFF));
        out += "\\blue";
        appendNumber(out, static_cast<int>(rgb & 0xFF));
        out += ';';
    }
    out += "}\r\n\\pard";
    out += body;
    out += "}\r\n";
    return out;
}

} // namespace veldro
