#pragma once

#include "data/file_io.h"

#include <cstdint>
#include <memory>
#include <string>

namespace veldro {

// A journal's file that takes no more bytes: its disk (or the process's file
// size limit) is full.
class JournalDiskFull : public FileError {
public:
    using FileError::FileError;
};

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
    // An existing file to read from its start: a regular file only, never
    // through a symbolic link, and never waiting on a pipe or a device, as
    // anything may lie in the journals' folder. Throws FileError.
    static std::unique_ptr<JournalFile> openToRead(const std::string& path);
    // Whether a JournalFile, in this process or another, holds `path` now.
    static bool inUse(const std::string& path);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Throws FileError (JournalDiskFull when no byte more fits).
    void write(const std::uint8_t* bytes, std::size_t count);
    // Forces what was written to the disk; safe beside a write on another thread.
    void sync();
    // Of a file opened to read: up to `count` bytes, 0 at its end; its size now.
    // Throw FileError.
    std::size_t read(std::uint8_t* bytes, std::size_t count);
    std::uint64_t size() const;

private:
    JournalFile(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

    std::string path_;
    std::intptr_t handle_; // a file descriptor, or a Windows HANDLE
};

} // namespace veldro
