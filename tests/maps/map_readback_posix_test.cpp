// The files for other programs read back as those programs would: GeoJSON by
// Python's json, KML by its XML parser, the ASCII grid by a few lines of
// Python, the sections by VTK's own reader (python3-vtk9).
#include "maps/grid_files.h"
#include "maps/map_features.h"
#include "maps/placed_sections.h"
#include "section_models.h"
#include "test_support.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>

namespace veldro {
namespace {

using test::TempDir;

// What Debian's python3 prints (python3-vtk9 is for that one, whatever
// other Python comes first on the path) running `script` on the file holding `contents`.
std::string python(const std::string& script, const std::string& contents) {
    const TempDir dir;
    test::writeBytes(dir.file("input"), contents);
    test::writeBytes(dir.file("script.py"), script);
    FILE* pipe =
        popen(("/usr/bin/python3 " + dir.file("script.py") + ' ' + dir.file("input")).c_str(), "r");
    std::string out;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << out;
    return out;
}

MapFeatures twoLines() {
    MapFeatures f;
    f.valueName = "Fraser (%)";
    f.crs = UtmZone{33, true};
    f.values = {{1, 12.5, {500000, 7000000}, 3.25}, {2, 25, {500050, 7000100.5}, -7}};
    f.lines = {{1, {{500000, 6999900}, {500000, 7000100}}},
               {2, {{500050, 6999900}, {500050, 7000100}}}};
    f.axes = {{{f.values[0], f.values[1]}}, {{f.values[1]}}};
    return f;
}

TEST(MapReadback, GeoJsonHoldsTheValuesAndGeometryWritten) {
    const std::string out = python(R"py(import json, sys
d = json.load(open(sys.argv[1]))
print(d["type"], d["crs"]["properties"]["name"])
for f in d["features"]:
    g, p = f["geometry"], f["properties"]
    print(p["kind"], g["type"], json.dumps(g["coordinates"]), p.get("profile"), p.get("station"), p.get("value"), p.get("peak"))
)py",
                                   geoJson(twoLines()));
    EXPECT_EQ(out, "FeatureCollection urn:ogc:def:crs:EPSG::32633\n"
                   "value Point [500000, 7000000] 1 12.5 3.25 None\n"
                   "value Point [500050, 7000100.5] 2 25 -7 None\n"
                   "line LineString [[500000, 6999900], [500000, 7000100]] 1 None None None\n"
                   "line LineString [[500050, 6999900], [500050, 7000100]] 2 None None None\n"
                   "anomaly axis LineString [[500000, 7000000], [500050, 7000100.5]] None None "
                   "None 3.25\n"
                   "anomaly axis Point [500050, 7000100.5] None None None -7\n");
}

TEST(MapReadback, KmlIsValidXmlWithThePointsWhereTheyLie) {
    if (!canComputeLatLon()) GTEST_SKIP() << "this build has no GeographicLib";
    // In zone 38N, GeographicLib's own example point (33.3 N, 44.4 E) and the
    // zone's central meridian (45 E) at the equator.
    const MappedValue example{1, 0, {444140.54, 3684706.36}, 3.25}, equator{2, 0, {500000, 0}, -7};
    MapFeatures f;
    f.valueName = "Rho & phase <test>";
    f.crs = UtmZone{38, true};
    f.values = {example, equator};
    f.lines = {{1, {example.at, equator.at}}};
    f.axes = {{{example, equator}}, {{equator}}};
    const std::string out = python(R"py(import sys, xml.etree.ElementTree as ET
ns = {"k": "http://www.opengis.net/kml/2.2"}
root = ET.parse(sys.argv[1]).getroot()
print(root.find("k:Document/k:name", ns).text)
for p in root.iterfind(".//k:Placemark", ns):
    c = [tuple(map(float, xy.split(","))) for xy in p.find(".//k:coordinates", ns).text.split()]
    print(p.find("k:name", ns).text, " ".join("%.6f,%.6f" % xy for xy in c))
)py",
                                   kml(f));
    EXPECT_EQ(out, "Rho & phase <test>\n"
                   "3.25 44.400000,33.300000\n"
                   "-7 45.000000,0.000000\n"
                   "Profile 1 44.400000,33.300000 45.000000,0.000000\n"
                   "peak 3.25 44.400000,33.300000 45.000000,0.000000\n"
                   "peak -7 45.000000,0.000000\n");
    f.crs.reset();
    EXPECT_THROW(kml(f), std::invalid_argument);
}

TEST(MapReadback, AsciiGridReadsBackNodeForNode) {
    const PlanGrid grid{{1000, 2000, 10, 2, 3}, {1, 2, 3, 4, NAN, 6}};
    const std::string out = python(R"py(import sys
lines = open(sys.argv[1]).read().split("\n")
head = dict(l.split() for l in lines[:6])
rows = [l.split() for l in lines[6:] if l]
nodata = head["NODATA_value"]
for r, row in enumerate(reversed(rows)):
    for c, v in enumerate(row):
        x = float(head["xllcenter"]) + c * float(head["cellsize"])
        y = float(head["yllcenter"]) + r * float(head["cellsize"])
        print(x, y, "blank" if v == nodata else float(v))
)py",
                                   esriAsciiGrid(grid));
    EXPECT_EQ(out, "1000.0 2000.0 1.0\n1010.0 2000.0 2.0\n1000.0 2010.0 3.0\n"
                   "1010.0 2010.0 4.0\n1000.0 2020.0 blank\n1010.0 2020.0 6.0\n");
}

TEST(MapReadback, VtkReadsTheSectionsWhereTheyStand) {
    if (std::system("/usr/bin/python3 -c 'import vtkmodules.vtkIOXML' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3-vtk9 is not installed (scripts/setup installs it)";
    // Profile 2 walked north at easting 1000, its ground rising from 300 to
    // 320 m; profile 3 at 1050 without heights (its surface at 0).
    const StationPositions positions({{{2, 0}, PlanPoint{1000, 0}, 300},
                                      {{2, 100}, PlanPoint{1000, 100}, 320},
                                      {{3, 0}, PlanPoint{1050, 0}, std::nullopt},
                                      {{3, 100}, PlanPoint{1050, 100}, std::nullopt}});
    const std::string out =
        python(R"py(import sys
from vtkmodules.vtkIOXML import vtkXMLUnstructuredGridReader
r = vtkXMLUnstructuredGridReader()
r.SetFileName(sys.argv[1])
r.Update()
g = r.GetOutput()
print(g.GetNumberOfCells(), ["%g" % b for b in g.GetBounds()])
print(["%g" % v for v in g.GetCellData().GetArray("Resistivity (ohm.m)").GetRange()])
)py",
               sectionsVtu({{2, test::gridSection(1)}, {3, test::gridSection(100)}}, positions));
    // Each section keeps the middle two columns of both rows; the padding goes.
    EXPECT_EQ(out, "8 ['1000', '1050', '0', '100', '-30', '320']\n['1', '800']\n");
}

} // namespace
} // namespace veldro
