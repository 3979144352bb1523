#include "link/com_devices.h"

namespace veldro {

namespace {

// The device namespace: the only form that reaches COM10 and above too.
constexpr char devicePrefix[] = "\\\\.\\";

} // namespace

std::array<std::string, 4> ComDevices::systemPaths() {
    return {std::string(devicePrefix) + "COM1", std::string(devicePrefix) + "COM2",
            std::string(devicePrefix) + "COM3", std::string(devicePrefix) + "COM4"};
}

bool ComDevices::isDevicePath(const std::string& text) {
    return text.size() > sizeof devicePrefix - 1 && text.rfind(devicePrefix, 0) == 0;
}

} // namespace veldro
