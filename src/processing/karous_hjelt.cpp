#include "processing/karous_hjelt.h"

#include "data/survey_view.h"

#include <algorithm>
#include <cstdlib>

namespace veldro {

namespace {

// Term by term from the oldest group, in double from the float averages. The
// file is built without contraction into fused multiply-adds, so the sum
// rounds as written.
double khFilter(const std::vector<float>& a, std::size_t i, std::size_t n) {
    return 0.102 * a[i] - 0.059 * a[i + n] + 0.561 * a[i + 2 * n] - 0.561 * a[i + 3 * n] +
           0.059 * a[i + 4 * n] - 0.102 * a[i + 5 * n];
}

KhRun khRun(const RunGroups& run, int levels) {
    KhRun kh{run.run, medianSpacing(run.groups), {}};
    const std::vector<StationGroup>& groups = run.groups;
    const std::size_t g = groups.size();
    if (g < kKhFewestGroups) return kh;
    std::vector<float> averages(g);
    std::transform(groups.begin(), groups.end(), averages.begin(),
                   [](const StationGroup& group) { return group.average(); });
    for (std::size_t n = 1; 5 * n <= g - 1 && n <= static_cast<std::size_t>(levels); ++n)
        for (std::size_t i = 0; i + 5 * n <= g - 1; ++i)
            kh.values.push_back(
                {static_cast<int>(n),
                 (static_cast<double>(groups[i + 2 * n].station) + groups[i + 3 * n].station) / 2,
                 static_cast<double>(n) * kh.spacing, khFilter(averages, i, n)});
    return kh;
}

} // namespace

double medianSpacing(const std::vector<StationGroup>& groups) {
    if (groups.size() < 2) return 0;
    std::vector<int> steps;
    steps.reserve(groups.size() - 1);
    for (std::size_t j = 0; j + 1 < groups.size(); ++j)
        steps.push_back(std::abs(groups[j + 1].station - groups[j].station));
    const std::size_t middle = steps.size() / 2;
    std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(middle),
                     steps.end());
    const double upper = steps[middle];
    if (steps.size() % 2 == 1) return upper;
    const double lower =
        *std::max_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(middle));
    return (lower + upper) / 2;
}

std::vector<KhRun> karousHjelt(const std::vector<RunGroups>& runs, int levels) {
    std::vector<KhRun> kh;
    kh.reserve(runs.size());
    for (const RunGroups& run : runs) kh.push_back(khRun(run, levels));
    return kh;
}

LayeredField khSectionField(const KhRun& run) {
    std::vector<FieldLine> levels;
    for (const KhValue& v : run.values) {
        if (levels.empty() || levels.back().y != v.depth) levels.push_back({v.depth, {}});
        levels.back().points.push_back({v.x, v.value});
    }
    return LayeredField(std::move(levels), run.spacing / 2, run.spacing / 2);
}

std::vector<KhRun> karousHjelt(const SurveyView& survey, int levels) {
    return karousHjelt(runStationGroups(survey), levels);
}

} // namespace veldro
