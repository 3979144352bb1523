#pragma once

#include "data/measurement_record.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veldro {

class MeasurementStore;
class Progress;

// The 21 quantity columns of the table, the column choice, the plot, the raw
// spreadsheet and the report, by logical index.
constexpr int kColumnCount = 21;

struct ColumnInfo {
    std::string_view caption; // UTF-8; "°" and "µ" are one byte each in Windows-1252
    int width;                // pixels in the table
    bool plottable;           // carries the line-chart header mark
};

extern const std::array<ColumnInfo, kColumnCount> kColumns;

enum Column {
    ColProfile,
    ColStation,
    ColMode,
    ColFrequency,
    ColQuality,
    ColTiltVertical,
    ColEllipticityVertical,
    ColResistivity,
    ColPhase,
    ColEField,
    ColHField,
    ColHHorizontal,
    ColTiltHorizontal,
    ColEllipticityHorizontal,
    ColCh1Gain,
    ColCh1Overload,
    ColCh2Gain,
    ColCh2Overload,
    ColCh3Gain,
    ColCh3Overload,
    ColFrequencyNumber
};

// The text of one cell, with the display patterns and the process-wide separator;
// empty for a quantity of the other mode.
void appendCellText(std::string& out, const MeasurementRecord& record, int column);
std::string cellText(const MeasurementRecord& record, int column);
// Whether the record has a value in the column (false: the other mode's quantity).
bool hasValue(const MeasurementRecord& record, int column);
// The column's value as a number, for plots; only where hasValue.
double cellValue(const MeasurementRecord& record, int column);

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
