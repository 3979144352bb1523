#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The D2xx operations every backend implements, declared by one line in each
// backend class rather than a list of its own.
#define VELDRO_D2XX_OPERATIONS                                                                     \
    FtStatus listDeviceCount(std::uint32_t& count) override;                                       \
    FtStatus listDescriptions(std::vector<std::string>& descriptions) override;                    \
    FtStatus open(int index, FtHandle& handle) override;                                           \
    FtStatus close(FtHandle handle) override;                                                      \
    FtStatus read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count, std::uint32_t& got)  \
        override;                                                                                  \
    FtStatus write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,               \
                   std::uint32_t& written) override;                                               \
    FtStatus setBaudRate(FtHandle handle, std::uint32_t speed) override;                           \
    FtStatus setTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) override;   \
    FtStatus setDataCharacteristics(FtHandle handle, std::uint8_t wordLength,                      \
                                    std::uint8_t stopBits, std::uint8_t parity) override;          \
    FtStatus setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,                 \
                            std::uint8_t xoff) override;                                           \
    FtStatus setDtr(FtHandle handle) override;                                                     \
    FtStatus clrDtr(FtHandle handle) override;                                                     \
    FtStatus setRts(FtHandle handle) override;                                                     \
    FtStatus clrRts(FtHandle handle) override;                                                     \
    FtStatus getModemStatus(FtHandle handle, std::uint32_t& status) override;                      \
    FtStatus purge(FtHandle handle, std::uint32_t mask) override;                                  \
    FtStatus getQueueStatus(FtHandle handle, std::uint32_t& rxCount) override;                     \
    FtStatus getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,            \
                       std::uint32_t& events) override;                                            \
    bool waitForInput(FtHandle handle, int ms) override;

namespace veldro {

// The calls of the FTDI D2XX library that the USB link relies on, with their
// status convention (ftOk is success). Backends: on Linux the converter's
// kernel tty and libftdi1, on Windows the vendor's own library, and a
// simulated converter for tests.
using FtStatus = std::uint32_t;
using FtHandle = std::uintptr_t;

inline constexpr FtStatus ftOk = 0;
inline constexpr FtStatus ftInvalidHandle = 1;
inline constexpr FtStatus ftDeviceNotFound = 2;
inline constexpr FtStatus ftDeviceNotOpened = 3;
inline constexpr FtStatus ftIoError = 4;
inline constexpr FtStatus ftInvalidParameter = 6;

inline constexpr std::uint16_t ftFlowNone = 0x0000;
inline constexpr std::uint16_t ftFlowRtsCts = 0x0100;
inline constexpr std::uint16_t ftFlowDtrDsr = 0x0200;
inline constexpr std::uint16_t ftFlowXonXoff = 0x0400;

inline constexpr std::uint32_t ftPurgeRx = 1;
inline constexpr std::uint32_t ftPurgeTx = 2;

inline constexpr std::uint32_t ftModemDsr = 0x20;

class D2xx {
public:
    virtual ~D2xx() = default;

    // FT_ListDevices with FT_LIST_NUMBER_ONLY.
    virtual FtStatus listDeviceCount(std::uint32_t& count) = 0;
    // FT_ListDevices with FT_LIST_ALL | FT_OPEN_BY_DESCRIPTION: one
    // description per attached device.
    virtual FtStatus listDescriptions(std::vector<std::string>& descriptions) = 0;
    virtual FtStatus open(int index, FtHandle& handle) = 0;
    virtual FtStatus close(FtHandle handle) = 0;
    // Up to `count` bytes within the read timeout last set.
    virtual FtStatus read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                          std::uint32_t& got) = 0;
    virtual FtStatus write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t& written) = 0;
    virtual FtStatus setBaudRate(FtHandle handle, std::uint32_t speed) = 0;
    virtual FtStatus setTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) = 0;
    virtual FtStatus setDataCharacteristics(FtHandle handle, std::uint8_t wordLength,
                                            std::uint8_t stopBits, std::uint8_t parity) = 0;
    virtual FtStatus setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                    std::uint8_t xoff) = 0;
    virtual FtStatus setDtr(FtHandle handle) = 0;
    virtual FtStatus clrDtr(FtHandle handle) = 0;
    virtual FtStatus setRts(FtHandle handle) = 0;
    virtual FtStatus clrRts(FtHandle handle) = 0;
    virtual FtStatus getModemStatus(FtHandle handle, std::uint32_t& status) = 0;
    virtual FtStatus purge(FtHandle handle, std::uint32_t mask) = 0;
    virtual FtStatus getQueueStatus(FtHandle handle, std::uint32_t& rxCount) = 0;
    virtual FtStatus getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,
                               std::uint32_t& events) = 0;
    // Not a D2XX call (its event notification plays this part): blocks at
    // most `ms` until a received byte is waiting; true when one is.
    virtual bool waitForInput(FtHandle handle, int ms) = 0;
    // Why the last open failed, in words for the user; empty when unknown.
    virtual std::string openFailure() const { return {}; }
    // Why no converter can be reached at all (its driver is missing), in words
    // for the user; empty when converters can be listed.
    virtual std::string unavailableReason() const { return {}; }
};

// The converters of this machine. Linux: the kernel's tty of an attached FTDI
// converter, else libftdi1 where no kernel driver holds it. Windows: the
// vendor's ftd2xx.dll, loaded at run time.
std::unique_ptr<D2xx> makeSystemD2xx();

// The device-count query: the number of attached converters, 0 when the
// listing fails.
int CountUsbDevices(D2xx& d2xx);

} // namespace veldro
