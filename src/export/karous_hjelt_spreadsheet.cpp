#include "export/karous_hjelt_spreadsheet.h"

#include "data/measurement_store.h"
#include "data/number_text.h"
#include "data/survey_view.h"
#include "export/export_text.h"
#include "processing/karous_hjelt.h"

namespace veldro {

void writeKarousHjeltSpreadsheet(MeasurementStore& store, const RowList& rows, char separator,
                                 int levels) {
    std::string& out = store.exportBuffer;
    out.clear();
    ((out += exportCaption(ColProfile)) += separator) += exportCaption(ColStation);
    (out += separator) += "Depth";
    (out += separator) += exportCaption(ColFrequency);
    (out += separator) += "KH\r\n";
    for (const KhRun& run : karousHjelt(SurveyView(store, rows), levels))
        for (const KhValue& v : run.values) {
            appendInteger(out, run.run.profile);
            out += separator;
            appendPattern(out, v.x, 1);
            out += separator;
            appendPattern(out, v.depth, 1);
            out += separator;
            appendInteger(out, run.run.frequency);
            out += separator;
            appendPattern(out, v.value, 2);
            out += "\r\n";
        }
}

} // namespace veldro
