#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veldro {

// A file that could not be read or written: the text names the file and the
// operating system's reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // "`what` `path`: `reason`", such as "Cannot write a.vlf: No space left on device".
    FileError(const std::string& what, const std::string& path, const std::string& reason)
        : std::runtime_error(what + " " + path + ": " + reason), reason_(reason) {}
    // The reason alone, for a message that names the file itself.
    std::string reason() const { return reason_.empty() ? what() : reason_; }

private:
    std::string reason_;
};

// A file read from its start, closed with the object: the system's own file
// under its UTF-8 name. A folder is refused.
class InputFile {
public:
    explicit InputFile(const std::string& path); // throws FileError
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& path() const { return path_; }
    // Whether the file can be read twice: a regular file, not a pipe or a device.
    bool isRegular() const { return regular_; }
    // The size a regular file has now; 0 for others.
    std::uint64_t size() const;
    // Up to `count` bytes into `buffer`; 0 at the end. Throws FileError.
    std::size_t read(char* buffer, std::size_t count);
    // Back to the first byte of a regular file. Throws FileError.
    void rewind();

private:
    std::string path_;
    std::intptr_t handle_; // a file descriptor, or a Windows HANDLE
    bool regular_ = false;
};

// The first `limit` bytes of a file (all of it when shorter), so a huge or
// endless file picked by mistake costs no more memory than the bytes that matter.
std::vector<std::uint8_t> readFileStart(const std::string& path, std::size_t limit);

// One line of a text file without its line break.
struct TextLine {
    std::string_view text;    // cut after LineReader::kKeptLength bytes
    std::uint64_t length = 0; // the whole line's
};

// Reads a text file line by line through a fixed buffer: lines end at CR, LF or
// CR LF, and a line break at the very end does not start another line. Memory
// stays bounded whatever the file holds; a line longer than kLongestLine (no
// text file's, but /dev/zero's) is an error.
class LineReader {
public:
    static constexpr std::size_t kKeptLength = 4096;
    static constexpr std::uint64_t kLongestLine = 1 << 20;

    explicit LineReader(const std::string& path); // throws FileError
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, valid until the next call; nothing after the last. Throws FileError.
    std::optional<TextLine> next();
    const std::string& path() const { return file_.path(); }
    // Whether the file can be read twice: a regular file, not a pipe.
    bool canRewind() const { return file_.isRegular(); }
    // Back to the first line of a file that can be read twice. Throws FileError.
    void rewind();

private:
    bool fill();

    InputFile file_;
    std::vector<char> buffer_;
    std::size_t next_ = 0, end_ = 0;
    bool skipLineFeed_ = false; // the last line ended with CR: an LF after it is part of its break
    std::string line_;
};

// Writes a file the user named, as an editor saves: `bytes` go to a new file
// beside it, renamed over it once whole, so a failed write (full disk) leaves
// the old file whole. A symbolic link stays a link and the file it leads to
// is replaced (or made, for a dangling link), keeping its permissions; a file
// with other hard links, or in a folder that takes no new file, is written in
// place, its old contents put back should the write fail. A device or a pipe
// (such as /dev/stdout) is written into, never replaced; a pipe nobody reads
// is refused at once.
void writeFileAtomically(const std::string& path, std::string_view bytes);
void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Writes a file whose name the program made in a folder the user chose (the
// files of a split), replaced whole as above. The name is never followed nor
// opened: a symbolic link, pipe, device or folder there is refused.
void writeNewOrRegularFile(const std::string& path, std::string_view bytes);
void writeNewOrRegularFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Writes one of the program's own working files, whose fixed name the user did
// not choose and which may lie in a folder others can write to. The new file is
// created exclusively beside `path` and renamed over it: a symbolic link,
// device or pipe planted at that name is replaced by a regular file, and what it
// pointed to is left untouched. Throws FileError where the name cannot be
// replaced (a folder, another user's file in a sticky folder such as /tmp).
void writeWorkingFile(const std::string& path, std::string_view bytes);
void writeWorkingFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// This program's folder among the user's data: $XDG_DATA_HOME/veldro
// (~/.local/share/veldro unless set) on Linux, %LOCALAPPDATA%\veldro on
// Windows; empty when neither is known.
std::string programDataFolder();

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);

} // namespace veldro
