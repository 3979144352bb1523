#pragma once

#include "data/measurement_record.h"

#include <array>
#include <string>
#include <string_view>

namespace veldro {

// The 21 measured quantities, by logical column: what the table, the column
// choice, the column plot, the range filter, the raw spreadsheet and the
// report all read.
constexpr int kColumnCount = 21;

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

// The measurement mode a quantity belongs to; the other mode's rows have no value.
enum class QuantityMode { Both, Tilt, Resistivity };

// How a cell is written: the display patterns "0", "0.00", "0.0000", or the
// mode's name.
enum class CellPattern { Whole, TwoDecimals, FourDecimals, ModeName };

struct Quantity {
    std::string_view caption; // UTF-8; "°" and "µ" are one byte each in Windows-1252
    double (*value)(const MeasurementRecord&);
    QuantityMode mode;
    CellPattern pattern;
    int width;      // pixels in the table
    bool plottable; // a header click plots it (the chart mark)
};

extern const std::array<Quantity, kColumnCount> kQuantities;

inline const Quantity& quantity(int column) {
    return kQuantities[static_cast<std::size_t>(column)];
}

// Whether the record has a value in the column (false: the other mode's quantity).
bool hasValue(const MeasurementRecord& record, int column);
// The column's value as a number, for plots and filters; only where hasValue.
inline double cellValue(const MeasurementRecord& record, int column) {
    return quantity(column).value(record);
}
// The text of one cell, with the display patterns and the process-wide separator;
// empty for a quantity of the other mode.
void appendCellText(std::string& out, const MeasurementRecord& record, int column);
std::string cellText(const MeasurementRecord& record, int column);

} // namespace veldro
