#include "interpretation/section_mesh.h"

#include "interpretation/body_extent.h"
#include "interpretation/layered_ground.h"
#include "interpretation/mesh_rule.h"
#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <map>
#include <sstream>

namespace veldro {

namespace {

using namespace mesh_rule;

// Beyond this many nodes the factorisation would take a gigabyte or more
// (95000 nodes of a long profile take some 160 MB).
constexpr std::size_t kMostNodes = 300'000;
// Station coordinates farther out lose the millimetres the mesh places nodes by.
constexpr double kFarthestStation = 1e7; // m
// Points closer than this are one node: a sliver of a cell between a
// station and a body's corner would only spoil the equations' balance.
constexpr double kSameNode = 1e-3; // m

// Where cells are fine, how fine, and what needs them (said when the mesh
// would be too large): the size grows linearly with the distance from
// [from, to], which makes neighbouring cells grow geometrically. `cells`
// is about how many cells the region takes.
struct FineRegion {
    double from = 0, to = 0;
    double size = 0;
    std::string cause;
    double cells = 0;
};

FineRegion spanned(double from, double to, double size, std::string cause) {
    return {from, to, size, std::move(cause), (to - from) / size};
}

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
    // What takes the most cells.
    std::string largestCause() const {
        std::map<std::string, double> cells;
        for (const FineRegion& r : regions_) cells[r.cause] += r.cells;
        return std::max_element(cells.begin(), cells.end(),
                                [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    }

private:
    std::vector<FineRegion> regions_;
    double slope_;
};

std::string metres(double value) {
    std::ostringstream text;
    text << std::setprecision(3) << value << " m";
    return text.str();
}

[[noreturn]] void tooManyNodes(const CellSize& size) {
    throw ModelError("the model needs a mesh of more than " + std::to_string(kMostNodes) +
                     " nodes, most of them for " + size.largestCause());
}

// Nodes from the first fixed point to the last, through every fixed point,
// each cell as large as the size wanted at its middle; at most kMostNodes
// nodes, counted as they are made. Each gap is walked from its finer end, so
// that the odd cell that fills it lies where cells are coarse.
std::vector<double> gradedLine(std::vector<double> fixed, const CellSize& size) {
    std::sort(fixed.begin(), fixed.end());
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
            if (nodes.size() + walked.size() > kMostNodes) tooManyNodes(size);
        }
        if (step < 0) {
            walked.pop_back();
            std::reverse(walked.begin(), walked.end());
            walked.push_back(end);
        }
        nodes.insert(nodes.end(), walked.begin(), walked.end());
    }
    return nodes;
}

} // namespace

std::size_t nodeIndex(const std::vector<double>& nodes, double value) {
    return static_cast<std::size_t>(std::lower_bound(nodes.begin(), nodes.end(), value) -
                                    nodes.begin());
}

namespace {

std::size_t nearestNode(const std::vector<double>& nodes, double value) {
    const std::size_t after = nodeIndex(nodes, value);
    const bool before =
        after == nodes.size() || (after > 0 && value - nodes[after - 1] < nodes[after] - value);
    return before ? after - 1 : after;
}

// Each station on its nearest node of the surface; a node lies within a
// millimetre.
void placeStations(SectionMesh& mesh, const GroundModel& model) {
    for (double station : model.stations) {
        mesh.stationColumns.push_back(nearestNode(mesh.x, station));
        mesh.stationRows.push_back(nearestNode(mesh.z, surfaceDepth(model.topography, station)));
    }
    mesh.leftSurface = surfaceDepth(model.topography, mesh.x.front());
    mesh.rightSurface = surfaceDepth(model.topography, mesh.x.back());
}

std::string hertz(double value) {
    std::ostringstream text;
    text << std::setprecision(6) << value << " Hz";
    return text.str();
}

// A cell size of `share` skin depths, no finer than the solver resolves; a
// skin depth that not even a few cells of that size resolve is refused.
double skinCell(double share, double resistivity, double frequency, const std::string& key) {
    const double skin = skinDepth(resistivity, frequency);
    if (!(kSkinShareInBody * skin >= kFinestCell))
        throw ModelError(key + ": its skin depth at " + hertz(frequency) + ", " + metres(skin) +
                         ", needs cells finer than the solver resolves (" + metres(kFinestCell) +
                         ")");
    return std::max(kFinestCell, share * skin);
}

} // namespace

SectionMesh buildMesh(const GroundModel& model, const MeshOptions& options) {
    const auto [lowest, highest] =
        std::minmax_element(model.frequencies.begin(), model.frequencies.end());
    double largestSkin = 0;
    for (const Layer& layer : model.layers)
        largestSkin = std::max(largestSkin, skinDepth(layer.resistivity, *lowest));
    const double padding = options.paddingSkinDepths * largestSkin;
    if (!(padding <= kFarthestStation))
        throw ModelError("frequencies[" + std::to_string(lowest - model.frequencies.begin()) +
                         "]: " + hertz(*lowest) + " reaches " + metres(largestSkin) +
                         " into the ground, farther than the mesh can reach");
    for (std::size_t i = 0; i < model.stations.size(); ++i)
        if (!(std::fabs(model.stations[i]) <= kFarthestStation))
            throw ModelError("stations[" + std::to_string(i) + "]: must lie within " +
                             metres(kFarthestStation) + " of 0");

    // Across: fine about each station, by its own spacing.
    std::vector<FineRegion> across, down;
    const std::vector<double>& stations = model.stations;
    const std::string stationCause = "its " + std::to_string(stations.size()) + " stations";
    for (std::size_t i = 0; i < stations.size(); ++i) {
        double nearest = std::numeric_limits<double>::max();
        if (i > 0) nearest = stations[i] - stations[i - 1];
        if (i + 1 < stations.size()) nearest = std::min(nearest, stations[i + 1] - stations[i]);
        const double size = stations.size() == 1
                                ? skinCell(kSkinShareAtBoundary, model.layers.front().resistivity,
                                           *highest, "layers[0]")
                                : std::max(kFinestCell, kStationSpacingShare * nearest);
        across.push_back({stations[i], stations[i], size, stationCause, 1 / kStationSpacingShare});
    }
    double stationCell = std::numeric_limits<double>::max();
    for (const FineRegion& r : across) stationCell = std::min(stationCell, r.size);

    // Down: fine under the surface and about each layer boundary, by the
    // skin depth of the more conductive side; as fine as the finest station
    // under the surface too, since over a resistive ground the skin depth
    // is no measure of the stations' detail.
    // With topography the surface is fine over the depths it takes between
    // the stations, and every layer boundary over the same span below it.
    const SurfaceOverColumn surface(model.topography, stations.front(), stations.back());
    const double surfaceSkinCell =
        skinCell(kSkinShareAtBoundary, model.layers.front().resistivity, *highest, "layers[0]");
    const double surfaceCell = std::min(surfaceSkinCell, stationCell);
    down.push_back(spanned(surface.shallowest(), surface.deepest(), surfaceCell, "the surface"));
    // Where the surface slopes, a cell it crosses blurs it by the slope times
    // the cell's width: no more than a cell under it.
    for (std::size_t i = 1; i < model.topography.size(); ++i) {
        const TerrainPoint &a = model.topography[i - 1], &b = model.topography[i];
        const double slope = std::fabs(b.elevation - a.elevation) / (b.x - a.x);
        if (slope * stationCell <= surfaceCell || b.x < stations.front() || a.x > stations.back())
            continue;
        across.push_back(spanned(std::max(a.x, stations.front()), std::min(b.x, stations.back()),
                                 std::max(kFinestCell, surfaceCell / slope),
                                 "the surface's slopes"));
    }

    // Inside each body that stands out, and about it.
    double left = stations.front(), right = stations.back(), deepest = 0;
    std::vector<double> fixedX = stations, fixedZ;
    for (double station : stations)
        if (const double depth = surfaceDepth(model.topography, station); depth > 0)
            fixedZ.push_back(depth);
    for (std::size_t b = 0; b < model.bodies.size(); ++b) {
        const Body& body = model.bodies[b];
        const BodyExtent e = extentOf(body);
        const double farthest =
            kFarthestInPaddings * std::max(padding, stations.back() - stations.front());
        if (e.left < stations.front() - farthest || e.right > stations.back() + farthest ||
            e.bottom > farthest)
            throw ModelError("bodies[" + std::to_string(b) + "]: lies more than " +
                             metres(farthest) + " from the stations, beyond the mesh's reach");
        left = std::min(left, e.left), right = std::max(right, e.right);
        deepest = std::max(deepest, e.bottom);
        // Nodes on the bodies' corners keep a thin sheet's conductance in the
        // cells it spans rather than smeared over whole cells about it. Under
        // hills the corners of cells that follow the surface, each at a depth
        // of its own, would make a row of nodes each: only a body that stands
        // out gets its rows.
        const bool differs = standsOut(body, e, model);
        for (const SectionPoint& p : body.polygon) {
            fixedX.push_back(p.x);
            if (p.z > 0 && (differs || model.topography.empty())) fixedZ.push_back(p.z);
        }
        if (!differs) continue;
        const std::string key = "bodies[" + std::to_string(b) + "]";
        double size = skinCell(kSkinShareInBody, body.resistivity, *highest, key);
        if (e.sheet) size = std::max(kFinestCell, std::min(size, e.thickness / kCellsAcrossBody));
        // A skin depth or two into a large body the field has died away: no
        // finer cells than about it deeper or farther out than that.
        // A body thinner than that is all within reach of its sides.
        double reach = kBodyReachSkinDepths * skinDepth(body.resistivity, *lowest);
        if (e.thickness < 2 * reach) reach = std::numeric_limits<double>::max();
        const std::string inside = key + " (cells of " + metres(size) + ")";
        across.push_back(spanned(std::max(e.left, stations.front() - reach),
                                 std::min(e.right, stations.back() + reach), size / e.acrossShareX,
                                 inside));
        down.push_back(
            spanned(e.top, std::min(e.bottom, e.top + reach), size / e.acrossShareZ, inside));
        // Its sides are boundaries as a layer's are, where it stands out
        // clearly (not a grid's cell beside its like).
        const double middle = (e.left + e.right) / 2;
        const double host = std::min(layerResistivityAt(model, middle, e.top),
                                     layerResistivityAt(model, middle, e.bottom));
        if (std::max(host / body.resistivity, body.resistivity / host) < kSideContrast) continue;
        // The stations see a corner's detail only as finely as they are
        // near it: a deep side needs cells no finer than a share of its depth.
        const double side =
            skinCell(kSkinShareAtBoundary, std::min(host, body.resistivity), *highest, key);
        const auto sideAt = [&](double depth) {
            return std::min(size, std::max(side, kCornerDepthShare * depth));
        };
        // A side is as near the stations as its shallowest corner: a dipping
        // sheet's far side lies at its foot.
        const auto shallowestAt = [&](double x) {
            double depth = std::numeric_limits<double>::max();
            for (const SectionPoint& p : body.polygon)
                if (std::fabs(p.x - x) < kSameNode) depth = std::min(depth, std::max(p.z, 0.0));
            return depth;
        };
        for (double x : {e.left, e.right}) across.push_back({x, x, sideAt(shallowestAt(x)), key});
        for (double z : {e.top, e.bottom}) down.push_back({z, z, sideAt(z), key});
    }

    // Layer boundaries deeper than the mesh reaches change nothing on it:
    // the boundary's layered field holds them.
    const double bottom = std::max(deepest, surface.deepest()) + padding;
    double boundary = 0;
    for (std::size_t j = 0;
         j + 1 < model.layers.size() && boundary + model.layers[j].thickness < bottom; ++j) {
        boundary += model.layers[j].thickness;
        const double conductive =
            std::min(model.layers[j].resistivity, model.layers[j + 1].resistivity);
        const std::string key = "layers[" + std::to_string(j) + "]";
        down.push_back(spanned(surface.shallowest() + boundary, surface.deepest() + boundary,
                               skinCell(kSkinShareAtBoundary, conductive, *highest, key), key));
        if (model.topography.empty()) fixedZ.push_back(boundary);
    }

    if (options.draft)
        for (std::vector<FineRegion>* regions : {&across, &down})
            for (FineRegion& r : *regions)
                if (r.cause != stationCause)
                    r.size *= kDraftCoarsening, r.cells /= kDraftCoarsening;
    const CellSize acrossSize(across, kGrowthAcross);
    // Wide enough that the outermost stations have nodes on both sides.
    const double sides = std::max(padding, 4 * std::max(acrossSize.at(left), acrossSize.at(right)));
    fixedX.push_back(left - sides);
    fixedX.push_back(right + sides);
    SectionMesh mesh;
    mesh.x = gradedLine(fixedX, acrossSize);

    const CellSize downSize(down, kGrowthDown);
    // Over a resistive ground a body's field reaches far up too: no less air than padding.
    const double air = std::max(options.airHeight, padding);
    // The air's first cell as fine as the ground's: a station's dE/dz is taken across it.
    FineRegion airBelow = down.front();
    airBelow.size = downSize.at(0);
    mesh.z = gradedLine({-air, 0}, CellSize({airBelow}, kGrowthUp));
    mesh.z.pop_back();
    fixedZ.push_back(0);
    fixedZ.push_back(std::max(bottom, surface.deepest() + boundary + padding));
    const std::vector<double> ground = gradedLine(fixedZ, downSize);
    mesh.z.insert(mesh.z.end(), ground.begin(), ground.end());
    // Each line is bounded as it is made; the longer names the cause.
    if (mesh.x.size() * mesh.z.size() > kMostNodes)
        tooManyNodes(mesh.x.size() >= mesh.z.size() ? acrossSize : downSize);

    mesh.surfaceRow = nodeIndex(mesh.z, 0);
    placeStations(mesh, model);
    mesh.conductivity = meanConductivity(model, mesh.x, mesh.z);
    return mesh;
}

SectionMesh halvedMesh(const SectionMesh& mesh, const GroundModel& model) {
    const auto halved = [](const std::vector<double>& nodes) {
        std::vector<double> out{nodes.front()};
        for (std::size_t i = 1; i < nodes.size(); ++i) {
            out.push_back((nodes[i - 1] + nodes[i]) / 2);
            out.push_back(nodes[i]);
        }
        return out;
    };
    SectionMesh finer;
    finer.x = halved(mesh.x);
    finer.z = halved(mesh.z);
    if (finer.x.size() * finer.z.size() > 4 * kMostNodes)
        throw ModelError("the mesh with every cell halved would have more than " +
                         std::to_string(4 * kMostNodes) + " nodes");
    finer.surfaceRow = 2 * mesh.surfaceRow;
    placeStations(finer, model);
    finer.conductivity = meanConductivity(model, finer.x, finer.z);
    return finer;
}

} // namespace veldro
