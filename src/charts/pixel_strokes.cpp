#include "charts/pixel_strokes.h"

#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

double lengthOf(const QLineF& line) {
    const QPointF d = line.p2() - line.p1();
    return std::sqrt(QPointF::dotProduct(d, d));
}

// The first whole number at or above `v`, kept within [low, high] (low not
// below 0).
int ceilWithin(double v, int low, int high) {
    v = std::clamp(v, static_cast<double>(low), static_cast<double>(high));
    const int whole = static_cast<int>(v);
    return whole + (whole < v);
}

// The points within `half` of a centre along the unit vector (kx, ky): on a
// row `dy` below the centre, those `reach` either side of the centre's x
// plus dy * slope (the whole row where kx is 0).
struct Slab {
    double reach = INFINITY, slope = 0;
    Slab(double kx, double ky, double half) {
        if (kx == 0) return;
        reach = std::abs(half / kx);
        slope = -ky / kx;
    }
};

} // namespace

QList<QLineF> strokePieces(const QPolygonF& line, const QList<qreal>& pattern) {
    QList<QLineF> pieces;
    if (pattern.isEmpty()) {
        for (qsizetype i = 0; i + 1 < line.size(); ++i) pieces.append({line[i], line[i + 1]});
        return pieces;
    }
    qsizetype dash = 0;
    double left = pattern[0]; // of the current dash or gap
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        const QLineF segment(line[i], line[i + 1]);
        const double length = lengthOf(segment);
        double at = 0;
        while (length - at > left) {
            if (dash % 2 == 0 && left > 0)
                pieces.append(
                    {segment.pointAt(at / length), segment.pointAt((at + left) / length)});
            at += left;
            dash = (dash + 1) % pattern.size();
            left = pattern[dash];
        }
        if (dash % 2 == 0 && length > at)
            pieces.append({length > 0 ? segment.pointAt(at / length) : segment.p1(), segment.p2()});
        left -= length - at;
    }
    return pieces;
}

// A stroke with square ends is a rectangle: the points within half its
// length plus half the width along it, and within half the width across.
void fillStroke(const PixelRows& pixels, const QLineF& piece, double width, QRgb colour) {
    if (pixels.clip.isEmpty()) return;
    const double length = lengthOf(piece);
    const QPointF unit = length > 0 ? (piece.p2() - piece.p1()) / length : QPointF(1, 0);
    const QPointF centre = piece.center();
    const double along = (length + width) / 2, across = width / 2;
    const Slab lengthwise(unit.x(), unit.y(), along), crosswise(-unit.y(), unit.x(), across);
    const double reach = along * std::abs(unit.y()) + across * std::abs(unit.x());
    // Rows and columns whose centres lie in [top, bottom) and [left, right),
    // the row's bounds on each slab moving on by its slope from row to row.
    const int left = pixels.clip.left(), right = pixels.clip.right() + 1;
    const int top = pixels.clip.top(), bottom = pixels.clip.bottom() + 1;
    const int firstRow = ceilWithin(centre.y() - reach - 0.5, top, bottom);
    const int endRow = ceilWithin(centre.y() + reach - 0.5, top, bottom);
    const double dy = firstRow + 0.5 - centre.y();
    const double x1 = centre.x() + dy * lengthwise.slope - 0.5;
    const double x2 = centre.x() + dy * crosswise.slope - 0.5;
    double from1 = x1 - lengthwise.reach, to1 = x1 + lengthwise.reach;
    double from2 = x2 - crosswise.reach, to2 = x2 + crosswise.reach;
    uchar* line = pixels.bits + firstRow * pixels.bytesPerLine;
    for (int row = firstRow; row < endRow; ++row, line += pixels.bytesPerLine) {
        const int first = ceilWithin(std::max(from1, from2), left, right);
        const int end = ceilWithin(std::min(to1, to2), left, right);
        if (first < end)
            std::fill(reinterpret_cast<QRgb*>(line) + first, reinterpret_cast<QRgb*>(line) + end,
                      colour);
        from1 += lengthwise.slope;
        to1 += lengthwise.slope;
        from2 += crosswise.slope;
        to2 += crosswise.slope;
    }
}

} // namespace veldro
