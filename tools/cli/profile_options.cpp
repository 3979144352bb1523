#include "profile_options.h"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>

namespace veldro::cli {

namespace {

constexpr double kLeastFloor = 0.01, kGreatestFloor = 100;

// The names --error takes, in the order of FittedQuantity.
constexpr std::array<std::string_view, 4> kQuantityNames{"tilt", "ellipticity", "rho", "phase"};

// "tilt=2,rho=5" over the floors given.
void readQuantityFloors(const std::string& list, std::array<double, 4>& floors) {
    const UsageError wrong("--error takes QUANTITY=PCT,... with tilt, ellipticity, rho or phase "
                           "and a percentage from 0.01 to 100");
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string_view part = std::string_view(list).substr(start, end - start);
        const std::size_t equals = part.find('=');
        if (equals == std::string_view::npos) throw wrong;
        const std::string_view name = part.substr(0, equals), number = part.substr(equals + 1);
        const auto known = std::find(kQuantityNames.begin(), kQuantityNames.end(), name);
        double value = 0;
        const auto [stop, error] =
            std::from_chars(number.data(), number.data() + number.size(), value);
        if (known == kQuantityNames.end() || number.empty() || error != std::errc() ||
            stop != number.data() + number.size() || !(value >= kLeastFloor) ||
            value > kGreatestFloor)
            throw wrong;
        floors[static_cast<std::size_t>(known - kQuantityNames.begin())] = value;
        start = end + 1;
    }
}

// "100,125.5": the stations whose data stay out of the fit.
std::vector<double> readStations(const std::string& list) {
    const UsageError wrong("--exclude takes stations separated by commas");
    std::vector<double> stations;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        double station = 0;
        const auto [stop, error] = std::from_chars(list.data() + start, list.data() + end, station);
        if (end == start || error != std::errc() || stop != list.data() + end) throw wrong;
        stations.push_back(station);
        start = end + 1;
    }
    return stations;
}

} // namespace

ProfileDataOptions profileDataOptions(const Arguments& args) {
    ProfileDataOptions options;
    const std::string number = args.value("--frequency-number", "all");
    if (number == "1" || number == "2")
        options.frequencyNumber = number[0] - '0';
    else if (number != "all")
        throw UsageError("--frequency-number takes 1, 2 or all");
    const std::string kinds = args.value("--data", "tilt");
    if (kinds == "tilt")
        options.data = InversionData::Tilt;
    else if (kinds == "resistivity")
        options.data = InversionData::Resistivity;
    else if (kinds == "both")
        options.data = InversionData::Both;
    else
        throw UsageError("--data takes tilt, resistivity or both");
    options.errorFloorPercent.fill(numberOption(args, "--error-floor", 2, kLeastFloor,
                                                kGreatestFloor, "a percentage from 0.01 to 100"));
    if (args.hasValue("--error"))
        readQuantityFloors(args.value("--error"), options.errorFloorPercent);
    // Floors given say how the data err, unless an estimate is asked for.
    const bool floorsGiven = args.hasValue("--error-floor") || args.hasValue("--error");
    const std::string model = args.value("--error-model", floorsGiven ? "floor" : "estimate");
    if (model == "estimate")
        options.errorModel = ErrorModel::Estimate;
    else if (model == "floor")
        options.errorModel = ErrorModel::Floor;
    else
        throw UsageError("--error-model takes estimate or floor");
    options.errorFractionPercent =
        numberOption(args, "--error-fraction", 0, 0, kGreatestFloor, "a percentage from 0 to 100");
    if (args.hasValue("--exclude"))
        options.excludedStations = readStations(args.value("--exclude"));
    return options;
}

namespace {

// --start, --reference, --fix and --borehole-weight.
PriorKnowledge priorKnowledge(const Arguments& args) {
    PriorKnowledge prior;
    const std::pair<const char*, std::optional<GroundModel>*> models[] = {
        {"--start", &prior.start}, {"--reference", &prior.reference}, {"--fix", &prior.fixed}};
    for (const auto& [option, model] : models)
        if (args.hasValue(option)) *model = loadGroundModel(args.value(option));
    if (args.value("--borehole-weight") == "fixed")
        prior.boreholeWeight = 0;
    else
        prior.boreholeWeight = numberOption(args, "--borehole-weight", prior.boreholeWeight, 0.01,
                                            1000, "fixed or a weight from 0.01 to 1000");
    return prior;
}

} // namespace

InversionOptions inversionOptions(const Arguments& args) {
    InversionOptions options;
    options.targetRms =
        numberOption(args, "--target-rms", 1, 0.01, 1000, "an RMS from 0.01 to 1000");
    options.maxIterations =
        wholeOption(args, "--max-iterations", 20, 1, 1000, "iterations from 1 to 1000");
    options.horizontalWeight =
        numberOption(args, "--horizontal-weight", 1, 0.01, 100, "a weight from 0.01 to 100");
    options.robust = args.flag("--robust");
    options.prior = priorKnowledge(args);
    options.depthOfInvestigation = args.flag("--doi");
    return options;
}

std::vector<Borehole> boreholesOption(const Arguments& args, const StationPositions& positions) {
    if (!args.hasValue("--boreholes")) return {};
    const std::string path = args.value("--boreholes");
    try {
        return placeBoreholes(readBoreholes(path), positions);
    } catch (const BoreholeError& e) {
        throw CommandFailed(path + ": " + e.what());
    }
}

std::string lackOfData(const ProfileData& data) {
    if (data.stations.size() >= 2 && !data.data.empty()) return {};
    return "profile " + std::to_string(data.profile) +
           ": no two stations with kept records of the data asked for";
}

} // namespace veldro::cli
