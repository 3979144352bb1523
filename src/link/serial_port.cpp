#include "link/serial_port.h"

#include "link/link_host.h"

#include <utility>

namespace veldro {

namespace {

constexpr int lineSettlePauseMs = 1000;
constexpr int searchSpeed = 38400;
constexpr int searchPassesPerSpeed = 10;
constexpr int speedChangePauseMs = 100;
constexpr std::uint8_t escapeCommand = 27;
constexpr int escapeReplyLimitMs = 2000;
constexpr int afterEscapePauseMs = 1000;

} // namespace

SerialPort::SerialPort(LinkHost& linkHost, ComDevices comDevices)
    : PolledPort(linkHost), devices(std::move(comDevices)) {}

int SerialPort::Connect(int portNumber, int baudRate, int writeDelay,
                        const std::string& initCommand, bool waitForDsr,
                        const std::string& phoneNumber) {
    setConnectFailure({});
    if (!isLocked()) {
        writeDelayMs = writeDelay;
        device.close();
        SetPortNumber(portNumber);
        SetRtsCts(false);
        SetDtrDsr(false);
        SetRts(false);
        SetDtr(false);
        SetXonXoff(false);
        SetState(0);
    }
    SetBaudRate(baudRate);
    // The device beside the number, so the user knows which line to plug.
    const std::string shown = devices.shownDevice(comNumber);
    const Message prompt{"Connect Serial link < COM " + std::to_string(portNumber) +
                             (shown.empty() ? std::string() : " (" + shown + ")") +
                             " > between computer and Veldro click <OK Button>",
                         "Communication", MessageIcon::Information};
    if (!host.askOkCancel(prompt)) {
        SetState(-1);
        return 0;
    }
    // A device that went away (a USB converter unplugged and plugged again
    // comes back on a new device node) is let go and its path opened afresh;
    // the old line would wait for ever.
    if (device.hungUp()) device.close();
    if (isLocked() && device.isOpen()) {
        // The line is still open from the earlier connection.
        SetState(portNumber);
        return portNumber;
    }
    if (!device.open(devices.pathOf(comNumber))) {
        setConnectFailure(device.openError());
        return 0;
    }
    SetState(-1);
    if (!raiseLines(waitForDsr)) return 0;
    SetState(portNumber);
    if (!phoneNumber.empty() && !dial(initCommand, phoneNumber)) return 0;
    PurgeOutput();
    FlushInput();
    return portNumber;
}

bool SerialPort::raiseLines(bool waitForDsr) {
    SetDtr(false);
    SetRts(false);
    PurgeOutput();
    pauseWithEvents(host, lineSettlePauseMs);
    SetRts(true);
    SetDtr(true);
    if (waitForDsr && !GetDsr()) {
        host.processEvents();
        return false;
    }
    return true;
}

bool SerialPort::dial(const std::string& initCommand, const std::string& phoneNumber) {
    writeText("ATZ\r\n");
    if (!WaitText("OK") || !WaitText("\n")) return false;
    if (!initCommand.empty()) {
        writeText(initCommand + "\r\n");
        if (!WaitText("OK") || !WaitText("\n")) return false;
    }
    writeText("ATDT" + phoneNumber + "\r\n");
    if (!WaitText("CONNECT") || !WaitText("\n")) return false;
    pauseWithEvents(host, lineSettlePauseMs);
    return true;
}

void SerialPort::writeText(const std::string& text) {
    if (isOpen()) device.writeText(text);
}

bool SerialPort::Synchronise(std::string& text1, std::string& text2) {
    try {
        int passes = 0;
        int rememberedSpeed = 0;
        for (;;) {
            knock();
            int answer = 0;
            if (device.lineErrorPending())
                device.clearLineStatus();
            else
                answer = readKnockAnswer();
            // No answer at the set speed: try the instrument's other speed for
            // a while, then go back and knock it out of any mode with ESC.
            if (passes == searchPassesPerSpeed) {
                rememberedSpeed = GetBaudRate();
                SetBaudRate(searchSpeed);
            }
            if (++passes == 2 * searchPassesPerSpeed) {
                SetBaudRate(rememberedSpeed);
                pauseWithEvents(host, speedChangePauseMs);
                SendCommand(escapeCommand, escapeReplyLimitMs);
                pauseWithEvents(host, afterEscapePauseMs);
                passes = 0;
            }
            if (answer == '@') return readIdentification(text1, text2);
        }
    } catch (const PortError&) {
        return synchronisationFailed();
    }
}

void SerialPort::FlushInput() {
    while (InputCount() > 0 && isOpen()) {
        ReadRawByte();
        host.processEvents();
    }
}

void SerialPort::PurgeOutput() {
    device.clearTxBuffer();
}

int SerialPort::SendRawByte(std::uint8_t byte) {
    return isOpen() ? device.writeByte(byte) : -1;
}

int SerialPort::ReadRawByte() {
    std::uint8_t byte = 0;
    return isOpen() && device.readAvailable(&byte, 1) == 1 ? byte : -1;
}

bool SerialPort::waitForInput(int ms) {
    return device.waitReadable(ms);
}

int SerialPort::readWaiting(std::uint8_t* buffer, int count) {
    return device.readAvailable(buffer, count);
}

int SerialPort::handshakeLimit() const {
    return 22;
}

bool SerialPort::waitTextOnClosedPort() {
    return false;
}

void SerialPort::SetPortNumber(int value) {
    comNumber = value;
}
void SerialPort::SetBaudRate(int value) {
    device.setBaudRate(value);
}
void SerialPort::SetParity(int value) {
    device.setParity(value);
}
void SerialPort::SetDataBits(int value) {
    device.setDataBits(value);
}
void SerialPort::SetStopBits(int value) {
    device.setStopBits(value);
}
void SerialPort::SetXonXoff(bool on) {
    device.setXonXoff(on);
}
void SerialPort::SetDtrDsr(bool on) {
    device.setDtrDsr(on);
}
void SerialPort::SetRtsCts(bool on) {
    device.setRtsCts(on);
}
void SerialPort::SetDtr(bool on) {
    device.setDtr(on);
}
void SerialPort::SetRts(bool on) {
    device.setRts(on);
}
int SerialPort::InputCount() {
    return isOpen() ? device.inputCount() : -1;
}
int SerialPort::OutputCount() {
    return isOpen() ? device.outputCount() : -1;
}
int SerialPort::GetPortNumber() {
    return comNumber;
}
int SerialPort::GetBaudRate() {
    return device.baudRate();
}
int SerialPort::GetDataBits() {
    return device.dataBits();
}
int SerialPort::GetStopBits() {
    return device.stopBits();
}
bool SerialPort::GetXonXoff() {
    return device.xonXoff();
}
int SerialPort::GetParity() {
    return device.parity();
}
bool SerialPort::GetDtrDsr() {
    return device.dtrDsr();
}
bool SerialPort::GetRtsCts() {
    return device.rtsCts();
}
bool SerialPort::GetDtr() {
    return device.dtr();
}
bool SerialPort::GetRts() {
    return device.rts();
}
bool SerialPort::GetDsr() {
    return device.dsr();
}
int SerialPort::MaxBaudRate() {
    return 115200;
}
void SerialPort::KindName(std::string& text) {
    text = "RS232";
}

} // namespace veldro
