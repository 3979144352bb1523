#pragma once

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace veldro::test {

// The instrument's end of a real pseudo-terminal pair: the port under test
// opens devicePath(), the test reads and writes here.
class PtyPeer {
public:
    PtyPeer() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            throw std::runtime_error("no pseudo-terminal");
        path = ptsname(master);
        // Raw from the start, so that bytes written before the port opens its
        // end are neither echoed nor translated.
        const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        termios settings{};
        tcgetattr(slave, &settings);
        cfmakeraw(&settings);
        tcsetattr(slave, TCSANOW, &settings);
        ::close(slave);
    }
    ~PtyPeer() { hangUp(); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& devicePath() const { return path; }

    void send(const std::string& bytes) {
        if (::write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("pseudo-terminal write failed");
    }
    // What the port sent and is waiting here, without blocking.
    std::string received() {
        std::string bytes;
        char chunk[256];
        for (;;) {
            const ssize_t got = ::read(master, chunk, sizeof chunk);
            if (got <= 0) return bytes;
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
    }
    // Waits up to `ms` for at least `count` bytes from the port.
    std::string receive(std::size_t count, int ms = 2000) {
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd watch{master, POLLIN, 0};
            poll(&watch, 1, 10);
            bytes += received();
        }
        return bytes;
    }
    // The other end goes away, as a peer that closes the line.
    void hangUp() {
        if (master >= 0) ::close(master);
        master = -1;
    }

private:
    int master = -1;
    std::string path;
};

} // namespace veldro::test
