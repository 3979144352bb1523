#include "link/port_selection.h"

#include "link/serial_port.h"
#include "link/usb_port.h"

namespace veldro {

std::unique_ptr<Port> makePort(int portNumber, const PortResources& resources) {
    if (portNumber == usbPortNumber)
        return std::make_unique<UsbPort>(resources.host, resources.d2xx);
    return std::make_unique<SerialPort>(resources.host, resources.comDevices);
}

Port& portForDownload(std::unique_ptr<Port>& currentPort, int portNumber,
                      const PortResources& resources) {
    if (!currentPort || !currentPort->isLocked()) currentPort = makePort(portNumber, resources);
    return *currentPort;
}

} // namespace veldro
