#include "export/text_document.h"

#include "data/cp1252.h"
#include "data/file_names.h"

#include <cctype>

namespace veldro {

std::string textFromCp1252(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') {
            text += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c < 0x80) {
            text += static_cast<char>(c);
        } else {
            appendUtf8(text, cp1252CodePoint(c));
        }
    }
    return text;
}

std::string cp1252FileFromText(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16 + 2);
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = nextCodePoint(text, i);
        if (cp == '\n') {
            bytes += "\r\n";
            continue;
        }
        const int byte = cp == kInvalidUtf8 ? -1 : cp1252Byte(cp);
        bytes += byte < 0 ? '?' : static_cast<char>(byte);
    }
    if (!text.empty() && text.back() != '\n') bytes += "\r\n";
    return bytes;
}

CommentFit fitComment(std::string_view text, std::size_t capacity) {
    CommentFit fit;
    const std::size_t room = capacity > 0 ? capacity - 1 : 0;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = nextCodePoint(text, i);
        const std::size_t length = cp == '\n' ? 2 : 1;
        if (fit.cut > 0 || fit.bytes.size() + length > room) {
            ++fit.cut;
            continue;
        }
        if (cp == '\n') {
            fit.bytes += "\r\n";
            continue;
        }
        const int byte = cp == kInvalidUtf8 ? -1 : cp1252Byte(cp);
        if (byte < 0) ++fit.replaced;
        fit.bytes += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return fit;
}

bool isRtfFileName(const std::string& path) {
    std::string extension = fileExtension(path);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".rtf";
}

} // namespace veldro
