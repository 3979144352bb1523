#include "interpretation/inversion_mesh.h"

#include "interpretation/layered_ground.h"

#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

constexpr double kDepthSkins = 1.5;
constexpr double kGrowthDown = 1.2;
// Outside the stations the cells widen by this factor until they reach as
// far out as the mesh reaches down: the ground there is seen only by the
// outermost stations, and a wide cell keeps it from bending their data.
constexpr double kGrowthOut = 1.5;

} // namespace

InversionMesh inversionMesh(const std::vector<double>& stations,
                            const std::vector<double>& frequencies, double startResistivity) {
    const double lowest = *std::min_element(frequencies.begin(), frequencies.end());
    const double highest = *std::max_element(frequencies.begin(), frequencies.end());
    const double bottom = kDepthSkins * skinDepth(startResistivity, lowest);
    double spacing = stations.back() - stations.front();
    for (std::size_t i = 1; i < stations.size(); ++i)
        spacing = std::min(spacing, stations[i] - stations[i - 1]);

    InversionMesh mesh;
    // Across: the stations and the midpoints between them.
    std::vector<double> inner;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        if (i > 0) inner.push_back((stations[i - 1] + stations[i]) / 2);
        inner.push_back(stations[i]);
    }
    std::vector<double> left, right;
    for (double width = spacing / 2, reach = 0; reach < bottom;) {
        width *= kGrowthOut;
        reach += width;
        left.push_back(stations.front() - reach);
        right.push_back(stations.back() + reach);
    }
    mesh.x.assign(left.rbegin(), left.rend());
    mesh.x.insert(mesh.x.end(), inner.begin(), inner.end());
    mesh.x.insert(mesh.x.end(), right.begin(), right.end());

    // Down: the top cell as thin as a quarter of the station spacing or a
    // tenth of the shallowest skin depth, whichever is less.
    double thickness = std::min(spacing / 4, skinDepth(startResistivity, highest) / 10);
    mesh.z = {0};
    while (mesh.z.back() < bottom) {
        mesh.z.push_back(mesh.z.back() + thickness);
        thickness *= kGrowthDown;
    }
    return mesh;
}

} // namespace veldro
