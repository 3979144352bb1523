#pragma once

#include "cli.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/station_positions.h"
#include "data/survey_view.h"

namespace veldro::cli {

// A data set with the rows a rebuild makes of it: kept as the file's flags
// say; and its stations' positions, when a command reads them.
struct LoadedRows {
    std::unique_ptr<MeasurementStore> store;
    RowList rows;
    StationPositions positions;
    std::string positionsFile; // empty without positions

    SurveyView survey() const { return {*store, rows, &positions}; }
};

inline LoadedRows loadRows(const std::string& path, MessageSink& messages) {
    LoadedRows loaded{loadDataSet(path, messages), {}, {}, {}};
    loaded.rows = buildRowList(*loaded.store);
    return loaded;
}

inline constexpr const char* kPositionsUsage = "[--positions P.csv]";

// The data set with its positions: from the file --positions names, else from
// the one beside the data file when it is there. A positions file that
// cannot be read, or is refused, fails the command with its message.
LoadedRows loadSurvey(const Arguments& args, const std::string& path, MessageSink& messages);
// Fails saying so when the data set at `path` was loaded without positions.
void requirePositions(const LoadedRows& loaded, const std::string& path);

} // namespace veldro::cli
