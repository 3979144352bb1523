#pragma once

#include <QString>

class QGraphicsWidget;
class QPushButton;

namespace veldro {

class UiServices;

// The panel at the left of the chart windows: this wide, its buttons this high.
inline constexpr int kPanelWidth = 120;
inline constexpr int kPanelButtonHeight = 25;
QPushButton* panelButton(const QString& caption, const char* name);

// " Print ": the chart (or charts laid out together) on the default printer,
// the user told when there is none or the job failed.
void printChartOn(UiServices& ui, QGraphicsWidget& chart);
// "Save image...": the chart as PNG, SVG or PDF, in a file the user picks
// starting at `proposed`; what went wrong is told.
void saveChartImageAs(UiServices& ui, QGraphicsWidget& chart, const QString& title,
                      const QString& proposed);

} // namespace veldro
