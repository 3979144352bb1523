#include "cli.h"

#include "data/measurement_store.h"
#include "data/vlf_file.h"
#include "maps/colour_ends.h"
#include "processing/karous_hjelt.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace veldro::cli {

UsageOptions optionsOfUsage(const std::string& usage) {
    std::vector<std::string> words;
    std::istringstream in(usage);
    for (std::string word; in >> word;) words.push_back(word);
    UsageOptions options;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (word.starts_with('[')) word.erase(0, 1);
        if (!word.starts_with('-')) continue;
        const bool closed = word.ends_with(']');
        if (closed) word.pop_back();
        const bool takesValue = !closed && i + 1 < words.size() && !words[i + 1].starts_with('-') &&
                                !words[i + 1].starts_with('[') && !words[i + 1].starts_with('|');
        std::vector<std::string>& list = takesValue ? options.valueOptions : options.flags;
        if (std::find(list.begin(), list.end(), word) == list.end()) list.push_back(word);
    }
    return options;
}

Arguments::Arguments(std::vector<std::string> words, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flags) {
    auto listed = [](const std::vector<std::string>& list, const std::string& word) {
        return std::find(list.begin(), list.end(), word) != list.end();
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9')) {
            if (listed(valueOptions, word)) {
                if (i + 1 >= words.size()) throw UsageError(word + " needs a value");
                values_.emplace(word, words[++i]);
            } else if (listed(flags, word)) {
                flags_.push_back(word);
            } else {
                throw UsageError("unknown option " + word);
            }
        } else {
            operands_.push_back(word);
        }
    }
}

bool Arguments::flag(const std::string& name) const {
    return std::find(flags_.begin(), flags_.end(), name) != flags_.end();
}

std::string Arguments::value(const std::string& name, const std::string& fallback) const {
    auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

bool Arguments::hasValue(const std::string& name) const {
    return values_.count(name) > 0;
}

std::vector<std::string> Arguments::values(const std::string& name) const {
    std::vector<std::string> result;
    auto [first, last] = values_.equal_range(name);
    for (auto it = first; it != last; ++it) result.push_back(it->second);
    return result;
}

const std::string& Arguments::operand(std::size_t index, const std::string& what) const {
    if (index >= operands_.size()) throw UsageError("missing " + what);
    return operands_[index];
}

void Arguments::expectOperands(std::size_t minimum, std::size_t maximum) const {
    if (operands_.size() < minimum) throw UsageError("too few operands");
    if (operands_.size() > maximum) throw UsageError("unexpected operand " + operands_[maximum]);
}

std::vector<Command>& commands() {
    static std::vector<Command> all;
    return all;
}

void TerminalMessages::show(const Message& message) {
    ++count_;
    std::cerr << message.text << '\n';
}

std::unique_ptr<MeasurementStore> loadDataSet(const std::string& path, MessageSink& messages) {
    DataFileRead read = readDataFile(path, messages);
    switch (read.status) {
    case DataFileStatus::Opened:
        return std::move(read.store);
    case DataFileStatus::WrongExtension:
        throw CommandFailed(path + ": not a Veldro data file (the extension must contain VLF)");
    case DataFileStatus::Missing:
        throw CommandFailed("");
    }
    throw CommandFailed("");
}

bool parseWhole(std::string_view text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

std::time_t dataSetTime() {
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (!fixed || !*fixed) return std::time(nullptr);
    char* end = nullptr;
    const long long seconds = std::strtoll(fixed, &end, 10);
    if (*end != '\0' || seconds < 0)
        throw UsageError("SOURCE_DATE_EPOCH must be a count of seconds");
    return static_cast<std::time_t>(seconds);
}

int wholeOption(const Arguments& args, const std::string& name, int fallback, int smallest,
                int largest, const std::string& unit) {
    if (!args.hasValue(name)) return fallback;
    int value = 0;
    if (!parseWhole(args.value(name), value) || value < smallest || value > largest)
        throw UsageError(name + " takes a whole number of " + unit + " from " +
                         std::to_string(smallest) + " to " + std::to_string(largest));
    return value;
}

int khLevelsOption(const Arguments& args) {
    return wholeOption(args, "--levels", kDefaultKhLevels, 1, kMostKhLevels, "levels");
}

namespace {

// MIN:MAX of a colour scale's ends, by the rule of fixed ends; `usage` says
// what the option takes when they break it.
std::optional<ColourEnds> colourEndsOption(const Arguments& args, const std::string& option,
                                           bool logarithmic, const std::string& usage) {
    if (!args.hasValue(option)) return std::nullopt;
    const std::string text = args.value(option);
    const std::size_t colon = text.find(':');
    char* end = nullptr;
    if (colon != std::string::npos) {
        const std::string lowText = text.substr(0, colon), highText = text.substr(colon + 1);
        const double low = std::strtod(lowText.c_str(), &end);
        const bool lowRead = !lowText.empty() && *end == '\0';
        const double high = std::strtod(highText.c_str(), &end);
        if (lowRead && !highText.empty() && *end == '\0')
            if (const std::optional<ColourEnds> ends = fixedColourEnds(low, high, logarithmic))
                return ends;
    }
    throw UsageError(option + " takes " + usage);
}

} // namespace

std::optional<std::pair<double, double>> resistivityRangeOption(const Arguments& args) {
    return colourEndsOption(args, "--resistivity-range", true,
                            "MIN:MAX in ohm.m, both above 0 and MIN below MAX, such as 10:10000");
}

std::optional<std::pair<double, double>> valueRangeOption(const Arguments& args) {
    return colourEndsOption(args, "--value-range", false, "MIN:MAX, MIN below MAX, such as -20:40");
}

std::string requireOutput(const Arguments& args) {
    if (!args.hasValue("-o")) throw UsageError("missing -o OUTPUT");
    return args.value("-o");
}

std::filesystem::path pathOf(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::equivalent(pathOf(a), pathOf(b), error)) return true;
    const std::filesystem::path first = std::filesystem::weakly_canonical(pathOf(a), error);
    if (error) return false;
    return first == std::filesystem::weakly_canonical(pathOf(b), error) && !error;
}

} // namespace veldro::cli
