#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace veldro {

// The file under a download journal: written at its end, forced to the disk
// on demand, and held exclusively while open, so that another instance of the
// program neither offers a running download for recovery nor writes into it.
// One implementation per platform.
class JournalFile {
public:
    // A new file at `path`; nothing when the name is taken. Throws FileError.
    static std::unique_ptr<JournalFile> create(const std::string& path);
    // An existing file, cut at `end`, where writing goes on. Throws FileError,
    // also while another JournalFile holds it.
    static std::unique_ptr<JournalFile> openAt(const std::string& path, std::uint64_t end);
    // Whether a JournalFile, in this process or another, holds `path` now.
    static bool inUse(const std::string& path);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Throws FileError.
    void write(const std::uint8_t* bytes, std::size_t count);
    // Forces what was written to the disk; safe beside a write on another thread.
    void sync();

private:
    JournalFile(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

    std::string path_;
    std::intptr_t handle_; // a file descriptor, or a Windows HANDLE
};

} // namespace veldro
