#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

namespace veldro::icons {

// The row images of the table: a ticked box for a kept row, an empty one for an ignored row.
const QPixmap& keptBox();
const QPixmap& ignoredBox();
// The header mark of the columns that can be plotted.
const QPixmap& lineChart();

// The transmitter mast of the application icon, with `waves` arcs (0 to 5).
QIcon applicationIcon(int waves = 0);
// Paints that mast on a 32 x 32 canvas; scale the painter for other sizes.
// The desktop's icon files are rendered from it too.
void paintMast(QPainter& painter, int waves);

// The link pictures of the status bar, 47 x 15: 0 the word "USB" beside a
// cable plug, crossed out (no converter attached); 1 the same, not crossed out;
// 2 to 5 "COM 1" to "COM 4". Null for any other index.
QPixmap linkPicture(int index);

enum class Tool { Open, OpenLast, Save, Export, Download, Comments, Help, Print, Font, Colour };
// The desktop theme's icon when it has one, else our own drawing.
QIcon toolIcon(Tool tool);

} // namespace veldro::icons
