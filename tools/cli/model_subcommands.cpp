// The ground model's commands: forward, and generate --model.
#include "cli.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/positions_file.h"
#include "interpretation/forward.h"
#include "interpretation/mesh_check.h"
#include "interpretation/model_survey.h"
#include "interpretation/response_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace veldro;
using namespace veldro::cli;

namespace {

double percentOption(const Arguments& args, const std::string& name) {
    return numberOption(args, name, 0, 0, 100, "a percentage from 0 to 100");
}

// A fault of the model, said with its file's name.
template <class Work> auto aboutModel(const std::string& path, Work work) {
    try {
        return work();
    } catch (const ModelError& e) {
        throw CommandFailed(path + ": " + e.what());
    }
}

// The mesh's error: the largest change of each quantity on halving every cell.
void printMeshCheck(const MeshCheck& check) {
    std::printf("Mesh: %zu x %zu nodes; with every cell halved: %zu x %zu\n", check.columns,
                check.rows, check.halvedColumns, check.halvedRows);
    std::printf("Largest change with every cell halved:\n");
    static const char* const names[4] = {"Tilt.ver(%)", "Ellip.ver(%)", "Rho", "Ph.E/H"};
    static const char* const units[4] = {"% points", "% points", "%", "degrees"};
    for (std::size_t q = 0; q < 4; ++q) {
        const QuantityChange& c = check.changes[q];
        std::printf("%-13s %8.3f %-9s at station %g m, %g Hz\n", names[q], c.largest, units[q],
                    c.station, c.frequency);
    }
}

int runForward(const Arguments& args) {
    args.expectOperands(1, 1);
    const std::string& path = args.operand(0, "MODEL.json");
    if (args.flag("--check-mesh")) {
        if (args.hasValue("-o")) throw UsageError("--check-mesh prints its figures: leave out -o");
        const GroundModel model = loadGroundModel(path);
        printMeshCheck(aboutModel(path, [&] { return checkMesh(model); }));
        return 0;
    }
    const std::string output = requireOutput(args);
    const GroundModel model = loadGroundModel(path);
    writeFileAtomically(output, responseTable(modelResponse(model, path)));
    return 0;
}

const Registration forward{{"forward", "MODEL.json -o OUT.txt | --check-mesh",
                            "The model's tilt, ellipticity, Rho and phase at each station and "
                            "frequency, tab-separated; with --check-mesh, how far they move "
                            "when every cell of the mesh is halved.",
                            runForward}};

} // namespace

namespace veldro::cli {

double numberOption(const Arguments& args, const std::string& name, double fallback,
                    double smallest, double largest, const std::string& what) {
    if (!args.hasValue(name)) return fallback;
    const std::string text = args.value(name);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= smallest) || value > largest)
        throw UsageError(name + " takes " + what);
    return value;
}

GroundModel loadGroundModel(const std::string& path) {
    return aboutModel(path, [&] { return readGroundModel(path); });
}

std::vector<StationResponse> modelResponse(const GroundModel& model, const std::string& path) {
    return aboutModel(path, [&] { return computeResponse(model); });
}

int runGenerateFromModel(const Arguments& args) {
    const std::string output = requireOutput(args);
    const std::string path = args.value("--model");
    ModelSurveyOptions options;
    options.profile = wholeOption(args, "--profile", 1, -32768, 32767, "profile");
    options.noisePercent = percentOption(args, "--noise");
    options.seed = static_cast<unsigned>(wholeOption(args, "--seed", 1, 0, 2147483647, "seed"));
    options.resistivityMode = args.flag("--resistivity-mode");
    const GroundModel model = loadGroundModel(path);
    const auto records =
        aboutModel(path, [&] { return modelSurvey(model, modelResponse(model, path), options); });
    writeSurvey(output, records,
                "Synthetic survey over a ground model, seed " + std::to_string(options.seed));
    // The heights beside the data, where a hill's survey is read with them.
    if (const StationPositions heights = modelPositions(model, options.profile); !heights.empty())
        writeFileAtomically(positionsFileNameFor(output), positionsFileText(heights));
    return 0;
}

} // namespace veldro::cli
