#pragma once

#include <string>
#include <string_view>

namespace veldro {

// Windows-1252, the 8-bit text of .vlf comment blocks and of written text files.
std::string cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 form become '?'.
std::string utf8ToCp1252(std::string_view text);

} // namespace veldro
