#include "data/rows.h"

#include "data/measurement_store.h"
#include "data/progress.h"

#include <algorithm>

namespace veldro {

int RowList::keptCount() const {
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(), [](const RowEntry& e) { return e.kept; }));
}

RowList buildRowList(const MeasurementStore& store, Progress* progress, const RebuildPump& pump) {
    RowList rows;
    const int n = store.count();
    rows.entries.reserve(static_cast<std::size_t>(n));
    if (progress) progress->setMaximum(n);
    const int pumpEvery = (n + 50) / 50;
    for (int i = 0; i < n; ++i) {
        rows.entries.push_back({store.record(i).kept(), std::to_string(i + 1)});
        if (i % pumpEvery == 0) {
            if (progress) progress->setPosition(i);
            if (pump && !pump(i)) break;
        }
    }
    return rows;
}

std::string rowCountStatus(int kept, int rows) {
    return "Data :" + std::to_string(kept) + " / " + std::to_string(rows);
}

void copyRowFlagsToStore(const RowList& rows, MeasurementStore& store) {
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) store.setKept(i, rows.kept(i));
}

} // namespace veldro
