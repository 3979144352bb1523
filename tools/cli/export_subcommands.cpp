// The export commands: raw and Fraser spreadsheets, the report, the profile
// list, XYZ and WADI. Each writes the bytes the window's command writes.
#include "cli.h"
#include "data/file_io.h"
#include "export/fraser_spreadsheet.h"
#include "export/karous_hjelt_spreadsheet.h"
#include "export/position_text.h"
#include "export/profile_export.h"
#include "export/raw_spreadsheet.h"
#include "export/report.h"
#include "loaded_rows.h"
#include "processing/karous_hjelt.h"

#include <algorithm>
#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

char separatorOption(const Arguments& args) {
    const std::string name = args.value("--separator", "space");
    if (auto separator = separatorNamed(name)) return *separator;
    throw UsageError("--separator must be comma, semicolon, space or tab, not " + name);
}

VisibleColumns columnsOption(const Arguments& args) {
    if (!args.hasValue("--columns")) return kAllColumns;
    VisibleColumns visible{};
    const std::string list = args.value("--columns");
    // An empty list shows no quantity, as "Select None" does.
    for (std::size_t start = 0; !list.empty() && start <= list.size();) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        int column = -1;
        if (!parseWhole(std::string_view(list).substr(start, end - start), column) || column < 0 ||
            column >= kColumnCount)
            throw UsageError("--columns takes indices 0 to 20 joined by commas, not " + list);
        visible[static_cast<std::size_t>(column)] = true;
        start = end + 1;
    }
    return visible;
}

void writeExport(const Arguments& args, const std::string& bytes) {
    writeFileAtomically(requireOutput(args), bytes);
}

int runRaw(const Arguments& args) {
    args.expectOperands(1, 1);
    TerminalMessages messages;
    LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);
    writeRawSpreadsheet(*d.store, d.rows, separatorOption(args), columnsOption(args));
    writeExport(args, d.store->exportBuffer);
    return 0;
}

int runFraser(const Arguments& args) {
    args.expectOperands(1, 1);
    TerminalMessages messages;
    LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);
    writeFraserSpreadsheet(*d.store, d.rows, separatorOption(args));
    writeExport(args, d.store->exportBuffer);
    return 0;
}

int runKarousHjelt(const Arguments& args) {
    args.expectOperands(1, 1);
    const int levels = khLevelsOption(args);
    TerminalMessages messages;
    LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);
    writeKarousHjeltSpreadsheet(*d.store, d.rows, separatorOption(args), levels);
    writeExport(args, d.store->exportBuffer);
    return 0;
}

int runReport(const Arguments& args) {
    args.expectOperands(1, 1);
    TerminalMessages messages;
    const std::string& path = args.operand(0, "FILE.vlf");
    LoadedRows d = loadRows(path, messages);
    writeReport(*d.store, d.rows, columnsOption(args));
    writeExport(args, finishedReport(path, *d.store));
    return 0;
}

// With positions, each item says how many of its profile's kept stations have one.
int runProfiles(const Arguments& args) {
    args.expectOperands(1, 1);
    TerminalMessages messages;
    const LoadedRows d = loadSurvey(args, args.operand(0, "FILE.vlf"), messages);
    const auto items = buildProfileItems(*d.store, d.rows);
    const PositionMatch match = matchPositions(d.survey());
    for (std::size_t k = 0; k < items.size(); ++k) {
        std::cout << k + 1 << '\t' << items[k].profileNumber << '\t' << stationsText(items[k])
                  << '\t' << frequenciesText(items[k]);
        const ProfileMatch* placed = match.profile(items[k].profileNumber);
        if (!d.positionsFile.empty() && placed)
            std::cout << "\tpositions " << placed->matched << " of " << placed->stations;
        std::cout << '\n';
    }
    return 0;
}

// "25E" as the WADI form's box and direction buttons.
std::optional<std::string> wadiPosition(std::string_view text, MessageSink& messages) {
    char direction = '\0';
    if (!text.empty() && std::string_view("NESW").find(text.back()) != std::string_view::npos) {
        direction = text.back();
        text.remove_suffix(1);
    }
    if (text.size() > kWadiPositionLength)
        throw UsageError("a WADI position has at most 4 digits before its direction");
    return wadiPositionText(text, direction, messages);
}

std::optional<std::string> xyzPosition(std::string_view text, MessageSink& messages) {
    if (text.size() > kXyzPositionLength)
        throw UsageError("an XYZ position has at most 9 characters");
    return xyzPositionText(text, messages);
}

// Applies each "--pick ITEM[=POSITION]" to the items.
void pick(const Arguments& args, std::vector<TProfileItem>& items, ProfileExportFormat format,
          MessageSink& messages) {
    const auto picks = args.values("--pick");
    if (picks.empty()) throw UsageError("pick at least one profile with --pick ITEM[=POSITION]");
    for (const std::string& word : picks) {
        const std::size_t equals = word.find('=');
        int number = 0;
        if (!parseWhole(std::string_view(word).substr(0, equals), number) || number < 1 ||
            number > static_cast<int>(items.size()))
            throw UsageError("--pick " + word + ": no profile item " + word.substr(0, equals) +
                             " (see veldro-cli profiles)");
        TProfileItem& item = items[static_cast<std::size_t>(number - 1)];
        item.selected = true;
        if (equals == std::string::npos) continue;
        const std::string_view text = std::string_view(word).substr(equals + 1);
        const auto position = format == ProfileExportFormat::Wadi ? wadiPosition(text, messages)
                                                                  : xyzPosition(text, messages);
        if (!position) throw CommandFailed("");
        item.positionText = *position;
    }
}

std::string joined(const std::vector<int>& values) {
    std::string text;
    for (int v : values) text += (text.empty() ? "" : " or ") + std::to_string(v);
    return text;
}

// The export frequency: --frequency, or the only one the picked items share.
int exportFrequency(const Arguments& args, const std::vector<TProfileItem>& items) {
    std::vector<int> choices = commonFrequencies(items);
    if (choices.empty()) throw CommandFailed(kNoCommonFrequency);
    if (!args.hasValue("--frequency")) {
        if (choices.size() == 1) return choices[0];
        throw UsageError("choose the frequency with --frequency: " + joined(choices));
    }
    int frequency = 0;
    if (!parseWhole(args.value("--frequency"), frequency) ||
        std::find(choices.begin(), choices.end(), frequency) == choices.end())
        throw UsageError("--frequency must be a common frequency of the picked profiles: " +
                         joined(choices));
    return frequency;
}

int runProfileExport(const Arguments& args, ProfileExportFormat format) {
    args.expectOperands(1, 1);
    TerminalMessages messages;
    LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);
    const std::string output = requireOutput(args);
    auto items = buildProfileItems(*d.store, d.rows);
    pick(args, items, format, messages);
    writeProfileExport(*d.store, d.rows, items, exportFrequency(args, items), format);
    writeFileAtomically(output, d.store->exportBuffer);
    return 0;
}

const Registration raw{{"export raw", "FILE.vlf -o OUT.txt [--separator S] [--columns LIST]",
                        "The raw spreadsheet of the kept rows (S: comma, semicolon, space, tab; "
                        "LIST: 0-based column indices, \"\" for none).",
                        runRaw}};
const Registration fraser{{"export fraser", "FILE.vlf -o OUT.txt [--separator S]",
                           "The Fraser values of the kept tilt-mode rows as a spreadsheet.",
                           runFraser}};
const Registration kh{{"export kh", "FILE.vlf -o OUT.txt [--separator S] [--levels N]",
                       "The Karous-Hjelt values of the kept tilt-mode rows as a spreadsheet "
                       "(N levels at most, 8 unless given).",
                       runKarousHjelt}};
const Registration report{{"export report", "FILE.vlf -o OUT.txt [--columns LIST]",
                           "The finished formatted report: path line, comment, blocks.",
                           runReport}};
const Registration profiles{{"profiles", std::string("FILE.vlf ") + kPositionsUsage,
                             "The profile items of the XYZ and WADI export: number, profile, "
                             "stations, frequencies; with positions, how many of the profile's "
                             "kept stations have one.",
                             runProfiles}};
const Registration xyz{
    {"export xyz", "FILE.vlf -o OUT.xyz --pick ITEM[=POSITION]... [--frequency HZ]",
     "The XYZ file of the picked profile items (POSITION in metres).",
     [](const Arguments& a) { return runProfileExport(a, ProfileExportFormat::Xyz); }}};
const Registration wadi{
    {"export wadi", "FILE.vlf -o OUT.wad --pick ITEM[=POSITIONDIR]... [--frequency HZ]",
     "The WADI file of the picked profile items (POSITIONDIR like 25E).",
     [](const Arguments& a) { return runProfileExport(a, ProfileExportFormat::Wadi); }}};

} // namespace
