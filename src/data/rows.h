#pragma once

#include "data/quantities.h"

#include <functional>
#include <string>
#include <vector>

namespace veldro {

class MeasurementStore;
class Progress;

// One table row: row i shows store record i.
struct RowEntry {
    bool kept = true;
    std::string caption; // the 1-based row number
};

struct RowList {
    std::vector<RowEntry> entries;
    int keptCount() const;
    int size() const { return static_cast<int>(entries.size()); }
    bool kept(int row) const { return entries[static_cast<std::size_t>(row)].kept; }
};

// Called about 50 times in a rebuild with the index reached; false stops it
// after that row (the rows built so far stay).
using RebuildPump = std::function<bool(int index)>;

// Builds the rows from the store's records: captions "1".."n", kept from `ignored`.
RowList buildRowList(const MeasurementStore& store, Progress* progress = nullptr,
                     const RebuildPump& pump = {});

// The row count status: "Data :K / N".
std::string rowCountStatus(int kept, int rows);

// Copies the rows' kept flags into the records (what filters and the
// keep/ignore commands do before they change flags).
void copyRowFlagsToStore(const RowList& rows, MeasurementStore& store);

} // namespace veldro
