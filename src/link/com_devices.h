#pragma once

#include <array>
#include <string>

namespace veldro {

// The device paths behind COM 1 to COM 4, kept in the settings file. A path
// may be a symlink such as /dev/serial/by-id/...
struct ComDevices {
    std::array<std::string, 4> paths = systemPaths();

    // The path of COM `number` (1 to 4); empty for any other number.
    std::string pathOf(int number) const;
    // The defaults, with COM `number` on `path` instead: how a device given by
    // path (the command line, tests) is reached.
    static ComDevices withDevice(int number, std::string path);

    // The system's own names of COM 1 to COM 4: /dev/ttyS0 to /dev/ttyS3 on
    // Linux, \\.\COM1 to \\.\COM4 on Windows.
    static std::array<std::string, 4> systemPaths();
    // Whether `text` has the form of a device path on this system.
    static bool isDevicePath(const std::string& text);
};

} // namespace veldro
