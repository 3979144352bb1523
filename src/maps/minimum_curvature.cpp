#include "maps/minimum_curvature.h"

#include <Eigen/IterativeLinearSolvers>
#include <Eigen/SparseCore>
#include <algorithm>
#include <array>
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

// The normal equations A u = b of the least-squares rows, summed in place:
// a row ties nodes at most two apart either way, so A keeps 25 entries a
// node, at offsets of -2 to 2 columns and rows; far quicker to make than a
// product of the rows' sparse matrix with itself.
class NormalEquations {
public:
    explicit NormalEquations(const GridGeometry& g)
        : g_(g), band_(g.nodes() * 25, 0.0),
          rhs_(Eigen::VectorXd::Zero(static_cast<Eigen::Index>(g.nodes()))) {}

    struct Entry {
        int c, r;
        double w;
    };
    // Adds weight * (sum of w u at the entries - value)^2 to what is least.
    template <std::size_t N>
    void addRow(const std::array<Entry, N>& row, double weight, double value = 0) {
        for (const Entry& i : row) {
            const std::size_t at = node(i.c, i.r);
            for (const Entry& j : row)
                band_[at * 25 + offset(j.c - i.c, j.r - i.r)] += weight * i.w * j.w;
            rhs_[static_cast<Eigen::Index>(at)] += weight * i.w * value;
        }
    }
    // Adds `products`[i][j] between the nodes at `offsets` i and j around
    // (c, r): the sum of the outer products of rows that share those nodes.
    void addProducts(int c, int r, const std::array<std::pair<int, int>, 9>& offsets,
                     const std::array<std::array<double, 9>, 9>& products) {
        for (std::size_t i = 0; i < 9; ++i) {
            const std::size_t at = node(c + offsets[i].first, r + offsets[i].second);
            for (std::size_t j = 0; j < 9; ++j)
                band_[at * 25 + offset(offsets[j].first - offsets[i].first,
                                       offsets[j].second - offsets[i].second)] += products[i][j];
        }
    }

    SparseMatrix matrix() const {
        std::vector<Triplet> entries;
        entries.reserve(band_.size() / 2);
        for (int r = 0; r < g_.rows; ++r)
            for (int c = 0; c < g_.columns; ++c)
                for (int dr = -2; dr <= 2; ++dr)
                    for (int dc = -2; dc <= 2; ++dc) {
                        const double value = band_[node(c, r) * 25 + offset(dc, dr)];
                        if (value != 0)
                            entries.emplace_back(static_cast<int>(node(c, r)),
                                                 static_cast<int>(node(c + dc, r + dr)), value);
                    }
        const auto nodes = static_cast<Eigen::Index>(g_.nodes());
        SparseMatrix a(nodes, nodes);
        a.setFromTriplets(entries.begin(), entries.end());
        return a;
    }
    const Eigen::VectorXd& rhs() const { return rhs_; }

private:
    std::size_t node(int c, int r) const { return static_cast<std::size_t>(r) * g_.columns + c; }
    static std::size_t offset(int dc, int dr) {
        return static_cast<std::size_t>((dr + 2) * 5 + dc + 2);
    }

    const GridGeometry& g_;
    std::vector<double> band_;
    Eigen::VectorXd rhs_;
};

// The rows of the curvature in stretched coordinates at each inner node:
// a^2 u_ss, sqrt(2) a u_st and u_tt, s along the strike, t across, each a
// mix of the nine-point differences u_xx, u_xy and u_yy. With a = 1 their
// squares sum to u_xx^2 + 2 u_xy^2 + u_yy^2, whatever the strike. And a
// trace of tension between neighbours.
void addCurvature(NormalEquations& equations, const GridGeometry& g, double azimuthDegrees,
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
    const std::array<std::pair<int, int>, 9> offsets = {
        {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {0, 0}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}}};
    std::array<std::array<double, 9>, 9> products{};
    for (const Mix& m : mixes) {
        const std::array<double, 9> w = {
            m.xx, m.xx, m.yy, m.yy, -2 * m.xx - 2 * m.yy, m.xy / 4, m.xy / 4, -m.xy / 4, -m.xy / 4};
        for (std::size_t i = 0; i < 9; ++i)
            for (std::size_t j = 0; j < 9; ++j) products[i][j] += w[i] * w[j];
    }
    for (int r = 1; r + 1 < g.rows; ++r)
        for (int c = 1; c + 1 < g.columns; ++c) equations.addProducts(c, r, offsets, products);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            if (c + 1 < g.columns)
                equations.addRow(std::array<NormalEquations::Entry, 2>{{{c, r, -1}, {c + 1, r, 1}}},
                                 kTension);
            if (r + 1 < g.rows)
                equations.addRow(std::array<NormalEquations::Entry, 2>{{{c, r, -1}, {c, r + 1, 1}}},
                                 kTension);
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

    NormalEquations equations(g);
    addCurvature(equations, g, strike, options.anisotropy);
    // Each point ties the four nodes around it by its bilinear weights.
    for (const ScatterPoint& p : points) {
        const double u = (p.x - g.x0) / g.cell, v = (p.y - g.y0) / g.cell;
        const int c = std::clamp(static_cast<int>(u), 0, g.columns - 2);
        const int r = std::clamp(static_cast<int>(v), 0, g.rows - 2);
        const double fu = u - c, fv = v - r;
        equations.addRow(std::array<NormalEquations::Entry, 4>{{{c, r, (1 - fu) * (1 - fv)},
                                                                {c + 1, r, fu * (1 - fv)},
                                                                {c, r + 1, (1 - fu) * fv},
                                                                {c + 1, r + 1, fu * fv}}},
                         kDataWeight, (p.value - mean) / spread);
    }
    // Conjugate gradients with the diagonal as preconditioner: the data
    // along every line hold the surface so firmly that some dozens of steps
    // reach it, where a full factor of a quarter million nodes takes seconds.
    const SparseMatrix system = equations.matrix();
    Eigen::ConjugateGradient<SparseMatrix, Eigen::Lower | Eigen::Upper> solver(system);
    solver.setTolerance(kSolveTolerance);
    solver.setMaxIterations(kMostSolveSteps);
    const Eigen::VectorXd surface = solver.solve(equations.rhs());
    if (solver.info() != Eigen::Success)
        throw std::runtime_error("the grid's equations could not be solved");

    const auto nodes = static_cast<Eigen::Index>(g.nodes());
    grid.values.resize(g.nodes());
    for (Eigen::Index i = 0; i < nodes; ++i) grid.values[i] = mean + spread * surface[i];
    blankFarNodes(grid, points, options.blankDistance > 0 ? options.blankDistance : 1.5 * spacing);
    return grid;
}

} // namespace veldro
