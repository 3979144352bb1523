#include "sim_line.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace veldro::sim {

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

void makeRaw(int fd, const std::string& name) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) throw systemError(name);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(fd, TCSANOW, &settings) != 0) throw systemError(name);
}

speed_t speedOf(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        throw std::runtime_error("unsupported speed " + std::to_string(baud));
    }
}

void sleepUntil(std::chrono::steady_clock::time_point when) {
    const auto since = when.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec at{};
    at.tv_sec = static_cast<time_t>(seconds.count());
    at.tv_nsec = static_cast<long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
    // steady_clock is CLOCK_MONOTONIC with libstdc++ on Linux.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

} // namespace

InstrumentLine::InstrumentLine(int fd, int slaveFd, std::string name)
    : fd_(fd), slaveFd_(slaveFd), name_(std::move(name)) {}

InstrumentLine::InstrumentLine(InstrumentLine&& other) noexcept
    : fd_(other.fd_), slaveFd_(other.slaveFd_), ownSettings_(other.ownSettings_),
      name_(std::move(other.name_)), baud_(other.baud_), wireFree_(other.wireFree_) {
    other.fd_ = -1;
    other.slaveFd_ = -1;
}

InstrumentLine::~InstrumentLine() {
    hangUp();
}

InstrumentLine InstrumentLine::openPseudoTerminal() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) throw systemError("posix_openpt");
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        const auto error = systemError("pseudo-terminal");
        close(master);
        throw error;
    }
    const std::string name = ptsname(master);
    const int slave = open(name.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        const auto error = systemError(name);
        close(master);
        throw error;
    }
    InstrumentLine line(master, slave, name);
    // Raw before the computer opens it, so that nothing sent early is translated.
    makeRaw(slave, name);
    if (tcgetattr(slave, &line.ownSettings_) != 0) throw systemError(name);
    return line;
}

InstrumentLine InstrumentLine::openDevice(const std::string& path, int baud) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) throw systemError(path);
    InstrumentLine line(fd, -1, path);
    makeRaw(fd, path);
    termios settings{};
    tcgetattr(fd, &settings);
    cfsetspeed(&settings, speedOf(baud));
    if (tcsetattr(fd, TCSANOW, &settings) != 0) throw systemError(path);
    return line;
}

std::chrono::nanoseconds InstrumentLine::byteTime() const {
    return std::chrono::nanoseconds(10'000'000'000LL / baud_);
}

bool InstrumentLine::send(std::string_view bytes) {
    if (fd_ < 0) return false;
    const bool paced = baud_ > 0;
    // A line that stood idle starts now; one still busy goes on from its last byte,
    // so that a late wake-up does not stretch the bytes after it.
    if (paced) wireFree_ = std::max(wireFree_, std::chrono::steady_clock::now());
    for (std::size_t at = 0; at < bytes.size();) {
        if (paced) {
            wireFree_ += byteTime();
            sleepUntil(wireFree_);
        }
        ssize_t n = 0;
        do {
            n = write(fd_, bytes.data() + at, paced ? 1 : bytes.size() - at);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

int InstrumentLine::receive(int timeoutMs) {
    if (fd_ < 0) return -1;
    pollfd waiting{fd_, POLLIN, 0};
    const int ready = poll(&waiting, 1, timeoutMs);
    if (ready <= 0 || !(waiting.revents & POLLIN)) return -1;
    unsigned char byte = 0;
    if (read(fd_, &byte, 1) != 1) return -1;
    // The computer's byte took a wire time to arrive; the answer starts after it.
    if (baud_ > 0)
        wireFree_ =
            std::chrono::steady_clock::now() + std::chrono::nanoseconds(10'000'000'000LL / baud_);
    return byte;
}

std::optional<int> InstrumentLine::unreadByComputer() const {
    int waiting = 0;
    if (slaveFd_ < 0 || ioctl(slaveFd_, FIONREAD, &waiting) != 0) return std::nullopt;
    return waiting;
}

std::optional<bool> InstrumentLine::setUpByComputer() const {
    termios now{};
    if (slaveFd_ < 0 || tcgetattr(slaveFd_, &now) != 0) return std::nullopt;
    const termios& own = ownSettings_;
    return now.c_iflag != own.c_iflag || now.c_oflag != own.c_oflag || now.c_cflag != own.c_cflag ||
           now.c_lflag != own.c_lflag || cfgetispeed(&now) != cfgetispeed(&own) ||
           cfgetospeed(&now) != cfgetospeed(&own);
}

void InstrumentLine::hangUp() {
    if (slaveFd_ >= 0) close(slaveFd_);
    if (fd_ >= 0) close(fd_);
    fd_ = slaveFd_ = -1;
}

} // namespace veldro::sim
