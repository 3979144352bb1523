// The serial device over the Windows communications API. Reads never block
// but in waitReadable, whose timed read keeps the byte it brings.
#include "data/utf16_win32.h"
#include "link/comm_api_win32.h"
#include "link/serial_device.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

namespace veldro {

namespace {

constexpr DWORD lineErrorFlags = CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_BREAK | CE_RXOVER;
// A write waits at most a second and 10 ms a byte for room.
constexpr DWORD writeLimitMs = 1000;
constexpr DWORD writeLimitPerByteMs = 10;
constexpr std::uint8_t xonChar = 0x11;
constexpr std::uint8_t xoffChar = 0x13;

} // namespace

struct SerialDevice::Line {
    Line(CommApi& system, HANDLE opened) : api(system), handle(opened) {}

    CommApi& api;
    HANDLE handle;
    // The line errors ClearCommError reported since the last clear: it
    // forgets them once told, and queue counts ask it too.
    DWORD errors = 0;
    // The byte that ended a wait, read before anything still queued.
    std::optional<std::uint8_t> held;
    // The read time limit the line has now.
    DWORD waitMs = 0;

    // The counts of the line's queues; false when the device refuses.
    bool queues(COMSTAT& status) {
        DWORD found = 0;
        if (!api.clearCommError(handle, found, status)) return false;
        errors |= found;
        return true;
    }

    // A read returns at once with what is queued, or waits at most `ms` for a first byte.
    bool limitReadWait(DWORD ms) {
        if (waitMs == ms) return true;
        const COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, ms, writeLimitPerByteMs, writeLimitMs};
        if (!api.setCommTimeouts(handle, timeouts)) return false;
        waitMs = ms;
        return true;
    }
};

std::string describeOpenFailure(const std::string& path, int error) {
    // A COM port is opened by one program at a time.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        return path + ": the device is in use by another program";
    return path + ": " + systemErrorText(static_cast<DWORD>(error));
}

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

bool SerialDevice::openLine(const std::string& path) {
    CommApi& api = commApi();
    const HANDLE handle = api.createFile(toUtf16(path));
    DCB state{};
    state.DCBlength = sizeof state;
    if (handle == INVALID_HANDLE_VALUE || !api.getCommState(handle, state)) {
        openFailure = describeOpenFailure(path, static_cast<int>(api.lastError()));
        if (handle != INVALID_HANDLE_VALUE) api.closeHandle(handle);
        return false;
    }
    line = std::make_unique<Line>(api, handle);
    line->limitReadWait(1);
    return true;
}

void SerialDevice::close() {
    if (!line) return;
    line->api.closeHandle(line->handle);
    line.reset();
}

bool SerialDevice::setBaudRate(int value) {
    if (value <= 0) return false;
    const int previous = speed;
    speed = value;
    if (line && !applyFrame()) {
        speed = previous;
        return false;
    }
    return true;
}

bool SerialDevice::dsr() const {
    DWORD status = 0;
    return line && line->api.getCommModemStatus(line->handle, status) && (status & MS_DSR_ON) != 0;
}

bool SerialDevice::applyFrame() {
    DCB state{};
    state.DCBlength = sizeof state;
    if (!line || !line->api.getCommState(line->handle, state)) return false;
    state.BaudRate = static_cast<DWORD>(speed);
    state.fBinary = TRUE;
    state.fParity = parityCode != parityNone;
    state.Parity = static_cast<BYTE>(parityCode); // NOPARITY to SPACEPARITY are our codes
    state.ByteSize = static_cast<BYTE>(wordLength);
    state.StopBits = stopBitCount == 2 ? TWOSTOPBITS : ONESTOPBIT;
    state.fOutxCtsFlow = hardwareFlow;
    state.fRtsControl = hardwareFlow ? RTS_CONTROL_HANDSHAKE
                        : rtsLevel   ? RTS_CONTROL_ENABLE
                                     : RTS_CONTROL_DISABLE;
    state.fOutxDsrFlow = dtrDsrFlow;
    state.fDtrControl = dtrDsrFlow ? DTR_CONTROL_HANDSHAKE
                        : dtrLevel ? DTR_CONTROL_ENABLE
                                   : DTR_CONTROL_DISABLE;
    state.fDsrSensitivity = FALSE;
    state.fOutX = softwareFlow;
    state.fInX = softwareFlow;
    state.XonChar = static_cast<char>(xonChar);
    state.XoffChar = static_cast<char>(xoffChar);
    state.fErrorChar = FALSE;
    state.fNull = FALSE;
    // Errors are counted, never a reason to refuse the reads that follow.
    state.fAbortOnError = FALSE;
    return line->api.setCommState(line->handle, state);
}

void SerialDevice::applyModemLine(ModemLine which, bool on) {
    // Refused under a handshake on that line; the level is still kept and reported.
    const DWORD function =
        which == ModemLine::Dtr ? (on ? SETDTR : CLRDTR) : (on ? SETRTS : CLRRTS);
    if (line) line->api.escapeCommFunction(line->handle, function);
}

int SerialDevice::inputCount() const {
    COMSTAT status{};
    if (!line || !line->queues(status)) return -1;
    return static_cast<int>(status.cbInQue) + (line->held ? 1 : 0);
}

int SerialDevice::outputCount() const {
    COMSTAT status{};
    if (!line || !line->queues(status)) return -1;
    return static_cast<int>(status.cbOutQue);
}

bool SerialDevice::waitReadable(int ms) const {
    if (!line) return false;
    const int waiting = inputCount();
    if (waiting > 0) return true;
    if (ms <= 0) return false;
    const auto start = std::chrono::steady_clock::now();
    std::uint8_t byte = 0;
    DWORD got = 0;
    if (waiting == 0 && line->limitReadWait(static_cast<DWORD>(ms)) &&
        line->api.readFile(line->handle, &byte, 1, got)) {
        if (got == 1) line->held = byte;
        return got == 1;
    }
    // Refused or gone, as a pulled adapter is: the read would fail at once forever.
    std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
    return false;
}

bool SerialDevice::hungUp() const {
    return false;
}

int SerialDevice::readAvailable(std::uint8_t* buffer, int count) {
    if (!line || count <= 0) return 0;
    int got = 0;
    if (line->held) {
        buffer[got++] = *line->held;
        line->held.reset();
    }
    COMSTAT status{};
    if (got < count && line->queues(status) && status.cbInQue > 0) {
        const DWORD asked = std::min(static_cast<DWORD>(count - got), status.cbInQue);
        DWORD read = 0;
        if (line->api.readFile(line->handle, buffer + got, asked, read))
            got += static_cast<int>(read);
    }
    return got;
}

int SerialDevice::writeByte(std::uint8_t byte) {
    DWORD written = 0;
    return line && line->api.writeFile(line->handle, &byte, 1, written) && written == 1 ? 0 : -1;
}

bool SerialDevice::writeText(const std::string& text) {
    DWORD written = 0;
    return line &&
           line->api.writeFile(line->handle, text.data(), static_cast<DWORD>(text.size()),
                               written) &&
           written == text.size();
}

void SerialDevice::clearTxBuffer() {
    if (line) line->api.purgeComm(line->handle, PURGE_TXABORT | PURGE_TXCLEAR);
}

void SerialDevice::clearRxBuffer() {
    if (!line) return;
    line->api.purgeComm(line->handle, PURGE_RXABORT | PURGE_RXCLEAR);
    line->held.reset();
}

bool SerialDevice::lineErrorPending() const {
    COMSTAT status{};
    if (line) line->queues(status);
    return line && (line->errors & lineErrorFlags) != 0;
}

void SerialDevice::clearLineStatus() {
    COMSTAT status{};
    if (!line) return;
    line->queues(status);
    line->errors = 0;
}

} // namespace veldro
