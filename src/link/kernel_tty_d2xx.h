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

    FtStatus listDeviceCount(std::uint32_t& count) override;
    FtStatus listDescriptions(std::vector<std::string>& descriptions) override;
    FtStatus open(int index, FtHandle& handle) override;
    FtStatus close(FtHandle handle) override;
    FtStatus read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                  std::uint32_t& got) override;
    FtStatus write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                   std::uint32_t& written) override;
    FtStatus setBaudRate(FtHandle handle, std::uint32_t speed) override;
    FtStatus setTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) override;
    FtStatus setDataCharacteristics(FtHandle handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity) override;
    FtStatus setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                            std::uint8_t xoff) override;
    FtStatus setDtr(FtHandle handle) override;
    FtStatus clrDtr(FtHandle handle) override;
    FtStatus setRts(FtHandle handle) override;
    FtStatus clrRts(FtHandle handle) override;
    FtStatus getModemStatus(FtHandle handle, std::uint32_t& status) override;
    FtStatus purge(FtHandle handle, std::uint32_t mask) override;
    FtStatus getQueueStatus(FtHandle handle, std::uint32_t& rxCount) override;
    FtStatus getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,
                       std::uint32_t& events) override;
    bool waitForInput(FtHandle handle, int ms) override;
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
