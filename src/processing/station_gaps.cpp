#include "processing/station_gaps.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace veldro {

namespace {

std::array<int, 3> spacings(const FraserValue& v) {
    const std::array<int, 4>& s = v.stations;
    return {std::abs(s[1] - s[0]), std::abs(s[2] - s[1]), std::abs(s[3] - s[2])};
}

// The middle value; for an even count the mean of the two middle ones.
double median(std::vector<int>& values) {
    const std::size_t half = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(half), values.end());
    const double upper = values[half];
    if (values.size() % 2 == 1) return upper;
    const double lower =
        *std::max_element(values.begin(), values.begin() + static_cast<long>(half));
    return (lower + upper) / 2;
}

} // namespace

std::vector<bool> stationGapMarks(const std::vector<FraserValue>& values) {
    std::unordered_map<int, std::vector<int>> byCurve;
    for (const FraserValue& v : values)
        for (int spacing : spacings(v)) byCurve[v.curve].push_back(spacing);
    std::unordered_map<int, double> medians;
    for (auto& [curve, curveSpacings] : byCurve) medians[curve] = median(curveSpacings);

    std::vector<bool> marks;
    marks.reserve(values.size());
    for (const FraserValue& v : values) {
        const double m = medians[v.curve];
        const std::array<int, 3> own = spacings(v);
        marks.push_back(std::any_of(own.begin(), own.end(),
                                    [m](int spacing) { return std::abs(spacing - m) > m / 2; }));
    }
    return marks;
}

} // namespace veldro
