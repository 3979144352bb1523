// The row and processing commands: keep, ignore, ignore-overload,
// delete-ignored, reject-frequency, filter, split and add. Each saves the data
// set as the window would after the command.
#include "cli.h"
#include "data/file_io.h"
#include "data/vlf_file.h"
#include "loaded_rows.h"
#include "processing/frequency_rejection.h"
#include "processing/keep_ignore.h"
#include "processing/number_entry.h"
#include "processing/range_filter.h"

#include <array>
#include <charconv>
#include <functional>
#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

int parseRowNumber(std::string_view text, int rowCount) {
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("ROWS are 1-based row numbers and ranges like 3-7,9");
    if (number < 1 || number > rowCount)
        throw UsageError("row " + std::string(text) + " is not among rows 1 to " +
                         std::to_string(rowCount));
    return number;
}

// "3-7,9" as 0-based row indices.
std::vector<int> parseRows(const std::string& list, int rowCount) {
    std::vector<int> rows;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string_view part = std::string_view(list).substr(start, end - start);
        const std::size_t dash = part.find('-');
        const int first = parseRowNumber(part.substr(0, dash), rowCount);
        const int last = dash == std::string_view::npos
                             ? first
                             : parseRowNumber(part.substr(dash + 1), rowCount);
        if (last < first) throw UsageError("the range " + std::string(part) + " runs backwards");
        for (int row = first; row <= last; ++row) rows.push_back(row - 1);
        start = end + 1;
    }
    return rows;
}

// The records a .vlf file holds, by its size; 0 for a pipe, whose size is unknown.
std::uint64_t recordsIn(const std::string& path) {
    const std::uint64_t size = InputFile(path).size();
    return size > MeasurementStore::kCommentSize
               ? (size - MeasurementStore::kCommentSize) / MeasurementRecord::kSize
               : 0;
}

constexpr const char* kTruncate = "--truncate";

// Records beyond what a data set holds are lost from what a command writes:
// it writes only when --truncate asks for that, and says how many either way.
// `inputs` are the data files whose records the data set joins.
void refuseCutUnlessAsked(const Arguments& args, const std::vector<std::string>& inputs) {
    std::uint64_t records = 0;
    for (const std::string& input : inputs)
        if (fileExists(input)) records += recordsIn(input); // a missing one is said on loading
    const std::uint64_t kept = MeasurementStore::kCapacity;
    if (records <= kept) return;
    const std::string lost = std::to_string(records - kept) + " of " + std::to_string(records) +
                             " records do not fit the " + std::to_string(kept) +
                             " a data set holds";
    if (!args.flag(kTruncate))
        throw CommandFailed(lost + ": nothing written (" + kTruncate + " writes the first " +
                            std::to_string(kept) + ")");
    std::cerr << lost << " and are left out\n";
}

// Loads FILE.vlf (the first of `operands` operands), lets `change` work on it
// and saves the data set to -o.
int changeDataSet(const Arguments& args, std::size_t operands,
                  const std::function<void(LoadedRows&, MessageSink&)>& change) {
    args.expectOperands(operands, operands);
    const std::string output = requireOutput(args);
    refuseCutUnlessAsked(args, {args.operand(0, "FILE.vlf")});
    TerminalMessages messages;
    LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);
    change(d, messages);
    d.store->saveToFile(output);
    return 0;
}

int runKeepOrIgnore(const Arguments& args, bool kept) {
    return changeDataSet(args, 2, [&](LoadedRows& d, MessageSink&) {
        setRowsKept(*d.store, d.rows, parseRows(args.operand(1, "ROWS"), d.rows.size()), kept);
    });
}

int runIgnoreOverload(const Arguments& args) {
    return changeDataSet(args, 1,
                         [](LoadedRows& d, MessageSink&) { ignoreOverloadData(*d.store, d.rows); });
}

int runDeleteIgnored(const Arguments& args) {
    return changeDataSet(args, 1, [](LoadedRows& d, MessageSink& messages) {
        deleteIgnoredData(*d.store, d.rows, messages);
    });
}

int runRejectFrequency(const Arguments& args) {
    return changeDataSet(args, 2, [&](LoadedRows& d, MessageSink& messages) {
        float frequency = 0;
        if (!readEnteredNumber(args.operand(1, "HZ"), frequency, messages)) throw CommandFailed("");
        rejectFrequency(*d.store, d.rows, frequency);
    });
}

// The filter's options, in pair order.
const std::array<std::string, kRangePairCount> kRangeOptions{
    "--q",         "--tilt-ver", "--ellip-ver", "--h-hor", "--tilt-hor",
    "--ellip-hor", "--rho",      "--phase",     "--e",     "--h"};

// The dialog's boxes as the options edit them: "MIN:MAX", either side may be
// left empty to keep the scanned value.
void editBoxes(const Arguments& args, const RangeScan& scan,
               std::array<std::string, 2 * kRangePairCount>& boxes) {
    for (int pair = 0; pair < kRangePairCount; ++pair) {
        const std::string& option = kRangeOptions[static_cast<std::size_t>(pair)];
        if (!args.hasValue(option)) continue;
        if (!scan.enabled(pair))
            throw CommandFailed(option + ": no kept row of its measurement mode");
        const std::string range = args.value(option);
        const std::size_t colon = range.find(':');
        if (colon == std::string::npos) throw UsageError(option + " takes MIN:MAX");
        if (colon > 0) boxes[static_cast<std::size_t>(2 * pair)] = range.substr(0, colon);
        if (colon + 1 < range.size())
            boxes[static_cast<std::size_t>(2 * pair + 1)] = range.substr(colon + 1);
    }
}

int runFilter(const Arguments& args) {
    return changeDataSet(args, 1, [&](LoadedRows& d, MessageSink& messages) {
        const RangeScan scan = scanRanges(*d.store, d.rows);
        auto boxes = rangeBoxTexts(scan);
        editBoxes(args, scan, boxes);
        Ranges ranges{};
        if (badRangeBox(boxes, ranges, messages)) throw CommandFailed("");
        if (const std::optional<int> pair = reversedRange(scan, ranges))
            throw UsageError(reversedRangeText(*pair));
        applyRangeFilter(*d.store, ranges, d.rows);
        commitRecordFlags(*d.store, d.rows);
    });
}

int runSplit(const Arguments& args) {
    args.expectOperands(2, 2);
    refuseCutUnlessAsked(args, {args.operand(0, "FILE.vlf")});
    TerminalMessages messages;
    LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);
    const std::string& directory = args.operand(1, "DIR");
    if (!directoryExists(directory)) {
        messages.show({"Please create new directory", "", MessageIcon::None});
        throw CommandFailed("");
    }
    for (const std::string& name : d.store->splitToFiles(directory)) std::cout << name << '\n';
    return 0;
}

int runAdd(const Arguments& args) {
    if (args.operands().size() < 2)
        throw UsageError("give the data set and at least one file to add");
    const std::string output = requireOutput(args);
    TerminalMessages messages;
    auto store = loadDataSet(args.operand(0, "FILE.vlf"), messages);
    refuseCutUnlessAsked(args, args.operands());
    for (std::size_t i = 1; i < args.operands().size(); ++i) {
        const std::string& more = args.operands()[i];
        switch (addDataFile(*store, more, messages)) {
        case DataFileStatus::Opened:
            break;
        case DataFileStatus::WrongExtension:
            throw CommandFailed(more + ": not a Veldro data file (the extension must contain VLF)");
        case DataFileStatus::Missing:
            throw CommandFailed("");
        }
    }
    store->saveToFile(output);
    return 0;
}

const Registration keep{{"keep", "FILE.vlf ROWS -o OUT.vlf [--truncate]",
                         "Keeps the rows (1-based, like 3-7,9).",
                         [](const Arguments& a) { return runKeepOrIgnore(a, true); }}};
const Registration ignore{{"ignore", "FILE.vlf ROWS -o OUT.vlf [--truncate]",
                           "Ignores the rows (1-based, like 3-7,9).",
                           [](const Arguments& a) { return runKeepOrIgnore(a, false); }}};
const Registration ignoreOverload{{"ignore-overload", "FILE.vlf -o OUT.vlf [--truncate]",
                                   "Ignores the kept rows with an overloaded channel.",
                                   runIgnoreOverload}};
const Registration deleteIgnored{{"delete-ignored", "FILE.vlf -o OUT.vlf [--truncate]",
                                  "Leaves the ignored rows out of the data set.",
                                  runDeleteIgnored}};
const Registration rejectFrequencyCommand{
    {"reject-frequency", "FILE.vlf HZ -o OUT.vlf [--truncate]",
     "Ignores every row measured at the frequency.", runRejectFrequency}};
const Registration filter{
    {"filter",
     "FILE.vlf -o OUT.vlf [--q MIN:MAX] [--tilt-ver ..] [--ellip-ver ..] [--h-hor ..] "
     "[--tilt-hor ..] [--ellip-hor ..] [--rho ..] [--phase ..] [--e ..] [--h ..] [--truncate]",
     "Ignores the kept rows outside the ranges; an omitted range or side keeps the "
     "kept rows' extreme.",
     runFilter}};
const Registration split{
    {"split", "FILE.vlf DIR [--truncate]",
     "Writes the kept rows of each run of one profile and mode to a file in DIR.", runSplit}};
const Registration add{{"add", "FILE.vlf MORE.vlf... -o OUT.vlf [--truncate]",
                        "Appends the records of the other files to the data set.", runAdd}};

} // namespace
