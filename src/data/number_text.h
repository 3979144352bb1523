#pragma once

#include <string>
#include <string_view>

namespace veldro {

// The process-wide decimal separator used to show and read numbers with
// fractions. Each program sets it from the user's locale at start ('.' until
// then); the import and the download switch it to '.' and it stays '.'.
char decimalSeparator();
void setDecimalSeparator(char separator);
// Reads the separator of the C library's current LC_NUMERIC locale.
char localeDecimalSeparator();

// Display patterns "0", "0.00", "0.0000": exactly `decimals` decimals, halves
// away from zero, '-' for negatives, no thousands separator, the process-wide
// separator. A value that rounds to zero shows no sign.
void appendPattern(std::string& out, double value, int decimals);
std::string formatPattern(double value, int decimals);

// printf-style "%W.Pf": the same rounding, always '.', right-aligned in `width`.
void appendFixedPoint(std::string& out, double value, int width, int precision);
std::string formatFixedPoint(double value, int width, int precision);
// printf-style "%Wd" (and "%0Wd" with zeroPad).
void appendInteger(std::string& out, long long value, int width = 0, bool zeroPad = false);

// Reads a number typed by the user with the process-wide separator. Returns
// false for anything but a whole valid number (blanks around it allowed).
bool parseUserNumber(std::string_view text, double& value);

} // namespace veldro
