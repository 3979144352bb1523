#pragma once

#include <array>
#include <string>

namespace veldro {

// The device paths behind COM 1 to COM 4, kept in the settings file. A path
// may be a symlink such as /dev/serial/by-id/...
struct ComDevices {
    std::array<std::string, 4> paths{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};

    // The path of COM `number` (1 to 4); empty for any other number.
    std::string pathOf(int number) const;
    // The defaults, with COM `number` on `path` instead: how a device given by
    // path (the command line, tests) is reached.
    static ComDevices withDevice(int number, std::string path);
};

} // namespace veldro
