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

    VELDRO_D2XX_OPERATIONS
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
