#pragma once

// Where a map goes: a grid, GIS or Google Earth file, or a picture, by the
// extension -o gives; checked before the work, written after it.
#include "cli.h"
#include "map_picture.h"
#include "maps/minimum_curvature.h"
#include "maps/survey_maps.h"
#include "maps/utm.h"

#include <optional>
#include <string>

namespace veldro::cli {

enum class MapFormat { EsriGrid, SurferGrid, GeoJson, Kml, Picture };

struct MapRequest {
    std::string output;
    MapFormat format = MapFormat::Picture;
    std::optional<UtmZone> crs;
    GriddingOptions gridding;
};

// -o, --crs, --cell and --anisotropy; a usage error for an unknown kind of
// file, or KML without --crs; a failure for KML in a build without
// GeographicLib.
MapRequest mapRequest(const Arguments& args);

// The extension of a file name, in lower case (".asc").
std::string extensionOf(const std::string& path);

// Says which profiles the positions leave out; fails when they place nothing.
void reportPlacing(const PlacedValues& placed, const std::string& positionsFile);

// Writes the map in the asked format, gridding its values where the format
// needs a grid; a logarithmic quantity (resistivity) is gridded as its
// logarithm.
void writeMap(const Arguments& args, const MapRequest& request, MapPicture picture);

} // namespace veldro::cli
