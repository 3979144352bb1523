#pragma once

#include "interpretation/forward.h"

namespace veldro {

class FieldChart;
class GraphChart;

// A ground model's section in colours of log resistivity, depth down: what
// `veldro-cli plot model` draws and the model window shows.
void showModelSection(FieldChart& chart, const GroundModel& model);
// The curves chart of a model beside its section: legend below, and the
// section's margins and station range, so that a station lies at the same
// place on both. Call after the curves are in.
void alignWithSection(GraphChart& curves, const FieldChart& section);

} // namespace veldro
