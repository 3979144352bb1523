#pragma once

#include "link/d2xx.h"
#include "link/serial_device.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace veldro {

// The converter through the kernel's own driver: each attached FTDI converter
// (USB vendor 0403) is a tty, found in sysfs, and its queue counts, purges,
// timeouts and modem status map one to one onto termios.
class KernelTtyD2xx : public D2xx {
public:
    // The roots are the system's; tests give a tree of their own.
    explicit KernelTtyD2xx(std::string sysfsRoot = "/sys", std::string devRoot = "/dev");

    // The tty names of the attached converters, in order ("ttyUSB0", ...).
    std::vector<std::string> converterTtys() const;

    VELDRO_D2XX_OPERATIONS
    std::string openFailure() const override { return lastOpenFailure; }

private:
    struct Line {
        SerialDevice device;
        int readTimeoutMs = 0;
    };
    Line* find(FtHandle handle);
    // Runs `use` on the line of an open handle; its status, or ftOk.
    template <typename Use> FtStatus onLine(FtHandle handle, Use use);

    std::string sysfs;
    std::string dev;
    std::map<FtHandle, std::unique_ptr<Line>> lines;
    FtHandle nextHandle = 1;
    std::string lastOpenFailure;
};

} // namespace veldro
