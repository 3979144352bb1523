// invert: the smoothest section that explains each profile's data.
#include "cli.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/survey_view.h"
#include "interpretation/inversion_output.h"
#include "interpretation/profile_inversion.h"
#include "interpretation/profile_terrain.h"
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

InversionOptions invertOptions(const Arguments& args) {
    InversionOptions options = inversionOptions(args);
    options.startResistivity = numberOption(args, "--start-resistivity", 1000, 0.1, 1e5,
                                            "a resistivity from 0.1 to 100000 ohm.m");
    return options;
}

// The profiles asked for that hold data to invert; a profile named with
// --profile must hold some, the others are passed over with a note.
std::vector<ProfileData> profilesToInvert(const Arguments& args, const SurveyView& survey) {
    const ProfileDataOptions options = profileDataOptions(args);
    const bool named = args.hasValue("--profile");
    const std::vector<int> profiles = profilesOption(args, survey);
    std::vector<ProfileData> result;
    const bool flat = args.flag("--no-topography");
    for (int profile : profiles) {
        ProfileData data = profileData(survey, profile, options);
        const std::string why = lackOfData(data);
        if (why.empty()) {
            std::cerr << "Profile " << profile << ": errors " << errorText(data) << '\n';
            for (const Exclusion& exclusion : options.excluded)
                if (!std::binary_search(data.stations.begin(), data.stations.end(),
                                        exclusion.station))
                    std::cerr << "Profile " << profile << ": no station " << exclusion.station
                              << " to keep out\n";
            if (!flat) data.topography = profileTopography(data, survey.positions());
            if (!data.topography.empty())
                std::cerr << "Profile " << profile << ": inverted under the elevations of "
                          << data.topography.size() << " stations\n";
            result.push_back(std::move(data));
            continue;
        }
        if (named) throw CommandFailed(why);
        std::cerr << why << ", passed over\n";
    }
    if (result.empty()) throw CommandFailed("no profile holds data to invert");
    return result;
}

// Where each profile's files go: the names given, with one profile; with
// several, profile-P.json (and .txt) in the folders given, made here.
struct Targets {
    std::vector<std::string> models, sections; // per profile; no sections unless asked
};

// Checked before any work, so that minutes of it are not lost to a name
// that cannot be written, and a file the user keeps is never written over.
Targets outputTargets(const std::string& input, const std::string& output,
                      const std::string& sectionPath, const std::vector<ProfileData>& profiles) {
    const bool several = profiles.size() > 1;
    if (!several && !sectionPath.empty() && sameFile(output, sectionPath))
        throw UsageError("-o and --section-text name the same file");
    Targets targets;
    const std::pair<const std::string*, const char*> asked[] = {{&output, "-o"},
                                                                {&sectionPath, "--section-text"}};
    for (const auto& [name, option] : asked) {
        if (name->empty()) continue;
        std::vector<std::string>& files = name == &output ? targets.models : targets.sections;
        if (several) {
            if (fileExists(*name))
                throw CommandFailed(*name + ": not a folder; with several profiles " + option +
                                    " names a folder");
            for (const ProfileData& profile : profiles) {
                const std::u8string file =
                    (pathOf(*name) / ("profile-" + std::to_string(profile.profile) +
                                      (name == &output ? ".json" : ".txt")))
                        .u8string();
                files.emplace_back(file.begin(), file.end());
            }
        } else {
            if (directoryExists(*name))
                throw CommandFailed(*name + ": a folder; with one profile " + option +
                                    " names a file");
            const std::string folder = directoryPart(*name);
            if (!folder.empty() && !directoryExists(folder))
                throw CommandFailed("Cannot write " + *name + ": no folder " + folder);
            files.push_back(*name);
        }
        for (const std::string& file : files)
            if (sameFile(file, input))
                throw UsageError(std::string(option) + " would write over the data file " + input);
        if (!several) continue;
        std::error_code error;
        std::filesystem::create_directories(pathOf(*name), error);
        if (error) throw CommandFailed("Cannot make the folder " + *name + ": " + error.message());
    }
    return targets;
}

int runInvert(const Arguments& args) {
    args.expectOperands(1, 1);
    const std::string& input = args.operand(0, "FILE.vlf");
    const std::string output = requireOutput(args);
    const std::string sectionPath = args.value("--section-text");
    InversionOptions options = invertOptions(args);
    if (options.depthOfInvestigation && sectionPath.empty())
        throw UsageError("--doi is written into the section text: give --section-text");
    const auto cores = std::max(1u, std::thread::hardware_concurrency());
    const auto threads = static_cast<unsigned>(
        wholeOption(args, "--threads", static_cast<int>(cores), 1, 256, "threads from 1 to 256"));
    TerminalMessages messages;
    const LoadedRows d = loadSurvey(args, input, messages);
    if (!d.positionsFile.empty())
        std::cerr << "Positions from " << d.positionsFile << ": "
                  << matchedText(matchPositions(d.survey())) << '\n';
    options.prior.boreholes = boreholesOption(args, d.positions);
    const std::vector<ProfileData> profiles = profilesToInvert(args, d.survey());
    const Targets targets = outputTargets(input, output, sectionPath, profiles);

    std::mutex said;
    std::cerr << std::fixed << std::setprecision(3);
    // Iteration 0 is the starting model, said before the first iteration's
    // sensitivities, which on a long profile take many forward solves.
    const auto say = [&](std::size_t i, int run, int iteration, double rms) {
        const std::lock_guard lock(said);
        std::cerr << "Profile " << profiles[i].profile << ", ";
        if (run > 0) std::cerr << "depth of investigation run " << run << " of 2, ";
        std::cerr << "iteration " << iteration << ": RMS " << rms << '\n';
    };
    const std::vector<ProfileInversion> inversions = invertEachProfile(
        profiles, options, threads, !sectionPath.empty(),
        [&](std::size_t i, const InversionStep& step) {
            say(i, step.run, step.iteration, step.rms);
            return true;
        },
        [&](std::size_t i, double rms) { say(i, 0, 0, rms); });

    // Each profile's files are written whatever befell the others.
    std::size_t failed = 0;
    for (std::size_t i = 0; i < inversions.size(); ++i) {
        const ProfileInversion& inversion = inversions[i];
        std::cerr << "Profile " << profiles[i].profile << ": ";
        if (!inversion.failure.empty()) {
            std::cerr << "not inverted: " << inversion.failure << '\n';
            ++failed;
            continue;
        }
        std::cerr << "RMS " << inversion.result.rms << " after " << inversion.result.iterations
                  << " iterations: " << stopText(profiles[i], inversion.result, options.targetRms)
                  << '\n';
        try {
            writeFileAtomically(targets.models[i],
                                inversionModelFile(inversion.result, inversion.fit.sensitivity));
            if (!targets.sections.empty())
                writeFileAtomically(targets.sections[i],
                                    sectionText(inversion.result, inversion.fit));
        } catch (const FileError& e) {
            std::cerr << e.what() << '\n';
            ++failed;
        }
    }
    if (failed == 0) return 0;
    if (profiles.size() == 1) throw CommandFailed("");
    throw CommandFailed(std::to_string(failed) + " of " + std::to_string(profiles.size()) +
                        " profiles not inverted or not written");
}

const Registration invert{
    {"invert",
     std::string("FILE.vlf -o MODEL.json [--profile P] ") + kProfileDataUsage +
         " [--start-resistivity OHMM] " + kInversionUsage +
         " [--threads N] [--section-text OUT.txt] [--no-topography] " + kPositionsUsage,
     "The smoothest resistivity section that explains each profile, as a model file (a folder "
     "of profile-P.json with several profiles); under the stations' elevations when positions "
     "give them, unless --no-topography; --doi adds the depth of investigation to the section "
     "text.",
     runInvert}};

} // namespace
