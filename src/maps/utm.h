#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veldro {

// The coordinate system of the positions: a zone of the Universal Transverse
// Mercator projection on WGS 84, eastings and northings in metres.
struct UtmZone {
    int zone = 0; // 1 to 60
    bool north = true;
    bool operator==(const UtmZone&) const = default;
};

// What --crs takes, said when it is not that.
inline constexpr const char* kCrsWanted =
    "a UTM zone such as 33N or 33S, or its EPSG code such as EPSG:32633 (326xx north, 327xx south)";
// "33N", "33s", "EPSG:32633" or "32733"; nothing for anything else.
std::optional<UtmZone> readCrs(std::string_view text);
// "WGS 84 / UTM zone 33N".
std::string crsName(const UtmZone& zone);
// The zone as a .prj file's text: the projection in ESRI's WKT.
std::string prjText(const UtmZone& zone);

struct LatLon {
    double latitude = 0;  // degrees, north positive
    double longitude = 0; // degrees, east positive
};

// Whether this build can compute latitude and longitude (GeographicLib).
bool canComputeLatLon();
// The latitude and longitude of an easting and northing in the zone.
// Throws std::invalid_argument when the point lies outside what the zone
// can hold, std::logic_error when the build cannot compute it.
LatLon latLonOf(const UtmZone& zone, double easting, double northing);

} // namespace veldro
