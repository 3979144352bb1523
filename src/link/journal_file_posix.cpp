// The journal's file over POSIX: an exclusive create, write and fdatasync,
// held by flock (which ends with the process, however it ends).
#include "link/journal_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veldro {

namespace {

constexpr const char* kNotRegular = "not a regular file";

[[noreturn]] void fail(const char* what, const std::string& path, int error) {
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        throw JournalDiskFull(what, path, std::strerror(error));
    throw FileError(what, path, std::strerror(error));
}

// flock rather than fcntl's locks, which the process loses when it closes any
// descriptor of the file, as reading a journal does.
void hold(int fd, const std::string& path) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return;
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) throw FileError(path + " is being written by a running download");
    fail("Cannot lock", path, error);
}

// A name in the journals' folder may be anything: a link is not followed, a
// pipe or device is not waited on, and only a regular file is kept.
int openExisting(const std::string& path, int access, const char* what) {
    const int fd = ::open(path.c_str(), access | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ELOOP) throw FileError(what, path, kNotRegular);
    if (fd < 0) fail(what, path, errno);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return fd;
    ::close(fd);
    throw FileError(what, path, kNotRegular);
}

} // namespace

std::unique_ptr<JournalFile> JournalFile::create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) return nullptr;
    if (fd < 0) fail("Cannot create", path, errno);
    hold(fd, path);
    return std::unique_ptr<JournalFile>(new JournalFile(path, fd));
}

std::unique_ptr<JournalFile> JournalFile::openAt(const std::string& path, std::uint64_t end) {
    const int fd = openExisting(path, O_WRONLY, "Cannot write");
    hold(fd, path);
    std::unique_ptr<JournalFile> file(new JournalFile(path, fd));
    if (::ftruncate(fd, static_cast<off_t>(end)) != 0 ||
        ::lseek(fd, static_cast<off_t>(end), SEEK_SET) < 0)
        fail("Cannot write", path, errno);
    return file;
}

std::unique_ptr<JournalFile> JournalFile::openToRead(const std::string& path) {
    return std::unique_ptr<JournalFile>(
        new JournalFile(path, openExisting(path, O_RDONLY, "Cannot read")));
}

bool JournalFile::inUse(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

JournalFile::~JournalFile() {
    ::close(static_cast<int>(handle_));
}

void JournalFile::write(const std::uint8_t* bytes, std::size_t count) {
    const int fd = static_cast<int>(handle_);
    for (std::size_t done = 0; done < count;) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("Cannot write", path_, errno);
        done += static_cast<std::size_t>(n);
    }
}

void JournalFile::sync() {
    if (::fdatasync(static_cast<int>(handle_)) != 0) fail("Cannot write", path_, errno);
}

std::size_t JournalFile::read(std::uint8_t* bytes, std::size_t count) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), bytes, count);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) fail("Cannot read", path_, errno);
    }
}

std::uint64_t JournalFile::size() const {
    struct stat info {};
    if (::fstat(static_cast<int>(handle_), &info) != 0) fail("Cannot read", path_, errno);
    return static_cast<std::uint64_t>(info.st_size);
}

} // namespace veldro
