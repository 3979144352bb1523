#pragma once

#include <QSize>
#include <QString>
#include <functional>

class QPrinter;
class QPushButton;
class QStatusBar;
class QVBoxLayout;
class QWidget;

namespace veldro {

class UiServices;

// The panel at the left of the chart windows: this wide, its buttons this high.
inline constexpr int kPanelWidth = 120;
inline constexpr int kPanelButtonHeight = 25;
QPushButton* panelButton(const QString& caption, const char* name, const QString& tip = {});
// Makes `panel` the panel's width, its parts stacked edge to edge in the
// layout returned.
QVBoxLayout* stackPanel(QWidget& panel);
// Lays `window` out as the chart windows are: `panel` at the left, `content`
// filling the rest, over the status line returned for the caller to fill.
QStatusBar* layOutPanelWindow(QWidget& window, QWidget* panel, QWidget* content);

// A chart window opens at the size it had when last closed (kept in the
// settings under `name`), else at its own, and at least at what its content
// needs.
void keepWindowSize(QWidget& window, const QString& name);

// " Print ": `print` (a chart, or charts laid out together) on the default
// printer, the user told when there is none or the job failed.
void printChartOn(UiServices& ui, const std::function<bool(QPrinter&)>& print);
// "Save image...": `save` writes the picture as PNG, SVG or PDF in a file the
// user picks starting at `proposed`, at the size the user asks for (the size
// last asked for, else one that prints well), and says what went wrong; that
// is told.
void saveChartImageAs(UiServices& ui, const QString& proposed,
                      const std::function<QString(const QString& path, QSize size)>& save);

} // namespace veldro
