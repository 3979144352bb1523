#include "data/cp1252.h"
#include "export/rtf.h"

#include <algorithm>
#include <charconv>

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

template <class T> int indexIn(std::vector<T>& table, const T& entry) {
    auto found = std::find(table.begin(), table.end(), entry);
    if (found == table.end()) found = table.insert(table.end(), entry);
    return static_cast<int>(found - table.begin());
}

} // namespace

std::string writeRtf(const StyledText& runs) {
    std::vector<std::string> fonts;
    std::vector<Rgb> colours;
    std::string body;
    std::size_t size = 0;
    for (const StyledRun& run : runs) size += run.text.size();
    body.reserve(size + size / 8 + 64 * runs.size());
    const TextStyle* previous = nullptr;
    for (const StyledRun& run : runs) {
        if (run.text.empty()) continue;
        const TextStyle& style = run.style;
        if (!previous || !(*previous == style)) {
            body += "\\plain\\f";
            appendNumber(body, indexIn(fonts, style.font));
            body += "\\fs";
            appendNumber(body, std::clamp(style.halfPoints, 1, kMaxHalfPoints));
            if (style.bold) body += "\\b";
            if (style.italic) body += "\\i";
            if (style.underline) body += "\\ul";
            if (style.colour) {
                body += "\\cf";
                appendNumber(body, indexIn(colours, *style.colour) + 1); // 0 is automatic
            }
            body += ' ';
            previous = &style;
        }
        appendText(body, run.text, false);
    }

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    if (fonts.empty()) fonts.emplace_back();
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        out += "{\\f";
        appendNumber(out, static_cast<int>(f));
        out += "\\fnil\\fcharset0 ";
        appendText(out, fonts[f], true);
        out += ";}";
    }
    out += "}\r\n{\\colortbl;";
    for (const Rgb& colour : colours) {
        out += "\\red";
        appendNumber(out, colour.red);
        out += "\\green";
        appendNumber(out, colour.green);
        out += "\\blue";
        appendNumber(out, colour.blue);
        out += ';';
    }
    out += "}\r\n\\pard";
    out += body;
    out += "}\r\n";
    return out;
}

} // namespace veldro
