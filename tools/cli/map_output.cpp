#include "map_output.h"

#include "data/file_io.h"
#include "maps/grid_files.h"

#include <cmath>
#include <filesystem>
#include <iostream>

namespace veldro::cli {

std::string extensionOf(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

namespace {

MapFormat mapFormat(const std::string& output) {
    const std::string ext = extensionOf(output);
    if (ext == ".asc") return MapFormat::EsriGrid;
    if (ext == ".grd") return MapFormat::SurferGrid;
    if (ext == ".geojson") return MapFormat::GeoJson;
    if (ext == ".kml") return MapFormat::Kml;
    if (isPictureName(output)) return MapFormat::Picture;
    throw UsageError("-o names a .asc, .grd, .geojson, .kml, .png, .svg or .pdf file, not " +
                     output);
}

std::optional<UtmZone> crsOption(const Arguments& args) {
    if (!args.hasValue("--crs")) return std::nullopt;
    const std::optional<UtmZone> zone = readCrs(args.value("--crs"));
    if (!zone) throw UsageError(std::string("--crs takes ") + kCrsWanted);
    return zone;
}

} // namespace

MapRequest mapRequest(const Arguments& args) {
    MapRequest request{requireOutput(args), MapFormat::Picture, crsOption(args), {}};
    request.format = mapFormat(request.output);
    if (request.format == MapFormat::Kml) {
        if (!request.crs)
            throw UsageError("KML needs latitude and longitude: give the positions' coordinate "
                             "system with --crs (a UTM zone such as 33N, or EPSG:32633)");
        if (!canComputeLatLon())
            throw CommandFailed("this build cannot compute latitude and longitude (it has no "
                                "GeographicLib): write a GeoJSON or grid file instead of KML");
    }
    request.gridding.cell = numberOption(args, "--cell", 0, 1e-3, 1e6, "a cell size in metres");
    request.gridding.anisotropy =
        numberOption(args, "--anisotropy", 1, 1, 100, "a ratio from 1 to 100");
    return request;
}

void reportPlacing(const PlacedValues& placed, const std::string& positionsFile) {
    for (const int profile : placed.unplacedProfiles)
        std::cerr << "profile " << profile << " has no positions in " << positionsFile
                  << ": left off the map\n";
    if (placed.values.empty())
        throw CommandFailed("No positions for the values to map: " + positionsFile +
                            " places none of their stations");
}

void writeMap(const Arguments& args, const MapRequest& request, MapPicture picture) {
    picture.features.crs = request.crs;
    const MapFeatures& features = picture.features;
    if (request.format == MapFormat::GeoJson) {
        writeFileAtomically(request.output, geoJson(features));
        return;
    }
    if (request.format == MapFormat::Kml) {
        writeFileAtomically(request.output, kml(features));
        return;
    }
    std::vector<ScatterPoint> points = scatterPoints(features.values);
    if (picture.logarithmic)
        for (ScatterPoint& p : points) p.value = std::log10(p.value);
    try {
        picture.grid = gridMinimumCurvature(points, request.gridding);
    } catch (const std::invalid_argument& e) {
        throw CommandFailed(e.what());
    }
    if (picture.logarithmic)
        for (double& v : picture.grid.values) v = std::pow(10.0, v);
    if (request.format == MapFormat::Picture) {
        writeMapPicture(args, picture);
        return;
    }
    if (request.format == MapFormat::SurferGrid) {
        writeFileAtomically(request.output, surferGrid(picture.grid));
        return;
    }
    writeFileAtomically(request.output, esriAsciiGrid(picture.grid));
    if (request.crs)
        writeFileAtomically(
            std::filesystem::path(request.output).replace_extension(".prj").string(),
            prjText(*request.crs));
}

} // namespace veldro::cli

namespace veldro::cli {

bool isPictureName(const std::string& output) {
    const std::string ext = extensionOf(output);
    return ext == ".png" || ext == ".svg" || ext == ".pdf";
}

#ifndef VELDRO_PLOT
void writeMapPicture(const Arguments&, const MapPicture&) {
    throw CommandFailed("this build draws no pictures (it was built without the window): write "
                        "a .asc, .grd, .geojson or .kml file instead");
}
#endif

} // namespace veldro::cli
