#pragma once

#include "link/com_devices.h"
#include "link/polled_port.h"
#include "link/serial_device.h"

namespace veldro {

// The port of the links COM 1 to COM 4: a serial device, reached directly or
// through a Hayes modem. Once connected it holds the line open for the rest of
// the run; Disconnect only lowers DTR and RTS.
class SerialPort : public PolledPort {
public:
    SerialPort(LinkHost& linkHost, ComDevices comDevices);

    int Connect(int portNumber, int baudRate, int writeDelayMs, const std::string& initCommand,
                bool waitForDsr, const std::string& phoneNumber) override;
    bool Synchronise(std::string& text1, std::string& text2) override;
    void FlushInput() override;
    void PurgeOutput() override;
    int SendRawByte(std::uint8_t byte) override;
    int ReadRawByte() override;
    void SetPortNumber(int value) override;
    void SetBaudRate(int value) override;
    void SetParity(int value) override;
    void SetDataBits(int value) override;
    void SetStopBits(int value) override;
    void SetXonXoff(bool on) override;
    void SetDtrDsr(bool on) override;
    void SetRtsCts(bool on) override;
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    int InputCount() override;
    int OutputCount() override;
    int GetPortNumber() override;
    int GetBaudRate() override;
    int GetDataBits() override;
    int GetStopBits() override;
    bool GetXonXoff() override;
    int GetParity() override;
    bool GetDtrDsr() override;
    bool GetRtsCts() override;
    bool GetDtr() override;
    bool GetRts() override;
    bool GetDsr() override;
    int MaxBaudRate() override;
    void KindName(std::string& text) override;

protected:
    bool waitForInput(int ms) override;
    int readWaiting(std::uint8_t* buffer, int count) override;
    int handshakeLimit() const override;
    bool waitTextOnClosedPort() override;

private:
    // Sets up a line that was just opened: the lines low, then high after a
    // second; false when DSR was required and is low.
    bool raiseLines(bool waitForDsr);
    // The Hayes dialogue; false when the modem's line closes before an answer.
    bool dial(const std::string& initCommand, const std::string& phoneNumber);
    void writeText(const std::string& text);

    SerialDevice device;
    ComDevices devices;
    int comNumber = 0;
};

} // namespace veldro
