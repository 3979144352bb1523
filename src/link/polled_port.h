#pragma once

#include "link/port.h"

#include <cstdint>
#include <string>

// The Port operations that each device port implements in its own way,
// declared by one line in each port class rather than a list of its own.
#define VELDRO_DEVICE_PORT_OPERATIONS                                                              \
    int Connect(int portNumber, int baudRate, int writeDelayMs, const std::string& initCommand,    \
                bool waitForDsr, const std::string& phoneNumber) override;                         \
    bool Synchronise(std::string& text1, std::string& text2) override;                             \
    void FlushInput() override;                                                                    \
    void PurgeOutput() override;                                                                   \
    int SendRawByte(std::uint8_t byte) override;                                                   \
    int ReadRawByte() override;                                                                    \
    void SetPortNumber(int value) override;                                                        \
    void SetBaudRate(int value) override;                                                          \
    void SetParity(int value) override;                                                            \
    void SetDataBits(int value) override;                                                          \
    void SetStopBits(int value) override;                                                          \
    void SetXonXoff(bool on) override;                                                             \
    void SetDtrDsr(bool on) override;                                                              \
    void SetRtsCts(bool on) override;                                                              \
    void SetDtr(bool on) override;                                                                 \
    void SetRts(bool on) override;                                                                 \
    int InputCount() override;                                                                     \
    int OutputCount() override;                                                                    \
    int GetPortNumber() override;                                                                  \
    int GetBaudRate() override;                                                                    \
    int GetDataBits() override;                                                                    \
    int GetStopBits() override;                                                                    \
    bool GetXonXoff() override;                                                                    \
    int GetParity() override;                                                                      \
    bool GetDtrDsr() override;                                                                     \
    bool GetRtsCts() override;                                                                     \
    bool GetDtr() override;                                                                        \
    bool GetRts() override;                                                                        \
    bool GetDsr() override;                                                                        \
    int MaxBaudRate() override;                                                                    \
    void KindName(std::string& text) override;

namespace veldro {

class LinkHost;

// What the serial and the USB port share: every wait polls the device in short
// blocking steps and lets the host's events run between them, so the window
// stays live, "Cancel" (a Disconnect from the host) ends a wait at its next
// check of the state, and waiting costs next to no processor time. Waits for
// the device keep real time; the link's own pauses go by the host's pause clock.
class PolledPort : public Port {
public:
    explicit PolledPort(LinkHost& linkHost) : host(linkHost) {}

    int GetByte() override;
    void Disconnect() override;
    bool GetLine(std::string& text, int maxChars, int timeoutMs) override;
    bool WaitPrompt() override;
    bool SendCommand(std::uint8_t command, int timeoutMs) override;
    bool PromptCommand(std::uint8_t command, int timeoutMs) override;
    bool WaitText(const std::string& text) override;
    void PutByte(std::uint8_t byte) override;
    int GetBytes(std::uint8_t* buffer, int count, int timeoutMs) override;
    void GetBlock(std::uint8_t* buffer, int count) override;
    int ReadBuffer(std::uint8_t* buffer, int count, int timeoutMs) override;
    int ReadByteWithin(int timeoutMs) override;

protected:
    // Blocks at most `ms` until a received byte is waiting; true when one is.
    virtual bool waitForInput(int ms) = 0;
    // Reads at most `count` of the bytes already waiting, without blocking.
    virtual int readWaiting(std::uint8_t* buffer, int count) = 0;
    // Called before every timed read with its time limit.
    virtual void prepareTimedRead(int /*timeoutMs*/) {}
    // At most this many '@' in the handshake of SendCommand; 0 for no limit.
    virtual int handshakeLimit() const = 0;
    // WaitText found the port closed with nothing waiting.
    virtual bool waitTextOnClosedPort() = 0;
    // Disconnect's last step on the device.
    virtual void releaseAfterDisconnect() {}

    // Raises `text` after setting the default cursor.
    [[noreturn]] void fail(std::string_view text);
    // The start of a synchronisation pass: the receive queue emptied, an '@'
    // sent and a short pause for the answer.
    void knock();
    // The answer to the knock, or 0 when none came.
    int readKnockAnswer();
    // After the instrument's '@': its two identification lines, the first one
    // into text2.
    bool readIdentification(std::string& text1, std::string& text2);
    // How a synchronisation ends on a port error.
    bool synchronisationFailed();

    LinkHost& host;
    int writeDelayMs = 0;

private:
    void writeCommandByte(std::uint8_t byte);

    bool disconnecting = false;
};

} // namespace veldro
