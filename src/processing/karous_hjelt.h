#pragma once

#include "processing/layered_field.h"
#include "processing/station_groups.h"

#include <vector>

namespace veldro {

inline constexpr int kDefaultKhLevels = 8;
inline constexpr int kMostKhLevels = 100;
// A run of fewer station groups gives no value.
inline constexpr int kKhFewestGroups = 6;

// One value of the Karous-Hjelt filter: relative current density (the factor
// of depth step over 2 pi left out), in the tilt's units, positive where the
// Fraser value is positive over a conductor.
struct KhValue {
    int level = 0;    // n: the filter spans groups i to i + 5n
    double x = 0;     // (S(i+2n) + S(i+3n)) / 2
    double depth = 0; // n times the run's spacing
    double value = 0;
};

struct KhRun {
    FraserRun run;
    double spacing = 0;          // the median distance of consecutive groups
    std::vector<KhValue> values; // by level, then from the run's start
};

// The median of |S(j+1) - S(j)| over consecutive groups (the mean of the two
// middle ones for an even count); 0 under two groups. The groups count as
// evenly spaced at this distance, as the Fraser filter takes them.
double medianSpacing(const std::vector<StationGroup>& groups);

// The Karous-Hjelt filter of the vertical tilt over each run's station groups,
// levels 1 to `levels` as far as the groups reach; a KhRun per run in the
// order of the curve indices, runs without a value included.
std::vector<KhRun> karousHjelt(const std::vector<RunGroups>& runs, int levels);
std::vector<KhRun> karousHjelt(const SurveyView& survey, int levels);

// A run's values as a section: a line per level at its depth, half a spacing
// of cell around each value.
LayeredField khSectionField(const KhRun& run);

} // namespace veldro
