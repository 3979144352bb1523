#include "interpretation/inversion_prior.h"

#include "data/file_io.h"
#include "data/number_text.h"
#include "interpretation/body_extent.h"
#include "interpretation/body_shape.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace veldro {

namespace {

// log10 of the least and the greatest resistivity a cell may take: beyond
// them a step is a linearisation's overshoot, not the ground.
constexpr double kLowest = -1, kHighest = 5;
// A borehole file is a few lines a hole: more than this is not one.
constexpr std::size_t kLargestBoreholeFile = 16 << 20;

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(line.substr(start, comma - start));
    fields.push_back(line.substr(start));
    for (std::string& field : fields) {
        const auto first = field.find_first_not_of(" \t\r");
        const auto last = field.find_last_not_of(" \t\r");
        field = first == std::string::npos ? "" : field.substr(first, last - first + 1);
    }
    return fields;
}

bool numberOf(const std::string& text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           std::isfinite(value);
}

[[noreturn]] void wrong(std::size_t line, const std::string& why) {
    throw BoreholeError("line " + std::to_string(line) + ": " + why);
}

} // namespace

std::vector<Borehole> parseBoreholes(const std::string& text) {
    std::vector<Borehole> boreholes;
    std::istringstream lines(text);
    std::string line;
    std::size_t number = 0;
    bool located = false; // a heading of boreholes seen
    bool byPlan = false;  // the last one "name,easting,northing"
    while (std::getline(lines, line)) {
        ++number;
        const std::vector<std::string> fields = fieldsOf(line);
        if (fields.size() == 1 && fields[0].empty()) continue;
        const bool onLine = fields == std::vector<std::string>{"name", "profile", "station"};
        if (onLine || fields == std::vector<std::string>{"name", "easting", "northing"}) {
            located = true;
            byPlan = !onLine;
            continue;
        }
        if (fields.size() >= 2 && fields[0] == "from" && fields[1] == "to") continue;
        if (!located)
            wrong(number, "the file must begin with name,profile,station or name,easting,northing");
        double first = 0;
        if (!numberOf(fields[0], first)) {
            // A borehole: name, then profile and station, or easting and northing.
            double a = 0, b = 0;
            const bool numbers =
                fields.size() == 3 && numberOf(fields[1], a) && numberOf(fields[2], b);
            if (byPlan) {
                if (!numbers) wrong(number, "a borehole is name,easting,northing");
                boreholes.push_back({fields[0], 0, 0, {}, PlanPoint{a, b}});
                continue;
            }
            if (!numbers || a != std::floor(a) || std::fabs(a) > 32767)
                wrong(number, "a borehole is name,profile,station");
            boreholes.push_back({fields[0], static_cast<int>(a), b, {}});
            continue;
        }
        BoreholeInterval interval;
        interval.from = first;
        if (boreholes.empty()) wrong(number, "an interval before any borehole");
        if (fields.size() < 3 || fields.size() > 4 || !numberOf(fields[1], interval.to) ||
            !(interval.from >= 0) || !(interval.to > interval.from))
            wrong(number, "an interval is from,to,resistivity,label with 0 <= from < to");
        if (!fields[2].empty() &&
            (!numberOf(fields[2], interval.resistivity) || !(interval.resistivity > 0)))
            wrong(number, "a resistivity must be a number above 0");
        if (fields.size() == 4) interval.label = fields[3];
        if (interval.resistivity == 0 && interval.label.empty())
            wrong(number, "an interval needs a resistivity or a label");
        boreholes.back().intervals.push_back(interval);
    }
    return boreholes;
}

std::vector<Borehole> readBoreholes(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFileStart(path, kLargestBoreholeFile + 1);
    if (bytes.size() > kLargestBoreholeFile) throw BoreholeError("too large for a borehole file");
    return parseBoreholes(std::string(bytes.begin(), bytes.end()));
}

std::vector<Borehole> placeBoreholes(std::vector<Borehole> boreholes,
                                     const StationPositions& positions) {
    for (Borehole& hole : boreholes) {
        if (!hole.plan) continue;
        // The nearest point of each piece of line between two stations with
        // a map position, consecutive on their profile.
        struct Nearest {
            double distance = INFINITY, station = 0, spacing = 0;
            int profile = 0;
        } nearest;
        const StationPosition* previous = nullptr;
        for (const StationPosition& p : positions.all()) {
            if (!p.plan) continue;
            if (previous && previous->key.profile == p.key.profile) {
                const PlanPoint &a = *previous->plan, &b = *p.plan;
                const double dx = b.easting - a.easting, dy = b.northing - a.northing;
                const double length = std::hypot(dx, dy);
                const double t = length > 0 ? std::clamp(((hole.plan->easting - a.easting) * dx +
                                                          (hole.plan->northing - a.northing) * dy) /
                                                             (length * length),
                                                         0.0, 1.0)
                                            : 0.0;
                const double distance = std::hypot(a.easting + t * dx - hole.plan->easting,
                                                   a.northing + t * dy - hole.plan->northing);
                if (distance < nearest.distance)
                    nearest = {distance,
                               previous->key.station + t * (p.key.station - previous->key.station),
                               length, p.key.profile};
            }
            previous = &p;
        }
        if (!std::isfinite(nearest.distance))
            throw BoreholeError(hole.name +
                                ": placed by easting and northing, but no two stations of a "
                                "profile have a position on the map to place it by (give the "
                                "data set a positions file, or the borehole's profile and "
                                "station)");
        if (nearest.distance > nearest.spacing) {
            std::string why = hole.name + ": ";
            appendPattern(why, nearest.distance, 0);
            why += " m off the nearest line (profile " + std::to_string(nearest.profile) +
                   " near station ";
            appendPattern(why, nearest.station, 0);
            why += "), farther than its stations' spacing of ";
            appendPattern(why, nearest.spacing, 0);
            throw BoreholeError(why + " m");
        }
        hole.profile = nearest.profile;
        hole.station = nearest.station;
    }
    return boreholes;
}

CellPrior cellPrior(const InversionMesh& mesh, const PriorKnowledge& prior, double startResistivity,
                    int profile) {
    const auto cells = static_cast<Eigen::Index>(mesh.cells());
    const double uniform = std::log10(startResistivity);
    CellPrior cell{Eigen::VectorXd::Constant(cells, uniform),
                   Eigen::VectorXd::Constant(cells, uniform),
                   Eigen::VectorXd::Constant(cells, kLowest),
                   Eigen::VectorXd::Constant(cells, kHighest),
                   Eigen::VectorXd::Zero(cells),
                   Eigen::VectorXd::Zero(cells)};
    const auto fix = [&](Eigen::Index i, double value) {
        cell.lowest[i] = cell.highest[i] = value;
        cell.start[i] = value;
    };
    for (std::size_t r = 0; r < mesh.rows(); ++r)
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            const auto i = static_cast<Eigen::Index>(r * mesh.columns() + c);
            const SectionPoint centre{(mesh.x[c] + mesh.x[c + 1]) / 2,
                                      (mesh.z[r] + mesh.z[r + 1]) / 2};
            const auto log10At = [&](const GroundModel& model) {
                return std::clamp(std::log10(resistivityAt(model, centre.x, centre.z)), kLowest,
                                  kHighest);
            };
            if (prior.start) cell.start[i] = log10At(*prior.start);
            if (prior.reference) cell.reference[i] = log10At(*prior.reference);
            if (prior.fixed)
                for (const Body& body : prior.fixed->bodies)
                    if (bodyContains(body, centre)) fix(i, log10At(*prior.fixed));
        }
    for (const Borehole& hole : prior.boreholes) {
        if (hole.profile != profile) continue;
        for (std::size_t c = 0; c < mesh.columns(); ++c) {
            // The columns either side of the station, which is an edge of the mesh.
            if (mesh.x[c] > hole.station || mesh.x[c + 1] < hole.station) continue;
            for (const BoreholeInterval& interval : hole.intervals) {
                if (interval.resistivity <= 0) continue;
                const double value =
                    std::clamp(std::log10(interval.resistivity), kLowest, kHighest);
                for (std::size_t r = 0; r < mesh.rows(); ++r) {
                    if (mesh.z[r + 1] <= interval.from || mesh.z[r] >= interval.to) continue;
                    const auto i = static_cast<Eigen::Index>(r * mesh.columns() + c);
                    if (prior.boreholeWeight == 0) {
                        fix(i, value);
                        continue;
                    }
                    cell.tieWeight[i] = prior.boreholeWeight;
                    cell.tieValue[i] = value;
                }
            }
        }
    }
    return cell;
}

} // namespace veldro
