// map fraser, kh and section: values in plan at the stations' positions,
// gridded and contoured, as a grid, GIS or Google Earth file or a picture;
// and export vtk, the inverted sections standing in 3D.
#include "cli.h"
#include "data/file_io.h"
#include "data/positions_file.h"
#include "loaded_rows.h"
#include "map_output.h"
#include "maps/number_format.h"
#include "maps/placed_sections.h"
#include "processing/fraser_map.h"
#include "processing/karous_hjelt.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

MapPicture mapPicture(std::string title, std::string valueName, std::vector<MappedValue> values,
                      std::vector<MappedLine> lines) {
    MapPicture picture;
    picture.title = std::move(title);
    picture.features.valueName = std::move(valueName);
    picture.features.values = std::move(values);
    picture.features.lines = std::move(lines);
    return picture;
}

LoadedRows surveyWithPositions(const Arguments& args, MessageSink& messages) {
    const std::string& path = args.operand(0, "FILE.vlf");
    LoadedRows d = loadSurvey(args, path, messages);
    requirePositions(d, path);
    return d;
}

int frequencyNumberOption(const Arguments& args) {
    return wholeOption(args, "--frequency-number", 0, 1, 2, "frequency number");
}

std::string frequencyTitle(int frequencyNumber) {
    return ", frequency number " + std::to_string(frequencyNumber);
}

int runMapFraser(const Arguments& args) {
    args.expectOperands(1, 1);
    const MapRequest request = mapRequest(args);
    const int frequencyNumber = frequencyNumberOption(args);
    const double threshold = numberOption(args, "--threshold", 10, 0, 1e6, "a Fraser value");
    const std::optional<std::pair<double, double>> range = valueRangeOption(args);
    TerminalMessages messages;
    const LoadedRows d = surveyWithPositions(args, messages);
    for (const FraserMap& map : fraserMaps(d.survey())) {
        if (!map.hasValues() || (frequencyNumber != 0 && map.frequencyNumber != frequencyNumber))
            continue;
        const PlacedValues placed = placeFraserMap(map, d.positions);
        reportPlacing(placed, d.positionsFile);
        MapPicture picture = mapPicture("Fraser map" + frequencyTitle(map.frequencyNumber),
                                        "Fraser (%)", placed.values, placed.lines);
        picture.features.axes =
            anomalyAxes(placed.values, threshold, 2 * lineSpacing(scatterPoints(placed.values)));
        picture.fixedRange = range;
        writeMap(args, request, std::move(picture));
        return 0;
    }
    throw CommandFailed("nothing to map: no Fraser value of the asked frequency number");
}

int runMapKh(const Arguments& args) {
    args.expectOperands(1, 1);
    const MapRequest request = mapRequest(args);
    if (!args.hasValue("--depth")) throw UsageError("--depth D names the pseudo-depth to map");
    const double depth = numberOption(args, "--depth", 0, 1e-3, 1e6, "a depth in metres");
    const int levels = khLevelsOption(args);
    const int frequencyNumber = frequencyNumberOption(args);
    const std::optional<std::pair<double, double>> range = valueRangeOption(args);
    TerminalMessages messages;
    const LoadedRows d = surveyWithPositions(args, messages);
    const std::vector<KhRun> runs = karousHjelt(d.survey(), levels);
    for (const int number : {1, 2}) {
        if (frequencyNumber != 0 && number != frequencyNumber) continue;
        const PlacedValues placed = placeKhDepth(runs, number, depth, d.positions);
        if (placed.values.empty() && placed.unplacedProfiles.empty()) continue;
        reportPlacing(placed, d.positionsFile);
        MapPicture picture = mapPicture("Karous-Hjelt current density at " + shortestNumber(depth) +
                                            " m" + frequencyTitle(number),
                                        "Current density", placed.values, placed.lines);
        picture.fixedRange = range;
        writeMap(args, request, std::move(picture));
        return 0;
    }
    throw CommandFailed("nothing to map: no run of the asked frequency number has a "
                        "Karous-Hjelt level near that depth (try more --levels)");
}

// The model files named, a folder standing for its profile-P.json files;
// each file's profile from its name.
std::vector<ProfileSection> loadSections(const std::vector<std::string>& operands) {
    std::vector<std::string> files;
    for (const std::string& operand : operands) {
        if (!std::filesystem::is_directory(operand)) {
            files.push_back(operand);
            continue;
        }
        std::vector<std::string> inFolder;
        for (const auto& entry : std::filesystem::directory_iterator(operand))
            if (profileOfModelFile(entry.path().string()))
                inFolder.push_back(entry.path().string());
        if (inFolder.empty())
            throw CommandFailed(operand + ": no profile-P.json model file in this folder");
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    std::vector<ProfileSection> sections;
    for (const std::string& file : files) {
        const std::optional<int> profile = profileOfModelFile(file);
        if (!profile)
            throw UsageError(file + ": a model's profile is known by its name, profile-P.json, "
                                    "as invert writes it");
        for (const ProfileSection& s : sections)
            if (s.profile == *profile)
                throw UsageError(file + ": profile " + std::to_string(*profile) +
                                 " is named twice");
        sections.push_back({*profile, loadGroundModel(file)});
    }
    std::sort(
        sections.begin(), sections.end(),
        [](const ProfileSection& a, const ProfileSection& b) { return a.profile < b.profile; });
    return sections;
}

StationPositions requiredPositions(const Arguments& args) {
    if (!args.hasValue("--positions"))
        throw UsageError("No positions: --positions P.csv names the stations' positions file");
    try {
        return readPositionsFile(args.value("--positions"));
    } catch (const PositionsFileError& e) {
        throw CommandFailed(e.what());
    }
}

int runMapSection(const Arguments& args) {
    if (args.operands().empty()) throw UsageError("name the inverted sections: MODELS...");
    const MapRequest request = mapRequest(args);
    if (args.hasValue("--depth") == args.hasValue("--elevation"))
        throw UsageError("give either --depth D (below the surface) or --elevation E");
    SliceLevel level;
    level.elevation = args.hasValue("--elevation");
    level.metres = level.elevation ? numberOption(args, "--elevation", 0, -20000, 20000, "metres")
                                   : numberOption(args, "--depth", 0, 0, 1e6, "a depth in metres");
    const std::optional<std::pair<double, double>> range = resistivityRangeOption(args);
    const StationPositions positions = requiredPositions(args);
    const std::vector<ProfileSection> sections = loadSections(args.operands());
    std::vector<MappedValue> values;
    try {
        values = sliceValues(sections, positions, level);
    } catch (const std::invalid_argument& e) {
        throw CommandFailed(e.what());
    }
    if (values.empty())
        throw CommandFailed("nothing to map: no station of the sections lies at or above that "
                            "level");
    std::vector<int> profiles;
    profiles.reserve(sections.size());
    for (const ProfileSection& s : sections) profiles.push_back(s.profile);
    MapPicture picture = mapPicture(
        "Resistivity " + (level.elevation ? "at " + shortestNumber(level.metres) + " m elevation"
                                          : shortestNumber(level.metres) + " m deep"),
        "Resistivity (ohm.m)", values, mappedLines(positions, profiles));
    picture.logarithmic = true;
    picture.fixedRange = range;
    writeMap(args, request, std::move(picture));
    return 0;
}

int runExportVtk(const Arguments& args) {
    if (args.operands().empty()) throw UsageError("name the inverted sections: MODELS...");
    const std::string output = requireOutput(args);
    if (extensionOf(output) != ".vtu") throw UsageError("-o names a .vtu file, not " + output);
    const StationPositions positions = requiredPositions(args);
    const std::vector<ProfileSection> sections = loadSections(args.operands());
    try {
        writeFileAtomically(output, sectionsVtu(sections, positions));
    } catch (const std::invalid_argument& e) {
        throw CommandFailed(e.what());
    }
    return 0;
}

const std::string kGriddingUsage =
    "[--crs ZONE] [--cell M] [--anisotropy A] [--width W --height H]";
const std::string kMapOutputs = "-o OUT.asc|OUT.grd|OUT.geojson|OUT.kml|OUT.png|OUT.svg|OUT.pdf";

const Registration fraser{
    {"map fraser",
     "FILE.vlf " + kMapOutputs + ' ' + kPositionsUsage +
         " [--frequency-number N] [--threshold T] [--value-range MIN:MAX] " + kGriddingUsage,
     "The Fraser values of frequency number N (the first with values unless given) in plan at "
     "the stations' positions, gridded by minimum curvature (cells of M metres, smoother A "
     "times along the strike) and contoured; the GeoJSON and KML add the axes of anomalies "
     "reaching T (10 unless given); the picture's colours from MIN to MAX when given. ZONE: the "
     "positions' UTM zone, 33N or EPSG:32633.",
     runMapFraser}};
const Registration kh{
    {"map kh",
     "FILE.vlf --depth D " + kMapOutputs + ' ' + kPositionsUsage +
         " [--frequency-number N] [--levels L] [--value-range MIN:MAX] " + kGriddingUsage,
     "The Karous-Hjelt current density at the level nearest pseudo-depth D metres, in plan; "
     "the picture's colours from MIN to MAX when given.",
     runMapKh}};
const Registration section{
    {"map section",
     "MODELS... --depth D | --elevation E --positions P.csv " + kMapOutputs +
         " [--resistivity-range MIN:MAX] " + kGriddingUsage,
     "The inverted sections' resistivity D metres below the surface, or at elevation E, in "
     "plan (MODELS: invert's profile-P.json files, or their folder; the picture's colours "
     "from MIN to MAX ohm.m when given).",
     runMapSection}};
const Registration vtk{{"export vtk", "MODELS... --positions P.csv -o OUT.vtu",
                        "The inverted sections standing at their profiles' positions, as a VTK "
                        "unstructured grid that ParaView opens.",
                        runExportVtk}};

} // namespace
