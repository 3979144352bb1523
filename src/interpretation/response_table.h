#pragma once

#include "interpretation/forward.h"

#include <string>
#include <vector>

namespace veldro {

// The response as tab-separated text with '.' decimals, one line per station
// and frequency after the header; the computed values with 4 decimals.
std::string responseTable(const std::vector<StationResponse>& responses);

} // namespace veldro
