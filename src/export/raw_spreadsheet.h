#pragma once

#include "export/export_text.h"

namespace veldro {

class MeasurementStore;
struct RowList;

// "Raw data": a header line of the visible columns' captions, then one line per
// kept row in table order, fields joined by `separator`, Windows-1252, CR LF.
// Empties the store's exportBuffer and writes the text into it.
void writeRawSpreadsheet(MeasurementStore& store, const RowList& rows, char separator,
                         const VisibleColumns& visible);

} // namespace veldro
