#pragma once

#include "interpretation/forward.h"
#include "interpretation/model_pictures.h"
#include "interpretation/ui/resistivity_section_chart.h"

namespace veldro {

class FieldChart;
class FitChart;
class GridBodies;

// A model whose first bodies are an inverted section's grid, as the
// inversion draws it: the cells in ohm.m, faded where the data hardly see
// them, the bodies after the grid painted over it in the same colours.
class ModelGridChart : public ResistivitySectionChart {
public:
    ModelGridChart();
    ~ModelGridChart() override;

    // `model` must hold a grid; without its sensitivity no cell fades.
    void showModel(const GroundModel& model);

private:
    friend class GridBodies;

    std::vector<Body> bodies_; // those after the grid's cells
    GridBodies* overGrid_;
};

// The model's computed tilt and ellipticity as lines, with a profile's
// observed data (or none) as dots with their error bars, as the inversion's
// picture draws its fit: a curve per quantity and frequency, an observed
// one joining the computed one of its frequency.
void showModelFit(FitChart& chart, const GroundModel& model,
                  const std::vector<StationResponse>& responses, const ProfileData& observed);

// The chart a model's section is drawn on, and what the field's shows.
struct ShownSection {
    StationChart* chart = nullptr;
    ModelSection drawn; // empty for a grid
};
// Draws a model's section on the chart of its kind: an inverted grid on
// `grid`, in ohm.m as the inversion draws it; any other model on `field`, in
// colours of log resistivity, depth down (with topography, elevation up).
// What `veldro-cli plot model` draws and the model window shows.
ShownSection showModelSection(FieldChart& field, ModelGridChart& grid, const GroundModel& model);

// The curves chart of a model beside its section: legend below, and the
// section's margins and station range, so that a station lies at the same
// place on both. Call after the curves are in.
void alignWithSection(StationChart& curves, const StationChart& section);

} // namespace veldro
