// invert1d: each station's Rho and phase as a layered ground.
#include "cli.h"
#include "data/file_io.h"
#include "interpretation/layered_output.h"
#include "loaded_rows.h"
#include "profile_options.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <thread>

using namespace veldro;
using namespace veldro::cli;

namespace {

// Each profile's stations and the range of their RMS.
void sayFits(const std::vector<Sounding>& soundings, const std::vector<LayeredModel>& models) {
    std::cerr << std::fixed << std::setprecision(3);
    for (std::size_t begin = 0; begin < soundings.size();) {
        std::size_t end = begin;
        double lowest = models[begin].rms, highest = lowest;
        for (; end < soundings.size() && soundings[end].profile == soundings[begin].profile; ++end)
            lowest = std::min(lowest, models[end].rms),
            highest = std::max(highest, models[end].rms);
        std::cerr << "Profile " << soundings[begin].profile << ": " << end - begin
                  << " stations, RMS " << lowest << " to " << highest << '\n';
        begin = end;
    }
}

int runInvert1d(const Arguments& args) {
    args.expectOperands(1, 1);
    const std::string& input = args.operand(0, "FILE.vlf");
    const std::string output = requireOutput(args);
    if (sameFile(output, input)) throw UsageError("-o would write over the data file " + input);
    const std::size_t layers = layersOption(args);
    const auto cores = std::max(1u, std::thread::hardware_concurrency());
    const auto threads = static_cast<unsigned>(
        wholeOption(args, "--threads", static_cast<int>(cores), 1, 256, "threads from 1 to 256"));
    TerminalMessages messages;
    const LoadedRows d = loadRows(input, messages);
    const std::vector<Sounding> soundings =
        soundingsOption(args, d.survey(), profilesOption(args, d.survey()), input);
    const std::vector<LayeredModel> models = invertSoundings(soundings, layers, threads);
    sayFits(soundings, models);
    writeFileAtomically(output, layeredModelsText(soundings, models, layers == 0));
    return 0;
}

const Registration invert1d{
    {"invert1d",
     std::string("FILE.vlf -o OUT.txt [--profile P] ") + kSoundingDataUsage +
         " [--layers N] [--threads N]",
     "Each station's Rho and phase as two layers (rho1, h1, rho2, each with the factor of its "
     "uncertainty, and the RMS), or with --layers as the smoothest ground of N layers that fits; "
     "tab-separated text.",
     runInvert1d}};

} // namespace
