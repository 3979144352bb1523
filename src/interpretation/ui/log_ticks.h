#pragma once

#include <QString>
#include <vector>

namespace veldro {

// Round values (1, 2 and 5 times the powers of ten, or the powers alone when
// that would be more than eight) from 10^lowestLog10 to 10^highestLog10.
std::vector<double> roundLogTicks(double lowestLog10, double highestLog10);

// Such a value with as many decimals as it needs ("0.05", "2", "5000").
QString roundValueText(double value);

// The fewest steps through ticks at these places (pixels, rising or
// falling) that keep the labels at every step-th one `least` pixels apart.
std::size_t labelStride(const std::vector<double>& places, double least);

} // namespace veldro
