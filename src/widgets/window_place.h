#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace veldro {

// Where a window goes on a screen whose free area (the screen without its
// panels and task bars) is `free`: `wanted` is the window's geometry inside
// its frame, `frame` the title bar and borders the window manager puts
// around it. The result keeps the wanted size and place as far as they fit:
// the window, frame included, is no larger than the free area and lies in it.
QRect fitToScreen(const QRect& wanted, const QMargins& frame, const QRect& free);

// The title bar and borders around `window`: the window manager's, as far
// as it is known before the window is shown.
QMargins windowFrame(const QWidget& window);

// Fits a top-level window to the free area of its screen, frame included,
// before it is shown (and lets its layout shrink to that). A window not placed
// yet is centred over the window it belongs to, or on the screen.
void fitOnScreen(QWidget& window);

} // namespace veldro
