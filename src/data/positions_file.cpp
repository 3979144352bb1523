#include "data/positions_file.h"

#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>

namespace veldro {

namespace {

enum Column { Profile, Station, Easting, Northing, Elevation, kColumns };
constexpr std::array<std::string_view, kColumns> kColumnNames{"profile", "station", "easting",
                                                              "northing", "elevation"};
constexpr char kHeader[] = "profile,station,easting,northing,elevation";
constexpr char kHeaderRule[] =
    "(the header names profile, station, easting, northing and elevation, in any order)";

constexpr double kFarthestPlan = 1e8, kFarthestElevation = 2e4;
constexpr std::size_t kMostRows = MeasurementStore::kCapacity;
// The error's text lists this many problems; the rest are counted.
constexpr std::size_t kListedProblems = 20;

struct Problem {
    int line;
    std::string text;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The fields of one line, or why they cannot be told apart.
struct Fields {
    std::vector<std::string> values;
    std::string problem;
};

Fields splitFields(std::string_view line) {
    Fields fields;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && isBlank(line[i])) ++i;
        std::string value;
        if (i < line.size() && line[i] == '"') {
            for (++i;; ++i) {
                if (i >= line.size()) {
                    fields.problem = "a quoted field is not closed";
                    return fields;
                }
                if (line[i] != '"') {
                    value += line[i];
                } else if (i + 1 < line.size() && line[i + 1] == '"') {
                    value += line[++i];
                } else {
                    break;
                }
            }
            for (++i; i < line.size() && isBlank(line[i]);) ++i;
            if (i < line.size() && line[i] != ',') {
                fields.problem = "text after a quoted field";
                return fields;
            }
        } else {
            const std::size_t comma = std::min(line.find(',', i), line.size());
            value = trimmed(line.substr(i, comma - i));
            i = comma;
        }
        fields.values.push_back(std::move(value));
        if (i >= line.size()) return fields;
        ++i; // the comma
    }
}

// The lines of the text with their numbers, from 1; a break at the very end
// starts no line.
std::vector<std::pair<int, std::string_view>> linesOf(std::string_view text) {
    std::vector<std::pair<int, std::string_view>> lines;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        lines.emplace_back(++number, text.substr(0, end));
        std::size_t next = end;
        if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        text.remove_prefix(next);
    }
    return lines;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view withoutPlus(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    return text;
}

bool readWhole(std::string_view text, int& value) {
    text = withoutPlus(text);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

bool readMetres(std::string_view text, double farthest, double& value) {
    text = withoutPlus(text);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           std::isfinite(value) && std::abs(value) <= farthest;
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string metresRange(double farthest) {
    const auto whole = static_cast<long long>(farthest);
    return " is not a number of metres from -" + std::to_string(whole) + " to " +
           std::to_string(whole);
}

// The header's column of each name, or the header's problem.
std::array<std::size_t, kColumns> headerColumns(const std::vector<std::string>& names, int line,
                                                std::vector<Problem>& problems) {
    std::array<std::size_t, kColumns> columns{};
    for (std::size_t c = 0; c < kColumns; ++c) {
        const std::string_view wanted = kColumnNames[c];
        const auto named = [&](const std::string& name) { return lowered(name) == wanted; };
        const auto first = std::find_if(names.begin(), names.end(), named);
        if (first == names.end())
            problems.push_back(
                {line, "no column named " + std::string(wanted) + " " + kHeaderRule});
        else if (std::find_if(first + 1, names.end(), named) != names.end())
            problems.push_back({line, "two columns named " + std::string(wanted)});
        else
            columns[c] = static_cast<std::size_t>(first - names.begin());
    }
    return columns;
}

// One row's position, or its problem.
std::optional<StationPosition> rowPosition(const std::vector<std::string>& fields,
                                           const std::array<std::size_t, kColumns>& columns,
                                           std::size_t headerFields, std::string& problem) {
    // A row of more fields than the header may hold a decimal comma.
    if (fields.size() != headerFields) {
        problem = std::to_string(fields.size()) + " fields where the header has " +
                  std::to_string(headerFields);
        return std::nullopt;
    }
    const auto field = [&](Column c) -> const std::string& { return fields[columns[c]]; };
    StationPosition position;
    for (const Column c : {Profile, Station}) {
        int& number = c == Profile ? position.key.profile : position.key.station;
        if (!readWhole(field(c), number)) {
            problem = std::string(kColumnNames[c]) + " " + inQuotes(field(c)) +
                      " is not a whole number from -32768 to 32767";
            return std::nullopt;
        }
    }
    if (field(Easting).empty() != field(Northing).empty()) {
        problem = field(Easting).empty() ? "northing without easting" : "easting without northing";
        return std::nullopt;
    }
    if (!field(Easting).empty()) {
        PlanPoint plan;
        for (const Column c : {Easting, Northing}) {
            if (!readMetres(field(c), kFarthestPlan, c == Easting ? plan.easting : plan.northing)) {
                problem = std::string(kColumnNames[c]) + " " + inQuotes(field(c)) +
                          metresRange(kFarthestPlan);
                return std::nullopt;
            }
        }
        position.plan = plan;
    }
    if (!field(Elevation).empty()) {
        double elevation = 0;
        if (!readMetres(field(Elevation), kFarthestElevation, elevation)) {
            problem = "elevation " + inQuotes(field(Elevation)) + metresRange(kFarthestElevation);
            return std::nullopt;
        }
        position.elevation = elevation;
    }
    if (!position.plan && !position.elevation) {
        problem = "no easting, northing or elevation";
        return std::nullopt;
    }
    return position;
}

// A station on two rows: the later row is named, with the first.
void findTwice(std::vector<std::pair<StationPosition, int>>& rows, std::vector<Problem>& problems) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.first.key < b.first.key; });
    for (std::size_t i = 1, first = 0; i < rows.size(); ++i) {
        const StationKey& key = rows[i].first.key;
        if (key != rows[first].first.key) {
            first = i;
            continue;
        }
        problems.push_back({rows[i].second, "profile " + std::to_string(key.profile) + " station " +
                                                std::to_string(key.station) + " is also on line " +
                                                std::to_string(rows[first].second)});
    }
}

std::string errorText(const std::string& name, const std::vector<std::string>& problems) {
    std::string text = "Positions not read from " + name + ":";
    for (std::size_t i = 0; i < std::min(problems.size(), kListedProblems); ++i)
        (text += '\n') += problems[i];
    if (problems.size() > kListedProblems)
        text += "\nand " + std::to_string(problems.size() - kListedProblems) + " more problems";
    return text;
}

void appendShortest(std::string& out, double value) {
    std::array<char, 32> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), end);
}

} // namespace

PositionsFileError::PositionsFileError(const std::string& name, std::vector<std::string> problems)
    : std::runtime_error(errorText(name, problems)), problems_(std::move(problems)) {}

StationPositions readPositions(std::string_view text, const std::string& name) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<Problem> problems;
    std::vector<std::pair<StationPosition, int>> rows;
    std::optional<std::array<std::size_t, kColumns>> columns;
    std::size_t headerFields = 0;
    for (const auto& [line, content] : linesOf(text)) {
        if (trimmed(content).empty()) continue;
        const Fields fields = splitFields(content);
        if (!fields.problem.empty()) {
            problems.push_back({line, fields.problem});
            if (!columns) break;
            continue;
        }
        if (!columns) {
            columns = headerColumns(fields.values, line, problems);
            headerFields = fields.values.size();
            if (!problems.empty()) break;
            continue;
        }
        if (rows.size() + problems.size() >= kMostRows) {
            problems.push_back({line, "more than " + std::to_string(kMostRows) +
                                          " rows, more stations than a data set holds"});
            break;
        }
        std::string problem;
        if (auto position = rowPosition(fields.values, *columns, headerFields, problem))
            rows.emplace_back(*position, line);
        else
            problems.push_back({line, std::move(problem)});
    }
    if (!columns && problems.empty())
        problems.push_back({1, std::string("no header ") + kHeaderRule});
    findTwice(rows, problems);
    if (!problems.empty()) {
        std::stable_sort(problems.begin(), problems.end(),
                         [](const Problem& a, const Problem& b) { return a.line < b.line; });
        std::vector<std::string> texts;
        texts.reserve(problems.size());
        for (Problem& p : problems)
            texts.push_back("line " + std::to_string(p.line) + ": " + p.text);
        throw PositionsFileError(name, std::move(texts));
    }
    std::vector<StationPosition> positions;
    positions.reserve(rows.size());
    for (auto& row : rows) positions.push_back(row.first);
    return StationPositions(std::move(positions));
}

StationPositions readPositionsFile(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFileStart(path, kLargestPositionsFile + 1);
    if (bytes.size() > kLargestPositionsFile)
        throw PositionsFileError(path, {"the file is over 16 MiB, more than the positions of " +
                                        std::to_string(kMostRows) + " stations take"});
    return readPositions(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
}

// A pipe or device at that name is passed over: opening it could wait forever.
std::optional<StationPositions> readPositionsBeside(const std::string& dataFile) {
    const std::string path = positionsFileNameFor(dataFile);
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::u8string(path.begin(), path.end()), error))
        return std::nullopt;
    return readPositionsFile(path);
}

std::string positionsFileText(const StationPositions& positions) {
    std::string out = std::string(kHeader) + '\n';
    for (const StationPosition& p : positions.all()) {
        ((out += std::to_string(p.key.profile)) += ',') += std::to_string(p.key.station);
        out += ',';
        if (p.plan) {
            appendShortest(out, p.plan->easting);
            out += ',';
            appendShortest(out, p.plan->northing);
        } else {
            out += ',';
        }
        out += ',';
        if (p.elevation) appendShortest(out, *p.elevation);
        out += '\n';
    }
    return out;
}

} // namespace veldro
