#include "link/com_devices.h"

namespace veldro {

std::array<std::string, 4> ComDevices::systemPaths() {
    return {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
}

bool ComDevices::isDevicePath(const std::string& text) {
    return !text.empty() && text[0] == '/';
}

} // namespace veldro
