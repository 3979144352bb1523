#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace veldro {

// Why `path` could not be opened, for the user: the path, the system's reason
// for the error code `error` and, when the platform knows one, what to do.
std::string describeOpenFailure(const std::string& path, int error);

// Parity codes of the serial line, shared with the USB converter.
inline constexpr int parityNone = 0;
inline constexpr int parityOdd = 1;
inline constexpr int parityEven = 2;
inline constexpr int parityMark = 3;
inline constexpr int paritySpace = 4;

// A serial device of the system, kept to itself while open: raw, 8 data bits,
// no parity, one stop bit unless told otherwise. Settings made while closed
// are kept and applied at the next open; a modem line the device refuses keeps
// its level and is reported low. POSIX termios or the Windows communications
// API underneath, one file each.
class SerialDevice {
public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // False when the device cannot be opened; openError() then says why.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return line != nullptr; }
    const std::string& openError() const { return openFailure; }

    // False (and nothing changed) for a speed the line cannot take.
    bool setBaudRate(int value);
    int baudRate() const { return speed; }
    void setParity(int value);
    int parity() const { return parityCode; }
    void setDataBits(int value);
    int dataBits() const { return wordLength; }
    void setStopBits(int value);
    int stopBits() const { return stopBitCount; }
    void setXonXoff(bool on);
    bool xonXoff() const { return softwareFlow; }
    void setDtrDsr(bool on);
    bool dtrDsr() const { return dtrDsrFlow; }
    void setRtsCts(bool on);
    bool rtsCts() const { return hardwareFlow; }
    void setDtr(bool on);
    bool dtr() const { return dtrLevel; }
    void setRts(bool on);
    bool rts() const { return rtsLevel; }
    bool dsr() const;

    // Bytes waiting to be read, to be sent; -1 when closed or refused.
    int inputCount() const;
    int outputCount() const;
    // Blocks at most `ms` until a byte is waiting; true when one is. A line
    // whose other end hung up waits out the time instead of spinning.
    bool waitReadable(int ms) const;
    // Reads what is waiting, at most `count` bytes, without blocking.
    int readAvailable(std::uint8_t* buffer, int count);
    // 0 when the byte was accepted, -1 otherwise.
    int writeByte(std::uint8_t byte);
    // Writes all of `text`, waiting a little for room; false on failure.
    bool writeText(const std::string& text);
    void clearTxBuffer();
    void clearRxBuffer();

    // A framing, parity, overrun or break error since the last clear.
    bool lineErrorPending() const;
    // The device went away under the open line (a USB converter unplugged):
    // nothing will ever arrive on it again. Linux only; false on Windows.
    bool hungUp() const;
    void clearLineStatus();

private:
    enum class ModemLine { Dtr, Rts };
    // The open line of the platform: its descriptor or handle and what it keeps.
    struct Line;

    // Opens the platform's line at `path` into `line`; false (openFailure set) when refused.
    bool openLine(const std::string& path);
    // The frame, speed and flow control to the open line; false when refused.
    bool applyFrame();
    void applyModemLine(ModemLine which, bool on);

    std::unique_ptr<Line> line;
    std::string openFailure;
    int speed = 9600;
    int parityCode = parityNone;
    int wordLength = 8;
    int stopBitCount = 1;
    bool softwareFlow = false;
    bool dtrDsrFlow = false;
    bool hardwareFlow = false;
    bool dtrLevel = false;
    bool rtsLevel = false;
};

} // namespace veldro
