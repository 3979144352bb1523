#include "link/kernel_tty_d2xx.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <type_traits>

namespace veldro {

namespace fs = std::filesystem;

namespace {

constexpr const char* ftdiVendor = "0403";
// From a tty's device up to its USB device: port, interface, device.
constexpr int usbDeviceDepth = 4;

// The USB vendor of the device a tty belongs to, or "" for a tty on no USB device.
std::string usbVendorOf(const fs::path& ttyClassEntry) {
    std::error_code error;
    fs::path node = fs::canonical(ttyClassEntry / "device", error);
    for (int level = 0; !error && level < usbDeviceDepth && node.has_relative_path(); ++level) {
        std::ifstream vendor(node / "idVendor");
        std::string text;
        if (vendor >> text) return text;
        node = node.parent_path();
    }
    return {};
}

} // namespace

KernelTtyD2xx::KernelTtyD2xx(std::string sysfsRoot, std::string devRoot)
    : sysfs(std::move(sysfsRoot)), dev(std::move(devRoot)) {}

std::vector<std::string> KernelTtyD2xx::converterTtys() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfs) / "class" / "tty", error)) {
        if (usbVendorOf(entry.path()) == ftdiVendor)
            names.push_back(entry.path().filename().string());
    }
    // ttyUSB2 before ttyUSB10: the kernel's numbering is the plugging order.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

FtStatus KernelTtyD2xx::listDeviceCount(std::uint32_t& count) {
    count = static_cast<std::uint32_t>(converterTtys().size());
    return ftOk;
}

FtStatus KernelTtyD2xx::listDescriptions(std::vector<std::string>& descriptions) {
    descriptions = converterTtys();
    return ftOk;
}

FtStatus KernelTtyD2xx::open(int index, FtHandle& handle) {
    const auto names = converterTtys();
    if (index < 0 || index >= static_cast<int>(names.size())) {
        lastOpenFailure = "No USB converter is attached";
        return ftDeviceNotFound;
    }
    auto line = std::make_unique<Line>();
    if (!line->device.open((fs::path(dev) / names[static_cast<std::size_t>(index)]).string())) {
        lastOpenFailure = line->device.openError();
        return ftDeviceNotOpened;
    }
    lastOpenFailure.clear();
    handle = nextHandle++;
    lines[handle] = std::move(line);
    return ftOk;
}

KernelTtyD2xx::Line* KernelTtyD2xx::find(FtHandle handle) {
    const auto found = lines.find(handle);
    return found == lines.end() ? nullptr : found->second.get();
}

template <typename Use> FtStatus KernelTtyD2xx::onLine(FtHandle handle, Use use) {
    Line* line = find(handle);
    if (line == nullptr) return ftInvalidHandle;
    if constexpr (std::is_void_v<decltype(use(*line))>) {
        use(*line);
        return ftOk;
    } else {
        return use(*line);
    }
}

FtStatus KernelTtyD2xx::close(FtHandle handle) {
    return lines.erase(handle) == 1 ? ftOk : ftInvalidHandle;
}

FtStatus KernelTtyD2xx::read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                             std::uint32_t& got) {
    got = 0;
    Line* line = find(handle);
    if (line == nullptr) return ftInvalidHandle;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(line->readTimeoutMs);
    for (;;) {
        got += static_cast<std::uint32_t>(
            line->device.readAvailable(buffer + got, static_cast<int>(count - got)));
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (got >= count || left.count() <= 0) return ftOk;
        line->device.waitReadable(static_cast<int>(left.count()));
    }
}

FtStatus KernelTtyD2xx::write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                              std::uint32_t& written) {
    written = 0;
    Line* line = find(handle);
    if (line == nullptr) return ftInvalidHandle;
    while (written < count && line->device.writeByte(buffer[written]) == 0) ++written;
    return written == count ? ftOk : ftIoError;
}

FtStatus KernelTtyD2xx::setBaudRate(FtHandle handle, std::uint32_t speed) {
    return onLine(handle, [&](Line& line) {
        return line.device.setBaudRate(static_cast<int>(speed)) ? ftOk : ftInvalidParameter;
    });
}

FtStatus KernelTtyD2xx::setTimeouts(FtHandle handle, std::uint32_t readMs,
                                    std::uint32_t /*writeMs*/) {
    return onLine(handle, [&](Line& line) { line.readTimeoutMs = static_cast<int>(readMs); });
}

FtStatus KernelTtyD2xx::setDataCharacteristics(FtHandle handle, std::uint8_t wordLength,
                                               std::uint8_t stopBits, std::uint8_t parity) {
    return onLine(handle, [&](Line& line) {
        line.device.setDataBits(wordLength);
        line.device.setStopBits(stopBits == 2 ? 2 : 1);
        line.device.setParity(parity);
    });
}

FtStatus KernelTtyD2xx::setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t,
                                       std::uint8_t) {
    return onLine(handle, [&](Line& line) {
        // termios keeps XON and XOFF at 0x11 and 0x13, the characters the link uses.
        line.device.setRtsCts(mode == ftFlowRtsCts);
        line.device.setDtrDsr(mode == ftFlowDtrDsr);
        line.device.setXonXoff(mode == ftFlowXonXoff);
    });
}

FtStatus KernelTtyD2xx::setDtr(FtHandle handle) {
    return onLine(handle, [&](Line& line) { line.device.setDtr(true); });
}

FtStatus KernelTtyD2xx::clrDtr(FtHandle handle) {
    return onLine(handle, [&](Line& line) { line.device.setDtr(false); });
}

FtStatus KernelTtyD2xx::setRts(FtHandle handle) {
    return onLine(handle, [&](Line& line) { line.device.setRts(true); });
}

FtStatus KernelTtyD2xx::clrRts(FtHandle handle) {
    return onLine(handle, [&](Line& line) { line.device.setRts(false); });
}

FtStatus KernelTtyD2xx::getModemStatus(FtHandle handle, std::uint32_t& status) {
    return onLine(handle, [&](Line& line) { status = line.device.dsr() ? ftModemDsr : 0; });
}

FtStatus KernelTtyD2xx::purge(FtHandle handle, std::uint32_t mask) {
    return onLine(handle, [&](Line& line) {
        if ((mask & ftPurgeRx) != 0) line.device.clearRxBuffer();
        if ((mask & ftPurgeTx) != 0) line.device.clearTxBuffer();
    });
}

FtStatus KernelTtyD2xx::getQueueStatus(FtHandle handle, std::uint32_t& rxCount) {
    return onLine(handle, [&](Line& line) {
        const int count = line.device.inputCount();
        if (count < 0) return ftIoError;
        rxCount = static_cast<std::uint32_t>(count);
        return ftOk;
    });
}

FtStatus KernelTtyD2xx::getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,
                                  std::uint32_t& events) {
    return onLine(handle, [&](Line& line) {
        const int in = line.device.inputCount();
        const int out = line.device.outputCount();
        if (in < 0 || out < 0) return ftIoError;
        rxCount = static_cast<std::uint32_t>(in);
        txCount = static_cast<std::uint32_t>(out);
        events = 0;
        return ftOk;
    });
}

bool KernelTtyD2xx::waitForInput(FtHandle handle, int ms) {
    Line* line = find(handle);
    return line != nullptr && line->device.waitReadable(ms);
}

} // namespace veldro
