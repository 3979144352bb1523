#include "maps/number_format.h"

#include <charconv>
#include <cmath>

namespace veldro {

namespace {

template <typename... Format> std::string charsOf(double value, Format... format) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, format...);
    return {text, end.ptr};
}

} // namespace

std::string shortestNumber(double value) {
    // Coordinates in full ("500000", not "5e+05"), which every reader takes.
    return std::abs(value) < 1e15 ? charsOf(value, std::chars_format::fixed) : charsOf(value);
}

std::string significantNumber(double value) {
    return charsOf(value, std::chars_format::general, 6);
}

std::string millimetres(double value) {
    std::string text = charsOf(value, std::chars_format::fixed, 3);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string fixedNumber(double value, int decimals) {
    return charsOf(value, std::chars_format::fixed, decimals);
}

} // namespace veldro
