// positions: how the stations' positions match a data set; and the positions
// that every command using them reads.
#include "data/file_names.h"
#include "data/positions_file.h"
#include "loaded_rows.h"

#include <iostream>
#include <limits>

using namespace veldro;
using namespace veldro::cli;

LoadedRows veldro::cli::loadSurvey(const Arguments& args, const std::string& path,
                                   MessageSink& messages) {
    LoadedRows loaded = loadRows(path, messages);
    try {
        if (args.hasValue("--positions")) {
            loaded.positions = readPositionsFile(args.value("--positions"));
            loaded.positionsFile = args.value("--positions");
        } else if (auto beside = readPositionsBeside(path)) {
            loaded.positions = std::move(*beside);
            loaded.positionsFile = positionsFileNameFor(path);
        }
    } catch (const PositionsFileError& e) {
        throw CommandFailed(e.what());
    }
    return loaded;
}

void veldro::cli::requirePositions(const LoadedRows& loaded, const std::string& path) {
    if (loaded.positionsFile.empty())
        throw CommandFailed("No positions: " + positionsFileNameFor(path) +
                            " is not there, and --positions names none");
}

namespace {

int runPositions(const Arguments& args) {
    args.expectOperands(1, 1);
    const std::string& path = args.operand(0, "FILE.vlf");
    TerminalMessages messages;
    const LoadedRows d = loadSurvey(args, path, messages);
    requirePositions(d, path);
    std::cout << "Positions from " << d.positionsFile << '\n'
              << matchReport(matchPositions(d.survey()), std::numeric_limits<std::size_t>::max())
              << '\n';
    return 0;
}

const Registration positions{
    {"positions", std::string("FILE.vlf ") + kPositionsUsage,
     "How many kept stations the positions file (NAME.positions.csv beside the data unless "
     "given) places, the stations it does not, and its rows that match no station.",
     runPositions}};

} // namespace
