// A serial port under test over a pseudo-terminal, its peer and its host.
#pragma once

#include "link/serial_port.h"
#include "pty_peer.h"
#include "scripted_host.h"

#include <string>

namespace veldro::test {

struct Link {
    PtyPeer peer;
    ScriptedHost host;
    SerialPort port{host, ComDevices::withDevice(1, peer.devicePath())};

    int connect(const std::string& init = "", const std::string& phone = "") {
        return port.Connect(1, 9600, 0, init, false, phone);
    }
};

} // namespace veldro::test
