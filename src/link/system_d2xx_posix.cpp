#include "link/d2xx.h"
#include "link/kernel_tty_d2xx.h"
#include "link/libftdi_d2xx.h"

#include <map>
#include <utility>

namespace veldro {

namespace {

// The kernel's tty when it drives a converter, libftdi1 otherwise. Decided at
// every listing, since a converter may be plugged in while the program runs;
// an open handle stays with the backend that opened it.
class SystemD2xx : public D2xx {
public:
    FtStatus listDeviceCount(std::uint32_t& count) override {
        return chosen().listDeviceCount(count);
    }
    FtStatus listDescriptions(std::vector<std::string>& descriptions) override {
        return chosen().listDescriptions(descriptions);
    }
    FtStatus open(int index, FtHandle& handle) override {
        D2xx& backend = chosen();
        opener = &backend;
        FtHandle inner = 0;
        const FtStatus status = backend.open(index, inner);
        if (status != ftOk) return status;
        handle = nextHandle++;
        opened[handle] = {&backend, inner};
        return ftOk;
    }
    FtStatus close(FtHandle handle) override {
        const FtStatus status = route(handle, &D2xx::close);
        opened.erase(handle);
        return status;
    }
    FtStatus read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                  std::uint32_t& got) override {
        return route(handle, &D2xx::read, buffer, count, got);
    }
    FtStatus write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                   std::uint32_t& written) override {
        return route(handle, &D2xx::write, buffer, count, written);
    }
    FtStatus setBaudRate(FtHandle handle, std::uint32_t speed) override {
        return route(handle, &D2xx::setBaudRate, speed);
    }
    FtStatus setTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) override {
        return route(handle, &D2xx::setTimeouts, readMs, writeMs);
    }
    FtStatus setDataCharacteristics(FtHandle handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity) override {
        return route(handle, &D2xx::setDataCharacteristics, wordLength, stopBits, parity);
    }
    FtStatus setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                            std::uint8_t xoff) override {
        return route(handle, &D2xx::setFlowControl, mode, xon, xoff);
    }
    FtStatus setDtr(FtHandle handle) override { return route(handle, &D2xx::setDtr); }
    FtStatus clrDtr(FtHandle handle) override { return route(handle, &D2xx::clrDtr); }
    FtStatus setRts(FtHandle handle) override { return route(handle, &D2xx::setRts); }
    FtStatus clrRts(FtHandle handle) override { return route(handle, &D2xx::clrRts); }
    FtStatus getModemStatus(FtHandle handle, std::uint32_t& status) override {
        return route(handle, &D2xx::getModemStatus, status);
    }
    FtStatus purge(FtHandle handle, std::uint32_t mask) override {
        return route(handle, &D2xx::purge, mask);
    }
    FtStatus getQueueStatus(FtHandle handle, std::uint32_t& rxCount) override {
        return route(handle, &D2xx::getQueueStatus, rxCount);
    }
    FtStatus getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,
                       std::uint32_t& events) override {
        return route(handle, &D2xx::getStatus, rxCount, txCount, events);
    }
    bool waitForInput(FtHandle handle, int ms) override {
        const auto found = opened.find(handle);
        return found != opened.end() && found->second.first->waitForInput(found->second.second, ms);
    }
    std::string openFailure() const override { return opener ? opener->openFailure() : ""; }

private:
    D2xx& chosen() {
        std::uint32_t count = 0;
        return kernelTty.listDeviceCount(count) == ftOk && count > 0 ? static_cast<D2xx&>(kernelTty)
                                                                     : static_cast<D2xx&>(libFtdi);
    }
    template <typename... Params, typename... Args>
    FtStatus route(FtHandle handle, FtStatus (D2xx::*call)(FtHandle, Params...), Args&&... args) {
        const auto found = opened.find(handle);
        if (found == opened.end()) return ftInvalidHandle;
        auto [backend, inner] = found->second;
        return (backend->*call)(inner, std::forward<Args>(args)...);
    }

    KernelTtyD2xx kernelTty;
    LibFtdiD2xx libFtdi;
    D2xx* opener = nullptr;
    std::map<FtHandle, std::pair<D2xx*, FtHandle>> opened;
    FtHandle nextHandle = 1;
};

} // namespace

std::unique_ptr<D2xx> makeSystemD2xx() {
    return std::make_unique<SystemD2xx>();
}

} // namespace veldro
