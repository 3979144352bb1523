#pragma once

#include "link/d2xx.h"

#include <map>
#include <memory>
#include <string>
#include <windows.h>

namespace veldro {

// The converters through the vendor's D2XX library, loaded when the object is
// made. Without the library, or with one that lacks a call, no converter is
// listed and unavailableReason() says why.
class VendorD2xx : public D2xx {
public:
    // `library`: a file name the system searches for, or a path.
    explicit VendorD2xx(const std::string& library);
    ~VendorD2xx() override;
    VendorD2xx(const VendorD2xx&) = delete;
    VendorD2xx& operator=(const VendorD2xx&) = delete;

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
    std::string unavailableReason() const override { return unavailable; }

private:
    // The library's entry points, all found, or none.
    struct Calls;

    HMODULE module = nullptr;
    std::unique_ptr<Calls> calls;
    std::string unavailable;
    // Per open handle, the event the library signals when a byte arrives.
    std::map<FtHandle, HANDLE> arrivals;
};

} // namespace veldro
