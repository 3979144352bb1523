#pragma once

// Small hand-made data sets for the processing and export tests.
#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "records.h"

#include <initializer_list>

namespace veldro::test {

// A store and the rows a rebuild makes of it.
struct DataSet {
    MeasurementStore store{0};
    RowList rows;

    DataSet() = default;
    explicit DataSet(std::initializer_list<MeasurementRecord> records) {
        for (const MeasurementRecord& r : records) append(r);
    }
    DataSet& append(const MeasurementRecord& r) {
        store.append(r);
        rows = buildRowList(store);
        return *this;
    }
    DataSet& add(const Reading& r) { return append(record(r)); }
    bool recordKept(int i) const { return store.record(i).kept(); }
    SurveyView survey() const { return {store, rows}; }
};

} // namespace veldro::test
