#include "processing/keep_ignore.h"

#include "data/measurement_store.h"
#include "data/rows.h"

#include <algorithm>

namespace veldro {

namespace {

bool isRow(const RowList& rows, int row) {
    return row >= 0 && row < rows.size();
}

void setRow(MeasurementStore& store, RowList& rows, int row, bool kept) {
    rows.entries[static_cast<std::size_t>(row)].kept = kept;
    store.setKept(row, kept);
}

bool anyOverload(const MeasurementRecord& r) {
    return r.overload(1) || r.overload(2) || r.overload(3);
}

} // namespace

void setRowsKept(MeasurementStore& store, RowList& rows, const std::vector<int>& selected,
                 bool kept) {
    for (int row : selected)
        if (isRow(rows, row)) setRow(store, rows, row, kept);
}

void toggleRows(MeasurementStore& store, RowList& rows, const std::vector<int>& selected) {
    for (int row : selected)
        if (isRow(rows, row)) setRow(store, rows, row, !rows.kept(row));
}

int ignoreOverloadData(MeasurementStore& store, RowList& rows, Progress* progress) {
    copyRowFlagsToStore(rows, store);
    int ignored = 0;
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        if (rows.kept(i) && anyOverload(store.record(i))) {
            store.setKept(i, false);
            ++ignored;
        }
    }
    commitRecordFlags(store, rows, progress);
    return ignored;
}

void deleteIgnoredData(MeasurementStore& store, RowList& rows, MessageSink& messages,
                       Progress* progress) {
    store.writeImage(ImageMode::Full, true, 0, 0, progress);
    store.loadFromImage(messages);
    rows = buildRowList(store, progress);
}

void commitRecordFlags(MeasurementStore& store, RowList& rows, Progress* progress) {
    store.writeImage(ImageMode::Full, false, 0, 0, progress);
    rows = buildRowList(store, progress);
}

} // namespace veldro
