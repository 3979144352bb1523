#include "processing/layered_field.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veldro {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

} // namespace

LayeredField::LayeredField(std::vector<FieldLine> lines, double halfCellX, double halfCellY,
                           double widestGapY)
    : halfCellX_(halfCellX), halfCellY_(halfCellY), widestGapY_(widestGapY) {
    for (FieldLine& line : lines) {
        if (line.points.empty()) continue;
        std::stable_sort(line.points.begin(), line.points.end(),
                         [](const FieldPoint& a, const FieldPoint& b) { return a.x < b.x; });
        lines_.push_back(std::move(line));
    }
    std::stable_sort(lines_.begin(), lines_.end(),
                     [](const FieldLine& a, const FieldLine& b) { return a.y < b.y; });
    if (lines_.empty()) return;
    left_ = std::numeric_limits<double>::max();
    right_ = std::numeric_limits<double>::lowest();
    for (const FieldLine& line : lines_) {
        left_ = std::min(left_, line.points.front().x - halfCellX_);
        right_ = std::max(right_, line.points.back().x + halfCellX_);
        for (const FieldPoint& p : line.points) largest_ = std::max(largest_, std::fabs(p.value));
    }
    bottom_ = lines_.front().y - halfCellY_;
    top_ = lines_.back().y + halfCellY_;
}

LayeredField::Between LayeredField::between(double y) const {
    const auto above = std::lower_bound(lines_.begin(), lines_.end(), y,
                                        [](const FieldLine& line, double v) { return line.y < v; });
    const int k = static_cast<int>(above - lines_.begin());
    const int last = static_cast<int>(lines_.size()) - 1;
    if (k == 0) return lines_.front().y - y <= halfCellY_ ? Between{0, 0, 0} : Between{};
    if (k > last) return y - lines_.back().y <= halfCellY_ ? Between{last, last, 0} : Between{};
    const double below = lines_[static_cast<std::size_t>(k - 1)].y;
    if (above->y - below > widestGapY_) {
        if (y - below <= halfCellY_) return {k - 1, k - 1, 0};
        if (above->y - y <= halfCellY_) return {k, k, 0};
        return {};
    }
    return {k - 1, k, (y - below) / (above->y - below)};
}

double LayeredField::along(const FieldLine& line, double x) const {
    const std::vector<FieldPoint>& p = line.points;
    if (x < p.front().x - halfCellX_ || x > p.back().x + halfCellX_) return kNone;
    if (x <= p.front().x) return p.front().value;
    if (x >= p.back().x) return p.back().value;
    const auto next = std::upper_bound(
        p.begin(), p.end(), x, [](double v, const FieldPoint& point) { return v < point.x; });
    const FieldPoint& a = *(next - 1);
    return a.value + (x - a.x) / (next->x - a.x) * (next->value - a.value);
}

double LayeredField::across(double below, double above, const Between& b) {
    if (!std::isnan(below) && !std::isnan(above)) return below + b.t * (above - below);
    return b.t < 0.5 ? below : above;
}

double LayeredField::valueAt(double x, double y) const {
    if (lines_.empty()) return kNone;
    const Between b = between(y);
    if (b.below < 0) return kNone;
    return across(along(lines_[static_cast<std::size_t>(b.below)], x),
                  along(lines_[static_cast<std::size_t>(b.above)], x), b);
}

// Each line is read once per column and each row's lines found once, rather
// than both for every point.
std::vector<float> LayeredField::sample(const std::vector<double>& xs,
                                        const std::vector<double>& ys) const {
    const std::size_t width = xs.size();
    std::vector<float> values(width * ys.size(), std::numeric_limits<float>::quiet_NaN());
    if (lines_.empty()) return values;
    std::vector<Between> rows(ys.size());
    std::transform(ys.begin(), ys.end(), rows.begin(), [this](double y) { return between(y); });
    std::vector<double> column(lines_.size());
    for (std::size_t c = 0; c < width; ++c) {
        for (std::size_t k = 0; k < lines_.size(); ++k) column[k] = along(lines_[k], xs[c]);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const Between& b = rows[r];
            if (b.below < 0) continue;
            values[r * width + c] =
                static_cast<float>(across(column[static_cast<std::size_t>(b.below)],
                                          column[static_cast<std::size_t>(b.above)], b));
        }
    }
    return values;
}

} // namespace veldro
