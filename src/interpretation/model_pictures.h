#pragma once

#include "interpretation/forward.h"
#include "interpretation/profile_data.h"
#include "processing/graph_plots.h"
#include "processing/layered_field.h"

#include <optional>
#include <vector>

namespace veldro {

// The model's section for a picture: log10(reference / resistivity) on a
// grid of cells across the stations and down past the deepest body or layer
// boundary, each cell the mean of what it holds, so that a sheet thinner than
// a cell still shows. Conductive is positive. With topography the rows are
// elevations (up), the air is left without values, and a cell the surface
// crosses shows what its ground holds.
struct ModelSection {
    LayeredField field;
    double reference = 0;            // ohm.m: the top layer's
    std::optional<double> datum;     // m: the elevation depths count down from, with topography
    std::vector<FieldPoint> surface; // x, elevation across the section, with topography

    // Where a depth below the datum is drawn, and back.
    double drawnY(double z) const { return datum ? *datum - z : z; }
    double depthAt(double y) const { return datum ? *datum - y : y; }
};
ModelSection modelSection(const GroundModel& model);

// A computed quantity against station, in percent.
struct ResponseCurve {
    FittedQuantity quantity = FittedQuantity::Tilt; // tilt or ellipticity
    std::size_t frequency = 0;                      // index into the model's frequencies
    std::vector<std::pair<double, double>> points;  // station, percent
};
// The tilt's and the ellipticity's curves, for each frequency in turn.
std::vector<ResponseCurve> responseCurves(const GroundModel& model,
                                          const std::vector<StationResponse>& responses);

// "Tilt.ver(%) 19800 Hz" and "Ellip.ver(%) 19800 Hz" against station, for
// each frequency in turn.
void plotModelResponse(const GroundModel& model, const std::vector<StationResponse>& responses,
                       GraphSink& graph);

} // namespace veldro
