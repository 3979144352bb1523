#pragma once

#include "data/station_positions.h"
#include "interpretation/ground_model.h"
#include "interpretation/inversion_mesh.h"

#include <Eigen/Dense>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace veldro {

// What a borehole found between two depths: a resistivity (0 when not
// measured) and/or a free label.
struct BoreholeInterval {
    double from = 0, to = 0; // m down
    double resistivity = 0;  // ohm.m
    std::string label;
    bool operator==(const BoreholeInterval&) const = default;
};

struct Borehole {
    std::string name;
    int profile = 0;
    double station = 0;
    std::vector<BoreholeInterval> intervals;
    // Where the file puts it on the map, when it gives easting and northing
    // rather than the profile and station, which placeBoreholes then finds.
    std::optional<PlanPoint> plan{};
    bool operator==(const Borehole&) const = default;
};

// A borehole file that cannot be used: what() names the line and the reason.
class BoreholeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A borehole file, CSV: a heading line "name,profile,station" (or
// "name,easting,northing"), then per borehole a line of those, followed by
// its intervals under the heading "from,to,resistivity,label" (resistivity
// or label may be empty). A heading holds for the boreholes after it.
std::vector<Borehole> parseBoreholes(const std::string& text);
// The borehole file at `path`; throws FileError when it cannot be read, and
// BoreholeError for what it holds.
std::vector<Borehole> readBoreholes(const std::string& path);

// The boreholes given by easting and northing, placed on the nearest line
// of stations with a map position: their profile, and the station where
// they project onto it between two of its stations. Throws BoreholeError
// naming the hole when no two stations of a profile have a map position, or
// when the hole lies farther from every line than the stations' spacing
// where it comes nearest.
std::vector<Borehole> placeBoreholes(std::vector<Borehole> boreholes,
                                     const StationPositions& positions);

// What is known of the ground before the data.
struct PriorKnowledge {
    std::optional<GroundModel> start;     // the section the inversion starts from
    std::optional<GroundModel> reference; // the roughness is measured from it
    std::optional<GroundModel> fixed;     // cells inside its bodies keep their resistivity
    std::vector<Borehole> boreholes{};    // their intervals with a resistivity tie the cells
    // How firmly a borehole's resistivity ties the cells it crosses, against
    // the roughness between two cells; 0 fixes them.
    double boreholeWeight = 10;
};

// Per cell of an inversion mesh (row after row from the top), in log10 ohm.m.
struct CellPrior {
    Eigen::VectorXd start, reference;
    Eigen::VectorXd lowest, highest; // the same for a cell held fixed
    Eigen::VectorXd tieWeight;       // 0 for a cell no borehole ties
    Eigen::VectorXd tieValue;
};

// The cells' prior of one profile's mesh: uniform grounds of the starting
// resistivity unless models are given; a model's resistivity at a cell's
// centre; the boreholes on `profile` at their stations' cells.
CellPrior cellPrior(const InversionMesh& mesh, const PriorKnowledge& prior, double startResistivity,
                    int profile);

} // namespace veldro
