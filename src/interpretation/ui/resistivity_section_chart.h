#pragma once

#include "charts/station_chart.h"
#include "interpretation/ground_model.h"
#include "interpretation/inversion_mesh.h"
#include "interpretation/ui/log_ticks.h"

#include <QRgb>
#include <optional>
#include <utility>
#include <vector>

namespace veldro {

class SectionCells;
class ResistivityBar;

// Colours of resistivity on a log scale between round ends (1, 2 or 5 times
// a power of ten): conductive red through yellow and green to resistive blue.
// No white or grey in it, so that a faded cell reads as faded.
class ResistivityScale {
public:
    // Round ends around the log10 resistivities given (some width around one value).
    static ResistivityScale covering(double lowestLog10, double highestLog10);

    double lowest() const { return lowest_; } // log10 ohm.m
    double highest() const { return highest_; }
    QRgb colour(double log10Resistivity) const;
    // Labelled values (ohm.m): round ones from end to end.
    std::vector<double> ticks() const { return roundLogTicks(lowest_, highest_); }

private:
    double lowest_ = 0, highest_ = 1;
};

// The log10 resistivities a section's colours span unless fixed: those of
// the cells the data see (sensitivity from ResistivitySectionChart::kSeen
// up), else of all.
std::pair<double, double> seenLog10Range(const std::vector<double>& log10Resistivity,
                                         const std::vector<double>& sensitivity);

// An inverted section: each cell in the colour of its resistivity, faded
// where the data hardly see it, a tick at the surface per station, depth
// down (elevation up under hills),
// the colour bar in ohm.m at the right and a note of what fading means below.
class ResistivitySectionChart : public StationChart {
public:
    // Cells of the mesh fade below this sensitivity.
    static constexpr double kSeen = 0.5;

    ResistivitySectionChart();
    ~ResistivitySectionChart() override;

    // Per cell of the mesh, row after row from the top: log10 resistivity and
    // sensitivity (0 to 1).
    void setSection(InversionMesh mesh, std::vector<double> log10Resistivity,
                    std::vector<double> sensitivity, std::vector<double> stations);
    const ResistivityScale& scale() const { return scale_; }
    // Colours between fixed ends (ohm.m, rounded out to round values), so
    // that sections compare side by side; nothing: the range of the cells
    // the data see, as before.
    void setFixedRange(std::optional<std::pair<double, double>> ohmm);
    // The colour a cell is drawn in.
    QRgb cellColour(std::size_t cell) const;
    // The surface the cells follow, with relief: each cell drawn as the
    // parallelogram it is, the vertical axis in elevation, the surface a
    // line. None (or a flat one): depth down.
    void setTopography(std::vector<TerrainPoint> topography);
    // Where a depth below the surface at x is drawn on the vertical axis.
    double drawnY(double x, double depth) const;

    // The stations across, the whole mesh down.
    void showWholeRange() override;

private:
    friend class SectionCells;
    friend class ResistivityBar;

    void makeRoom();
    // Where a depth below the datum is drawn on the vertical axis.
    double datumY(double z) const { return datum_ ? *datum_ - z : z; }
    // The scale from the fixed range, else from the cells.
    void rescale();

    InversionMesh mesh_;
    std::vector<double> log10Resistivity_, sensitivity_, stations_;
    std::vector<TerrainPoint> topography_;
    std::optional<double> datum_; // m: the elevation depths count down from, with relief
    ResistivityScale scale_;
    std::optional<std::pair<double, double>> fixedRange_;
    SectionCells* cells_;
    ResistivityBar* bar_;
};

} // namespace veldro
