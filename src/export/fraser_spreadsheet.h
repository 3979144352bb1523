#pragma once

namespace veldro {

class MeasurementStore;
struct RowList;

// "Fraser values": the header "Profile", "Station", "Freq(Hz)", "Fraser", then
// one line per value of the Fraser walk in emission order: the run's profile,
// the position, the run's first frequency and the value, each rounded to a
// whole number. Empties the store's exportBuffer and writes the text into it.
void writeFraserSpreadsheet(MeasurementStore& store, const RowList& rows, char separator);

} // namespace veldro
