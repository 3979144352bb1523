#include "profile_options.h"

#include "data/survey_view.h"

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

// "100,125.5:tilt": the stations whose data stay out of the fit, each alone
// or only one quantity's there.
std::vector<Exclusion> readExclusions(const std::string& list) {
    const UsageError wrong("--exclude takes stations separated by commas, each alone or as "
                           "STATION:QUANTITY with tilt, ellipticity, rho or phase");
    std::vector<Exclusion> exclusions;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string_view part = std::string_view(list).substr(start, end - start);
        const std::size_t colon = std::min(part.find(':'), part.size());
        Exclusion exclusion;
        const auto [stop, error] =
            std::from_chars(part.data(), part.data() + colon, exclusion.station);
        if (colon == 0 || error != std::errc() || stop != part.data() + colon) throw wrong;
        if (colon < part.size()) {
            const auto known =
                std::find(kQuantityNames.begin(), kQuantityNames.end(), part.substr(colon + 1));
            if (known == kQuantityNames.end()) throw wrong;
            exclusion.quantity = static_cast<FittedQuantity>(known - kQuantityNames.begin());
        }
        exclusions.push_back(exclusion);
        start = end + 1;
    }
    return exclusions;
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
    if (args.hasValue("--exclude")) options.excluded = readExclusions(args.value("--exclude"));
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

std::vector<int> profilesOption(const Arguments& args, const SurveyView& survey) {
    if (args.hasValue("--profile"))
        return {wholeOption(args, "--profile", 0, -32768, 32767, "profile")};
    return survey.keptProfiles();
}

int oneProfileOption(const Arguments& args, const SurveyView& survey) {
    const std::vector<int> profiles = profilesOption(args, survey);
    if (profiles.size() == 1) return profiles.front();
    if (profiles.empty()) throw CommandFailed("the data set holds no kept records");
    throw UsageError("the data set holds several profiles: name one with --profile");
}

std::size_t layersOption(const Arguments& args) {
    return static_cast<std::size_t>(wholeOption(args, "--layers", 0, 2, 100, "layers"));
}

std::vector<Sounding> soundingsOption(const Arguments& args, const SurveyView& survey,
                                      const std::vector<int>& profiles, const std::string& path) {
    ProfileDataOptions options = profileDataOptions(args);
    options.data = InversionData::Resistivity;
    std::vector<Sounding> result;
    for (int profile : profiles) {
        std::vector<Sounding> stations = soundings(profileData(survey, profile, options));
        result.insert(result.end(), std::make_move_iterator(stations.begin()),
                      std::make_move_iterator(stations.end()));
    }
    if (result.empty())
        throw CommandFailed(path + ": no kept records of Rho and phase (resistivity mode)" +
                            (args.hasValue("--profile") ? " on profile " + args.value("--profile")
                                                        : std::string()));
    return result;
}

} // namespace veldro::cli
