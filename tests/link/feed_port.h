#pragma once

#include "link/port.h"
#include "scripted_host.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veldro::test {

// The line froze (reads went on long after it fell silent), or the transfer
// used a primitive that is not its own. Not std::exceptions, so that the
// transfer's own error handling cannot take them for a port error.
struct LineHung {};
struct NotATransferPrimitive {};

// An instrument line in memory, for the transfer's receiving side: the bytes
// the instrument sends come from a buffer as fast as they are read; once they
// run out the line is silent and every timed read waits its whole limit on a
// virtual clock. What the computer sends is kept. The transfer talks through
// ReadByteWithin, ReadBuffer and SendRawByte only; any other primitive fails.
//
// The port counts as connected before, so the download reuses it.
class FeedPort : public Port {
public:
    explicit FeedPort(std::string_view bytes) : bytes_(bytes) {
        SetState(1);
        SetState(0);
    }

    // The scripted user presses "Cancel" after this much silence: the opening
    // wait has no time limit of its own.
    static constexpr long kPatienceMs = 10000;
    // A line silent for this long counts as a hang.
    static constexpr long kHangMs = 60000;

    // Lets `host` play that user.
    void cancelOnSilence(ScriptedHost& host) {
        host.onEvents = [this] {
            if (silentMs >= kPatienceMs && isOpen()) Disconnect();
        };
    }

    std::size_t delivered() const { return next_; }
    long silentMs = 0; // virtual time spent waiting on the silent line
    std::string sent;

    int Connect(int portNumber, int, int, const std::string&, bool, const std::string&) override {
        SetState(portNumber);
        return portNumber;
    }
    void Disconnect() override { SetState(0); }
    int ReadBuffer(std::uint8_t* buffer, int count, int timeoutMs) override {
        if (!isOpen()) return -1;
        const auto got = static_cast<int>(
            std::min<std::size_t>(static_cast<std::size_t>(count), bytes_.size() - next_));
        std::memcpy(buffer, bytes_.data() + next_, static_cast<std::size_t>(got));
        next_ += static_cast<std::size_t>(got);
        if (got < count) silentMs += timeoutMs;
        if (silentMs > kHangMs) throw LineHung{};
        return got;
    }
    int ReadByteWithin(int timeoutMs) override {
        std::uint8_t byte = 0;
        return ReadBuffer(&byte, 1, timeoutMs) == 1 ? byte : -1;
    }
    int SendRawByte(std::uint8_t byte) override {
        if (!isOpen()) return -1;
        sent.push_back(static_cast<char>(byte));
        return 1;
    }

    // Not the transfer's.
    int GetByte() override { unused(); }
    bool GetLine(std::string&, int, int) override { unused(); }
    bool WaitPrompt() override { unused(); }
    bool SendCommand(std::uint8_t, int) override { unused(); }
    bool PromptCommand(std::uint8_t, int) override { unused(); }
    bool WaitText(const std::string&) override { unused(); }
    void PutByte(std::uint8_t) override { unused(); }
    int GetBytes(std::uint8_t*, int, int) override { unused(); }
    bool Synchronise(std::string&, std::string&) override { unused(); }
    void GetBlock(std::uint8_t*, int) override { unused(); }
    void FlushInput() override { unused(); }
    void PurgeOutput() override { unused(); }
    int ReadRawByte() override { unused(); }
    void SetPortNumber(int) override { unused(); }
    void SetBaudRate(int) override { unused(); }
    void SetParity(int) override { unused(); }
    void SetDataBits(int) override { unused(); }
    void SetStopBits(int) override { unused(); }
    void SetXonXoff(bool) override { unused(); }
    void SetDtrDsr(bool) override { unused(); }
    void SetRtsCts(bool) override { unused(); }
    void SetDtr(bool) override { unused(); }
    void SetRts(bool) override { unused(); }
    int InputCount() override { unused(); }
    int OutputCount() override { unused(); }
    int GetPortNumber() override { unused(); }
    int GetBaudRate() override { unused(); }
    int GetDataBits() override { unused(); }
    int GetStopBits() override { unused(); }
    bool GetXonXoff() override { unused(); }
    int GetParity() override { unused(); }
    bool GetDtrDsr() override { unused(); }
    bool GetRtsCts() override { unused(); }
    bool GetDtr() override { unused(); }
    bool GetRts() override { unused(); }
    bool GetDsr() override { unused(); }
    int MaxBaudRate() override { unused(); }
    void KindName(std::string&) override { unused(); }

private:
    [[noreturn]] static void unused() { throw NotATransferPrimitive{}; }

    std::string_view bytes_;
    std::size_t next_ = 0;
};

} // namespace veldro::test
