#pragma once

#include "processing/layered_field.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace veldro {

class SurveyView;

// One profile of a Fraser map: the Fraser values of its runs of one frequency
// number, and the stations measured (its station groups).
struct FraserMapLine {
    int profile = 0;
    std::vector<FieldPoint> values; // x and F, failed values left out
    std::vector<int> stations;      // ascending, each once
};

struct FraserMap {
    int frequencyNumber = 1;
    std::vector<FraserMapLine> lines; // by profile; profiles with a station only
    bool hasValues() const;
};

// The maps of frequency #1 and #2 from one Fraser walk.
std::array<FraserMap, 2> fraserMaps(const SurveyView& survey);

// What a line spacing must be, said when it is not.
inline constexpr const char* kLineSpacingWanted =
    "The line spacing is a number above 0 and up to 100000, such as 1 or 25.";
// A line spacing as typed, with the process-wide decimal separator; nothing
// when it is not a number above 0 and up to 100000.
std::optional<double> readLineSpacing(std::string_view text);

// The map's values as a field: each profile a line at profile times
// `lineSpacing` (> 0), with half a spacing beyond the outer profiles;
// between profiles one spacing apart the values are interpolated at each
// station. A profile without values (no tilt data) leaves a gap: the profiles
// either side hold for half a spacing and the rest stays blank, rather than
// painting made-up values where nothing was measured.
LayeredField fraserMapField(const FraserMap& map, double lineSpacing);

} // namespace veldro
