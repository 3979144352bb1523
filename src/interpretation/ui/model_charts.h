#pragma once

#include "interpretation/forward.h"
#include "interpretation/model_pictures.h"

namespace veldro {

class FieldChart;
class GraphChart;

// A ground model's section in colours of log resistivity, depth down (with
// topography, elevation up): what `veldro-cli plot model` draws and the model
// window shows. Returns what was drawn, for what is drawn over it.
ModelSection showModelSection(FieldChart& chart, const GroundModel& model);
// The curves chart of a model beside its section: legend below, and the
// section's margins and station range, so that a station lies at the same
// place on both. Call after the curves are in.
void alignWithSection(GraphChart& curves, const FieldChart& section);

} // namespace veldro
