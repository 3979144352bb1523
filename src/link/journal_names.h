#pragma once

#include <filesystem>
#include <string>

namespace veldro {

inline constexpr const char* kJournalExtension = ".vdj";

// Names pass through std::filesystem as UTF-8 on every platform.
inline std::filesystem::path journalPathOf(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

inline std::string journalNameOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace veldro
