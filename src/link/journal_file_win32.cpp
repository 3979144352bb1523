// The journal's file over Win32: CREATE_NEW, WriteFile and FlushFileBuffers;
// held by sharing it for reading only.
#include "data/utf16_win32.h"
#include "link/journal_file.h"

#include <cstdlib>
#include <windows.h>

namespace veldro {

namespace {

constexpr const char* kNotRegular = "not a regular file";

[[noreturn]] void fail(const char* what, const std::string& path, DWORD error) {
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        throw JournalDiskFull(what, path, systemErrorText(error));
    throw FileError(what, path, systemErrorText(error));
}

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// A name in the journals' folder may be anything: a link (a reparse point) is
// not followed, and only a file on a disk is kept. A writer shares the file
// for reading only, so opening it to write fails while a download holds it.
HANDLE openExisting(const std::string& path, DWORD access, const char* what) {
    const DWORD sharing =
        access == GENERIC_WRITE ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const HANDLE handle =
        CreateFileW(toUtf16(path).c_str(), access, sharing, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (access == GENERIC_WRITE && error == ERROR_SHARING_VIOLATION)
            throw FileError(path + " is being written by a running download");
        fail(what, path, error);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return handle;
    CloseHandle(handle);
    throw FileError(what, path, kNotRegular);
}

} // namespace

std::unique_ptr<JournalFile> JournalFile::create(const std::string& path) {
    const HANDLE handle = CreateFileW(toUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) return nullptr;
    if (handle == INVALID_HANDLE_VALUE) fail("Cannot create", path, GetLastError());
    return std::unique_ptr<JournalFile>(
        new JournalFile(path, reinterpret_cast<std::intptr_t>(handle)));
}

std::unique_ptr<JournalFile> JournalFile::openAt(const std::string& path, std::uint64_t end) {
    const HANDLE handle = openExisting(path, GENERIC_WRITE, "Cannot write");
    std::unique_ptr<JournalFile> file(
        new JournalFile(path, reinterpret_cast<std::intptr_t>(handle)));
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(end);
    if (!SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) || !SetEndOfFile(handle))
        fail("Cannot write", path, GetLastError());
    return file;
}

std::unique_ptr<JournalFile> JournalFile::openToRead(const std::string& path) {
    return std::unique_ptr<JournalFile>(new JournalFile(
        path, reinterpret_cast<std::intptr_t>(openExisting(path, GENERIC_READ, "Cannot read"))));
}

bool JournalFile::inUse(const std::string& path) {
    // Refusing to share writing fails while a writer holds the file.
    const HANDLE handle = CreateFileW(toUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(handle);
    return false;
}

JournalFile::~JournalFile() {
    CloseHandle(handleOf(handle_));
}

void JournalFile::write(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t done = 0; done < count;) {
        DWORD written = 0;
        if (!WriteFile(handleOf(handle_), bytes + done, static_cast<DWORD>(count - done), &written,
                       nullptr))
            fail("Cannot write", path_, GetLastError());
        done += written;
    }
}

void JournalFile::sync() {
    if (!FlushFileBuffers(handleOf(handle_))) fail("Cannot write", path_, GetLastError());
}

std::size_t JournalFile::read(std::uint8_t* bytes, std::size_t count) {
    DWORD got = 0;
    if (!ReadFile(handleOf(handle_), bytes, static_cast<DWORD>(count), &got, nullptr))
        fail("Cannot read", path_, GetLastError());
    return got;
}

std::uint64_t JournalFile::size() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handleOf(handle_), &size)) fail("Cannot read", path_, GetLastError());
    return static_cast<std::uint64_t>(size.QuadPart);
}

} // namespace veldro
