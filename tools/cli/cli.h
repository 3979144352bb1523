#pragma once

#include "data/messages.h"

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veldro {
class MeasurementStore;
struct MeasurementRecord;
struct GroundModel;
struct StationResponse;
} // namespace veldro

namespace veldro::cli {

// A wrong call: the message and the command's usage go to standard error, exit 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed command whose message was already said (or is this text), exit 1.
class CommandFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The words after the command's name: options ("-o FILE", "--yes") and operands.
class Arguments {
public:
    // valueOptions take the next word; flags stand alone. Anything else that
    // starts with '-' is a usage error.
    Arguments(std::vector<std::string> words, const std::vector<std::string>& valueOptions,
              const std::vector<std::string>& flags);

    bool flag(const std::string& name) const;
    std::string value(const std::string& name, const std::string& fallback = "") const;
    bool hasValue(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    const std::vector<std::string>& operands() const { return operands_; }
    // The one operand at `index`, or a usage error naming `what`.
    const std::string& operand(std::size_t index, const std::string& what) const;
    void expectOperands(std::size_t minimum, std::size_t maximum) const;

private:
    std::multimap<std::string, std::string> values_;
    std::vector<std::string> flags_;
    std::vector<std::string> operands_;
};

struct Command {
    std::string name;    // "export raw" for a two-word command
    std::string usage;   // the words after the name; its options are the ones taken
    std::string summary; // one line
    std::function<int(const Arguments&)> run;
};

// The options a usage names: "-o OUT.txt" or "[--levels N]" take a value,
// "[--yes]" or "| --list" stand alone.
struct UsageOptions {
    std::vector<std::string> valueOptions;
    std::vector<std::string> flags;
};
UsageOptions optionsOfUsage(const std::string& usage);

// Each command file adds its commands with a static Registration.
std::vector<Command>& commands();
struct Registration {
    explicit Registration(Command command) { commands().push_back(std::move(command)); }
};

// Prints the program's messages to standard error, exactly as their texts stand.
class TerminalMessages : public MessageSink {
public:
    void show(const Message& message) override;
    int count() const { return count_; }

private:
    int count_ = 0;
};

// Reads a .vlf data set, or fails with the program's message ("Unable to open
// file", or a refused extension, which the window passes over silently).
std::unique_ptr<MeasurementStore> loadDataSet(const std::string& path, MessageSink& messages);
// A whole number written out in full ("12", not "12x" or "").
bool parseWhole(std::string_view text, int& value);
// When a data set made by a command was made, for its comment: now, or the
// moment SOURCE_DATE_EPOCH names (seconds since 1970), so that a run can be
// repeated byte for byte.
std::time_t dataSetTime();
// The whole number an option names, from `smallest` to `largest` (a usage
// error says so in `unit`); `fallback` when the option is not given.
int wholeOption(const Arguments& args, const std::string& name, int fallback, int smallest,
                int largest, const std::string& unit);
// The number an option names, from `smallest` to `largest` (a usage error
// says it takes `what`); `fallback` when the option is not given.
double numberOption(const Arguments& args, const std::string& name, double fallback,
                    double smallest, double largest, const std::string& what);
// --levels of the Karous-Hjelt commands: 1 to kMostKhLevels, 8 unless given.
int khLevelsOption(const Arguments& args);
// --resistivity-range MIN:MAX: fixed ends of a resistivity colour scale, in
// ohm.m, above 0 with MIN below MAX, so that pictures compare side by side;
// nothing when not given.
std::optional<std::pair<double, double>> resistivityRangeOption(const Arguments& args);
// --value-range MIN:MAX, the ends of a map's colours of signed values.
std::optional<std::pair<double, double>> valueRangeOption(const Arguments& args);
// The "-o" option, required.
std::string requireOutput(const Arguments& args);
// A file name as given (UTF-8), as a path.
std::filesystem::path pathOf(const std::string& name);
// Whether two names lead to one file: the same file on the disk (through a
// link, say), or the same name of a file not made yet.
bool sameFile(const std::string& a, const std::string& b);
// Writes records as a .vlf data set with this comment, whatever their count.
void writeSurvey(const std::string& path, const std::vector<MeasurementRecord>& records,
                 const std::string& comment);
// Reads a model file, or fails naming the file, the key and the reason.
GroundModel loadGroundModel(const std::string& path);
// The model's response, or a failure naming the file, the key and the reason.
std::vector<StationResponse> modelResponse(const GroundModel& model, const std::string& path);
// generate --model: a survey over a model file.
int runGenerateFromModel(const Arguments& args);

} // namespace veldro::cli
