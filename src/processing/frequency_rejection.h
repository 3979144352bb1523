#pragma once

namespace veldro {

class MeasurementStore;
struct RowList;

// "Reject frequency...": ignores every row whose frequency lies within 0.001 Hz
// of `frequency`, whatever its mode and frequency number, and rebuilds the rows.
// The rows' kept flags are copied into the records first, so that a row
// toggled by hand keeps its state. Returns the number of rows it ignored.
int rejectFrequency(MeasurementStore& store, RowList& rows, float frequency);

} // namespace veldro
