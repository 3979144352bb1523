// Files over POSIX: descriptors, unnamed or mkstemp files, and rename.
#include "data/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veldro {

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, int error) {
    throw FileError(what, path, std::strerror(error));
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

// Where a name the user chose leads, as an editor follows it: through every
// symbolic link to the file it names, which a dangling link's save creates.
std::string followLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0) fail("Cannot write", path, errno);
        target.resize(static_cast<std::size_t>(length));
        current = target.front() == '/' ? target : directoryOf(current) + '/' + target;
    }
    fail("Cannot write", path, ELOOP);
}

mode_t lessTheUmask(mode_t mode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode & ~mask;
}

// A name beside `target` for its new file, short enough for any file system
// (NAME_MAX bytes) whatever the length of the target's own name.
std::string temporaryNameBeside(const std::string& target) {
    constexpr std::size_t kSuffix = 12; // room for "." before the cut name and ".XXXXXX" after
    const auto slash = target.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t kept = std::min(target.size() - nameStart, std::size_t{NAME_MAX} - kSuffix);
    // Cut between characters, not inside a UTF-8 sequence.
    while (kept > 0 && (static_cast<unsigned char>(target[nameStart + kept]) & 0xC0) == 0x80)
        --kept;
    return target.substr(0, nameStart) + '.' + target.substr(nameStart, kept) + ".XXXXXX";
}

// A random name from a temporaryNameBeside pattern, for linking a file in.
std::string randomName(std::string pattern) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (auto c = pattern.end() - 6; c != pattern.end(); ++c)
        *c = kLetters[random() % (sizeof kLetters - 1)];
    return pattern;
}

// Writes the whole of a new file; 0 or the error number.
int fill(int fd, std::string_view bytes, mode_t mode) {
    if (const int error = writeAll(fd, bytes)) return error;
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) return errno;
    return 0;
}

// An unnamed file (O_TMPFILE) in the folder of `pattern`, filled and then
// linked in under a random name from it, so a process killed while writing
// leaves nothing behind. -1 where the system or the file system has none.
int linkUnnamedFile(const std::string& pattern, std::string_view bytes, mode_t mode,
                    std::string& name) {
    FileDescriptor fd(::open(directoryOf(pattern).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd.get() < 0) return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? -1 : errno;
    if (const int error = fill(fd.get(), bytes, mode)) return error;
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    for (;;) {
        name = randomName(pattern);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != EEXIST) return -1; // no /proc, say: the named way still works
    }
}

// A new file under a random name from `pattern`, filled.
int writeNamedFile(const std::string& pattern, std::string_view bytes, mode_t mode,
                   std::string& name) {
    name = pattern;
    FileDescriptor fd(::mkstemp(name.data()));
    if (fd.get() < 0) return errno;
    int error = fill(fd.get(), bytes, mode);
    if (::close(fd.release()) != 0 && error == 0) error = errno;
    if (error != 0) ::unlink(name.c_str());
    return error;
}

// Writes `bytes` to a new file beside `target` and renames it over `target`.
// Returns 0 or the error number, with nothing left behind; once renamed the
// data is safe and later errors are not reported.
int replaceFile(const std::string& target, std::string_view bytes, mode_t mode) {
    const std::string pattern = temporaryNameBeside(target);
    std::string temporary;
    int error = linkUnnamedFile(pattern, bytes, mode, temporary);
    if (error < 0) error = writeNamedFile(pattern, bytes, mode, temporary);
    if (error != 0) return error;
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    // Make the rename itself durable.
    FileDescriptor directory(
        ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) ::fsync(directory.get());
    return 0;
}

// Puts `bytes` where they are asked, into the regular file `fd` of `path`,
// with its old contents kept in memory and put back should the write fail
// part way, so a full disk leaves the file as it was.
void overwrite(int fd, const std::string& path, std::string_view bytes) {
    std::string old;
    char chunk[1 << 16];
    for (ssize_t n; (n = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(old.size()))) != 0;) {
        if (n < 0 && errno != EINTR) fail("Cannot write", path, errno);
        if (n > 0) old.append(chunk, static_cast<std::size_t>(n));
    }
    const auto put = [fd](std::string_view contents) {
        if (::lseek(fd, 0, SEEK_SET) != 0) return errno;
        if (const int error = writeAll(fd, contents)) return error;
        if (::ftruncate(fd, static_cast<off_t>(contents.size())) != 0 || ::fsync(fd) != 0)
            return errno;
        return 0;
    };
    if (const int error = put(bytes)) {
        put(old);
        fail("Cannot write", path, error);
    }
}

// A device or a pipe (such as /dev/stdout) has no contents to keep whole and
// is written into; one nobody reads (a pipe without a reader) is refused at
// once rather than waited on.
void writeIntoDevice(const std::string& target, const std::string& path, std::string_view bytes) {
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 && errno == ENXIO) throw FileError("Cannot write", path, "nothing reads it");
    if (fd.get() < 0) fail("Cannot write", path, errno);
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        fail("Cannot write", path, errno);
    if (const int error = writeAll(fd.get(), bytes)) fail("Cannot write", path, error);
    if (::close(fd.release()) != 0) fail("Cannot write", path, errno);
}

// Replaces the regular file `target` (or makes it) whole, keeping its mode.
// With `inPlace`, where a new file cannot be made beside it (a folder the
// user may not write to) or where other hard links share it, the file is
// written in place instead, as the shell would, its old contents kept until
// the new are whole.
void writeRegularFile(const std::string& target, const std::string& path, std::string_view bytes,
                      bool inPlace) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!inPlace || !exists || old.st_nlink <= 1) {
        const int error =
            replaceFile(target, bytes, exists ? old.st_mode & 07777 : lessTheUmask(0666));
        if (error == 0) return;
        if (!inPlace || !exists || (error != EACCES && error != EPERM))
            fail("Cannot write", path, error);
    }
    FileDescriptor fd(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) fail("Cannot write", path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) fail("Cannot write", path, errno);
    if (!S_ISREG(info.st_mode)) fail("Cannot write", path, EEXIST);
    overwrite(fd.get(), path, bytes);
    if (::close(fd.release()) != 0) fail("Cannot write", path, errno);
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
    const std::string target = followLinks(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode)) fail("Cannot write", path, EISDIR);
        writeIntoDevice(target, path, bytes);
        return;
    }
    writeRegularFile(target, path, bytes, true);
}

void writeNewOrRegularFile(const std::string& path, std::string_view bytes) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw FileError("Cannot write", path,
                        S_ISLNK(info.st_mode)
                            ? "a symbolic link is at that name; it is not followed"
                            : "it is not a regular file");
    writeRegularFile(path, path, bytes, false);
}

void writeWorkingFile(const std::string& path, std::string_view bytes) {
    // The name itself is replaced, never followed: rename does not resolve a
    // link at its target, and refuses a folder or another user's file in a
    // sticky folder.
    if (const int error = replaceFile(path, bytes, lessTheUmask(0644)))
        fail("Cannot write", path, error);
}

std::string programDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::string(data) + "/veldro";
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.local/share/veldro" : std::string();
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
