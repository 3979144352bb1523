#include "link/polled_port.h"

#include "link/link_host.h"
#include "link/poll_step.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace veldro {

namespace {

constexpr std::uint8_t handshakeByte = '@';
constexpr std::uint8_t commandAnswerRepeat = 0xFF;
constexpr int getByteReadLimitMs = 300000;
constexpr int disconnectPauseMs = 1000;
constexpr int commandPairGapMs = 10;
constexpr int syncReadLimitMs = 5000;
constexpr int knockPauseMs = 100;
constexpr int identificationLength = 40;
constexpr int identificationLimitMs = 15000;

// A write that could not go out, or a byte still in the transmit queue: a
// character at the slowest speed takes about this long. The device's time, so
// real time whatever the host's pause clock.
void writeRetryPause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

void PolledPort::fail(std::string_view text) {
    host.setCursor(Cursor::Default);
    throw PortError(text);
}

int PolledPort::ReadBuffer(std::uint8_t* buffer, int count, int timeoutMs) {
    if (!isOpen()) return -1;
    prepareTimedRead(timeoutMs);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int got = 0;
    for (;;) {
        got += readWaiting(buffer + got, count - got);
        if (got >= count) return got;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return got;
        if (!waitForInput(static_cast<int>(std::min<long long>(left.count(), pollStepMs))))
            host.processEvents();
        // A Disconnect from the host ends the read with what came so far.
        if (!isOpen()) return got;
    }
}

int PolledPort::ReadByteWithin(int timeoutMs) {
    std::uint8_t byte = 0;
    return ReadBuffer(&byte, 1, timeoutMs) == 1 ? byte : -1;
}

int PolledPort::GetByte() {
    while (isOpen()) {
        host.processEvents();
        if (InputCount() > 0) return ReadByteWithin(getByteReadLimitMs);
        waitForInput(pollStepMs);
    }
    fail(port_error_text::getcom);
}

void PolledPort::Disconnect() {
    // The pause below lets the host's events run; a second "Cancel" pressed
    // meanwhile must not disconnect twice.
    if (!isOpen() || disconnecting) return;
    disconnecting = true;
    SetDtr(false);
    SetRts(false);
    pauseWithEvents(host, disconnectPauseMs);
    SetState(0);
    releaseAfterDisconnect();
    host.setCursor(Cursor::Default);
    disconnecting = false;
}

bool PolledPort::GetLine(std::string& text, int maxChars, int timeoutMs) {
    if (!isOpen()) fail(port_error_text::getstring);
    text.clear();
    for (;;) {
        std::uint8_t byte = 0;
        if (ReadBuffer(&byte, 1, timeoutMs) != 1) {
            text.clear();
            return false;
        }
        --maxChars;
        if (byte != '\r' && byte != '\n') text.push_back(static_cast<char>(byte));
        if (byte == '\n' || maxChars == 0) return true;
    }
}

bool PolledPort::WaitPrompt() {
    return WaitText(":>");
}

bool PolledPort::PromptCommand(std::uint8_t command, int timeoutMs) {
    return WaitPrompt() && SendCommand(command, timeoutMs);
}

bool PolledPort::WaitText(const std::string& text) {
    // Only the last bytes can still complete the text, so only they are kept.
    std::string seen;
    for (;;) {
        if (InputCount() > 0) {
            const int byte = ReadRawByte();
            if (byte < 0) continue;
            seen.push_back(static_cast<char>(byte));
            if (seen.find(text) != std::string::npos) return true;
            if (seen.size() > text.size()) seen.erase(0, seen.size() - text.size());
            continue;
        }
        host.processEvents();
        if (!isOpen()) {
            host.setCursor(Cursor::Default);
            return waitTextOnClosedPort();
        }
        waitForInput(pollStepMs);
    }
}

void PolledPort::PutByte(std::uint8_t byte) {
    for (;;) {
        if (!isOpen()) fail(port_error_text::putcom);
        host.processEvents();
        if (SendRawByte(byte) != -1) break;
        writeRetryPause();
    }
    while (OutputCount() != 0) {
        if (!isOpen()) fail(port_error_text::port);
        host.processEvents();
        writeRetryPause();
    }
    if (writeDelayMs != 0) pauseWithEvents(host, writeDelayMs);
}

int PolledPort::GetBytes(std::uint8_t* buffer, int count, int timeoutMs) {
    int got = 0;
    for (; got < count; ++got) {
        if (!isOpen()) fail(port_error_text::getcom);
        const int byte = ReadByteWithin(timeoutMs);
        if (byte == -1) break;
        buffer[got] = static_cast<std::uint8_t>(byte);
    }
    return got;
}

void PolledPort::GetBlock(std::uint8_t* buffer, int count) {
    for (int i = 0; i < count; ++i) buffer[i] = static_cast<std::uint8_t>(GetByte());
}

void PolledPort::writeCommandByte(std::uint8_t byte) {
    while (SendRawByte(byte) == -1) {
        if (!isOpen()) fail(port_error_text::setcmd);
        host.processEvents();
        writeRetryPause();
    }
}

bool PolledPort::SendCommand(std::uint8_t command, int timeoutMs) {
    host.setCursor(Cursor::Busy);
    if (!isOpen()) fail(port_error_text::setcmd);
    FlushInput();
    const int limit = handshakeLimit();
    for (int sent = 1;; ++sent) {
        PutByte(handshakeByte);
        if (ReadByteWithin(timeoutMs) == handshakeByte) break;
        if (limit != 0 && sent >= limit) break;
    }
    PurgeOutput();
    int reply = -1;
    do {
        FlushInput();
        writeCommandByte(command);
        pauseWithEvents(host, commandPairGapMs);
        writeCommandByte(static_cast<std::uint8_t>(command ^ 0xFF));
        reply = ReadByteWithin(timeoutMs);
        host.processEvents();
    } while (reply == commandAnswerRepeat || reply == -1);
    host.setCursor(Cursor::Default);
    return (reply & 0xFF) == command;
}

void PolledPort::knock() {
    host.processEvents();
    std::uint8_t byte = 0;
    while (InputCount() > 0 && isOpen()) ReadBuffer(&byte, 1, syncReadLimitMs);
    PutByte(handshakeByte);
    pauseWithEvents(host, knockPauseMs);
}

int PolledPort::readKnockAnswer() {
    std::uint8_t byte = 0;
    return ReadBuffer(&byte, 1, syncReadLimitMs) == 1 ? byte : 0;
}

bool PolledPort::readIdentification(std::string& text1, std::string& text2) {
    return GetLine(text2, identificationLength, identificationLimitMs) &&
           GetLine(text1, identificationLength, identificationLimitMs);
}

bool PolledPort::synchronisationFailed() {
    host.show({"Unknown Baudrate", "", MessageIcon::None});
    return false;
}

} // namespace veldro
