#pragma once

#include "data/station_positions.h"
#include "maps/utm.h"

#include <optional>
#include <string>
#include <vector>

namespace veldro {

// A value placed on the map: measured (or filtered) at a station, or between
// two (a Fraser value), of one profile.
struct MappedValue {
    int profile = 0;
    double station = 0;
    PlanPoint at;
    double value = 0;
};

// A profile as walked, from its first placed station to its last.
struct MappedLine {
    int profile = 0;
    std::vector<PlanPoint> path;
};

// The crest of an anomaly followed from line to line: its picks, one per
// profile, in profile order (a lone pick where no neighbour continues it).
struct AnomalyAxis {
    std::vector<MappedValue> picks;
};

// What a map shows besides its grid, for GIS programs and Google Earth.
struct MapFeatures {
    std::string valueName; // "Fraser (%)", "Resistivity (ohm.m)"
    std::vector<MappedValue> values;
    std::vector<MappedLine> lines;
    std::vector<AnomalyAxis> axes;
    std::optional<UtmZone> crs;
};

// The axes of the anomalies whose peak reaches `threshold`: on each line the
// values at or above it that are no lower than their neighbours on the line
// (values come line by line, in order along each), joined to the nearest
// pick of the next profile within `reach` metres.
std::vector<AnomalyAxis> anomalyAxes(const std::vector<MappedValue>& values, double threshold,
                                     double reach);

// GeoJSON: a FeatureCollection of the values (Points with profile, station
// and value), the lines (LineStrings with their profile) and the axes
// (LineStrings, or a Point for a lone pick, with their peak value), in the
// positions' own eastings and northings; with a coordinate system, the
// "crs" member names its EPSG code, as QGIS and GDAL read it.
std::string geoJson(const MapFeatures& features);

// KML for Google Earth: a Placemark per value (its value the name), per line
// and per axis, in latitude and longitude. Throws std::invalid_argument
// without a coordinate system, and std::logic_error in a build that cannot
// compute latitude and longitude.
std::string kml(const MapFeatures& features);

} // namespace veldro
