#include "link/com_devices.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <windows.h>

namespace veldro {

namespace {

// The device namespace: the only form that reaches COM10 and above too.
constexpr char devicePrefix[] = "\\\\.\\";
constexpr std::size_t devicePrefixLength = sizeof devicePrefix - 1;

// The number of "COM" followed by digits, else -1.
long comNumberOf(const char* name) {
    if (std::strncmp(name, "COM", 3) != 0 || name[3] == '\0' || std::strlen(name) > 9) return -1;
    long number = 0;
    for (const char* c = name + 3; *c; ++c) {
        if (!std::isdigit(static_cast<unsigned char>(*c))) return -1;
        number = number * 10 + (*c - '0');
    }
    return number;
}

} // namespace

std::array<std::string, 4> ComDevices::systemPaths() {
    return {std::string(devicePrefix) + "COM1", std::string(devicePrefix) + "COM2",
            std::string(devicePrefix) + "COM3", std::string(devicePrefix) + "COM4"};
}

bool ComDevices::isDevicePath(const std::string& text) {
    return text.size() > devicePrefixLength && text.rfind(devicePrefix, 0) == 0;
}

// COM n is its own device here: only another one is worth naming.
std::string ComDevices::shownDevice(int number) const {
    std::string path = pathOf(number);
    if (path.rfind(devicePrefix, 0) == 0) path.erase(0, devicePrefixLength);
    return path == "COM" + std::to_string(number) ? std::string() : path;
}

// The DOS device names, those of the COM ports among them.
std::vector<std::string> ComDevices::present(const std::string& /*root*/) {
    std::vector<char> names(1 << 16);
    DWORD length = 0;
    while ((length = QueryDosDeviceA(nullptr, names.data(), static_cast<DWORD>(names.size()))) ==
               0 &&
           GetLastError() == ERROR_INSUFFICIENT_BUFFER && names.size() < (1u << 24))
        names.resize(names.size() * 2);
    std::vector<long> numbers;
    for (std::size_t at = 0; at < length && names[at] != '\0';
         at += std::strlen(names.data() + at) + 1)
        if (const long number = comNumberOf(names.data() + at); number >= 0)
            numbers.push_back(number);
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::string> found;
    for (const long number : numbers)
        found.push_back(std::string(devicePrefix) + "COM" + std::to_string(number));
    return found;
}

} // namespace veldro
