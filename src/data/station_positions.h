#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace veldro {

class SurveyView;

// A station of the data set: the record's profile and station numbers.
struct StationKey {
    int profile = 0;
    int station = 0;

    bool operator==(const StationKey&) const = default;
    // By profile, then station.
    bool operator<(const StationKey& other) const {
        return std::tie(profile, station) < std::tie(other.profile, other.station);
    }
};

// Where a station lies on the map, in metres.
struct PlanPoint {
    double easting = 0;
    double northing = 0;

    bool operator==(const PlanPoint&) const = default;
};

// A station's position as a positions file gives it: its place on the map,
// its height, or both (metres).
struct StationPosition {
    StationKey key;
    std::optional<PlanPoint> plan;
    std::optional<double> elevation;

    bool operator==(const StationPosition&) const = default;
};

// The positions of a survey's stations, looked up by profile and station.
// Read-only once made; held beside the data set it describes.
class StationPositions {
public:
    StationPositions() = default;
    // Throws std::invalid_argument when two positions share a station.
    explicit StationPositions(std::vector<StationPosition> positions);

    // The station's position, or nullptr when it has none.
    const StationPosition* find(StationKey key) const;
    // Every position, by profile then station.
    const std::vector<StationPosition>& all() const { return positions_; }
    bool empty() const { return positions_.empty(); }
    std::size_t size() const { return positions_.size(); }

private:
    std::vector<StationPosition> positions_;
};

// One profile's kept stations and how many of them have a position.
struct ProfileMatch {
    int profile = 0;
    int stations = 0;
    int matched = 0;
};

// The positions a data set's kept stations found, and what is left over on
// either side.
struct PositionMatch {
    std::vector<ProfileMatch> profiles; // each profile with kept records, ascending
    std::vector<StationKey> unplaced;   // kept stations without a position
    std::vector<StationKey> unused;     // positions of no kept station

    int stations() const;
    int matched() const;
    // The profile's counts; nullptr for a profile without kept records.
    const ProfileMatch* profile(int profile) const;
};

// Matches the view's positions with its kept stations (of any mode and frequency).
PositionMatch matchPositions(const SurveyView& survey);

// "41 of 43 stations matched".
std::string matchedText(const PositionMatch& match);
// The matched text, then the stations without a position and the
// positions of no station, each by profile ("profile 3: 250, 275", or
// "profile 19: 29 stations from 300 to 1000" for many); past `mostProfiles`
// profiles a list ends with "and N more profiles".
std::string matchReport(const PositionMatch& match, std::size_t mostProfiles);

} // namespace veldro
