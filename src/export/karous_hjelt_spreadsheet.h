#pragma once

namespace veldro {

class MeasurementStore;
struct RowList;

// "Karous-Hjelt values": the header "Profile", "Station", "Depth", "Freq(Hz)",
// "KH", then one line per value, runs in curve order, within a run by level
// and then along it: the run's profile, the position and the depth with one
// decimal, the run's first frequency, the value with two decimals. Empties the
// store's exportBuffer and writes the text into it.
void writeKarousHjeltSpreadsheet(MeasurementStore& store, const RowList& rows, char separator,
                                 int levels);

} // namespace veldro
