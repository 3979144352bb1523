#include "maps/placed_sections.h"

#include "interpretation/body_extent.h"
#include "maps/number_format.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace veldro {

namespace {

ProfileTrack placedTrack(const StationPositions& positions, int profile) {
    ProfileTrack track(positions, profile);
    if (!track.placed())
        throw std::invalid_argument("profile " + std::to_string(profile) +
                                    " has no positions in the positions file");
    return track;
}

// A cell of an inversion's grid: an upright rectangle.
struct Cell {
    double left, right, top, bottom, resistivity;
};

std::vector<Cell> cellsUnderStations(const ProfileSection& section) {
    const std::vector<double>& stations = section.model.stations;
    std::vector<Cell> cells;
    for (const Body& body : section.model.bodies) {
        if (body.polygon.size() != 4 || stations.empty()) continue;
        double left = body.polygon[0].x, right = left, top = body.polygon[0].z, bottom = top;
        for (const SectionPoint& p : body.polygon) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.z);
            bottom = std::max(bottom, p.z);
        }
        // The padding beyond the outer stations is left out, and the cells
        // at the ends end there: the positions reach no farther.
        const double centre = (left + right) / 2;
        if (centre < stations.front() || centre > stations.back()) continue;
        cells.push_back({std::max(left, stations.front()), std::min(right, stations.back()), top,
                         bottom, body.resistivity});
    }
    if (cells.empty())
        throw std::invalid_argument(
            "the section of profile " + std::to_string(section.profile) +
            " has no cells under its stations: is it an inversion's model?");
    return cells;
}

} // namespace

std::optional<int> profileOfModelFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    constexpr std::string_view prefix = "profile-", suffix = ".json";
    if (!name.starts_with(prefix) || !name.ends_with(suffix)) return std::nullopt;
    const std::string number =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (number.empty() || number.size() > 6) return std::nullopt;
    std::size_t used = 0;
    try {
        const int profile = std::stoi(number, &used);
        if (used == number.size() && profile >= -32768 && profile <= 32767) return profile;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::vector<MappedValue> sliceValues(const std::vector<ProfileSection>& sections,
                                     const StationPositions& positions, SliceLevel level) {
    std::vector<MappedValue> values;
    for (const ProfileSection& section : sections) {
        const ProfileTrack track = placedTrack(positions, section.profile);
        // The section is read down the middle of each column of its cells,
        // where its values stand (a station may lie on a column's edge).
        std::vector<double> columns;
        for (const Cell& cell : cellsUnderStations(section))
            columns.push_back((cell.left + cell.right) / 2);
        std::sort(columns.begin(), columns.end());
        columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
        bool anyHeight = false;
        for (const double x : columns) {
            const std::optional<PlanPoint> at = track.plan(x);
            const std::optional<double> surface = track.elevation(x);
            anyHeight = anyHeight || surface.has_value();
            if (!at || (level.elevation && !surface)) continue;
            const double depth = level.elevation ? *surface - level.metres : level.metres;
            if (depth < 0) continue;
            values.push_back({section.profile, x, *at, resistivityAt(section.model, x, depth)});
        }
        if (level.elevation && !anyHeight)
            throw std::invalid_argument("profile " + std::to_string(section.profile) +
                                        " has no elevations in the positions file: a slice at "
                                        "an elevation needs them (--depth does not)");
    }
    return values;
}

std::string sectionsVtu(const std::vector<ProfileSection>& sections,
                        const StationPositions& positions) {
    std::string points, connectivity, offsets, types, resistivity, logResistivity, profiles;
    std::size_t pointCount = 0, cellCount = 0;
    for (const ProfileSection& section : sections) {
        const ProfileTrack track = placedTrack(positions, section.profile);
        for (const Cell& cell : cellsUnderStations(section)) {
            const std::optional<PlanPoint> left = track.plan(cell.left);
            const std::optional<PlanPoint> right = track.plan(cell.right);
            if (!left || !right) continue;
            const double surfaceLeft = track.elevation(cell.left).value_or(0);
            const double surfaceRight = track.elevation(cell.right).value_or(0);
            // Counter-clockwise seen from the side: top left, top right,
            // bottom right, bottom left.
            const struct {
                const PlanPoint& at;
                double height;
            } corners[4] = {{*left, surfaceLeft - cell.top},
                            {*right, surfaceRight - cell.top},
                            {*right, surfaceRight - cell.bottom},
                            {*left, surfaceLeft - cell.bottom}};
            for (const auto& corner : corners) {
                points += millimetres(corner.at.easting) + ' ' + millimetres(corner.at.northing) +
                          ' ' + millimetres(corner.height) + '\n';
                connectivity += std::to_string(pointCount++) + ' ';
            }
            ++cellCount;
            offsets += std::to_string(pointCount) + ' ';
            types += "9 "; // VTK_QUAD
            resistivity += significantNumber(cell.resistivity) + ' ';
            logResistivity += significantNumber(std::log10(cell.resistivity)) + ' ';
            profiles += std::to_string(section.profile) + ' ';
        }
    }
    const auto array = [](const std::string& type, const std::string& name,
                          const std::string& values) {
        return "<DataArray type=\"" + type + "\" Name=\"" + name + "\" format=\"ascii\">\n" +
               values + "\n</DataArray>\n";
    };
    return "<?xml version=\"1.0\"?>\n"
           "<VTKFile type=\"UnstructuredGrid\" version=\"0.1\" byte_order=\"LittleEndian\">\n"
           "<UnstructuredGrid>\n<Piece NumberOfPoints=\"" +
           std::to_string(pointCount) + "\" NumberOfCells=\"" + std::to_string(cellCount) +
           "\">\n<Points>\n<DataArray type=\"Float64\" NumberOfComponents=\"3\" "
           "format=\"ascii\">\n" +
           points + "</DataArray>\n</Points>\n<Cells>\n" +
           array("Int64", "connectivity", connectivity) + array("Int64", "offsets", offsets) +
           array("UInt8", "types", types) +
           "</Cells>\n<CellData Scalars=\"Resistivity (ohm.m)\">\n" +
           array("Float64", "Resistivity (ohm.m)", resistivity) +
           array("Float64", "log10 Resistivity", logResistivity) +
           array("Int32", "Profile", profiles) +
           "</CellData>\n</Piece>\n</UnstructuredGrid>\n</VTKFile>\n";
}

} // namespace veldro
