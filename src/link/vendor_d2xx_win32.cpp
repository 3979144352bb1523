#include "link/vendor_d2xx_win32.h"

#include "data/utf16_win32.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

namespace veldro {

namespace {

using VendorHandle = void*;
using VendorStatus = ULONG;

constexpr DWORD listNumberOnly = 0x80000000;
constexpr DWORD listAllByDescription = 0x20000002;
constexpr std::size_t descriptionSize = 64;
// Buffers beyond the count just listed, for converters plugged in meanwhile.
constexpr std::size_t spareDescriptions = 8;
constexpr DWORD receivedCharEvent = 1;
// A missed arrival event costs at most this much of a wait.
constexpr int arrivalPollMs = 10;

VendorHandle vendorHandle(FtHandle handle) {
    return reinterpret_cast<VendorHandle>(handle);
}

// The entry point `name` of `module` as a `Call`; false when it has none.
template <typename Call> bool entryPoint(HMODULE module, const char* name, Call& call) {
    call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return call != nullptr;
}

} // namespace

struct VendorD2xx::Calls {
    VendorStatus(WINAPI* listDevices)(void*, void*, DWORD);
    VendorStatus(WINAPI* open)(int, VendorHandle*);
    VendorStatus(WINAPI* close)(VendorHandle);
    VendorStatus(WINAPI* read)(VendorHandle, void*, DWORD, DWORD*);
    VendorStatus(WINAPI* write)(VendorHandle, void*, DWORD, DWORD*);
    VendorStatus(WINAPI* setBaudRate)(VendorHandle, ULONG);
    VendorStatus(WINAPI* setDataCharacteristics)(VendorHandle, UCHAR, UCHAR, UCHAR);
    VendorStatus(WINAPI* setFlowControl)(VendorHandle, USHORT, UCHAR, UCHAR);
    VendorStatus(WINAPI* setDtr)(VendorHandle);
    VendorStatus(WINAPI* clrDtr)(VendorHandle);
    VendorStatus(WINAPI* setRts)(VendorHandle);
    VendorStatus(WINAPI* clrRts)(VendorHandle);
    VendorStatus(WINAPI* getModemStatus)(VendorHandle, ULONG*);
    VendorStatus(WINAPI* setTimeouts)(VendorHandle, ULONG, ULONG);
    VendorStatus(WINAPI* purge)(VendorHandle, ULONG);
    VendorStatus(WINAPI* getQueueStatus)(VendorHandle, DWORD*);
    VendorStatus(WINAPI* getStatus)(VendorHandle, DWORD*, DWORD*, DWORD*);
    VendorStatus(WINAPI* setEventNotification)(VendorHandle, DWORD, void*);

    // The first entry point `module` lacks; empty when it has them all.
    std::string findAll(HMODULE module) {
        const std::pair<const char*, bool> found[] = {
            {"FT_ListDevices", entryPoint(module, "FT_ListDevices", listDevices)},
            {"FT_Open", entryPoint(module, "FT_Open", open)},
            {"FT_Close", entryPoint(module, "FT_Close", close)},
            {"FT_Read", entryPoint(module, "FT_Read", read)},
            {"FT_Write", entryPoint(module, "FT_Write", write)},
            {"FT_SetBaudRate", entryPoint(module, "FT_SetBaudRate", setBaudRate)},
            {"FT_SetDataCharacteristics",
             entryPoint(module, "FT_SetDataCharacteristics", setDataCharacteristics)},
            {"FT_SetFlowControl", entryPoint(module, "FT_SetFlowControl", setFlowControl)},
            {"FT_SetDtr", entryPoint(module, "FT_SetDtr", setDtr)},
            {"FT_ClrDtr", entryPoint(module, "FT_ClrDtr", clrDtr)},
            {"FT_SetRts", entryPoint(module, "FT_SetRts", setRts)},
            {"FT_ClrRts", entryPoint(module, "FT_ClrRts", clrRts)},
            {"FT_GetModemStatus", entryPoint(module, "FT_GetModemStatus", getModemStatus)},
            {"FT_SetTimeouts", entryPoint(module, "FT_SetTimeouts", setTimeouts)},
            {"FT_Purge", entryPoint(module, "FT_Purge", purge)},
            {"FT_GetQueueStatus", entryPoint(module, "FT_GetQueueStatus", getQueueStatus)},
            {"FT_GetStatus", entryPoint(module, "FT_GetStatus", getStatus)},
            {"FT_SetEventNotification",
             entryPoint(module, "FT_SetEventNotification", setEventNotification)},
        };
        for (const auto& [name, present] : found)
            if (!present) return name;
        return {};
    }
};

VendorD2xx::VendorD2xx(const std::string& library)
    : module(LoadLibraryW(toUtf16(library).c_str())) {
    const std::string prefix = "The USB link is unavailable: " + library +
                               ", the USB converter's "
                               "driver library, ";
    if (!module) {
        unavailable = prefix + "could not be loaded (" + systemErrorText(GetLastError()) + ")";
        return;
    }
    auto found = std::make_unique<Calls>();
    if (const std::string lacking = found->findAll(module); !lacking.empty()) {
        unavailable = prefix + "has no " + lacking;
        return;
    }
    calls = std::move(found);
}

VendorD2xx::~VendorD2xx() {
    while (!arrivals.empty()) close(arrivals.begin()->first);
    if (module) FreeLibrary(module);
}

FtStatus VendorD2xx::listDeviceCount(std::uint32_t& count) {
    if (!calls) return ftDeviceNotFound;
    DWORD listed = 0;
    const FtStatus status = calls->listDevices(&listed, nullptr, listNumberOnly);
    count = listed;
    return status;
}

FtStatus VendorD2xx::listDescriptions(std::vector<std::string>& descriptions) {
    std::uint32_t count = 0;
    if (const FtStatus status = listDeviceCount(count); status != ftOk) return status;
    std::vector<std::array<char, descriptionSize>> buffers(count + spareDescriptions);
    std::vector<char*> pointers;
    for (auto& buffer : buffers) pointers.push_back(buffer.data());
    pointers.push_back(nullptr);
    DWORD listed = 0;
    const FtStatus status = calls->listDevices(pointers.data(), &listed, listAllByDescription);
    if (status != ftOk) return status;
    descriptions.clear();
    for (std::size_t i = 0; i < std::min<std::size_t>(listed, buffers.size()); ++i)
        descriptions.emplace_back(buffers[i].data(), strnlen(buffers[i].data(), descriptionSize));
    return ftOk;
}

FtStatus VendorD2xx::open(int index, FtHandle& handle) {
    if (!calls) return ftDeviceNotFound;
    VendorHandle opened = nullptr;
    if (const FtStatus status = calls->open(index, &opened); status != ftOk) return status;
    handle = reinterpret_cast<FtHandle>(opened);
    const HANDLE arrival = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    calls->setEventNotification(opened, receivedCharEvent, arrival);
    arrivals[handle] = arrival;
    return ftOk;
}

FtStatus VendorD2xx::close(FtHandle handle) {
    if (!calls) return ftInvalidHandle;
    const FtStatus status = calls->close(vendorHandle(handle));
    if (const auto found = arrivals.find(handle); found != arrivals.end()) {
        if (found->second) CloseHandle(found->second);
        arrivals.erase(found);
    }
    return status;
}

FtStatus VendorD2xx::read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                          std::uint32_t& got) {
    if (!calls) return ftInvalidHandle;
    DWORD delivered = 0;
    const FtStatus status = calls->read(vendorHandle(handle), buffer, count, &delivered);
    got = delivered;
    return status;
}

FtStatus VendorD2xx::write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t& written) {
    if (!calls) return ftInvalidHandle;
    DWORD accepted = 0;
    // The library's signature takes a plain pointer; it only reads the buffer.
    const FtStatus status =
        calls->write(vendorHandle(handle), const_cast<std::uint8_t*>(buffer), count, &accepted);
    written = accepted;
    return status;
}

FtStatus VendorD2xx::setBaudRate(FtHandle handle, std::uint32_t speed) {
    return calls ? calls->setBaudRate(vendorHandle(handle), speed) : ftInvalidHandle;
}

FtStatus VendorD2xx::setTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) {
    return calls ? calls->setTimeouts(vendorHandle(handle), readMs, writeMs) : ftInvalidHandle;
}

FtStatus VendorD2xx::setDataCharacteristics(FtHandle handle, std::uint8_t wordLength,
                                            std::uint8_t stopBits, std::uint8_t parity) {
    return calls ? calls->setDataCharacteristics(vendorHandle(handle), wordLength, stopBits, parity)
                 : ftInvalidHandle;
}

FtStatus VendorD2xx::setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                    std::uint8_t xoff) {
    return calls ? calls->setFlowControl(vendorHandle(handle), mode, xon, xoff) : ftInvalidHandle;
}

FtStatus VendorD2xx::setDtr(FtHandle handle) {
    return calls ? calls->setDtr(vendorHandle(handle)) : ftInvalidHandle;
}

FtStatus VendorD2xx::clrDtr(FtHandle handle) {
    return calls ? calls->clrDtr(vendorHandle(handle)) : ftInvalidHandle;
}

FtStatus VendorD2xx::setRts(FtHandle handle) {
    return calls ? calls->setRts(vendorHandle(handle)) : ftInvalidHandle;
}

FtStatus VendorD2xx::clrRts(FtHandle handle) {
    return calls ? calls->clrRts(vendorHandle(handle)) : ftInvalidHandle;
}

FtStatus VendorD2xx::getModemStatus(FtHandle handle, std::uint32_t& status) {
    if (!calls) return ftInvalidHandle;
    ULONG lines = 0;
    const FtStatus result = calls->getModemStatus(vendorHandle(handle), &lines);
    status = lines;
    return result;
}

FtStatus VendorD2xx::purge(FtHandle handle, std::uint32_t mask) {
    return calls ? calls->purge(vendorHandle(handle), mask) : ftInvalidHandle;
}

FtStatus VendorD2xx::getQueueStatus(FtHandle handle, std::uint32_t& rxCount) {
    if (!calls) return ftInvalidHandle;
    DWORD queued = 0;
    const FtStatus status = calls->getQueueStatus(vendorHandle(handle), &queued);
    rxCount = queued;
    return status;
}

FtStatus VendorD2xx::getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,
                               std::uint32_t& events) {
    if (!calls) return ftInvalidHandle;
    DWORD rx = 0, tx = 0, event = 0;
    const FtStatus status = calls->getStatus(vendorHandle(handle), &rx, &tx, &event);
    rxCount = rx;
    txCount = tx;
    events = event;
    return status;
}

bool VendorD2xx::waitForInput(FtHandle handle, int ms) {
    const auto found = arrivals.find(handle);
    if (!calls || found == arrivals.end()) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        std::uint32_t queued = 0;
        if (getQueueStatus(handle, queued) != ftOk) return false;
        if (queued > 0) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return false;
        WaitForSingleObject(found->second,
                            static_cast<DWORD>(std::min<long long>(left, arrivalPollMs)));
    }
}

std::unique_ptr<D2xx> makeSystemD2xx() {
    return std::make_unique<VendorD2xx>("ftd2xx.dll");
}

} // namespace veldro
