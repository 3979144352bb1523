#pragma once

#include "link/d2xx.h"

#include <deque>
#include <map>
#include <memory>
#include <string>

struct ftdi_context;

namespace veldro {

// The converter through libftdi1, for machines where no kernel driver gives
// it a tty. Opening detaches the kernel driver if one holds the converter and
// re-attaches it at close.
class LibFtdiD2xx : public D2xx {
public:
    LibFtdiD2xx() = default;
    ~LibFtdiD2xx() override;
    LibFtdiD2xx(const LibFtdiD2xx&) = delete;
    LibFtdiD2xx& operator=(const LibFtdiD2xx&) = delete;

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
    // The chip has no queue count; bytes fetched from it wait here.
    struct Device {
        ftdi_context* context = nullptr;
        std::deque<std::uint8_t> received;
        int readTimeoutMs = 0;
    };
    Device* find(FtHandle handle);
    // Fetches what the chip has; blocks at most about one latency period.
    void fetch(Device& device);
    // Runs a libftdi call on an open handle: ftOk when it returned >= 0.
    template <typename Call> FtStatus onDevice(FtHandle handle, Call call);

    std::map<FtHandle, Device> devices;
    FtHandle nextHandle = 1;
    std::string lastOpenFailure;
};

} // namespace veldro
