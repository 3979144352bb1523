#pragma once

#include <string>
#include <string_view>

namespace veldro {

class MessageSink;

// What the filter and frequency dialogs say when a box does not hold a number.
inline constexpr const char* kInvalidNumericValue = "Please enter valid numeric value ";

// Reads a number typed into a box, with the process-wide decimal separator,
// as a 32-bit float. A text that is no number, or one beyond the float range,
// says kInvalidNumericValue (in a box of that `caption`) and returns false.
bool readEnteredNumber(std::string_view text, float& value, MessageSink& messages,
                       const std::string& caption = {});

} // namespace veldro
