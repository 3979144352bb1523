#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace veldro {

// Fixed ends of a colour scale (low, high), so that maps and sections of
// several profiles compare side by side.
using ColourEnds = std::pair<double, double>;

// The ends when they can fix a scale: finite, the low one below the high one
// and, on a logarithmic scale (resistivity in ohm.m), both above 0.
std::optional<ColourEnds> fixedColourEnds(double low, double high, bool logarithmic);

// Ends typed in a window, with the process-wide decimal separator; nothing
// when either is no number or they cannot fix a scale.
std::optional<ColourEnds> readColourEnds(std::string_view low, std::string_view high,
                                         bool logarithmic);

// What the window says of ends it cannot take.
inline constexpr const char* kResistivityEndsWanted =
    "The colour ends are resistivities in ohm.m, both above 0 and Min below Max, such as 10 "
    "and 10000.";
inline constexpr const char* kValueEndsWanted =
    "The colour ends are numbers, Min below Max, such as -20 and 40.";

} // namespace veldro
