#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <termios.h>

namespace veldro::sim {

// The instrument's end of the line: the master side of a pseudo-terminal (the
// computer opens its slave) or a serial device. Optionally paced at a wire rate.
class InstrumentLine {
public:
    // Opens a new pseudo-terminal in raw mode; throws std::runtime_error.
    static InstrumentLine openPseudoTerminal();
    // Opens a serial device at `baud` (8N1, raw); throws std::runtime_error.
    static InstrumentLine openDevice(const std::string& path, int baud);

    InstrumentLine(InstrumentLine&& other) noexcept;
    InstrumentLine& operator=(InstrumentLine&&) = delete;
    ~InstrumentLine();

    // The name the computer opens: the slave's path or the device.
    const std::string& name() const { return name_; }

    // 0 sends as fast as the line takes; otherwise each byte of 10 bits (8N1)
    // reaches the computer one wire time after the previous one.
    void setPacing(int baud) { baud_ = baud; }

    // Sends all of `bytes`; false when the line broke.
    bool send(std::string_view bytes);
    // One byte from the computer within `timeoutMs`, or -1.
    int receive(int timeoutMs);
    // Bytes sent that the computer has not read yet; nullopt when the line cannot tell.
    std::optional<int> unreadByComputer() const;
    // Whether the computer has set the line up (its settings are no longer the
    // ones the simulator gave it); nullopt when the line cannot tell.
    std::optional<bool> setUpByComputer() const;
    // Drops the line, as an instrument that is switched off.
    void hangUp();

private:
    InstrumentLine(int fd, int slaveFd, std::string name);
    // The wire time of one byte of 10 bits (8N1).
    std::chrono::nanoseconds byteTime() const;

    int fd_ = -1;
    int slaveFd_ = -1; // held open on a pseudo-terminal, so the line survives the computer's reopen
    termios ownSettings_{}; // the pseudo-terminal's settings before the computer's
    std::string name_;
    int baud_ = 0;
    std::chrono::steady_clock::time_point wireFree_{};
};

} // namespace veldro::sim
