// The serial device over POSIX termios. It works on pseudo-terminals too,
// where the modem-line calls are refused.
#include "link/serial_device.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace veldro {

struct SerialDevice::Line {
    int fd;
    // Line error counts at the last clear; the kernel counts only upwards.
    int errorBaseline = 0;
};

namespace {

constexpr std::array<std::pair<int, speed_t>, 22> speeds{{
    {50, B50},         {75, B75},           {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},         {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},       {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200},   {230400, B230400}, {460800, B460800}, {500000, B500000},
    {921600, B921600}, {1000000, B1000000},
}};

bool speedCode(int value, speed_t& code) {
    for (const auto& [bits, constant] : speeds) {
        if (bits == value) {
            code = constant;
            return true;
        }
    }
    return false;
}

int lineErrorCount(int fd) {
    serial_icounter_struct counts{};
    if (ioctl(fd, TIOCGICOUNT, &counts) != 0) return 0;
    return counts.frame + counts.overrun + counts.parity + counts.brk + counts.buf_overrun;
}

} // namespace

std::string describeOpenFailure(const std::string& path, int error) {
    std::string text = path + ": " + std::strerror(error);
    if (error == EACCES || error == EPERM)
        text += " (the user must be in the \"dialout\" group, or the converter's udev rule "
                "installed; log in again afterwards)";
    return text;
}

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

bool SerialDevice::openLine(const std::string& path) {
    const int opened = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        openFailure = describeOpenFailure(path, errno);
        return false;
    }
    if (flock(opened, LOCK_EX | LOCK_NB) != 0) {
        openFailure = path + ": the device is in use by another program";
        ::close(opened);
        return false;
    }
    termios settings{};
    if (tcgetattr(opened, &settings) != 0) {
        openFailure = describeOpenFailure(path, errno);
        ::close(opened);
        return false;
    }
    // Keep other programs from opening the line while we hold it.
    ioctl(opened, TIOCEXCL);
    line = std::make_unique<Line>(Line{opened});
    return true;
}

void SerialDevice::close() {
    if (!line) return;
    // A pseudo-terminal keeps its flags while its other end lives; the next
    // open, ours included, must not find the line still exclusive.
    ioctl(line->fd, TIOCNXCL);
    ::close(line->fd);
    line.reset();
}

bool SerialDevice::setBaudRate(int value) {
    speed_t code;
    if (!speedCode(value, code)) return false;
    speed = value;
    applyFrame();
    return true;
}

bool SerialDevice::dsr() const {
    int lines = 0;
    if (!line || ioctl(line->fd, TIOCMGET, &lines) != 0) return false;
    return (lines & TIOCM_DSR) != 0;
}

// Linux has no DTR/DSR handshake; that choice is kept and reported only.
bool SerialDevice::applyFrame() {
    termios settings{};
    if (!line || tcgetattr(line->fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    constexpr std::array<tcflag_t, 4> sizes{CS5, CS6, CS7, CS8};
    settings.c_cflag |= sizes[static_cast<std::size_t>(wordLength - 5)];
    if (parityCode != parityNone) settings.c_cflag |= PARENB;
    if (parityCode == parityOdd || parityCode == parityMark) settings.c_cflag |= PARODD;
    if (parityCode == parityMark || parityCode == paritySpace) settings.c_cflag |= CMSPAR;
    if (stopBitCount == 2) settings.c_cflag |= CSTOPB;
    if (hardwareFlow) settings.c_cflag |= CRTSCTS;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (softwareFlow) settings.c_iflag |= IXON | IXOFF;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    speed_t code = B9600;
    speedCode(speed, code);
    cfsetspeed(&settings, code);
    return tcsetattr(line->fd, TCSANOW, &settings) == 0;
}

void SerialDevice::applyModemLine(ModemLine which, bool on) {
    // A pseudo-terminal refuses this; the level is still kept and reported.
    int bit = which == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    if (line) ioctl(line->fd, on ? TIOCMBIS : TIOCMBIC, &bit);
}

int SerialDevice::inputCount() const {
    int count = 0;
    if (!line || ioctl(line->fd, TIOCINQ, &count) != 0) return -1;
    return count;
}

int SerialDevice::outputCount() const {
    int count = 0;
    if (!line || ioctl(line->fd, TIOCOUTQ, &count) != 0) return -1;
    return count;
}

bool SerialDevice::waitReadable(int ms) const {
    if (!line) return false;
    pollfd watch{line->fd, POLLIN, 0};
    const auto start = std::chrono::steady_clock::now();
    const int ready = poll(&watch, 1, ms);
    if (ready <= 0) return false;
    // A hung-up line also says POLLIN, for the end of file that read gives.
    const bool hungUp = (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if ((watch.revents & POLLIN) != 0 && (!hungUp || inputCount() > 0)) return true;
    // Hung up or in error: poll would return at once forever.
    std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
    return false;
}

bool SerialDevice::hungUp() const {
    if (!line) return false;
    pollfd watch{line->fd, POLLIN, 0};
    return poll(&watch, 1, 0) > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int SerialDevice::readAvailable(std::uint8_t* buffer, int count) {
    if (!line || count <= 0) return 0;
    const ssize_t got = ::read(line->fd, buffer, static_cast<std::size_t>(count));
    return got > 0 ? static_cast<int>(got) : 0;
}

int SerialDevice::writeByte(std::uint8_t byte) {
    if (!line) return -1;
    return ::write(line->fd, &byte, 1) == 1 ? 0 : -1;
}

bool SerialDevice::writeText(const std::string& text) {
    std::size_t done = 0;
    while (line && done < text.size()) {
        const ssize_t written = ::write(line->fd, text.data() + done, text.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN) return false;
        pollfd watch{line->fd, POLLOUT, 0};
        if (poll(&watch, 1, 1000) <= 0 || (watch.revents & POLLOUT) == 0) return false;
    }
    return line != nullptr;
}

void SerialDevice::clearTxBuffer() {
    if (line) tcflush(line->fd, TCOFLUSH);
}

void SerialDevice::clearRxBuffer() {
    if (line) tcflush(line->fd, TCIFLUSH);
}

bool SerialDevice::lineErrorPending() const {
    return line && lineErrorCount(line->fd) != line->errorBaseline;
}

void SerialDevice::clearLineStatus() {
    if (line) line->errorBaseline = lineErrorCount(line->fd);
}

} // namespace veldro
