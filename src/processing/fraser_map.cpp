#include "processing/fraser_map.h"

#include "data/number_text.h"
#include "data/survey_view.h"
#include "processing/station_groups.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace veldro {

namespace {

struct Values : FraserVisitor {
    std::vector<FraserValue> all;
    void value(const FraserValue& v) override { all.push_back(v); }
};

} // namespace

bool FraserMap::hasValues() const {
    return std::any_of(lines.begin(), lines.end(),
                       [](const FraserMapLine& line) { return !line.values.empty(); });
}

std::array<FraserMap, 2> fraserMaps(const SurveyView& survey) {
    const std::vector<RunGroups> runs = runStationGroups(survey);
    Values values;
    walkFraser(survey, values);
    // Runs of one profile (an interrupted one, say) share its line.
    std::array<std::map<int, FraserMapLine>, 2> lines;
    auto lineOf = [&lines](const FraserRun& run) -> FraserMapLine& {
        FraserMapLine& line = lines[static_cast<std::size_t>(run.frequencyNumber - 1)][run.profile];
        line.profile = run.profile;
        return line;
    };
    for (const RunGroups& run : runs) {
        if (run.groups.empty()) continue;
        FraserMapLine& line = lineOf(run.run);
        for (const StationGroup& group : run.groups) line.stations.push_back(group.station);
    }
    // Both walks detect the same runs, so a value's curve is a run of `runs`.
    for (const FraserValue& v : values.all)
        if (std::fabs(v.value) < kFraserFailed)
            lineOf(runs[static_cast<std::size_t>(v.curve)].run).values.push_back({v.x, v.value});

    std::array<FraserMap, 2> maps;
    for (std::size_t k = 0; k < maps.size(); ++k) {
        maps[k].frequencyNumber = static_cast<int>(k) + 1;
        for (auto& [profile, line] : lines[k]) {
            std::sort(line.stations.begin(), line.stations.end());
            line.stations.erase(std::unique(line.stations.begin(), line.stations.end()),
                                line.stations.end());
            maps[k].lines.push_back(std::move(line));
        }
    }
    return maps;
}

std::optional<double> readLineSpacing(std::string_view text) {
    double spacing = 0;
    if (!parseUserNumber(text, spacing) || !(spacing > 0) || spacing > 100000) return std::nullopt;
    return spacing;
}

LayeredField fraserMapField(const FraserMap& map, double lineSpacing) {
    std::vector<FieldLine> lines;
    for (const FraserMapLine& line : map.lines)
        lines.push_back({line.profile * lineSpacing, line.values});
    // Profile numbers are whole, so neighbours are one spacing apart; the slack
    // only absorbs rounding.
    return LayeredField(std::move(lines), 0, lineSpacing / 2, lineSpacing * 1.001);
}

} // namespace veldro
