#pragma once

#include <QPolygonF>

namespace veldro {

// A polyline in device pixels cut down to what the pixels can show: of each
// run of consecutive points in one pixel column only the first, the lowest,
// the highest and the last are kept, in their order. Drawn, it covers the
// pixels the whole line covers; a curve of 64000 points keeps at most four
// per column.
QPolygonF reduceToPixelColumns(const QPolygonF& line);

} // namespace veldro
