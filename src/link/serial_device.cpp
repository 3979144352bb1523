#include "link/serial_device.h"

namespace veldro {

bool SerialDevice::open(const std::string& path) {
    close();
    openFailure.clear();
    if (!openLine(path)) return false;
    applyFrame();
    applyModemLine(ModemLine::Dtr, dtrLevel);
    applyModemLine(ModemLine::Rts, rtsLevel);
    clearLineStatus();
    return true;
}

void SerialDevice::setParity(int value) {
    parityCode = value >= parityOdd && value <= paritySpace ? value : parityNone;
    applyFrame();
}

void SerialDevice::setDataBits(int value) {
    wordLength = value >= 5 && value <= 8 ? value : 8;
    applyFrame();
}

void SerialDevice::setStopBits(int value) {
    stopBitCount = value == 2 ? 2 : 1;
    applyFrame();
}

void SerialDevice::setXonXoff(bool on) {
    softwareFlow = on;
    applyFrame();
}

void SerialDevice::setDtrDsr(bool on) {
    dtrDsrFlow = on;
    applyFrame();
}

void SerialDevice::setRtsCts(bool on) {
    hardwareFlow = on;
    applyFrame();
}

void SerialDevice::setDtr(bool on) {
    dtrLevel = on;
    applyModemLine(ModemLine::Dtr, on);
}

void SerialDevice::setRts(bool on) {
    rtsLevel = on;
    applyModemLine(ModemLine::Rts, on);
}

} // namespace veldro
