#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace veldro {

// The fixed texts that the port primitives raise.
namespace port_error_text {
inline constexpr std::string_view getcom = "Port err. Getcom";
inline constexpr std::string_view putcom = "Port err. putcom";
inline constexpr std::string_view port = "Port err.";
inline constexpr std::string_view getstring = "Port err. getstring";
inline constexpr std::string_view setcmd = "Port err. Setcmd";
inline constexpr std::string_view wait = "Wait error";
} // namespace port_error_text

// An error of a port primitive; what() is one of port_error_text.
class PortError : public std::runtime_error {
public:
    explicit PortError(std::string_view text) : std::runtime_error(std::string(text)) {}
};

// The link choice that stands for the USB converter; 1 to 4 are COM 1 to COM 4.
inline constexpr int usbPortNumber = 5;

// The instrument port. The virtual operations keep the order and the numbers
// of the instrument software's port slots (slot 0 is the destructor; slot 44,
// an empty spare nothing calls, is left out); "open" means GetState() > 0 and
// timeouts are in milliseconds.
//
// A port object that once reached the connected state is locked for the rest
// of the run: it fixes the link choice.
class Port {
public:
    Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    /* 0 */ virtual ~Port() = default;
    // Waits without time limit for a byte; raises "Port err. Getcom" when the
    // port is or becomes not open.
    /* 1 */ virtual int GetByte() = 0;
    /* 2 */ virtual void Disconnect() = 0;
    // One line without its CR and LF, ended by LF or after maxChars bytes;
    // false (and an empty text) when a byte does not come in time.
    /* 3 */ virtual bool GetLine(std::string& text, int maxChars, int timeoutMs) = 0;
    /* 4 */ virtual bool WaitPrompt() = 0;
    // Asks the user to connect the cable and opens the link; the port number
    // on success, 0 otherwise.
    /* 5 */ virtual int Connect(int portNumber, int baudRate, int writeDelayMs,
                                const std::string& initCommand, bool waitForDsr,
                                const std::string& phoneNumber) = 0;
    /* 6 */ virtual bool SendCommand(std::uint8_t command, int timeoutMs) = 0;
    /* 7 */ virtual bool PromptCommand(std::uint8_t command, int timeoutMs) = 0;
    /* 8 */ virtual bool WaitText(const std::string& text) = 0;
    /* 9 */ virtual void PutByte(std::uint8_t byte) = 0;
    /* 10 */ virtual int GetBytes(std::uint8_t* buffer, int count, int timeoutMs) = 0;
    // The first line the instrument sends goes to text2, the next to text1.
    /* 11 */ virtual bool Synchronise(std::string& text1, std::string& text2) = 0;
    /* 12 */ virtual void GetBlock(std::uint8_t* buffer, int count) = 0;
    /* 13 */ virtual void FlushInput() = 0;
    /* 14 */ virtual void PurgeOutput() = 0;
    // Writes one byte without waiting; -1 when not open or on failure.
    /* 15 */ virtual int SendRawByte(std::uint8_t byte) = 0;
    // Up to `count` bytes within timeoutMs; the number read, -1 when not open.
    /* 16 */ virtual int ReadBuffer(std::uint8_t* buffer, int count, int timeoutMs) = 0;
    // One byte (0 to 255), or -1 when none came in time or the port is not open.
    /* 17 */ virtual int ReadByteWithin(int timeoutMs) = 0;
    /* 18 */ virtual int ReadRawByte() = 0;
    /* 19 */ virtual void SetState(int value);
    /* 20 */ virtual void SetPortNumber(int value) = 0;
    /* 21 */ virtual void SetBaudRate(int value) = 0;
    /* 22 */ virtual void SetParity(int value) = 0;
    /* 23 */ virtual void SetDataBits(int value) = 0;
    /* 24 */ virtual void SetStopBits(int value) = 0;
    /* 25 */ virtual void SetXonXoff(bool on) = 0;
    /* 26 */ virtual void SetDtrDsr(bool on) = 0;
    /* 27 */ virtual void SetRtsCts(bool on) = 0;
    /* 28 */ virtual void SetDtr(bool on) = 0;
    /* 29 */ virtual void SetRts(bool on) = 0;
    /* 30 */ virtual int InputCount() = 0;
    /* 31 */ virtual int OutputCount() = 0;
    /* 32 */ virtual int GetState();
    /* 33 */ virtual int GetPortNumber() = 0;
    /* 34 */ virtual int GetBaudRate() = 0;
    /* 35 */ virtual int GetDataBits() = 0;
    /* 36 */ virtual int GetStopBits() = 0;
    /* 37 */ virtual bool GetXonXoff() = 0;
    /* 38 */ virtual int GetParity() = 0;
    /* 39 */ virtual bool GetDtrDsr() = 0;
    /* 40 */ virtual bool GetRtsCts() = 0;
    /* 41 */ virtual bool GetDtr() = 0;
    /* 42 */ virtual bool GetRts() = 0;
    /* 43 */ virtual bool GetDsr() = 0;
    /* 45 */ virtual int MaxBaudRate() = 0;
    /* 46 */ virtual void KindName(std::string& text) = 0;

    bool isLocked() const { return locked; }
    bool isOpen() const { return state > 0; }
    // Why the last Connect failed when the device refused (path, system error
    // and what to do about it); empty after a refused prompt. Shown beside
    // "Port error".
    const std::string& connectFailure() const { return connectFailureText; }

protected:
    void setConnectFailure(std::string text) { connectFailureText = std::move(text); }

private:
    // 0 not connected, -1 connecting or refused, > 0 the connected port number.
    std::int32_t state = 0;
    bool locked = false;
    std::string connectFailureText;
};

} // namespace veldro
