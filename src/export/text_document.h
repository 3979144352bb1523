#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veldro {

// Plain text as the report viewer reads and writes it: files and the comment
// block hold Windows-1252 with CR LF; the viewer holds UTF-8 with '\n'.

// A plain text file's bytes as text: each CR, LF or CR LF becomes '\n'.
std::string textFromCp1252(std::string_view bytes);

// Text as a plain text file: every line ended by CR LF, in Windows-1252
// ('?' for characters it cannot hold).
std::string cp1252FileFromText(std::string_view text);

// The text of a fixed-size comment block: its lines joined by CR LF, in
// Windows-1252, at most capacity - 1 bytes. Says how many characters the
// code page replaced by '?' and how many were cut.
struct CommentFit {
    std::string bytes;
    std::size_t replaced = 0;
    std::size_t cut = 0;
};
CommentFit fitComment(std::string_view text, std::size_t capacity);

// Whether a chosen file name is saved as rich text: its extension is ".rtf"
// in any case.
bool isRtfFileName(const std::string& path);

} // namespace veldro
