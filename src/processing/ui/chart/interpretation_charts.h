#pragma once

#include "interpretation/forward.h"
#include "processing/fraser_map.h"
#include "processing/karous_hjelt.h"

#include <QString>

namespace veldro {

class FieldChart;
class GraphChart;

// What the section and map windows show and `veldro-cli plot kh|map` draws.

// A run's Karous-Hjelt section, depth down; the run must have values.
void showKhSection(FieldChart& chart, const KhRun& run);

// A frequency number's Fraser map with profiles at `lineSpacing` (typed as
// `spacingText`), the stations measured as dots; the map must have values.
void showFraserMap(FieldChart& chart, const FraserMap& map, double lineSpacing,
                   const QString& spacingText);

// A ground model's section in colours of log resistivity, depth down: what
// `veldro-cli plot model` draws and the model window shows.
void showModelSection(FieldChart& chart, const GroundModel& model);
// The curves chart of a model beside its section: legend below, and the
// section's margins and station range, so that a station lies at the same
// place on both. Call after the curves are in.
void alignWithSection(GraphChart& curves, const FieldChart& section);

} // namespace veldro
