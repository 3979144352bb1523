#pragma once

#include "link/d2xx.h"
#include "link/polled_port.h"

namespace veldro {

// The port of the link "USB": the instrument's FTDI converter through a D2XX
// backend. Every Connect reopens device 0; Disconnect closes it.
class UsbPort : public PolledPort {
public:
    UsbPort(LinkHost& linkHost, D2xx& converters);
    ~UsbPort() override;

    VELDRO_DEVICE_PORT_OPERATIONS

protected:
    bool waitForInput(int ms) override;
    int readWaiting(std::uint8_t* buffer, int count) override;
    void prepareTimedRead(int timeoutMs) override;
    int handshakeLimit() const override;
    bool waitTextOnClosedPort() override;
    void releaseAfterDisconnect() override;

private:
    // Asks until a converter is attached; false when the user cancels.
    bool promptUntilAttached();
    bool openFirstDevice();
    void closeDevice();
    void applyFrame();
    // One flow control at a time: `mode` on, or none.
    void setFlow(bool on, std::uint16_t mode, bool& chosen);

    D2xx& d2xx;
    FtHandle handle = 0;
    bool deviceOpen = false;
    int wordLength = 8;
    int stopBits = 0;
    int parity = 0;
    bool xonXoff = false;
    bool dtrDsr = false;
    bool rtsCts = false;
    bool noFlow = true;
    bool dtr = false;
    bool rts = false;
};

} // namespace veldro
