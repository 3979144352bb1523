#pragma once

namespace veldro {

// The longest the link blocks on a device or a sleep before it lets the
// host's events run again: short enough for "Cancel" to act at once, long
// enough that a wait costs next to no processor time.
inline constexpr int pollStepMs = 10;

} // namespace veldro
