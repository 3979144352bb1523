// Files over POSIX: descriptors, mkstemp and rename.
#include "data/file_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veldro {

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, int error) {
    throw FileError(std::string(what) + " " + path + ": " + std::strerror(error));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

int descriptorOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes every byte; returns 0 or the error number.
int writeAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// The file a symbolic link leads to; any other path (or a dangling link) as it is.
std::string linkTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

void writeInPlace(const std::string& path, std::string_view bytes) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.get() < 0) fail("Cannot write", path, errno);
    if (const int error = writeAll(fd.get(), bytes)) fail("Cannot write", path, error);
    if (::close(fd.release()) != 0) fail("Cannot write", path, errno);
}

mode_t lessTheUmask(mode_t mode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode & ~mask;
}

// Writes a new file beside `target`, created exclusively under a random name,
// and renames it over `target`; errors name `path`.
void replaceFile(const std::string& target, const std::string& path, std::string_view bytes,
                 mode_t mode) {
    std::string temporary = target + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) fail("Cannot write", path, errno);
    auto discard = [&](int error) {
        ::unlink(temporary.c_str());
        fail("Cannot write", path, error);
    };
    if (const int error = writeAll(fd.get(), bytes)) discard(error);
    if (::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0) discard(errno);
    if (::close(fd.release()) != 0) discard(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) discard(errno);
    // Make the rename itself durable; a failure here no longer endangers data.
    FileDescriptor directory(
        ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) ::fsync(directory.get());
}

} // namespace

InputFile::InputFile(const std::string& path)
    : path_(path), handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    FileDescriptor fd(descriptorOf(handle_));
    if (fd.get() < 0) fail("Cannot open", path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) fail("Cannot read", path, errno);
    if (S_ISDIR(info.st_mode)) fail("Cannot read", path, EISDIR);
    regular_ = S_ISREG(info.st_mode);
    fd.release();
}

InputFile::~InputFile() {
    ::close(descriptorOf(handle_));
}

std::uint64_t InputFile::size() const {
    struct stat info {};
    if (!regular_ || ::fstat(descriptorOf(handle_), &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t InputFile::read(char* buffer, std::size_t count) {
    for (;;) {
        const ssize_t n = ::read(descriptorOf(handle_), buffer, count);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) fail("Cannot read", path_, errno);
    }
}

void InputFile::rewind() {
    if (::lseek(descriptorOf(handle_), 0, SEEK_SET) != 0) fail("Cannot read", path_, errno);
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode)) fail("Cannot write", path, EISDIR);
        // A device or a pipe (such as /dev/stdout) has no contents to keep
        // whole, and renaming over it would replace the device itself.
        writeInPlace(path, bytes);
        return;
    }
    // A symbolic link stays a link: the file it points to is replaced, and
    // keeps its permissions.
    const std::string target = linkTarget(path);
    struct stat old {};
    const mode_t mode =
        ::stat(target.c_str(), &old) == 0 ? old.st_mode & 07777 : lessTheUmask(0666);
    replaceFile(target, path, bytes, mode);
}

void writeWorkingFile(const std::string& path, std::string_view bytes) {
    // The name itself is replaced, never followed: rename does not resolve a
    // link at its target, and refuses a folder or another user's file in a
    // sticky folder.
    replaceFile(path, path, bytes, lessTheUmask(0644));
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool directoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace veldro
