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

    VELDRO_DEVICE_PORT_OPERATIONS

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
