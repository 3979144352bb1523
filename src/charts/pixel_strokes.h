#pragma once

#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRect>
#include <QRgb>

namespace veldro {

// The pieces a pen draws of a polyline: its segments, or with a dash pattern
// (lengths of dash, gap, dash... in the line's units; empty for a solid line)
// its dashes, the pattern running on from segment to segment.
QList<QLineF> strokePieces(const QPolygonF& line, const QList<qreal>& pattern);

// The 32-bit pixels of an image, `bytesPerLine` apart from row to row, and
// the rectangle of them that may be drawn on.
struct PixelRows {
    uchar* bits = nullptr;
    qsizetype bytesPerLine = 0;
    QRect clip;
};

// Sets to `colour` the pixels whose centres lie in `piece` stroked `width`
// wide with square ends: what a pen draws without smoothing. Many thousands
// of short strokes cost a tenth of what a painter takes for them.
void fillStroke(const PixelRows& pixels, const QLineF& piece, double width, QRgb colour);

} // namespace veldro
