#include "link/libftdi_d2xx.h"

#include <algorithm>
#include <chrono>
#include <ftdi.h>

namespace veldro {

namespace {

constexpr int fetchLimitMs = 50;

// Listing needs a context of its own; a failed listing counts as no device.
int countConverters() {
    ftdi_context* context = ftdi_new();
    if (context == nullptr) return -1;
    ftdi_device_list* list = nullptr;
    // Vendor and product 0: every converter with the maker's own ids.
    const int count = ftdi_usb_find_all(context, &list, 0, 0);
    ftdi_list_free(&list);
    ftdi_free(context);
    return count;
}

} // namespace

LibFtdiD2xx::~LibFtdiD2xx() {
    while (!devices.empty()) close(devices.begin()->first);
}

LibFtdiD2xx::Device* LibFtdiD2xx::find(FtHandle handle) {
    const auto found = devices.find(handle);
    return found == devices.end() ? nullptr : &found->second;
}

template <typename Call> FtStatus LibFtdiD2xx::onDevice(FtHandle handle, Call call) {
    Device* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    return call(device->context) >= 0 ? ftOk : ftIoError;
}

FtStatus LibFtdiD2xx::listDeviceCount(std::uint32_t& count) {
    const int found = countConverters();
    if (found < 0) return ftIoError;
    count = static_cast<std::uint32_t>(found);
    return ftOk;
}

FtStatus LibFtdiD2xx::listDescriptions(std::vector<std::string>& descriptions) {
    const int found = countConverters();
    if (found < 0) return ftIoError;
    // Descriptions are never looked at; one entry per converter is what counts.
    descriptions.assign(static_cast<std::size_t>(found), "FTDI converter");
    return ftOk;
}

FtStatus LibFtdiD2xx::open(int index, FtHandle& handle) {
    ftdi_context* context = ftdi_new();
    if (context == nullptr) return ftIoError;
    context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    ftdi_device_list* list = nullptr;
    const int count = ftdi_usb_find_all(context, &list, 0, 0);
    ftdi_device_list* entry = list;
    for (int i = 0; entry != nullptr && i < index; ++i) entry = entry->next;
    const int opened =
        index < count && entry != nullptr ? ftdi_usb_open_dev(context, entry->dev) : -1;
    ftdi_list_free(&list);
    if (opened < 0) {
        lastOpenFailure = std::string("The USB converter could not be opened: ") +
                          ftdi_get_error_string(context) +
                          " (install the converter's udev rule, then plug it in again)";
        ftdi_free(context);
        return ftDeviceNotOpened;
    }
    lastOpenFailure.clear();
    // The chip answers every latency period even when idle, so a read never
    // blocks much longer than that; this bounds it should the chip stall.
    context->usb_read_timeout = fetchLimitMs;
    handle = nextHandle++;
    devices[handle].context = context;
    return ftOk;
}

FtStatus LibFtdiD2xx::close(FtHandle handle) {
    Device* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    ftdi_usb_close(device->context);
    ftdi_free(device->context);
    devices.erase(handle);
    return ftOk;
}

void LibFtdiD2xx::fetch(Device& device) {
    unsigned char chunk[512];
    const int got = ftdi_read_data(device.context, chunk, sizeof chunk);
    if (got > 0) device.received.insert(device.received.end(), chunk, chunk + got);
}

FtStatus LibFtdiD2xx::read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t& got) {
    got = 0;
    Device* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(device->readTimeoutMs);
    for (;;) {
        while (got < count && !device->received.empty()) {
            buffer[got++] = device->received.front();
            device->received.pop_front();
        }
        if (got >= count || std::chrono::steady_clock::now() >= deadline) return ftOk;
        fetch(*device);
    }
}

FtStatus LibFtdiD2xx::write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                            std::uint32_t& written) {
    written = 0;
    Device* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    const int sent = ftdi_write_data(device->context, buffer, static_cast<int>(count));
    if (sent < 0) return ftIoError;
    written = static_cast<std::uint32_t>(sent);
    return ftOk;
}

FtStatus LibFtdiD2xx::setBaudRate(FtHandle handle, std::uint32_t speed) {
    return onDevice(handle, [&](ftdi_context* context) {
        return ftdi_set_baudrate(context, static_cast<int>(speed));
    });
}

FtStatus LibFtdiD2xx::setTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) {
    Device* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    device->readTimeoutMs = static_cast<int>(readMs);
    device->context->usb_write_timeout = static_cast<int>(writeMs);
    return ftOk;
}

FtStatus LibFtdiD2xx::setDataCharacteristics(FtHandle handle, std::uint8_t wordLength,
                                             std::uint8_t stopBits, std::uint8_t parity) {
    return onDevice(handle, [&](ftdi_context* context) {
        return ftdi_set_line_property(context, wordLength == 7 ? BITS_7 : BITS_8,
                                      stopBits == 2 ? STOP_BIT_2 : STOP_BIT_1,
                                      static_cast<ftdi_parity_type>(parity <= 4 ? parity : 0));
    });
}

FtStatus LibFtdiD2xx::setFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                     std::uint8_t xoff) {
    return onDevice(handle, [&](ftdi_context* context) {
        // The D2XX flow modes are the chip's own handshake codes.
        return mode == ftFlowXonXoff ? ftdi_setflowctrl_xonxoff(context, xon, xoff)
                                     : ftdi_setflowctrl(context, mode);
    });
}

FtStatus LibFtdiD2xx::setDtr(FtHandle handle) {
    return onDevice(handle, [](ftdi_context* context) { return ftdi_setdtr(context, 1); });
}

FtStatus LibFtdiD2xx::clrDtr(FtHandle handle) {
    return onDevice(handle, [](ftdi_context* context) { return ftdi_setdtr(context, 0); });
}

FtStatus LibFtdiD2xx::setRts(FtHandle handle) {
    return onDevice(handle, [](ftdi_context* context) { return ftdi_setrts(context, 1); });
}

FtStatus LibFtdiD2xx::clrRts(FtHandle handle) {
    return onDevice(handle, [](ftdi_context* context) { return ftdi_setrts(context, 0); });
}

FtStatus LibFtdiD2xx::getModemStatus(FtHandle handle, std::uint32_t& status) {
    return onDevice(handle, [&](ftdi_context* context) {
        unsigned short lines = 0;
        const int result = ftdi_poll_modem_status(context, &lines);
        // The chip's modem status byte has DSR at 0x20, as D2XX reports it.
        status = lines & 0xFFu;
        return result;
    });
}

FtStatus LibFtdiD2xx::purge(FtHandle handle, std::uint32_t mask) {
    Device* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    if ((mask & ftPurgeRx) != 0) {
        device->received.clear();
        ftdi_tciflush(device->context);
    }
    if ((mask & ftPurgeTx) != 0) ftdi_tcoflush(device->context);
    return ftOk;
}

FtStatus LibFtdiD2xx::getQueueStatus(FtHandle handle, std::uint32_t& rxCount) {
    Device* device = find(handle);
    if (device == nullptr) return ftInvalidHandle;
    if (device->received.empty()) fetch(*device);
    rxCount = static_cast<std::uint32_t>(device->received.size());
    return ftOk;
}

FtStatus LibFtdiD2xx::getStatus(FtHandle handle, std::uint32_t& rxCount, std::uint32_t& txCount,
                                std::uint32_t& events) {
    // Writes are synchronous: nothing waits to be sent once ftdi_write_data returns.
    txCount = 0;
    events = 0;
    return getQueueStatus(handle, rxCount);
}

bool LibFtdiD2xx::waitForInput(FtHandle handle, int ms) {
    Device* device = find(handle);
    if (device == nullptr) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (device->received.empty() && std::chrono::steady_clock::now() < deadline) fetch(*device);
    return !device->received.empty();
}

} // namespace veldro
