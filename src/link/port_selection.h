#pragma once

#include "link/com_devices.h"
#include "link/port.h"

#include <memory>

namespace veldro {

class D2xx;
class LinkHost;

// What a new port object is built on; owned by the caller for the whole run.
struct PortResources {
    LinkHost& host;
    ComDevices comDevices;
    D2xx& d2xx;
};

// A UsbPort for usbPortNumber, a SerialPort for any other link choice.
std::unique_ptr<Port> makePort(int portNumber, const PortResources& resources);

// The port of a download: created when there is none, replaced when the one
// there never connected (so the user may still change the link), reused when
// it is locked whatever link is chosen now.
Port& portForDownload(std::unique_ptr<Port>& currentPort, int portNumber,
                      const PortResources& resources);

} // namespace veldro
