#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veldro {

class MessageSink;

// How many characters the position box takes in each form.
inline constexpr std::size_t kXyzPositionLength = 9;
inline constexpr std::size_t kWadiPositionLength = 4;

// OK of the position dialog in the XYZ form: the number (process-wide decimal
// separator) held as a float, limited to +-999999.875, as "%9.1f". A text that
// is no number says "Please enter a valid numeric value" and gives nothing.
std::optional<std::string> xyzPositionText(std::string_view entry, MessageSink& messages);

// OK in the WADI form: a whole number of metres, at most 9999, as "%04d",
// followed by the checked direction 'N', 'E', 'S' or 'W' ('\0' when none is
// checked). Says "Please enter a valid integer value", "Please enter a
// positive integer value" or "Please select a cardinal direction" and gives
// nothing when the entry cannot be taken.
std::optional<std::string> wadiPositionText(std::string_view entry, char direction,
                                            MessageSink& messages);

} // namespace veldro
