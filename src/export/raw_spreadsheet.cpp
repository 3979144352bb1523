#include "export/raw_spreadsheet.h"

#include "data/measurement_store.h"

#include <algorithm>

namespace veldro {

void writeRawSpreadsheet(MeasurementStore& store, const RowList& rows, char separator,
                         const VisibleColumns& visible) {
    std::string& out = store.exportBuffer;
    out.clear();
    // The separator stands between fields only, never first or last.
    bool first = true;
    for (int column = 0; column < kColumnCount; ++column) {
        if (!visible[static_cast<std::size_t>(column)]) continue;
        if (!first) out += separator;
        out += exportCaption(column);
        first = false;
    }
    out += "\r\n";
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        if (!rows.kept(i)) continue;
        const MeasurementRecord& r = store.record(i);
        first = true;
        for (int column = 0; column < kColumnCount; ++column) {
            if (!visible[static_cast<std::size_t>(column)]) continue;
            if (!first) out += separator;
            appendExportCell(out, r, column);
            first = false;
        }
        out += "\r\n";
    }
}

} // namespace veldro
