// The instrument's record texts of both modes, as a download and a .bru import
// read them.
#include "data/record_text.h"
#include "fuzz_support.h"

using namespace veldro;
using veldro::fuzz::require;

namespace {

// Every column a layout reads is a whole number or a status word, or a decimal
// that its own text gave: written back in the layout, the text reads as the
// same record, save the decimals' digits past the fourth.
void requireRoundTrip(const MeasurementRecord& record, char header) {
    const std::string text = encodeRecordText(record);
    const auto again = decodeRecordText(header, text);
    require(again.has_value(), "a decoded record's own text decodes");
    require(again->profile == record.profile && again->station == record.station &&
                again->frequency == record.frequency && again->quality == record.quality &&
                again->tiltVertical == record.tiltVertical &&
                again->ellipticityVertical == record.ellipticityVertical &&
                again->tiltHorizontal == record.tiltHorizontal &&
                again->ellipticityHorizontal == record.ellipticityHorizontal &&
                again->phase == record.phase && again->status == record.status,
            "whole numbers and the status survive the record's own text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = veldro::fuzz::textOf(data, size);
    convertInteger(text);
    convertDecimal(text);
    convertHexadecimal(text);
    const auto line = decodeBruLine(text);
    require(!line || text.size() == kTiltTextLength || text.size() == kResistivityTextLength,
            "a .bru line decodes at a layout's length only");
    for (const char header : {'V', 'R'})
        if (const auto record = decodeRecordText(header, text)) {
            require(record->ignored == 0, "a received record is kept");
            if (record->resistivityMode() == (header == 'R')) requireRoundTrip(*record, header);
        }
    return 0;
}
