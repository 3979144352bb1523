#pragma once

#include <limits>
#include <vector>

namespace veldro {

struct FieldPoint {
    double x = 0;
    double value = 0;
};

// Values known along horizontal lines: a section's levels, a map's profiles.
struct FieldLine {
    double y = 0;
    std::vector<FieldPoint> points;
};

// Values between the lines: linear along a line between its points, then
// linear across from the line below to the line above at the same x. Where
// only one of the two lines reaches x, the nearer half of the gap takes its
// value. Beyond the outer points and lines the nearest value holds for half a
// cell (`halfCellX`, `halfCellY`), so a lone point or line still shows. Two
// lines farther apart than `widestGapY` are not joined: each holds for half a
// cell and the rest of the gap stays empty. NaN stands for no value.
class LayeredField {
public:
    LayeredField() = default;
    // Lines and points in any order; lines without points are left out; one
    // line per y.
    LayeredField(std::vector<FieldLine> lines, double halfCellX, double halfCellY,
                 double widestGapY = std::numeric_limits<double>::infinity());

    bool empty() const { return lines_.empty(); }
    double valueAt(double x, double y) const;
    // The values at every (xs[c], ys[r]), row after row: [r * xs.size() + c].
    std::vector<float> sample(const std::vector<double>& xs, const std::vector<double>& ys) const;

    // Where there are values, half cells included; and their largest magnitude.
    double left() const { return left_; }
    double right() const { return right_; }
    double bottom() const { return bottom_; }
    double top() const { return top_; }
    double largestMagnitude() const { return largest_; }

private:
    // Which lines a y falls between, and how far from the lower one.
    struct Between {
        int below = -1, above = -1; // -1: none
        double t = 0;               // 0 at the line below, 1 at the line above
    };
    Between between(double y) const;
    double along(const FieldLine& line, double x) const;
    static double across(double below, double above, const Between& b);

    std::vector<FieldLine> lines_; // by y, points by x
    double halfCellX_ = 0, halfCellY_ = 0;
    double widestGapY_ = std::numeric_limits<double>::infinity();
    double left_ = 0, right_ = 0, bottom_ = 0, top_ = 0, largest_ = 0;
};

} // namespace veldro
