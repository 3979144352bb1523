#pragma once

#include "processing/fraser_map.h"
#include "processing/karous_hjelt.h"

#include <QString>

namespace veldro {

class FieldChart;

// What the section and map windows show and `veldro-cli plot kh|map` draws.

// A run's Karous-Hjelt section, depth down; the run must have values.
void showKhSection(FieldChart& chart, const KhRun& run);

// A frequency number's Fraser map with profiles at `lineSpacing` (typed as
// `spacingText`), the stations measured as dots; the map must have values.
void showFraserMap(FieldChart& chart, const FraserMap& map, double lineSpacing,
                   const QString& spacingText);

} // namespace veldro
