// invert: the smoothest section that explains each profile's data.
#include "cli.h"
#include "data/file_io.h"
#include "data/survey_view.h"
#include "interpretation/inversion_output.h"
#include "interpretation/occam_inversion.h"
#include "loaded_rows.h"
#include "profile_options.h"

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <mutex>
#include <thread>

using namespace veldro;
using namespace veldro::cli;

namespace {

InversionOptions inversionOptions(const Arguments& args) {
    InversionOptions options;
    options.startResistivity = numberOption(args, "--start-resistivity", 1000, 0.1, 1e5,
                                            "a resistivity from 0.1 to 100000 ohm.m");
    options.targetRms =
        numberOption(args, "--target-rms", 1, 0.01, 1000, "an RMS from 0.01 to 1000");
    options.maxIterations =
        wholeOption(args, "--max-iterations", 20, 1, 1000, "iterations from 1 to 1000");
    options.horizontalWeight =
        numberOption(args, "--horizontal-weight", 1, 0.01, 100, "a weight from 0.01 to 100");
    return options;
}

// The profiles asked for that hold data to invert; a profile named with
// --profile must hold some, the others are passed over with a note.
std::vector<ProfileData> profilesToInvert(const Arguments& args, const SurveyView& survey) {
    const ProfileDataOptions options = profileDataOptions(args);
    const bool named = args.hasValue("--profile");
    const std::vector<int> profiles =
        named ? std::vector<int>{wholeOption(args, "--profile", 0, -32768, 32767, "profile")}
              : survey.keptProfiles();
    std::vector<ProfileData> result;
    for (int profile : profiles) {
        ProfileData data = profileData(survey, profile, options);
        const std::string why = lackOfData(data);
        if (why.empty()) {
            result.push_back(std::move(data));
            continue;
        }
        if (named) throw CommandFailed(why);
        std::cerr << why << ", passed over\n";
    }
    if (result.empty()) throw CommandFailed("no profile holds data to invert");
    return result;
}

int runInvert(const Arguments& args) {
    args.expectOperands(1, 1);
    const std::string output = requireOutput(args);
    const std::string sectionPath = args.value("--section-text");
    const InversionOptions options = inversionOptions(args);
    const auto cores = std::max(1u, std::thread::hardware_concurrency());
    const auto threads = static_cast<unsigned>(
        wholeOption(args, "--threads", static_cast<int>(cores), 1, 256, "threads from 1 to 256"));
    TerminalMessages messages;
    const LoadedRows d = loadRows(args.operand(0, "FILE.vlf"), messages);
    const std::vector<ProfileData> profiles = profilesToInvert(args, SurveyView(*d.store, d.rows));

    std::mutex said;
    std::cerr << std::fixed << std::setprecision(3);
    const auto results = [&] {
        try {
            return invertProfiles(
                profiles, options, threads, [&](std::size_t i, const InversionStep& step) {
                    const std::lock_guard lock(said);
                    std::cerr << "Profile " << profiles[i].profile << ", iteration "
                              << step.iteration << ": RMS " << step.rms << '\n';
                    return true;
                });
        } catch (const std::exception& e) {
            throw CommandFailed(std::string("the inversion failed: ") + e.what());
        }
    }();

    // With several profiles each goes to its own file in the folders named.
    const bool several = profiles.size() > 1;
    const auto target = [&](const std::string& path, std::size_t i, const char* extension) {
        if (!several) return path;
        std::filesystem::create_directories(path);
        return (std::filesystem::path(path) /
                ("profile-" + std::to_string(profiles[i].profile) + extension))
            .string();
    };
    for (std::size_t i = 0; i < results.size(); ++i) {
        std::cerr << "Profile " << profiles[i].profile << ": RMS " << results[i].rms << " after "
                  << results[i].iterations << " iterations\n";
        writeFileAtomically(target(output, i, ".json"), inversionModelFile(results[i]));
        if (!sectionPath.empty())
            writeFileAtomically(target(sectionPath, i, ".txt"), sectionText(results[i]));
    }
    return 0;
}

const Registration invert{
    {"invert",
     std::string("FILE.vlf -o MODEL.json [--profile P] ") + kProfileDataUsage +
         " [--start-resistivity OHMM] [--target-rms R] [--max-iterations N] "
         "[--horizontal-weight W] [--threads N] [--section-text OUT.txt]",
     "The smoothest resistivity section that explains each profile, as a model file (a folder "
     "of profile-P.json with several profiles).",
     runInvert}};

} // namespace
