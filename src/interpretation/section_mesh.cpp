#include "interpretation/section_mesh.h"

#include "interpretation/layered_ground.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace veldro {

namespace {

// Beyond this many nodes the factorisation would take a gigabyte or more
// (95000 nodes of a long profile take some 160 MB).
constexpr std::size_t kMostNodes = 300'000;

[[noreturn]] void tooFine() {
    throw ModelError("the model needs a mesh of more than " + std::to_string(kMostNodes) +
                     " nodes: its stations, body corners and grid edges each add a line of "
                     "nodes");
}
// Cells grow by these factors away from where they are fine: slowly down
// into the ground, where the field's curvature lives and the error of uneven
// steps grows with the square of the factor; faster across, faster still up
// into the air, where the layered field is a straight line.
constexpr double kGrowthDown = 1.15;
constexpr double kGrowthAcross = 1.3;
constexpr double kGrowthUp = 1.5;
// The finest cell under the surface and at a layer boundary, in skin depths.
constexpr double kFineDepthCell = 0.1;

// Where cells are fine, and how fine: the size grows linearly with the
// distance from [from, to], which makes neighbouring cells grow geometrically.
struct FineRegion {
    double from = 0, to = 0;
    double size = 0;
};

class CellSize {
public:
    CellSize(std::vector<FineRegion> regions, double growth)
        : regions_(std::move(regions)), slope_(growth - 1) {}
    double at(double p) const {
        double size = std::numeric_limits<double>::max();
        for (const FineRegion& r : regions_) {
            const double distance = std::max({r.from - p, p - r.to, 0.0});
            size = std::min(size, r.size + slope_ * distance);
        }
        return size;
    }

private:
    std::vector<FineRegion> regions_;
    double slope_;
};

// Nodes from the first fixed point to the last, through every fixed point,
// each cell as large as the size wanted at its middle. Each gap is walked
// from its finer end, so that the odd cell that fills it lies where cells
// are coarse.
std::vector<double> gradedLine(std::vector<double> fixed, const CellSize& size) {
    std::sort(fixed.begin(), fixed.end());
    // Points closer than this are one node: a sliver of a cell between a
    // station and a body's corner would only spoil the equations' balance.
    constexpr double kSameNode = 1e-3; // m
    fixed.erase(std::unique(fixed.begin(), fixed.end(),
                            [](double a, double b) { return b - a < kSameNode; }),
                fixed.end());
    std::vector<double> nodes{fixed.front()};
    for (std::size_t i = 1; i < fixed.size(); ++i) {
        const double start = fixed[i - 1], end = fixed[i];
        const double step = size.at(start) <= size.at(end) ? 1 : -1;
        std::vector<double> walked;
        for (double p = step > 0 ? start : end, rest = end - start; rest > 0;) {
            double h = size.at(p);
            for (int pass = 0; pass < 2; ++pass) h = size.at(p + step * h / 2);
            h = rest <= h * 1.05 ? rest : rest < 2 * h ? rest / 2 : h;
            p += step * h;
            rest -= h;
            walked.push_back(rest > 0 ? p : step > 0 ? end : start);
        }
        if (step < 0) {
            walked.pop_back();
            std::reverse(walked.begin(), walked.end());
            walked.push_back(end);
        }
        nodes.insert(nodes.end(), walked.begin(), walked.end());
        if (nodes.size() > kMostNodes) tooFine();
    }
    return nodes;
}

// Sutherland-Hodgman against one side of the rectangle at a time; for any
// simple polygon the area of what is left is the area inside.
std::vector<SectionPoint> clipped(const std::vector<SectionPoint>& polygon,
                                  const std::function<double(const SectionPoint&)>& inside) {
    std::vector<SectionPoint> out;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const SectionPoint& a = polygon[i];
        const SectionPoint& b = polygon[(i + 1) % polygon.size()];
        const double da = inside(a), db = inside(b);
        if (da >= 0) out.push_back(a);
        if ((da >= 0) != (db >= 0)) {
            const double t = da / (da - db);
            out.push_back({a.x + t * (b.x - a.x), a.z + t * (b.z - a.z)});
        }
    }
    return out;
}

std::size_t nodeIndex(const std::vector<double>& nodes, double value) {
    return static_cast<std::size_t>(std::lower_bound(nodes.begin(), nodes.end(), value) -
                                    nodes.begin());
}

// Cells from the surface down, row after row, (x.size() - 1) to a row.
void paintLayers(const GroundModel& model, const std::vector<double>& x,
                 const std::vector<double>& z, std::vector<double>& conductivity) {
    const std::size_t columns = x.size() - 1;
    for (std::size_t row = nodeIndex(z, 0); row + 1 < z.size(); ++row) {
        const double z0 = z[row], z1 = z[row + 1];
        double sum = 0, top = 0;
        for (std::size_t j = 0; j < model.layers.size(); ++j) {
            const bool last = j + 1 == model.layers.size();
            const double bottom =
                last ? std::numeric_limits<double>::max() : top + model.layers[j].thickness;
            const double overlap = std::min(z1, bottom) - std::max(z0, top);
            if (overlap > 0) sum += overlap / model.layers[j].resistivity;
            top = bottom;
        }
        std::fill_n(conductivity.begin() + static_cast<long>(row * columns), columns,
                    sum / (z1 - z0));
    }
}

void paintBody(const Body& body, const std::vector<double>& x, const std::vector<double>& z,
               std::vector<double>& conductivity) {
    double left = body.polygon.front().x, right = left;
    double top = std::max(body.polygon.front().z, 0.0), bottom = top;
    for (const SectionPoint& p : body.polygon) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, std::max(p.z, 0.0)), bottom = std::max(bottom, p.z);
    }
    const std::size_t firstColumn = nodeIndex(x, left);
    const std::size_t firstRow = std::max(nodeIndex(z, top), nodeIndex(z, 0) + 1);
    for (std::size_t row = firstRow - 1; row + 1 < z.size() && z[row] < bottom; ++row)
        for (std::size_t column = firstColumn == 0 ? 0 : firstColumn - 1;
             column + 1 < x.size() && x[column] < right; ++column) {
            const double x0 = x[column], x1 = x[column + 1], z0 = z[row], z1 = z[row + 1];
            const double share = areaInside(body.polygon, x0, x1, z0, z1) / ((x1 - x0) * (z1 - z0));
            if (share <= 0) continue;
            double& sigma = conductivity[row * (x.size() - 1) + column];
            sigma = sigma * (1 - share) + share / body.resistivity;
        }
}

} // namespace

double areaInside(const std::vector<SectionPoint>& polygon, double x0, double x1, double z0,
                  double z1) {
    std::vector<SectionPoint> p = polygon;
    p = clipped(p, [x0](const SectionPoint& q) { return q.x - x0; });
    p = clipped(p, [x1](const SectionPoint& q) { return x1 - q.x; });
    p = clipped(p, [z0](const SectionPoint& q) { return q.z - z0; });
    p = clipped(p, [z1](const SectionPoint& q) { return z1 - q.z; });
    double twiceArea = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const SectionPoint& a = p[i];
        const SectionPoint& b = p[(i + 1) % p.size()];
        twiceArea += a.x * b.z - b.x * a.z;
    }
    return std::fabs(twiceArea) / 2;
}

std::vector<double> meanConductivity(const GroundModel& model, const std::vector<double>& x,
                                     const std::vector<double>& z) {
    std::vector<double> conductivity((x.size() - 1) * (z.size() - 1), 0);
    paintLayers(model, x, z, conductivity);
    for (const Body& body : model.bodies) paintBody(body, x, z, conductivity);
    return conductivity;
}

SectionMesh buildMesh(const GroundModel& model, const MeshOptions& options) {
    const auto [lowest, highest] =
        std::minmax_element(model.frequencies.begin(), model.frequencies.end());
    double largestSkin = 0;
    for (const Layer& layer : model.layers)
        largestSkin = std::max(largestSkin, skinDepth(layer.resistivity, *lowest));
    const double padding = options.paddingSkinDepths * largestSkin;
    const auto growth = [&](double factor) { return 1 + (factor - 1) / options.refinement; };
    const double topSkin = skinDepth(model.layers.front().resistivity, *highest);

    // Across: as fine as half the closest stations, over the stations and bodies.
    double left = model.stations.front(), right = model.stations.back();
    double deepest = 0;
    for (const Body& body : model.bodies)
        for (const SectionPoint& p : body.polygon) {
            left = std::min(left, p.x), right = std::max(right, p.x);
            deepest = std::max(deepest, p.z);
        }
    double across = right > left ? (right - left) / 2 : topSkin;
    for (std::size_t i = 1; i < model.stations.size(); ++i)
        across = std::min(across, (model.stations[i] - model.stations[i - 1]) / 2);
    across /= options.refinement;
    // Under the surface as fine as across too: over a resistive ground the
    // skin depth is no measure of the bodies' detail.
    const double surfaceCell = std::min(kFineDepthCell * topSkin / options.refinement, across);

    SectionMesh mesh;
    // Nodes on the bodies' corners keep a thin sheet's conductance in the
    // cells it spans rather than smeared over whole cells about it.
    std::vector<double> fixedX = model.stations, fixedZ;
    for (const Body& body : model.bodies)
        for (const SectionPoint& p : body.polygon) {
            fixedX.push_back(p.x);
            if (p.z > 0) fixedZ.push_back(p.z);
        }
    fixedX.push_back(left - padding);
    fixedX.push_back(right + padding);
    mesh.x = gradedLine(fixedX, CellSize({{left, right, across}}, growth(kGrowthAcross)));

    // Down: fine under the surface and about each layer boundary; as fine as
    // across through the bodies; the air grows upwards from the surface cell.
    std::vector<FineRegion> fine{{0, 0, surfaceCell}};
    double boundary = 0;
    for (std::size_t j = 0; j + 1 < model.layers.size(); ++j) {
        boundary += model.layers[j].thickness;
        const double thinner =
            std::min(model.layers[j].resistivity, model.layers[j + 1].resistivity);
        fine.push_back({boundary, boundary,
                        kFineDepthCell * skinDepth(thinner, *highest) / options.refinement});
        fixedZ.push_back(boundary);
    }
    if (!model.bodies.empty()) fine.push_back({0, deepest, across});
    fixedZ.push_back(0);
    fixedZ.push_back(std::max(deepest, boundary) + padding);
    // Over a resistive ground a body's field reaches far up too: no less air than padding.
    const double air = std::max(options.airHeight, padding);
    mesh.z = gradedLine({-air, 0}, CellSize({{0, 0, surfaceCell}}, growth(kGrowthUp)));
    mesh.z.pop_back();
    const std::vector<double> ground = gradedLine(fixedZ, CellSize(fine, growth(kGrowthDown)));
    mesh.z.insert(mesh.z.end(), ground.begin(), ground.end());
    if (mesh.x.size() * mesh.z.size() > kMostNodes) tooFine();

    mesh.surfaceRow = nodeIndex(mesh.z, 0);
    for (double station : model.stations) {
        const std::size_t after = nodeIndex(mesh.x, station); // a node lies within a millimetre
        const bool before =
            after == mesh.x.size() || station - mesh.x[after - 1] < mesh.x[after] - station;
        mesh.stationColumns.push_back(before ? after - 1 : after);
    }
    mesh.conductivity = meanConductivity(model, mesh.x, mesh.z);
    return mesh;
}

} // namespace veldro
