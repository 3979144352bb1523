#include "maps/utm.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

#ifdef VELDRO_GEOGRAPHICLIB
#include <GeographicLib/UTMUPS.hpp>
#endif

namespace veldro {

namespace {

bool readWhole(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

} // namespace

std::optional<UtmZone> readCrs(std::string_view text) {
    std::string upper;
    for (const char c : text)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string_view t = upper;
    if (t.starts_with("EPSG:")) t.remove_prefix(5);
    int code = 0;
    if (t.size() == 5 && readWhole(t, code)) {
        // WGS 84 / UTM: 32601 to 32660 north, 32701 to 32760 south.
        const int zone = code % 100;
        if (zone < 1 || zone > 60 || (code / 100 != 326 && code / 100 != 327)) return std::nullopt;
        return UtmZone{zone, code / 100 == 326};
    }
    if (t.size() < 2 || (t.back() != 'N' && t.back() != 'S')) return std::nullopt;
    int zone = 0;
    if (!readWhole(t.substr(0, t.size() - 1), zone) || zone < 1 || zone > 60) return std::nullopt;
    return UtmZone{zone, t.back() == 'N'};
}

std::string crsName(const UtmZone& zone) {
    return "WGS 84 / UTM zone " + std::to_string(zone.zone) + (zone.north ? "N" : "S");
}

std::string prjText(const UtmZone& zone) {
    const int centralMeridian = zone.zone * 6 - 183;
    return "PROJCS[\"WGS_1984_UTM_Zone_" + std::to_string(zone.zone) + (zone.north ? "N" : "S") +
           "\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,"
           "298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],"
           "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",500000.0],"
           "PARAMETER[\"False_Northing\"," +
           (zone.north ? "0.0" : "10000000.0") + "],PARAMETER[\"Central_Meridian\"," +
           std::to_string(centralMeridian) +
           ".0],PARAMETER[\"Scale_Factor\",0.9996],"
           "PARAMETER[\"Latitude_Of_Origin\",0.0],UNIT[\"Meter\",1.0]]\n";
}

#ifdef VELDRO_GEOGRAPHICLIB
bool canComputeLatLon() {
    return true;
}

LatLon latLonOf(const UtmZone& zone, double easting, double northing) {
    LatLon result;
    try {
        GeographicLib::UTMUPS::Reverse(zone.zone, zone.north, easting, northing, result.latitude,
                                       result.longitude);
    } catch (const GeographicLib::GeographicErr&) {
        throw std::invalid_argument("easting " + std::to_string(easting) + ", northing " +
                                    std::to_string(northing) + " lies outside " + crsName(zone));
    }
    return result;
}
#else
bool canComputeLatLon() {
    return false;
}

LatLon latLonOf(const UtmZone&, double, double) {
    throw std::logic_error("this build cannot compute latitude and longitude (it has no "
                           "GeographicLib): write a GeoJSON or grid file instead of KML");
}
#endif

} // namespace veldro
