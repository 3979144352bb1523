#include "data/station_positions.h"

#include "data/measurement_record.h"
#include "data/survey_view.h"

#include <algorithm>
#include <stdexcept>

namespace veldro {

namespace {

// A profile's list names its stations up to this many, else counts them.
constexpr std::size_t kNamedStations = 6;

bool byKey(const StationPosition& a, const StationPosition& b) {
    return a.key < b.key;
}

// The kept stations of the view, sorted, each once.
std::vector<StationKey> keptStations(const SurveyView& survey) {
    std::vector<StationKey> keys;
    for (int row = 0; row < survey.size(); ++row)
        if (survey.kept(row))
            keys.push_back({survey.record(row).profile, survey.record(row).station});
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

// One line per profile; `keys` sorted.
void appendStationList(std::string& out, const std::vector<StationKey>& keys,
                       std::size_t mostProfiles) {
    std::size_t profiles = 0;
    for (auto first = keys.begin(); first != keys.end();) {
        const auto end = std::find_if(first, keys.end(), [&](const StationKey& key) {
            return key.profile != first->profile;
        });
        if (++profiles <= mostProfiles) {
            out += "\nprofile " + std::to_string(first->profile) + ": ";
            const auto count = static_cast<std::size_t>(end - first);
            if (count > kNamedStations) {
                out += std::to_string(count) + " stations from " + std::to_string(first->station) +
                       " to " + std::to_string((end - 1)->station);
            } else {
                for (auto key = first; key != end; ++key)
                    out += (key == first ? "" : ", ") + std::to_string(key->station);
            }
        }
        first = end;
    }
    if (profiles > mostProfiles)
        out += "\nand " + std::to_string(profiles - mostProfiles) + " more profiles";
}

} // namespace

StationPositions::StationPositions(std::vector<StationPosition> positions)
    : positions_(std::move(positions)) {
    std::sort(positions_.begin(), positions_.end(), byKey);
    const auto twice = std::adjacent_find(
        positions_.begin(), positions_.end(),
        [](const StationPosition& a, const StationPosition& b) { return a.key == b.key; });
    if (twice != positions_.end())
        throw std::invalid_argument("two positions of profile " +
                                    std::to_string(twice->key.profile) + " station " +
                                    std::to_string(twice->key.station));
}

const StationPosition* StationPositions::find(StationKey key) const {
    const auto at = std::lower_bound(
        positions_.begin(), positions_.end(), key,
        [](const StationPosition& position, StationKey wanted) { return position.key < wanted; });
    return at != positions_.end() && at->key == key ? &*at : nullptr;
}

int PositionMatch::stations() const {
    int count = 0;
    for (const ProfileMatch& p : profiles) count += p.stations;
    return count;
}

int PositionMatch::matched() const {
    int count = 0;
    for (const ProfileMatch& p : profiles) count += p.matched;
    return count;
}

const ProfileMatch* PositionMatch::profile(int profile) const {
    const auto at = std::find_if(profiles.begin(), profiles.end(),
                                 [profile](const ProfileMatch& p) { return p.profile == profile; });
    return at == profiles.end() ? nullptr : &*at;
}

PositionMatch matchPositions(const SurveyView& survey) {
    PositionMatch match;
    const std::vector<StationPosition>& positions = survey.positions().all();
    auto position = positions.begin();
    for (const StationKey& key : keptStations(survey)) {
        for (; position != positions.end() && position->key < key; ++position)
            match.unused.push_back(position->key);
        if (match.profiles.empty() || match.profiles.back().profile != key.profile)
            match.profiles.push_back({key.profile, 0, 0});
        ++match.profiles.back().stations;
        if (position != positions.end() && position->key == key) {
            ++match.profiles.back().matched;
            ++position;
        } else {
            match.unplaced.push_back(key);
        }
    }
    for (; position != positions.end(); ++position) match.unused.push_back(position->key);
    return match;
}

std::string matchedText(const PositionMatch& match) {
    return std::to_string(match.matched()) + " of " + std::to_string(match.stations()) +
           " stations matched";
}

std::string matchReport(const PositionMatch& match, std::size_t mostProfiles) {
    std::string out = matchedText(match);
    if (!match.unplaced.empty()) {
        out += "\nStations without a position:";
        appendStationList(out, match.unplaced, mostProfiles);
    }
    if (!match.unused.empty()) {
        out += "\nRows matching no station:";
        appendStationList(out, match.unused, mostProfiles);
    }
    return out;
}

} // namespace veldro
