#include "data/file_names.h"

#include <cctype>
#include <filesystem>

namespace veldro {

namespace {

// Windows separates folders by '\' and '/', POSIX by '/' only.
constexpr char kNativeSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
constexpr char kSeparators[] = {kNativeSeparator, '/', '\0'};

std::size_t fileNameStart(const std::string& path) {
    const auto slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? 0 : slash + 1;
}

} // namespace

std::string fileNamePart(const std::string& path) {
    return path.substr(fileNameStart(path));
}

std::string directoryPart(const std::string& path) {
    return path.substr(0, fileNameStart(path));
}

std::string withoutExtension(const std::string& path) {
    const std::size_t start = fileNameStart(path);
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= start) return path;
    return path.substr(0, dot);
}

std::string dataFileNameFor(const std::string& chosen) {
    return withoutExtension(chosen) + ".vlf";
}

std::string positionsFileNameFor(const std::string& dataFile) {
    return withoutExtension(dataFile) + ".positions.csv";
}

std::string fileExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < fileNameStart(path)) return {};
    return path.substr(dot);
}

bool hasDataFileExtension(const std::string& path) {
    std::string extension = fileExtension(path);
    for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return extension.find("VLF") != std::string::npos;
}

std::string splitGroupFileName(const std::string& directory, int profile, bool resistivityMode,
                               int firstIndex) {
    std::string name = directory;
    if (!name.empty() && name.back() != '/' && name.back() != kNativeSeparator)
        name += kNativeSeparator;
    name += "Profile " + std::to_string(profile) + (resistivityMode ? "_RES_" : "_INC_") +
            std::to_string(firstIndex + 1) + ".vlf";
    return name;
}

} // namespace veldro
