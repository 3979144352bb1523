#include "link/usb_port.h"

#include "link/link_host.h"

#include <algorithm>

namespace veldro {

namespace {

constexpr std::uint32_t writeTimeoutMs = 500;
constexpr std::uint32_t connectTimeoutMs = 500;
constexpr int lineSettlePauseMs = 1000;
constexpr int syncPassLimit = 100;
constexpr std::uint8_t xonChar = 0x11;
constexpr std::uint8_t xoffChar = 0x13;

} // namespace

int CountUsbDevices(D2xx& d2xx) {
    std::uint32_t count = 0;
    return d2xx.listDeviceCount(count) == ftOk ? static_cast<int>(count) : 0;
}

UsbPort::UsbPort(LinkHost& linkHost, D2xx& converters) : PolledPort(linkHost), d2xx(converters) {}

// Closes what is still open: a converter handle outlives nothing it belongs to.
UsbPort::~UsbPort() {
    closeDevice();
}

int UsbPort::Connect(int portNumber, int baudRate, int writeDelay,
                     const std::string& /*initCommand*/, bool /*waitForDsr*/,
                     const std::string& /*phoneNumber*/) {
    setConnectFailure({});
    writeDelayMs = writeDelay;
    closeDevice();
    SetState(-1);
    // Without the converter's driver none can ever be attached: say so rather
    // than ask again and again to plug one in.
    if (const std::string reason = d2xx.unavailableReason(); !reason.empty()) {
        setConnectFailure(reason);
        return 0;
    }
    if (!promptUntilAttached() || !openFirstDevice()) return 0;
    d2xx.setBaudRate(handle, static_cast<std::uint32_t>(baudRate));
    d2xx.setTimeouts(handle, connectTimeoutMs, connectTimeoutMs);
    SetState(portNumber);
    pauseWithEvents(host, lineSettlePauseMs);
    // The converter keeps its frame format and flow control; DTR and RTS stay low.
    d2xx.clrDtr(handle);
    d2xx.clrRts(handle);
    dtr = rts = false;
    return GetState();
}

bool UsbPort::promptUntilAttached() {
    const Message prompt{"Connect USB link beetwen computer and Veldro, then click <OK> Button",
                         "Download", MessageIcon::Information};
    do {
        if (!host.askOkCancel(prompt)) return false;
    } while (CountUsbDevices(d2xx) == 0);
    return true;
}

bool UsbPort::openFirstDevice() {
    std::vector<std::string> descriptions;
    if (d2xx.listDescriptions(descriptions) != ftOk || descriptions.empty()) {
        setConnectFailure("The USB converter could not be listed");
        return false;
    }
    if (d2xx.open(0, handle) != ftOk) {
        const std::string reason = d2xx.openFailure();
        setConnectFailure(reason.empty() ? "The USB converter could not be opened" : reason);
        return false;
    }
    deviceOpen = true;
    return true;
}

void UsbPort::closeDevice() {
    if (!deviceOpen) return;
    d2xx.close(handle);
    deviceOpen = false;
}

void UsbPort::releaseAfterDisconnect() {
    closeDevice();
}

bool UsbPort::Synchronise(std::string& text1, std::string& text2) {
    try {
        for (int passes = 0;; ++passes) {
            knock();
            const int answer = readKnockAnswer();
            if (passes > syncPassLimit) return false;
            if (answer == '@') return readIdentification(text1, text2);
        }
    } catch (const PortError&) {
        return synchronisationFailed();
    }
}

void UsbPort::FlushInput() {
    if (deviceOpen) d2xx.purge(handle, ftPurgeRx);
    host.processEvents();
}

void UsbPort::PurgeOutput() {
    if (isOpen()) d2xx.purge(handle, ftPurgeTx);
}

int UsbPort::SendRawByte(std::uint8_t byte) {
    std::uint32_t written = 0;
    return isOpen() && d2xx.write(handle, &byte, 1, written) == ftOk && written == 1 ? 0 : -1;
}

int UsbPort::ReadRawByte() {
    std::uint8_t byte = 0;
    std::uint32_t got = 0;
    return isOpen() && d2xx.read(handle, &byte, 1, got) == ftOk && got == 1 ? byte : -1;
}

bool UsbPort::waitForInput(int ms) {
    return isOpen() && d2xx.waitForInput(handle, ms);
}

int UsbPort::readWaiting(std::uint8_t* buffer, int count) {
    const int waiting = InputCount();
    if (waiting <= 0 || count <= 0) return 0;
    std::uint32_t got = 0;
    d2xx.read(handle, buffer, static_cast<std::uint32_t>(std::min(waiting, count)), got);
    return static_cast<int>(got);
}

void UsbPort::prepareTimedRead(int timeoutMs) {
    d2xx.setTimeouts(handle, static_cast<std::uint32_t>(timeoutMs), writeTimeoutMs);
}

int UsbPort::handshakeLimit() const {
    return 0;
}

bool UsbPort::waitTextOnClosedPort() {
    throw PortError(port_error_text::wait);
}

void UsbPort::SetPortNumber(int /*value*/) {}

void UsbPort::SetBaudRate(int value) {
    if (isOpen()) d2xx.setBaudRate(handle, static_cast<std::uint32_t>(value));
}

void UsbPort::SetParity(int value) {
    if (!isOpen()) return;
    parity = value >= 1 && value <= 4 ? value : 0;
    applyFrame();
}

void UsbPort::SetDataBits(int value) {
    if (!isOpen()) return;
    wordLength = value == 7 ? 7 : 8;
    applyFrame();
}

void UsbPort::SetStopBits(int value) {
    if (!isOpen()) return;
    stopBits = value == 2 ? 2 : 0;
    applyFrame();
}

void UsbPort::applyFrame() {
    d2xx.setDataCharacteristics(handle, static_cast<std::uint8_t>(wordLength),
                                static_cast<std::uint8_t>(stopBits),
                                static_cast<std::uint8_t>(parity));
}

void UsbPort::setFlow(bool on, std::uint16_t mode, bool& chosen) {
    if (!isOpen()) return;
    xonXoff = dtrDsr = rtsCts = false;
    chosen = on;
    noFlow = !on;
    const bool software = on && mode == ftFlowXonXoff;
    d2xx.setFlowControl(handle, on ? mode : ftFlowNone, software ? xonChar : 0,
                        software ? xoffChar : 0);
}

void UsbPort::SetXonXoff(bool on) {
    setFlow(on, ftFlowXonXoff, xonXoff);
}
void UsbPort::SetDtrDsr(bool on) {
    setFlow(on, ftFlowDtrDsr, dtrDsr);
}
void UsbPort::SetRtsCts(bool on) {
    setFlow(on, ftFlowRtsCts, rtsCts);
}

void UsbPort::SetDtr(bool on) {
    if (!isOpen()) return;
    dtr = on;
    on ? d2xx.setDtr(handle) : d2xx.clrDtr(handle);
}

void UsbPort::SetRts(bool on) {
    if (!isOpen()) return;
    rts = on;
    on ? d2xx.setRts(handle) : d2xx.clrRts(handle);
}

int UsbPort::InputCount() {
    std::uint32_t count = 0;
    if (!isOpen() || d2xx.getQueueStatus(handle, count) != ftOk) return -1;
    return static_cast<int>(count);
}

int UsbPort::OutputCount() {
    std::uint32_t rxCount = 0, txCount = 0, events = 0;
    if (!isOpen() || d2xx.getStatus(handle, rxCount, txCount, events) != ftOk) return -1;
    return static_cast<int>(txCount);
}

int UsbPort::GetPortNumber() {
    return 0;
}
int UsbPort::GetBaudRate() {
    return 0;
}
int UsbPort::GetDataBits() {
    return wordLength == 7 ? 7 : 8;
}
int UsbPort::GetStopBits() {
    return stopBits == 2 ? 2 : 1;
}
bool UsbPort::GetXonXoff() {
    return xonXoff;
}
int UsbPort::GetParity() {
    return parity;
}
bool UsbPort::GetDtrDsr() {
    return dtrDsr;
}
bool UsbPort::GetRtsCts() {
    return rtsCts;
}
bool UsbPort::GetDtr() {
    return dtr;
}
bool UsbPort::GetRts() {
    return rts;
}

bool UsbPort::GetDsr() {
    std::uint32_t status = 0;
    return deviceOpen && d2xx.getModemStatus(handle, status) == ftOk && (status & ftModemDsr) != 0;
}

int UsbPort::MaxBaudRate() {
    return 273000;
}
void UsbPort::KindName(std::string& text) {
    text = "USB";
}

} // namespace veldro
