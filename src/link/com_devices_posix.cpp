#include "link/com_devices.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace veldro {

namespace {

namespace fs = std::filesystem;

// The names in `folder`, sorted; none when it cannot be read.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The number of a name made of `prefix` and digits, else -1.
long numberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 6 ||
        name.substr(0, prefix.size()) != prefix)
        return -1;
    long number = 0;
    for (const char c : name.substr(prefix.size())) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

// The kernel makes ttyS nodes for every port the driver could serve; the
// port's type, 0 (unknown), says that no UART answered.
bool uartBehind(const fs::path& root, const std::string& name) {
    std::ifstream type(root / "sys/class/tty" / name / "type");
    std::string value;
    return !(type >> value) || value != "0";
}

} // namespace

std::array<std::string, 4> ComDevices::systemPaths() {
    return {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
}

bool ComDevices::isDevicePath(const std::string& text) {
    return !text.empty() && text[0] == '/';
}

std::string ComDevices::shownDevice(int number) const {
    return pathOf(number);
}

std::vector<std::string> ComDevices::present(const std::string& root) {
    const fs::path dev = fs::path(root) / "dev";
    std::vector<std::string> found;
    for (const std::string& name : namesIn(dev / "serial/by-id"))
        found.push_back("/dev/serial/by-id/" + name);
    const std::vector<std::string> names = namesIn(dev);
    for (const std::string_view prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::vector<std::pair<long, std::string>> numbered;
        for (const std::string& name : names)
            if (const long number = numberAfter(name, prefix); number >= 0)
                if (prefix != "ttyS" || uartBehind(root, name)) numbered.emplace_back(number, name);
        std::sort(numbered.begin(), numbered.end());
        for (const auto& [number, name] : numbered) found.push_back("/dev/" + name);
    }
    return found;
}

} // namespace veldro
