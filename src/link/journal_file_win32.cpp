// The journal's file over Win32: CREATE_NEW, WriteFile and FlushFileBuffers;
// held by sharing it for reading only.
#include "data/file_io.h"
#include "data/utf16_win32.h"
#include "link/journal_file.h"

#include <cstdlib>
#include <windows.h>

namespace veldro {

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, DWORD error) {
    throw FileError(std::string(what) + " " + path + ": " + systemErrorText(error));
}

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

[[noreturn]] void failToOpen(const std::string& path, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION)
        throw FileError(path + " is being written by a running download");
    fail("Cannot write", path, error);
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
    const HANDLE handle = CreateFileW(toUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) failToOpen(path, GetLastError());
    std::unique_ptr<JournalFile> file(
        new JournalFile(path, reinterpret_cast<std::intptr_t>(handle)));
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(end);
    if (!SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) || !SetEndOfFile(handle))
        fail("Cannot write", path, GetLastError());
    return file;
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

} // namespace veldro
