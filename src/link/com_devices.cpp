#include "link/com_devices.h"

#include <utility>

namespace veldro {

std::string ComDevices::pathOf(int number) const {
    if (number < 1 || number > static_cast<int>(paths.size())) return {};
    return paths[static_cast<std::size_t>(number - 1)];
}

ComDevices ComDevices::withDevice(int number, std::string path) {
    ComDevices devices;
    if (number >= 1 && number <= static_cast<int>(devices.paths.size()))
        devices.paths[static_cast<std::size_t>(number - 1)] = std::move(path);
    return devices;
}

} // namespace veldro
