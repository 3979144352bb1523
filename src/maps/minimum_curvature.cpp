#include "maps/minimum_curvature.h"

#include <Eigen/IterativeLinearSolvers>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <stdexcept>

namespace veldro {

namespace {

using SparseMatrix = Eigen::SparseMatrix<double>;
using Triplet = Eigen::Triplet<double>;

// Data pull the surface through them this much harder than curvature bends
// it, in values scaled to a unit spread and lengths in cells: close enough to
// honour them, far from making the system ill-conditioned.
constexpr double kDataWeight = 1e4;
// A trace of tension keeps the system definite however few the points; too
// little to bend a plane measurably.
constexpr double kTension = 1e-7;
constexpr std::size_t kSampledLines = 200;
constexpr double kSolveTolerance = 1e-8;
constexpr int kMostSolveSteps = 5000;

std::map<int, std::vector<const ScatterPoint*>> byLine(const std::vector<ScatterPoint>& points) {
    std::map<int, std::vector<const ScatterPoint*>> lines;
    for (const ScatterPoint& p : points) lines[p.line].push_back(&p);
    return lines;
}

double distance(const ScatterPoint& a, const ScatterPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// 1, 2, 2.5 or 5 times a power of ten, at or below `value` (> 0).
double roundCellDown(double value) {
    const double decade = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {5.0, 2.5, 2.0})
        if (value >= step * decade) return step * decade;
    return decade;
}

void checkInput(const std::vector<ScatterPoint>& points, const GriddingOptions& options) {
    if (points.empty()) throw std::invalid_argument("nothing to grid: no value has a position");
    for (const ScatterPoint& p : points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.value))
            throw std::invalid_argument("a value to grid or its position is not a number");
    if (!(options.cell >= 0) || !std::isfinite(options.cell))
        throw std::invalid_argument("the cell size is a number of metres above 0");
    if (!(options.anisotropy >= 1 && options.anisotropy <= 100))
        throw std::invalid_argument("the anisotropy is a number from 1 to 100");
    if (!(options.blankDistance >= 0) || !std::isfinite(options.blankDistance))
        throw std::invalid_argument("the blanking distance is a number of metres above 0");
}

GridGeometry geometryAround(const std::vector<ScatterPoint>& points, double cell) {
    double left = points.front().x, right = left, bottom = points.front().y, top = bottom;
    for (const ScatterPoint& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        bottom = std::min(bottom, p.y);
        top = std::max(top, p.y);
    }
    for (;;) {
        GridGeometry g;
        g.cell = cell;
        g.x0 = std::floor(left / cell) * cell;
        g.y0 = std::floor(bottom / cell) * cell;
        const double columns = std::floor((right - g.x0) / cell) + 2;
        const double rows = std::floor((top - g.y0) / cell) + 2;
        if (columns * rows <= static_cast<double>(kMostGridNodes)) {
            g.columns = std::max(3, static_cast<int>(columns));
            g.rows = std::max(3, static_cast<int>(rows));
            return g;
        }
        cell *= std::sqrt(columns * rows / static_cast<double>(kMostGridNodes)) * 1.01;
        cell = roundCellDown(cell) * (roundCellDown(cell) < cell ? 2 : 1);
    }
}

// The rows of the curvature in stretched coordinates at each inner node:
// a^2 u_ss, sqrt(2) a u_st and u_tt, s along the strike, t across, each a
// mix of the nine-point differences u_xx, u_xy and u_yy. With a = 1 their
// squares sum to u_xx^2 + 2 u_xy^2 + u_yy^2, whatever the strike.
void addCurvature(std::vector<Triplet>& rows, const GridGeometry& g, double azimuthDegrees,
                  double a) {
    const double theta = azimuthDegrees * std::numbers::pi / 180;
    const double sx = std::sin(theta), sy = std::cos(theta); // along the strike
    const double tx = sy, ty = -sx;                          // across it
    struct Mix {
        double xx, xy, yy;
    };
    const Mix mixes[3] = {
        {a * a * sx * sx, a * a * 2 * sx * sy, a * a * sy * sy},
        {std::sqrt(2.0) * a * sx * tx, std::sqrt(2.0) * a * (sx * ty + sy * tx),
         std::sqrt(2.0) * a * sy * ty},
        {tx * tx, 2 * tx * ty, ty * ty},
    };
    int row = static_cast<int>(rows.empty() ? 0 : rows.back().row() + 1);
    for (int r = 1; r + 1 < g.rows; ++r)
        for (int c = 1; c + 1 < g.columns; ++c) {
            const auto node = [&](int dc, int dr) { return (r + dr) * g.columns + c + dc; };
            for (const Mix& m : mixes) {
                rows.emplace_back(row, node(-1, 0), m.xx);
                rows.emplace_back(row, node(1, 0), m.xx);
                rows.emplace_back(row, node(0, -1), m.yy);
                rows.emplace_back(row, node(0, 1), m.yy);
                rows.emplace_back(row, node(0, 0), -2 * m.xx - 2 * m.yy);
                rows.emplace_back(row, node(1, 1), m.xy / 4);
                rows.emplace_back(row, node(-1, -1), m.xy / 4);
                rows.emplace_back(row, node(1, -1), -m.xy / 4);
                rows.emplace_back(row, node(-1, 1), -m.xy / 4);
                ++row;
            }
        }
    const double t = std::sqrt(kTension);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            const int here = r * g.columns + c;
            if (c + 1 < g.columns) {
                rows.emplace_back(row, here, -t);
                rows.emplace_back(row++, here + 1, t);
            }
            if (r + 1 < g.rows) {
                rows.emplace_back(row, here, -t);
                rows.emplace_back(row++, here + g.columns, t);
            }
        }
}

} // namespace

double lineSpacing(const std::vector<ScatterPoint>& points) {
    const auto lines = byLine(points);
    // Every point is searched from each line's middle: a survey of many
    // short lines is sampled, some hundred of them, to keep that bounded.
    const std::size_t every = lines.size() / kSampledLines + 1;
    std::vector<double> gaps;
    std::size_t index = 0;
    for (const auto& [line, own] : lines) {
        if (index++ % every != 0) continue;
        const ScatterPoint& middle = *own[own.size() / 2];
        double nearest = std::numeric_limits<double>::infinity();
        for (const ScatterPoint& p : points)
            if (p.line != line) nearest = std::min(nearest, distance(middle, p));
        if (std::isfinite(nearest) && nearest > 0) gaps.push_back(nearest);
    }
    if (!gaps.empty()) return median(gaps);
    double longest = 0;
    for (const auto& [line, own] : lines)
        longest = std::max(longest, distance(*own.front(), *own.back()));
    return longest > 0 ? longest / 10 : 1;
}

double linesAzimuth(const std::vector<ScatterPoint>& points) {
    // Directions are axes (a line walked either way is the same line): their
    // angles are doubled, summed as vectors and halved.
    double sumCos = 0, sumSin = 0;
    for (const auto& [line, own] : byLine(points)) {
        const double dx = own.back()->x - own.front()->x, dy = own.back()->y - own.front()->y;
        const double length = std::hypot(dx, dy);
        if (length == 0) continue;
        const double doubled = 2 * std::atan2(dx, dy);
        sumCos += length * std::cos(doubled);
        sumSin += length * std::sin(doubled);
    }
    double azimuth = std::atan2(sumSin, sumCos) / 2 * 180 / std::numbers::pi;
    if (azimuth < 0) azimuth += 180;
    return azimuth;
}

void blankFarNodes(PlanGrid& grid, const std::vector<ScatterPoint>& points, double distance) {
    // Points in square buckets one distance wide: a node's near points are
    // in its own bucket or the eight around it.
    const GridGeometry& g = grid.geometry;
    const auto bucketOf = [&](double v, double origin) {
        return static_cast<long long>(std::floor((v - origin) / distance));
    };
    std::map<std::pair<long long, long long>, std::vector<const ScatterPoint*>> buckets;
    for (const ScatterPoint& p : points)
        buckets[{bucketOf(p.x, g.x0), bucketOf(p.y, g.y0)}].push_back(&p);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            const double x = g.x(c), y = g.y(r);
            const long long bx = bucketOf(x, g.x0), by = bucketOf(y, g.y0);
            bool near = false;
            for (long long i = bx - 1; i <= bx + 1 && !near; ++i)
                for (long long j = by - 1; j <= by + 1 && !near; ++j) {
                    const auto found = buckets.find({i, j});
                    if (found == buckets.end()) continue;
                    for (const ScatterPoint* p : found->second)
                        if (std::hypot(p->x - x, p->y - y) <= distance) {
                            near = true;
                            break;
                        }
                }
            if (!near)
                grid.values[static_cast<std::size_t>(r) * g.columns + c] =
                    std::numeric_limits<double>::quiet_NaN();
        }
}

PlanGrid gridMinimumCurvature(const std::vector<ScatterPoint>& points,
                              const GriddingOptions& options) {
    checkInput(points, options);
    const double spacing = lineSpacing(points);
    const double cell = options.cell > 0 ? options.cell : roundCellDown(spacing / 4);
    PlanGrid grid{geometryAround(points, cell), {}};
    const GridGeometry& g = grid.geometry;
    const double strike =
        options.strikeAzimuth ? *options.strikeAzimuth : std::fmod(linesAzimuth(points) + 90, 180);

    // Values scaled to a unit spread about their mean, so that the weights
    // mean the same for tilts in percent and resistivities in ohm.m.
    double mean = 0;
    for (const ScatterPoint& p : points) mean += p.value;
    mean /= static_cast<double>(points.size());
    double spread = 0;
    for (const ScatterPoint& p : points) spread += (p.value - mean) * (p.value - mean);
    spread = std::sqrt(spread / static_cast<double>(points.size()));
    if (spread == 0) spread = 1;

    const auto nodes = static_cast<Eigen::Index>(g.nodes());
    std::vector<Triplet> rows;
    addCurvature(rows, g, strike, options.anisotropy);
    SparseMatrix curvature(rows.back().row() + 1, nodes);
    curvature.setFromTriplets(rows.begin(), rows.end());
    rows.clear();

    // Each point ties the four nodes around it by its bilinear weights.
    Eigen::VectorXd wanted(static_cast<Eigen::Index>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ScatterPoint& p = points[i];
        const double u = (p.x - g.x0) / g.cell, v = (p.y - g.y0) / g.cell;
        const int c = std::clamp(static_cast<int>(u), 0, g.columns - 2);
        const int r = std::clamp(static_cast<int>(v), 0, g.rows - 2);
        const double fu = u - c, fv = v - r;
        const auto row = static_cast<int>(i);
        rows.emplace_back(row, r * g.columns + c, (1 - fu) * (1 - fv));
        rows.emplace_back(row, r * g.columns + c + 1, fu * (1 - fv));
        rows.emplace_back(row, (r + 1) * g.columns + c, (1 - fu) * fv);
        rows.emplace_back(row, (r + 1) * g.columns + c + 1, fu * fv);
        wanted[row] = (p.value - mean) / spread;
    }
    SparseMatrix ties(static_cast<Eigen::Index>(points.size()), nodes);
    ties.setFromTriplets(rows.begin(), rows.end());

    const SparseMatrix system = SparseMatrix(curvature.transpose() * curvature) +
                                kDataWeight * SparseMatrix(ties.transpose() * ties);
    // Conjugate gradients from an incomplete Cholesky factor: the data along
    // every line hold the surface so firmly that a few dozen steps reach it,
    // where a full factor of a quarter million nodes takes seconds.
    Eigen::ConjugateGradient<SparseMatrix, Eigen::Lower | Eigen::Upper,
                             Eigen::IncompleteCholesky<double>>
        solver(system);
    solver.setTolerance(kSolveTolerance);
    solver.setMaxIterations(kMostSolveSteps);
    const Eigen::VectorXd surface = solver.solve(kDataWeight * (ties.transpose() * wanted));
    if (solver.info() != Eigen::Success)
        throw std::runtime_error("the grid's equations could not be solved");

    grid.values.resize(g.nodes());
    for (Eigen::Index i = 0; i < nodes; ++i) grid.values[i] = mean + spread * surface[i];
    blankFarNodes(grid, points, options.blankDistance > 0 ? options.blankDistance : 1.5 * spacing);
    return grid;
}

} // namespace veldro
