#include "export/fraser_spreadsheet.h"

#include "data/measurement_store.h"
#include "data/number_text.h"
#include "data/survey_view.h"
#include "export/export_text.h"
#include "processing/fraser_walk.h"

namespace veldro {

namespace {

class FraserLines : public FraserVisitor {
public:
    FraserLines(std::string& out, char separator) : out_(out), separator_(separator) {}

    void value(const FraserValue& v) override {
        appendInteger(out_, v.profile);
        out_ += separator_;
        appendPattern(out_, v.x, 0);
        out_ += separator_;
        appendInteger(out_, v.frequency);
        out_ += separator_;
        appendPattern(out_, v.value, 0);
        out_ += "\r\n";
    }

private:
    std::string& out_;
    char separator_;
};

} // namespace

void writeFraserSpreadsheet(MeasurementStore& store, const RowList& rows, char separator) {
    std::string& out = store.exportBuffer;
    out.clear();
    for (int column : {ColProfile, ColStation, ColFrequency})
        (out += exportCaption(column)) += separator;
    out += "Fraser\r\n";
    FraserLines lines(out, separator);
    walkFraser(SurveyView(store, rows), lines);
}

} // namespace veldro
