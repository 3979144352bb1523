#pragma once

#include <string>
#include <string_view>

namespace veldro {

// The program's texts are UTF-8; Windows takes names and gives messages in UTF-16.
std::wstring toUtf16(std::string_view text);
std::string fromUtf16(std::wstring_view text);

// The system's message for a Windows error code, in UTF-8, without its final
// period and line break ("Access is denied").
std::string systemErrorText(unsigned long error);

} // namespace veldro
