#include "maps/map_features.h"
#include "maps/number_format.h"

#include <stdexcept>

namespace veldro {

namespace {

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string jsonPosition(const PlanPoint& p) {
    return '[' + millimetres(p.easting) + ',' + millimetres(p.northing) + ']';
}

std::string jsonPath(const std::vector<PlanPoint>& path) {
    std::string out = "[";
    for (const PlanPoint& p : path) out += (out.size() > 1 ? "," : "") + jsonPosition(p);
    return out + ']';
}

std::string jsonValue(const MappedValue& v) {
    return "\"profile\":" + std::to_string(v.profile) +
           ",\"station\":" + shortestNumber(v.station) + ",\"value\":" + shortestNumber(v.value);
}

std::vector<PlanPoint> axisPath(const AnomalyAxis& axis) {
    std::vector<PlanPoint> path;
    for (const MappedValue& pick : axis.picks) path.push_back(pick.at);
    return path;
}

double axisPeak(const AnomalyAxis& axis) {
    double peak = axis.picks.front().value;
    for (const MappedValue& pick : axis.picks) peak = std::max(peak, pick.value);
    return peak;
}

std::string xmlText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

} // namespace

std::string geoJson(const MapFeatures& features) {
    std::string out = "{\"type\":\"FeatureCollection\",\"name\":" + jsonText(features.valueName);
    if (features.crs)
        out += ",\"crs\":{\"type\":\"name\",\"properties\":{\"name\":\"urn:ogc:def:crs:EPSG::" +
               std::to_string((features.crs->north ? 32600 : 32700) + features.crs->zone) + "\"}}";
    out += ",\"features\":[";
    bool first = true;
    const auto feature = [&](const std::string& geometry, const std::string& properties) {
        out += first ? "\n" : ",\n";
        first = false;
        out += "{\"type\":\"Feature\",\"geometry\":" + geometry + ",\"properties\":{" + properties +
               "}}";
    };
    for (const MappedValue& v : features.values)
        feature("{\"type\":\"Point\",\"coordinates\":" + jsonPosition(v.at) + '}',
                "\"kind\":\"value\"," + jsonValue(v));
    for (const MappedLine& line : features.lines)
        feature("{\"type\":\"LineString\",\"coordinates\":" + jsonPath(line.path) + '}',
                "\"kind\":\"line\",\"profile\":" + std::to_string(line.profile));
    for (const AnomalyAxis& axis : features.axes) {
        const std::string geometry =
            axis.picks.size() == 1
                ? "{\"type\":\"Point\",\"coordinates\":" + jsonPosition(axis.picks[0].at) + '}'
                : "{\"type\":\"LineString\",\"coordinates\":" + jsonPath(axisPath(axis)) + '}';
        feature(geometry, "\"kind\":\"anomaly axis\",\"peak\":" + shortestNumber(axisPeak(axis)));
    }
    return out + "\n]}\n";
}

std::string kml(const MapFeatures& features) {
    if (!features.crs)
        throw std::invalid_argument(
            "KML needs latitude and longitude: give the positions' coordinate system with --crs");
    const UtmZone& zone = *features.crs;
    const auto coordinates = [&](const std::vector<PlanPoint>& path) {
        std::string out = "<coordinates>";
        for (const PlanPoint& p : path) {
            const LatLon ll = latLonOf(zone, p.easting, p.northing);
            if (out.back() != '>') out += ' ';
            out += fixedNumber(ll.longitude, 8) + ',' + fixedNumber(ll.latitude, 8);
        }
        return out + "</coordinates>";
    };
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>" +
                      xmlText(features.valueName) + "</name>\n";
    out += "<Folder>\n<name>Values</name>\n";
    for (const MappedValue& v : features.values)
        out += "<Placemark><name>" + significantNumber(v.value) + "</name><description>profile " +
               std::to_string(v.profile) + " station " + shortestNumber(v.station) +
               "</description><Point>" + coordinates({v.at}) + "</Point></Placemark>\n";
    out += "</Folder>\n<Folder>\n<name>Lines</name>\n";
    for (const MappedLine& line : features.lines)
        out += "<Placemark><name>Profile " + std::to_string(line.profile) + "</name><LineString>" +
               coordinates(line.path) + "</LineString></Placemark>\n";
    out += "</Folder>\n<Folder>\n<name>Anomaly axes</name>\n";
    for (const AnomalyAxis& axis : features.axes) {
        const std::string geometry =
            axis.picks.size() == 1 ? "<Point>" + coordinates(axisPath(axis)) + "</Point>"
                                   : "<LineString>" + coordinates(axisPath(axis)) + "</LineString>";
        out += "<Placemark><name>peak " + significantNumber(axisPeak(axis)) + "</name>" + geometry +
               "</Placemark>\n";
    }
    return out + "</Folder>\n</Document>\n</kml>\n";
}

} // namespace veldro
