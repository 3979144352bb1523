#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace veldro {

// A 2D section of the ground: x along the profile (m), z down from the datum
// (m): the surface, or with topography its highest point; uniform along the
// strike.
struct Layer {
    double thickness = 0; // m; the last layer reaches down without end
    double resistivity = 0;
    bool operator==(const Layer&) const = default;
};

struct SectionPoint {
    double x = 0;
    double z = 0;
    bool operator==(const SectionPoint&) const = default;
};

// A body painted over the layers. Sheets are kept as the polygon they span;
// a grid (what an inversion writes back) as one rectangle per cell.
struct Body {
    std::vector<SectionPoint> polygon; // in either turning direction
    double resistivity = 0;
    bool operator==(const Body&) const = default;
};

// A point of the ground's surface along the profile; linear between points,
// flat beyond the ends.
struct TerrainPoint {
    double x = 0;
    double elevation = 0; // m, up
    bool operator==(const TerrainPoint&) const = default;
};

// An inverted section's cells kept as one grid, so that a model file read
// and written stays the same file and a window shows it as one thing. Its
// cells are also the model's first bodies, row after row from the top, which
// is how the solver reads them.
struct CellGrid {
    std::vector<double> x; // cell edges across (m), rising
    std::vector<double> z; // cell edges down (m), rising, from 0 or deeper
    // Per cell, how well the data see it (0 to 1), for the section's fading;
    // empty when not known.
    std::vector<double> sensitivity;
    std::size_t cells() const { return (x.size() - 1) * (z.size() - 1); }
    bool operator==(const CellGrid&) const = default;
};

struct GroundModel {
    std::vector<Layer> layers;            // from the surface down, following it
    std::vector<Body> bodies;             // painted in order, later over earlier
    std::optional<CellGrid> grid;         // when the first bodies are its cells; never under hills
    std::vector<double> stations;         // m, ascending, each once
    std::vector<double> frequencies;      // Hz, as listed
    std::vector<TerrainPoint> topography; // by x; none for a flat surface
    bool operator==(const GroundModel&) const = default;

    // How many of the first bodies are the grid's cells: the bodies after
    // them are drawn and edited one by one.
    std::size_t gridCells() const { return grid ? grid->cells() : 0; }
};

// A model file that cannot be used: what() names the key and the reason,
// e.g. "layers[1].resistivity: must be a number above 0".
class ModelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

GroundModel parseGroundModel(const std::string& json);
// The model file at `path`; throws FileError when it cannot be read, and
// ModelError for what it holds.
GroundModel readGroundModel(const std::string& path);
// The model as a file that reads back to the same model, to the last bit:
// the grid as one, the other bodies as polygons, stations as a list.
std::string groundModelJson(const GroundModel& model);

// The polygon a thin sheet spans: top centre (x, top), `extent` metres down
// the dip, dip in degrees from horizontal (below 90 leaning towards larger x).
std::vector<SectionPoint> sheetPolygon(double x, double top, double extent, double dip,
                                       double thickness);

} // namespace veldro
