// veldro-sim: the instrument's side of a data dump, on a pseudo-terminal or a
// serial device, for tests, demos and training without hardware.
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/record_text.h"
#include "data/survey_generator.h"
#include "data/vlf_file.h"
#include "sim_dump.h"
#include "sim_line.h"
#include "veldro_version.h"

#include <cstring>
#include <iostream>
#include <stdexcept>

using namespace veldro;
using namespace veldro::sim;

namespace {

// Exit statuses.
constexpr int kAllAcknowledged = 0;
constexpr int kNotAllAcknowledged = 1;
constexpr int kUsage = 2;
constexpr int kLineFailed = 3;

constexpr const char* kUsageText =
    "usage: veldro-sim --version\n"
    "       veldro-sim [--device PATH] [--baud N] [--file F.vlf|F.bru | --records N [--seed S]]\n"
    "                  [--undecodable N] [--missing-cr N] [--missing-lf N] [--short-text N]\n"
    "                  [--unexpected-letter N] [--silence-after N [--silence-ms MS]]\n"
    "                  [--hang-up-after N] [--no-end] [--no-start]\n"
    "Plays the instrument's dump. Without --device it opens a pseudo-terminal and prints\n"
    "its path on the first line. Records are numbered from 1; fault options repeat.\n"
    "--baud paces the bytes at that wire rate (8N1); a device is also set to it.\n"
    "Exit status: 0 every record sent was acknowledged, 1 not, 2 usage, 3 line error.\n";

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int wholeNumber(const std::string& option, const std::string& text) {
    try {
        std::size_t used = 0;
        const long value = std::stol(text, &used);
        if (used == text.size() && value >= 0 && value <= 10'000'000)
            return static_cast<int>(value);
    } catch (const std::exception&) {
    }
    throw UsageError(option + " needs a whole number, not \"" + text + "\"");
}

// Sends no message anywhere but standard error: the simulator has no window.
class ErrorMessages : public MessageSink {
public:
    void show(const Message& message) override {
        std::cerr << "veldro-sim: " << message.text << '\n';
    }
};

std::vector<OutgoingRecord> recordsOfDataFile(const std::string& path) {
    ErrorMessages messages;
    DataFileRead read = readDataFile(path, messages);
    if (read.status != DataFileStatus::Opened) throw UsageError("cannot read " + path);
    std::vector<OutgoingRecord> records;
    for (int i = 0; i < read.store->count(); ++i) {
        const MeasurementRecord& r = read.store->record(i);
        records.push_back({headerLetterOf(r), encodeRecordText(r, i + 1)});
    }
    return records;
}

// A .bru file already holds the instrument's texts; they go out as they stand.
std::vector<OutgoingRecord> recordsOfBruFile(const std::string& path) {
    LineReader lines(path);
    std::vector<OutgoingRecord> records;
    while (const auto line = lines.next()) {
        if (line->length == kTiltTextLength)
            records.push_back({'V', std::string(line->text)});
        else if (line->length == kResistivityTextLength)
            records.push_back({'R', std::string(line->text)});
        else if (line->length > 0)
            std::cerr << "veldro-sim: line of " << line->length << " characters left out\n";
    }
    return records;
}

std::vector<OutgoingRecord> generatedRecords(int count, unsigned seed) {
    std::vector<OutgoingRecord> records;
    const auto survey = generateSurvey(count, seed);
    for (std::size_t i = 0; i < survey.size(); ++i)
        records.push_back(
            {headerLetterOf(survey[i]), encodeRecordText(survey[i], static_cast<int>(i) + 1)});
    return records;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           strcasecmp(text.c_str() + text.size() - suffix.size(), suffix.c_str()) == 0;
}

struct Options {
    std::string device;
    int baud = 0;
    DumpPlan plan;
};

Options parse(int argc, char** argv) {
    Options options;
    std::string file;
    int records = 20;
    int seed = 1;
    const std::pair<const char*, Fault> faultOptions[] = {
        {"--undecodable", Fault::Undecodable},
        {"--missing-cr", Fault::MissingCr},
        {"--missing-lf", Fault::MissingLf},
        {"--short-text", Fault::ShortText},
        {"--unexpected-letter", Fault::UnexpectedLetter}};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--no-end") {
            options.plan.sendEnd = false;
            continue;
        }
        if (option == "--no-start") {
            options.plan.sendStart = false;
            continue;
        }
        if (i + 1 >= argc) throw UsageError("unknown option or missing value: " + option);
        const std::string value = argv[++i];
        bool isFault = false;
        for (const auto& [name, fault] : faultOptions)
            if (option == name) {
                options.plan.faults[wholeNumber(option, value)] = fault;
                isFault = true;
            }
        if (isFault) continue;
        if (option == "--device")
            options.device = value;
        else if (option == "--baud")
            options.baud = wholeNumber(option, value);
        else if (option == "--file")
            file = value;
        else if (option == "--records")
            records = wholeNumber(option, value);
        else if (option == "--seed")
            seed = wholeNumber(option, value);
        else if (option == "--silence-after")
            options.plan.silenceAfter = wholeNumber(option, value);
        else if (option == "--silence-ms")
            options.plan.silenceMs = wholeNumber(option, value);
        else if (option == "--hang-up-after")
            options.plan.hangUpAfter = wholeNumber(option, value);
        else
            throw UsageError("unknown option " + option);
    }
    if (file.empty())
        options.plan.records = generatedRecords(records, static_cast<unsigned>(seed));
    else if (endsWith(file, ".bru"))
        options.plan.records = recordsOfBruFile(file);
    else
        options.plan.records = recordsOfDataFile(file);
    const int last = static_cast<int>(options.plan.records.size());
    for (const auto& [number, fault] : options.plan.faults)
        if (number < 1 || number > last)
            throw UsageError("no record " + std::to_string(number) + " to spoil");
    // A silence or a hang-up that would never happen must not pass unnoticed.
    if (options.plan.silenceAfter == 0 || options.plan.silenceAfter > last)
        throw UsageError("no record " + std::to_string(options.plan.silenceAfter) +
                         " to be silent after");
    if (options.plan.hangUpAfter > last)
        throw UsageError("no record " + std::to_string(options.plan.hangUpAfter) +
                         " to hang up after");
    return options;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << kUsageText;
        return kAllAcknowledged;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "veldro-sim " << kProgramVersion << '\n';
        return kAllAcknowledged;
    }
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "veldro-sim: " << e.what() << '\n';
        std::cerr << kUsageText;
        return kUsage;
    } catch (const std::exception& e) {
        std::cerr << "veldro-sim: " << e.what() << '\n';
        return kUsage;
    }
    try {
        InstrumentLine line =
            options.device.empty()
                ? InstrumentLine::openPseudoTerminal()
                : InstrumentLine::openDevice(options.device, options.baud ? options.baud : 9600);
        std::cout << line.name() << std::endl;
        line.setPacing(options.baud);
        const DumpResult result = playDump(line, options.plan, std::cout);
        std::cout << "records sent " << result.sent << ", acknowledged " << result.acknowledged
                  << std::endl;
        if (result.wireBytes > 0)
            std::cout << "dialogue " << result.dialogueMs << " ms, " << result.wireBytes
                      << " bytes on the wire" << std::endl;
        return result.everyRecordAcknowledged() ? kAllAcknowledged : kNotAllAcknowledged;
    } catch (const std::exception& e) {
        std::cerr << "veldro-sim: " << e.what() << '\n';
        return kLineFailed;
    }
}
