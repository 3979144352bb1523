#pragma once

#include <string>

namespace veldro {

// Numbers in the files other programs read: '.' before decimals, whatever
// the locale.

// The shortest text without an exponent that reads back as the same double
// ("12.5", "500000"); an exponent only from 1e15 up.
std::string shortestNumber(double value);
// Six significant digits, without trailing zeros ("0.000123457", "1234.57").
std::string significantNumber(double value);
// Metres to the millimetre, without trailing zeros ("7000050.405", "12.5").
std::string millimetres(double value);
// A fixed number of decimals ("12.300").
std::string fixedNumber(double value, int decimals);

} // namespace veldro
