// The data set commands: info, table, import, generate.
#include "cli.h"
#include "data/bru_import.h"
#include "data/cp1252.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_generator.h"
#include "data/vlf_file.h"

#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

const char* modeName(const MeasurementRecord& r) {
    return r.resistivityMode() ? "resistivity" : "tilt";
}

// Text from a file made safe to print: control characters (an escape
// sequence that would retitle or recolour the terminal, a bell) are shown as
// \xHH; line ends and tabs stay.
std::string printable(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
        const bool c1 = c == 0xC2 && i + 1 < utf8.size() &&
                        (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80;
        const bool lineEnd = c == '\n' || (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n');
        if ((c >= 0x20 && c != 0x7F && !c1) || c == '\t' || lineEnd) {
            out += utf8[i];
            continue;
        }
        const auto code = c1 ? static_cast<unsigned char>(utf8[++i]) : c;
        ((out += "\\x") += kHex[code >> 4]) += kHex[code & 15];
    }
    return out;
}

int runInfo(const Arguments& args) {
    args.expectOperands(1, 1);
    TerminalMessages messages;
    auto store = loadDataSet(args.operand(0, "FILE.vlf"), messages);
    const RowList rows = buildRowList(*store);
    std::cout << "records " << store->count() << "\nkept " << rows.keptCount() << '\n'
              << printable(cp1252ToUtf8(store->commentText())) << '\n';
    for (int start = 0; start < store->count();) {
        const MeasurementRecord& head = store->record(start);
        int end = start + 1;
        while (end < store->count() && store->record(end).profile == head.profile &&
               store->record(end).resistivityMode() == head.resistivityMode())
            ++end;
        std::cout << "profile " << head.profile << ' ' << modeName(head) << " rows " << start + 1
                  << '-' << end << '\n';
        start = end;
    }
    return 0;
}

int runTable(const Arguments& args) {
    args.expectOperands(1, 1);
    TerminalMessages messages;
    auto store = loadDataSet(args.operand(0, "FILE.vlf"), messages);
    const RowList rows = buildRowList(*store);
    std::string out = "kept\t#";
    for (const Quantity& c : kQuantities) (out += '\t') += c.caption;
    out += '\n';
    for (int i = 0; i < rows.size(); ++i) {
        out += rows.kept(i) ? '+' : '-';
        (out += '\t') += rows.entries[static_cast<std::size_t>(i)].caption;
        for (int column = 0; column < kColumnCount; ++column) {
            out += '\t';
            appendCellText(out, store->record(i), column);
        }
        out += '\n';
    }
    std::cout << out;
    return 0;
}

int runImport(const Arguments& args) {
    args.expectOperands(1, 1);
    const std::string output = requireOutput(args);
    const std::string& input = args.operand(0, "IN.bru");
    TerminalMessages messages;
    if (!fileExists(input)) {
        messages.show(unableToOpenFile(input));
        throw CommandFailed("");
    }
    MeasurementStore store(dataSetTime());
    ImportBru(store, input, nullptr, messages);
    store.saveToFile(output);
    return 0;
}

int parseCount(const std::string& text, const char* what) {
    try {
        std::size_t used = 0;
        const long value = std::stol(text, &used);
        if (used == text.size() && value >= 0 && value <= 10000000) return static_cast<int>(value);
    } catch (const std::exception&) {
    }
    throw UsageError(std::string(what) + " must be a whole number from 0 to 10000000");
}

int runGenerate(const Arguments& args) {
    args.expectOperands(0, 0);
    const bool modelOption =
        args.hasValue("--profile") || args.hasValue("--noise") || args.flag("--resistivity-mode");
    if (args.hasValue("--model")) {
        if (args.hasValue("--records") || args.flag("--bru"))
            throw UsageError("--records and --bru do not go with --model");
        return runGenerateFromModel(args);
    }
    if (modelOption) throw UsageError("--profile, --noise and --resistivity-mode go with --model");
    const std::string output = requireOutput(args);
    const int records = parseCount(args.value("--records", "2000"), "--records");
    const int seed = parseCount(args.value("--seed", "1"), "--seed");
    const auto survey = generateSurvey(records, static_cast<unsigned>(seed));
    if (args.flag("--bru")) {
        writeFileAtomically(output, bruTextOf(survey));
        return 0;
    }
    writeSurvey(output, survey, "Synthetic survey, seed " + std::to_string(seed));
    return 0;
}

} // namespace

// Written straight from the records: a survey larger than a store still makes a file.
void veldro::cli::writeSurvey(const std::string& path,
                              const std::vector<MeasurementRecord>& records,
                              const std::string& comment) {
    MeasurementStore store;
    store.setCommentText(comment);
    store.writeImage(ImageMode::CommentOnly, false, 0, 0);
    store.image.resize(MeasurementStore::kCommentSize + records.size() * MeasurementRecord::kSize);
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i].encode(store.image.data() + MeasurementStore::kCommentSize +
                          i * MeasurementRecord::kSize);
    writeFileAtomically(path, store.image);
}

namespace {

const Registration info{{"info", "FILE.vlf",
                         "Record and kept counts, the comment, and the runs of profile and mode.",
                         runInfo}};
const Registration table{{"table", "FILE.vlf",
                          "The measurement table as the window shows it, tab-separated UTF-8.",
                          runTable}};
const Registration import{
    {"import", "IN.bru -o OUT.vlf", "Imports an older .bru text file and saves it.", runImport}};
const Registration generate{
    {"generate",
     "-o FILE.vlf [--records N] [--seed S] [--bru] | --model MODEL.json -o FILE.vlf "
     "[--profile N] [--noise PERCENT] [--seed S] [--resistivity-mode]",
     "Writes a synthetic survey (2000 records, seed 1 unless told), or the profile the "
     "instrument would record over a model.",
     runGenerate}};

} // namespace
