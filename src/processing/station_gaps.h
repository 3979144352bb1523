#pragma once

#include "processing/fraser_walk.h"

#include <vector>

namespace veldro {

// The Fraser filter takes four consecutive station groups whatever their
// spacing. A value is marked when one of the three spacings between its four
// groups (|S1 - S0|, |S2 - S1|, |S3 - S2|) differs from the median of all such
// spacings of its curve's values by more than half that median. One flag per
// value, in the order given.
std::vector<bool> stationGapMarks(const std::vector<FraserValue>& values);

} // namespace veldro
