// Files over Win32: UTF-16 names, handles, ReplaceFileW and MoveFileExW.
#include "data/file_io.h"
#include "data/utf16_win32.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>
#include <windows.h>

namespace veldro {

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, DWORD error) {
    throw FileError(what, path, systemErrorText(error));
}

// A folder is named as POSIX names it, so both builds say the same.
[[noreturn]] void failOnFolder(const char* what, const std::string& path) {
    throw FileError(what, path, std::strerror(EISDIR));
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (isOpen()) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

DWORD attributesOf(const std::wstring& name) {
    return GetFileAttributesW(name.c_str());
}

bool isFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The full path of `name`, '\\' between its folders: ReplaceFileW under Wine
// refuses a relative one.
std::wstring fullPathOf(const std::wstring& name) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return name;
        const bool fits = length < full.size();
        full.resize(length);
        if (fits) return full;
    }
}

// Writes every byte; returns 0 or the error code.
DWORD writeAll(HANDLE handle, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr))
            return GetLastError();
        done += written;
    }
    return 0;
}

// The file a symbolic link leads to; any other name (or a dangling link) as it is.
std::wstring linkTarget(const std::wstring& name) {
    const DWORD attributes = attributesOf(name);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return name;
    Handle file(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.isOpen()) return name;
    std::wstring target(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), target.data(),
                                                       static_cast<DWORD>(target.size()), 0);
        if (length == 0) return name;
        if (length < target.size()) {
            target.resize(length);
            return target;
        }
        target.resize(length);
    }
}

// A character device or a pipe (the console, NUL, a named pipe) has no contents
// to keep whole: it is written into. False when `name` is no such thing.
bool writtenIntoDevice(const std::wstring& name, const std::string& path, std::string_view bytes) {
    Handle device(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device.isOpen() || GetFileType(device.get()) == FILE_TYPE_DISK) return false;
    if (const DWORD error = writeAll(device.get(), bytes)) fail("Cannot write", path, error);
    return true;
}

// Writes a new file beside `target`, created exclusively under a random name,
// and puts it in the target's place: ReplaceFileW keeps an existing file's
// attributes and permissions, MoveFileExW names a new one. Errors name `path`.
void replaceFile(const std::wstring& name, const std::string& path, std::string_view bytes,
                 bool keepAttributes) {
    const std::wstring target = fullPathOf(name);
    // The new file's name fits a file system's 255 units however long the
    // target's own name is: ".", the name's cut and "." with ten digits.
    const auto slash = target.find_last_of(L"\\/");
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    std::size_t kept = std::min<std::size_t>(target.size() - nameStart, 255 - 12);
    if (kept > 0 && target[nameStart + kept - 1] >= 0xD800 && target[nameStart + kept - 1] < 0xDC00)
        --kept; // not between the halves of a surrogate pair
    const std::wstring pattern =
        target.substr(0, nameStart) + L"." + target.substr(nameStart, kept) + L".";
    std::random_device random;
    std::wstring temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    while (created == INVALID_HANDLE_VALUE) {
        temporary = pattern + std::to_wstring(random());
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            fail("Cannot write", path, GetLastError());
    }
    Handle file(created);
    auto discard = [&](DWORD error) {
        if (file.isOpen()) CloseHandle(file.release());
        DeleteFileW(temporary.c_str());
        fail("Cannot write", path, error);
    };
    if (const DWORD error = writeAll(file.get(), bytes)) discard(error);
    if (!FlushFileBuffers(file.get())) discard(GetLastError());
    if (!CloseHandle(file.release())) discard(GetLastError());
    const bool replaced = keepAttributes && attributesOf(target) != INVALID_FILE_ATTRIBUTES
                              ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                              : MoveFileExW(temporary.c_str(), target.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) discard(GetLastError());
}

} // namespace

InputFile::InputFile(const std::string& path)
    : path_(path),
      handle_(reinterpret_cast<std::intptr_t>(CreateFileW(
          toUtf16(path).c_str(), GENERIC_READ,
          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))) {
    Handle file(handleOf(handle_));
    if (!file.isOpen()) fail("Cannot open", path, GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    const bool disk = GetFileType(file.get()) == FILE_TYPE_DISK;
    if (disk && !GetFileInformationByHandle(file.get(), &info))
        fail("Cannot read", path, GetLastError());
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) failOnFolder("Cannot read", path);
    regular_ = disk;
    file.release();
}

InputFile::~InputFile() {
    CloseHandle(handleOf(handle_));
}

std::uint64_t InputFile::size() const {
    LARGE_INTEGER size{};
    if (!regular_ || !GetFileSizeEx(handleOf(handle_), &size)) return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t InputFile::read(char* buffer, std::size_t count) {
    DWORD got = 0;
    const auto asked = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
    if (ReadFile(handleOf(handle_), buffer, asked, &got, nullptr)) return got;
    // The writing end of a pipe closed: its end of file.
    if (GetLastError() == ERROR_BROKEN_PIPE) return 0;
    fail("Cannot read", path_, GetLastError());
}

void InputFile::rewind() {
    if (!SetFilePointerEx(handleOf(handle_), LARGE_INTEGER{}, nullptr, FILE_BEGIN))
        fail("Cannot read", path_, GetLastError());
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    const std::wstring name = toUtf16(path);
    if (isFolder(attributesOf(name))) failOnFolder("Cannot write", path);
    if (writtenIntoDevice(name, path, bytes)) return;
    // A symbolic link stays a link: the file it points to is replaced.
    replaceFile(linkTarget(name), path, bytes, true);
}

void writeNewOrRegularFile(const std::string& path, std::string_view bytes) {
    // Never followed nor opened: a link, folder or device there is refused.
    const std::wstring name = toUtf16(path);
    const DWORD attributes = attributesOf(name);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes &
         (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        throw FileError("Cannot write", path, "it is not a regular file");
    replaceFile(name, path, bytes, true);
}

void writeWorkingFile(const std::string& path, std::string_view bytes) {
    // The name itself is replaced, never followed: MoveFileExW replaces a link
    // planted at the name, not what it points to.
    const std::wstring name = toUtf16(path);
    if (isFolder(attributesOf(name))) failOnFolder("Cannot write", path);
    replaceFile(name, path, bytes, false);
}

std::string programDataFolder() {
    const wchar_t* data = _wgetenv(L"LOCALAPPDATA");
    return data && *data ? fromUtf16(data) + "\\veldro" : std::string();
}

bool fileExists(const std::string& path) {
    const DWORD attributes = attributesOf(toUtf16(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !isFolder(attributes);
}

bool directoryExists(const std::string& path) {
    return isFolder(attributesOf(toUtf16(path)));
}

} // namespace veldro
