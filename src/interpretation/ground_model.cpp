#include "interpretation/ground_model.h"

#include "data/file_io.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>

namespace veldro {

namespace {

using nlohmann::json;

// Most stations a profile may have: beyond it the mesh would not fit in memory.
constexpr std::size_t kMostStations = 5000;
// Far more than any model file holds, however fine its grid.
constexpr std::size_t kLargestModelFile = 64 << 20;
// A model nests lists and objects six deep at most (a grid's rows); the
// parser's memory grows with the nesting, so a file of brackets stops early.
constexpr int kDeepestNesting = 16;
// More numbers, lists and objects than any model the solver could mesh: a
// bound on what the parsed file holds in memory.
constexpr std::size_t kMostValues = 1'000'000;
// A name from the file is cut to this many bytes in a message, and the
// parser's message (which quotes what it last read) to the second, so that a
// huge key or string gives a line that can be read.
constexpr std::size_t kLongestName = 40, kLongestParseError = 160;

// `text` cut to `length` bytes, at the start of a character, and "..." after it.
std::string cutText(const std::string& text, std::size_t length) {
    if (text.size() <= length) return text;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return text.substr(0, length) + "...";
}

[[noreturn]] void fail(const std::string& key, const std::string& reason) {
    throw ModelError(key + ": " + reason);
}

// The file's whole text (characters or bytes) as JSON, within the nesting
// and size bounds above.
template <class Text> json parsedFile(const Text& text) {
    std::size_t values = 0;
    const json::parser_callback_t bounded = [&](int depth, json::parse_event_t event, json&) {
        using Event = json::parse_event_t;
        if (event != Event::object_start && event != Event::array_start && event != Event::value)
            return true;
        if (event != Event::value && depth >= kDeepestNesting)
            fail("the file",
                 "lists and objects nested more than " + std::to_string(kDeepestNesting) + " deep");
        if (++values > kMostValues)
            fail("the file",
                 "more than " + std::to_string(kMostValues) + " numbers, lists and objects");
        return true;
    };
    try {
        return json::parse(text, bounded);
    } catch (const json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 7: ...
        // last read: '...'", whose last token may be the rest of the file.
        const std::string what = e.what();
        const auto start = what.find("] ");
        throw ModelError(cutText(start == std::string::npos ? what : what.substr(start + 2),
                                 kLongestParseError));
    }
}

std::string itemKey(const std::string& key, std::size_t index) {
    return key + '[' + std::to_string(index) + ']';
}

const json& member(const json& object, const std::string& key, const std::string& name) {
    const auto it = object.find(name);
    if (it == object.end()) fail(key.empty() ? name : key + '.' + name, "missing");
    return *it;
}

void expectKeys(const json& object, const std::string& key,
                std::initializer_list<const char*> known) {
    if (!object.is_object()) fail(key.empty() ? "the file" : key, "must be an object {...}");
    for (const auto& item : object.items())
        if (std::none_of(known.begin(), known.end(),
                         [&](const char* name) { return item.key() == name; }))
            fail((key.empty() ? "" : key + '.') + cutText(item.key(), kLongestName), "unknown key");
}

double number(const json& value, const std::string& key) {
    if (!value.is_number() || !std::isfinite(value.get<double>())) fail(key, "must be a number");
    return value.get<double>();
}

double positive(const json& value, const std::string& key) {
    const double v = number(value, key);
    if (!(v > 0)) fail(key, "must be a number above 0");
    return v;
}

double depth(const json& value, const std::string& key) {
    const double v = number(value, key);
    if (v < 0) fail(key, "must not lie above the surface (z 0 or more)");
    return v;
}

const json& array(const json& value, const std::string& key, bool mayBeEmpty) {
    if (!value.is_array()) fail(key, "must be a list [...]");
    if (!mayBeEmpty && value.empty()) fail(key, "must not be empty");
    return value;
}

std::vector<Layer> layersOf(const json& value) {
    std::vector<Layer> layers;
    const json& list = array(value, "layers", false);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string key = itemKey("layers", i);
        expectKeys(list[i], key, {"thickness", "resistivity"});
        Layer layer;
        layer.resistivity = positive(member(list[i], key, "resistivity"), key + ".resistivity");
        const bool last = i + 1 == list.size();
        if (last && list[i].contains("thickness"))
            fail(key + ".thickness", "the last layer reaches down without end: leave it out");
        if (!last)
            layer.thickness = positive(member(list[i], key, "thickness"), key + ".thickness");
        layers.push_back(layer);
    }
    return layers;
}

std::vector<SectionPoint> polygonOf(const json& value, const std::string& key) {
    const json& list = array(value, key, false);
    std::vector<SectionPoint> corners;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string cornerKey = itemKey(key, i);
        if (!list[i].is_array() || list[i].size() != 2) fail(cornerKey, "must be a corner [x, z]");
        corners.push_back(
            {number(list[i][0], cornerKey + "[0]"), depth(list[i][1], cornerKey + "[1]")});
    }
    if (corners.size() < 3) fail(key, "needs 3 corners or more");
    double twiceArea = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const SectionPoint& a = corners[i];
        const SectionPoint& b = corners[(i + 1) % corners.size()];
        twiceArea += a.x * b.z - b.x * a.z;
    }
    if (twiceArea == 0) fail(key, "encloses no area");
    return corners;
}

Body sheetOf(const json& value, const std::string& key) {
    expectKeys(value, key, {"x", "top", "extent", "dip", "thickness", "conductance"});
    const double x = number(member(value, key, "x"), key + ".x");
    const double top = depth(member(value, key, "top"), key + ".top");
    const double extent = positive(member(value, key, "extent"), key + ".extent");
    const double dip = number(member(value, key, "dip"), key + ".dip");
    if (dip < 0 || dip > 180) fail(key + ".dip", "must be from 0 to 180 degrees");
    const double thickness = positive(member(value, key, "thickness"), key + ".thickness");
    const double conductance = positive(member(value, key, "conductance"), key + ".conductance");
    // A corner a half thickness above the surface is brought down to it (the
    // air takes nothing of a body), so that the model is one a file can hold.
    Body sheet{sheetPolygon(x, top, extent, dip, thickness), thickness / conductance};
    for (SectionPoint& corner : sheet.polygon) corner.z = std::max(corner.z, 0.0);
    return sheet;
}

std::vector<double> edgesOf(const json& value, const std::string& key) {
    const json& list = array(value, key, false);
    std::vector<double> edges;
    for (std::size_t i = 0; i < list.size(); ++i) {
        edges.push_back(number(list[i], itemKey(key, i)));
        if (i > 0 && !(edges[i] > edges[i - 1])) fail(itemKey(key, i), "edges must rise");
    }
    if (edges.size() < 2) fail(key, "needs 2 edges or more");
    return edges;
}

// A value per cell, row after row from the top: `rows` rows of `columns`.
std::vector<double> cellValues(const json& value, const std::string& key, std::size_t rows,
                               std::size_t columns,
                               double (*read)(const json&, const std::string&)) {
    const json& list = array(value, key, false);
    if (list.size() != rows)
        fail(key, "needs one row per cell down (" + std::to_string(rows) + ")");
    std::vector<double> values;
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string rowKey = itemKey(key, r);
        const json& row = array(list[r], rowKey, false);
        if (row.size() != columns)
            fail(rowKey, "needs one value per cell across (" + std::to_string(columns) + ")");
        for (std::size_t c = 0; c < columns; ++c)
            values.push_back(read(row[c], itemKey(rowKey, c)));
    }
    return values;
}

double share(const json& value, const std::string& key) {
    const double v = number(value, key);
    if (v < 0 || v > 1) fail(key, "must be a number from 0 to 1");
    return v;
}

// One rectangle body per cell, rows from the top down. The model's first
// body keeps its cells as one grid.
void addGrid(const json& value, const std::string& key, GroundModel& model) {
    expectKeys(value, key, {"x", "z", "resistivity", "sensitivity"});
    CellGrid grid{edgesOf(member(value, key, "x"), key + ".x"),
                  edgesOf(member(value, key, "z"), key + ".z"),
                  {}};
    const std::vector<double>&xs = grid.x, &zs = grid.z;
    if (zs.front() < 0) fail(key + ".z[0]", "must not lie above the surface (z 0 or more)");
    const std::size_t rows = zs.size() - 1, columns = xs.size() - 1;
    const std::vector<double> resistivity = cellValues(
        member(value, key, "resistivity"), key + ".resistivity", rows, columns, positive);
    if (value.contains("sensitivity"))
        grid.sensitivity =
            cellValues(value["sensitivity"], key + ".sensitivity", rows, columns, share);
    if (model.bodies.empty()) model.grid = grid;
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t c = 0; c < columns; ++c)
            model.bodies.push_back(
                {{{xs[c], zs[r]}, {xs[c + 1], zs[r]}, {xs[c + 1], zs[r + 1]}, {xs[c], zs[r + 1]}},
                 resistivity[r * columns + c]});
}

void addBodies(const json& value, GroundModel& model) {
    const json& list = array(value, "bodies", true);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string key = itemKey("bodies", i);
        const json& body = list[i];
        if (!body.is_object()) fail(key, "must be an object {...}");
        if (body.contains("polygon")) {
            expectKeys(body, key, {"polygon", "resistivity"});
            model.bodies.push_back(
                {polygonOf(body["polygon"], key + ".polygon"),
                 positive(member(body, key, "resistivity"), key + ".resistivity")});
        } else if (body.contains("sheet")) {
            expectKeys(body, key, {"sheet"});
            model.bodies.push_back(sheetOf(body["sheet"], key + ".sheet"));
        } else if (body.contains("grid")) {
            expectKeys(body, key, {"grid"});
            addGrid(body["grid"], key + ".grid", model);
        } else {
            fail(key, "must hold a polygon, a sheet or a grid");
        }
    }
}

std::vector<double> stationsOf(const json& value) {
    std::vector<double> stations;
    if (value.is_object()) {
        expectKeys(value, "stations", {"from", "to", "step"});
        const double from = number(member(value, "stations", "from"), "stations.from");
        const double to = number(member(value, "stations", "to"), "stations.to");
        const double step = positive(member(value, "stations", "step"), "stations.step");
        if (to < from) fail("stations.to", "must not lie before stations.from");
        if ((to - from) / step >= kMostStations)
            fail("stations", "more than " + std::to_string(kMostStations) + " stations");
        // Counted, not added up, so that the last station is not lost to rounding.
        const auto count = static_cast<std::size_t>(std::floor((to - from) / step + 1e-9)) + 1;
        for (std::size_t i = 0; i < count; ++i)
            stations.push_back(from + static_cast<double>(i) * step);
    } else {
        if (!value.is_array())
            fail("stations", "must be a list [...] or {\"from\", \"to\", \"step\"}");
        const json& list = array(value, "stations", false);
        if (list.size() > kMostStations)
            fail("stations", "more than " + std::to_string(kMostStations) + " stations");
        for (std::size_t i = 0; i < list.size(); ++i)
            stations.push_back(number(list[i], itemKey("stations", i)));
        std::sort(stations.begin(), stations.end());
        stations.erase(std::unique(stations.begin(), stations.end()), stations.end());
    }
    return stations;
}

// Elevations as a positions file holds them, along a profile a station may lie on.
constexpr double kHighestElevation = 20000, kFarthestTerrainPoint = 1e7; // m

std::vector<TerrainPoint> topographyOf(const json& value) {
    const json& list = array(value, "topography", false);
    std::vector<TerrainPoint> points;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string key = itemKey("topography", i);
        if (!list[i].is_array() || list[i].size() != 2) fail(key, "must be a point [x, elevation]");
        const TerrainPoint p{number(list[i][0], key + "[0]"), number(list[i][1], key + "[1]")};
        if (std::fabs(p.x) > kFarthestTerrainPoint)
            fail(key + "[0]", "must lie within 10000000 m of 0");
        if (std::fabs(p.elevation) > kHighestElevation)
            fail(key + "[1]", "must be an elevation from -20000 to 20000 m");
        if (i > 0 && !(p.x > points.back().x)) fail(key + "[0]", "points must rise in x");
        points.push_back(p);
    }
    return points;
}

std::vector<double> frequenciesOf(const json& value) {
    const json& list = array(value, "frequencies", false);
    std::vector<double> frequencies;
    for (std::size_t i = 0; i < list.size(); ++i)
        frequencies.push_back(positive(list[i], itemKey("frequencies", i)));
    return frequencies;
}

GroundModel modelOf(const json& root) {
    expectKeys(root, "", {"layers", "bodies", "stations", "frequencies", "topography"});
    GroundModel model;
    model.layers = layersOf(member(root, "", "layers"));
    if (root.contains("bodies")) addBodies(root["bodies"], model);
    model.stations = stationsOf(member(root, "", "stations"));
    model.frequencies = frequenciesOf(member(root, "", "frequencies"));
    if (root.contains("topography")) model.topography = topographyOf(root["topography"]);
    // Cells under hills follow the surface: the inversion writes them as
    // polygons, and a grid of depths below the datum stays bodies.
    if (!model.topography.empty()) model.grid.reset();
    return model;
}

// Rows of `values` (one per cell, row after row), `columns` to a row.
json cellRows(const std::vector<double>& values, std::size_t columns) {
    json rows = json::array();
    for (std::size_t start = 0; start < values.size(); start += columns)
        rows.push_back(
            std::vector<double>(values.begin() + static_cast<std::ptrdiff_t>(start),
                                values.begin() + static_cast<std::ptrdiff_t>(start + columns)));
    return rows;
}

json gridJson(const GroundModel& model) {
    const CellGrid& grid = *model.grid;
    std::vector<double> resistivity;
    for (std::size_t i = 0; i < grid.cells(); ++i)
        resistivity.push_back(model.bodies[i].resistivity);
    const std::size_t columns = grid.x.size() - 1;
    json written = {{"x", grid.x}, {"z", grid.z}, {"resistivity", cellRows(resistivity, columns)}};
    if (!grid.sensitivity.empty()) written["sensitivity"] = cellRows(grid.sensitivity, columns);
    return written;
}

} // namespace

GroundModel parseGroundModel(const std::string& text) {
    return modelOf(parsedFile(text));
}

// Parsed from the bytes read, not a copy of them: a model file may be large.
GroundModel readGroundModel(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFileStart(path, kLargestModelFile + 1);
    if (bytes.size() > kLargestModelFile) throw ModelError("too large for a model file");
    return modelOf(parsedFile(bytes));
}

std::string groundModelJson(const GroundModel& model) {
    json layers = json::array();
    for (std::size_t i = 0; i < model.layers.size(); ++i) {
        json layer = {{"resistivity", model.layers[i].resistivity}};
        if (i + 1 < model.layers.size()) layer["thickness"] = model.layers[i].thickness;
        layers.push_back(layer);
    }
    json bodies = json::array();
    if (model.grid) bodies.push_back({{"grid", gridJson(model)}});
    for (std::size_t i = model.gridCells(); i < model.bodies.size(); ++i) {
        json polygon = json::array();
        for (const SectionPoint& point : model.bodies[i].polygon)
            polygon.push_back({point.x, point.z});
        bodies.push_back({{"polygon", polygon}, {"resistivity", model.bodies[i].resistivity}});
    }
    json root = {{"layers", layers},
                 {"bodies", bodies},
                 {"stations", model.stations},
                 {"frequencies", model.frequencies}};
    if (!model.topography.empty()) {
        json topography = json::array();
        for (const TerrainPoint& p : model.topography) topography.push_back({p.x, p.elevation});
        root["topography"] = topography;
    }
    return root.dump(2) + '\n';
}

std::vector<SectionPoint> sheetPolygon(double x, double top, double extent, double dip,
                                       double thickness) {
    const double angle = dip * std::numbers::pi / 180;
    const double downX = std::cos(angle) * extent, downZ = std::sin(angle) * extent;
    // Half the thickness across the sheet, at right angles to its dip.
    const double acrossX = std::sin(angle) * thickness / 2,
                 acrossZ = -std::cos(angle) * thickness / 2;
    return {{x - acrossX, top - acrossZ},
            {x + acrossX, top + acrossZ},
            {x + acrossX + downX, top + acrossZ + downZ},
            {x - acrossX + downX, top - acrossZ + downZ}};
}

} // namespace veldro
