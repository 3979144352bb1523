#pragma once

#include <cstdint>
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
};

std::vector<std::uint8_t> readWholeFile(const std::string& path);

// Writes `bytes` to a new file beside `path` and renames it over `path`, so a
// failed write (full disk, read-only folder) leaves the old file whole. For a
// file the user chose: a symbolic link stays a link to the replaced file; a
// device or a pipe (such as /dev/stdout) is written into, never replaced.
void writeFileAtomically(const std::string& path, std::string_view bytes);
void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Writes one of the program's own working files, whose fixed name the user did
// not choose and which may lie in a folder others can write to. The new file is
// created exclusively beside `path` and renamed over it: a symbolic link,
// device or pipe planted at that name is replaced by a regular file, and what it
// pointed to is left untouched. Throws FileError where the name cannot be
// replaced (a folder, another user's file in a sticky folder such as /tmp).
void writeWorkingFile(const std::string& path, std::string_view bytes);
void writeWorkingFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);

} // namespace veldro
