#pragma once

#include <cstddef>
#include <vector>

namespace veldro {

// The cells whose resistivities an inversion seeks: two across each station
// spacing, a few widening ones outside the stations, and rows that thicken
// down to some 1.5 skin depths of the starting ground at the lowest frequency.
struct InversionMesh {
    std::vector<double> x; // cell edges across (m), ascending
    std::vector<double> z; // cell edges down (m), from 0

    std::size_t columns() const { return x.size() - 1; }
    std::size_t rows() const { return z.size() - 1; }
    std::size_t cells() const { return columns() * rows(); } // row after row from the top
};

// Stations ascending, at least two; frequencies in Hz.
InversionMesh inversionMesh(const std::vector<double>& stations,
                            const std::vector<double>& frequencies, double startResistivity);

} // namespace veldro
