#pragma once

#include <QIcon>
#include <QPixmap>

namespace veldro::icons {

// The row images of the table: a ticked box for a kept row, an empty one for an ignored row.
const QPixmap& keptBox();
const QPixmap& ignoredBox();
// The header mark of the columns that can be plotted.
const QPixmap& lineChart();

// The transmitter mast of the application icon, with `waves` arcs (0 to 5).
QIcon applicationIcon(int waves = 0);

// The link picture of the status bar for COM 1 to COM 4; null for other choices.
QPixmap portPicture(int portNumber);

enum class Tool { Open, OpenLast, Save, Export, Download, Comments, Help };
// The desktop theme's icon when it has one, else our own drawing.
QIcon toolIcon(Tool tool);

} // namespace veldro::icons
