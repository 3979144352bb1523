#include "link/simulated_d2xx.h"

#include <algorithm>
#include <chrono>

namespace veldro {

int SimulatedD2xx::attach() {
    std::lock_guard lock(mutex);
    converters.emplace_back();
    return static_cast<int>(converters.size()) - 1;
}

void SimulatedD2xx::detach(int index) {
    {
        std::lock_guard lock(mutex);
        log.push_back("detach " + std::to_string(index));
        auto& device = converters.at(static_cast<std::size_t>(index));
        device.attached = false;
        device.open = false;
        device.toComputer.clear();
        std::erase_if(handles, [index](const auto& entry) { return entry.second == index; });
    }
    arrived.notify_all();
}

void SimulatedD2xx::deliver(int index, const std::string& bytes) {
    {
        std::lock_guard lock(mutex);
        auto& device = converters.at(static_cast<std::size_t>(index));
        if (!device.attached) return;
        device.toComputer.insert(device.toComputer.end(), bytes.begin(), bytes.end());
    }
    arrived.notify_all();
}

SimulatedD2xx::Converter SimulatedD2xx::converter(int index) const {
    std::lock_guard lock(mutex);
    return converters.at(static_cast<std::size_t>(index));
}

void SimulatedD2xx::setDsr(int index, bool on) {
    std::lock_guard lock(mutex);
    converters.at(static_cast<std::size_t>(index)).dsr = on;
}

std::vector<std::string> SimulatedD2xx::calls() const {
    std::lock_guard lock(mutex);
    return log;
}

void SimulatedD2xx::failListing(bool fail) {
    std::lock_guard lock(mutex);
    listingFails = fail;
}

SimulatedD2xx::Converter* SimulatedD2xx::find(FtHandle handle) {
    const auto found = handles.find(handle);
    return found == handles.end() ? nullptr : &converters[static_cast<std::size_t>(found->second)];
}

std::vector<SimulatedD2xx::Converter*> SimulatedD2xx::listed() {
    std::vector<Converter*> attached;
    for (auto& device : converters)
        if (device.attached) attached.push_back(&device);
    return attached;
}

template <typename Change>
FtStatus SimulatedD2xx::onHandle(FtHandle handle, const char* name, Change change) {
    std::lock_guard lock(mutex);
    log.push_back(std::string(name) + " " + std::to_string(handle));
    Converter* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    change(*device);
    return ftOk;
}

FtStatus SimulatedD2xx::listDeviceCount(std::uint32_t& count) {
    std::lock_guard lock(mutex);
    if (listingFails) return ftIoError;
    count = static_cast<std::uint32_t>(listed().size());
    return ftOk;
}

FtStatus SimulatedD2xx::listDescriptions(std::vector<std::string>& descriptions) {
    std::lock_guard lock(mutex);
    if (listingFails) return ftIoError;
    descriptions.clear();
    for (const Converter* device : listed()) descriptions.push_back(device->description);
    return ftOk;
}

FtStatus SimulatedD2xx::open(int index, FtHandle& handle) {
    std::lock_guard lock(mutex);
    log.push_back("open " + std::to_string(index));
    const auto attached = listed();
    if (index < 0 || index >= static_cast<int>(attached.size())) return ftDeviceNotFound;
    Converter& device = *attached[static_cast<std::size_t>(index)];
    if (device.open) return ftDeviceNotOpened;
    device.open = true;
    handle = nextHandle++;
    handles[handle] = static_cast<int>(&device - converters.data());
    log.back() += " -> " + std::to_string(handle);
    return ftOk;
}

FtStatus SimulatedD2xx::close(FtHandle handle) {
    std::lock_guard lock(mutex);
    log.push_back("close " + std::to_string(handle));
    Converter* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    device->open = false;
    handles.erase(handle);
    return ftOk;
}

FtStatus SimulatedD2xx::read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                             std::uint32_t& got) {
    std::unique_lock lock(mutex);
    got = 0;
    Converter* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    // As the driver: wait for all `count` bytes or the read timeout.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(device->readTimeoutMs);
    arrived.wait_until(lock, deadline, [&] {
        device = find(handle);
        return device == nullptr || device->toComputer.size() >= count;
    });
    if (device == nullptr) return ftInvalidHandle;
    while (got < count && !device->toComputer.empty()) {
        buffer[got++] = device->toComputer.front();
        device->toComputer.pop_front();
    }
    return ftOk;
}

FtStatus SimulatedD2xx::write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                              std::uint32_t& written) {
    written = 0;
    return onHandle(handle, "write", [&](Converter& device) {
        device.fromComputer.append(reinterpret_cast<const char*>(buffer), count);
        written = count;
    });
}

FtStatus SimulatedD2xx::setBaudRate(FtHandle handle, std::uint32_t speed) {
    return onHandle(handle, "setBaudRate", [&](Converter& device) { device.baudRate = speed; });
}

FtStatus SimulatedD2xx::setTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) {
    return onHandle(handle, "setTimeouts", [&](Converter& device) {
        device.readTimeoutMs = readMs;
        device.writeTimeoutMs = writeMs;
    });
}

FtStatus SimulatedD2xx::setDataCharacteristics(FtHandle handle, std::uint8_t wordLength,
                                               std::uint8_t stopBits, std::uint8_t parity) {
    return onHandle(handle, "setDataCharacteristics", [&](Converter& device) {
        device.wordLength = wordLength;
        device.stopBits = stopBits;
        device.parity = parity;
    });
}

FtStatus SimulatedD2xx::setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                       std::uint8_t xoff) {
    return onHandle(handle, "setFlowControl", [&](Converter& device) {
        device.flowMode = mode;
        device.xon = xon;
        device.xoff = xoff;
    });
}

FtStatus SimulatedD2xx::setDtr(FtHandle handle) {
    return onHandle(handle, "setDtr", [](Converter& device) { device.dtr = true; });
}

FtStatus SimulatedD2xx::clrDtr(FtHandle handle) {
    return onHandle(handle, "clrDtr", [](Converter& device) { device.dtr = false; });
}

FtStatus SimulatedD2xx::setRts(FtHandle handle) {
    return onHandle(handle, "setRts", [](Converter& device) { device.rts = true; });
}

FtStatus SimulatedD2xx::clrRts(FtHandle handle) {
    return onHandle(handle, "clrRts", [](Converter& device) { device.rts = false; });
}

FtStatus SimulatedD2xx::getModemStatus(FtHandle handle, std::uint32_t& status) {
    return onHandle(handle, "getModemStatus",
                    [&](Converter& device) { status = device.dsr ? ftModemDsr : 0; });
}

FtStatus SimulatedD2xx::purge(FtHandle handle, std::uint32_t mask) {
    return onHandle(handle, "purge", [&](Converter& device) {
        if ((mask & ftPurgeRx) != 0) device.toComputer.clear();
    });
}

FtStatus SimulatedD2xx::getQueueStatus(FtHandle handle, std::uint32_t& rxCount) {
    std::lock_guard lock(mutex);
    Converter* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    rxCount = static_cast<std::uint32_t>(device->toComputer.size());
    return ftOk;
}

FtStatus SimulatedD2xx::getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,
                                  std::uint32_t& events) {
    std::lock_guard lock(mutex);
    Converter* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    // Written bytes leave at once.
    rxCount = static_cast<std::uint32_t>(device->toComputer.size());
    txCount = 0;
    events = 0;
    return ftOk;
}

bool SimulatedD2xx::waitForInput(FtHandle handle, int ms) {
    std::unique_lock lock(mutex);
    return arrived.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        const Converter* device = find(handle);
        return device != nullptr && !device->toComputer.empty();
    });
}

} // namespace veldro
