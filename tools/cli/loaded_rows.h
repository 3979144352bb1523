#pragma once

#include "cli.h"
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"

namespace veldro::cli {

// A data set with the rows a rebuild makes of it: kept as the file's flags say.
struct LoadedRows {
    std::unique_ptr<MeasurementStore> store;
    RowList rows;

    SurveyView survey() const { return {*store, rows}; }
};

inline LoadedRows loadRows(const std::string& path, MessageSink& messages) {
    LoadedRows loaded{loadDataSet(path, messages), {}};
    loaded.rows = buildRowList(*loaded.store);
    return loaded;
}

} // namespace veldro::cli
