#pragma once

#include <array>
#include <string>
#include <vector>

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
    // The device to name beside COM `number` when asking for the cable: its
    // path; on Windows none when COM `number` is itself.
    std::string shownDevice(int number) const;

    // The system's own names of COM 1 to COM 4: /dev/ttyS0 to /dev/ttyS3 on
    // Linux, \\.\COM1 to \\.\COM4 on Windows.
    static std::array<std::string, 4> systemPaths();
    // Whether `text` has the form of a device path on this system.
    static bool isDevicePath(const std::string& text);
    // The serial devices present, in the order they are offered for a COM:
    // on Linux the links of /dev/serial/by-id (they say what is plugged in and
    // outlast a replug), then ttyUSB*, ttyACM* and the ttyS* with a UART
    // behind them; on Windows the COM ports. `root` stands for / (a test's
    // folder); Windows has no use for it.
    static std::vector<std::string> present(const std::string& root = "/");
};

} // namespace veldro
