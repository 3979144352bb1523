#pragma once

#include "data/measurement_record.h"

#include <optional>
#include <string>
#include <string_view>

namespace veldro {

// The instrument's record texts: 67 characters in tilt mode (header 'V'), 70 in
// resistivity mode (header 'R'), fixed columns, positions counted from 1.
constexpr std::size_t kTiltTextLength = 67;
constexpr std::size_t kResistivityTextLength = 70;

// The column conversions. Each fails (nullopt) on anything but its rules allow.
// integer: blanks then an optionally signed decimal integer, nothing after.
std::optional<long> convertInteger(std::string_view column);
// decimal: '.' as the point, sign and exponent allowed, blanks around it.
std::optional<float> convertDecimal(std::string_view column);
// hexadecimal: exactly four hexadecimal digits.
std::optional<unsigned> convertHexadecimal(std::string_view column);

// Decodes a record text (at least the layout's length; further bytes, such as
// the line end, are not read). The first decimal conversion switches the
// process-wide decimal separator to '.'.
std::optional<MeasurementRecord> decodeTiltText(std::string_view text);
std::optional<MeasurementRecord> decodeResistivityText(std::string_view text);
// By the header letter: 'V' tilt, 'R' resistivity.
std::optional<MeasurementRecord> decodeRecordText(char header, std::string_view text);
// A .bru line, judged by its length alone (67 tilt, 70 resistivity).
std::optional<MeasurementRecord> decodeBruLine(std::string_view line);

// The text the instrument sends for a record, in the layout of its mode;
// positions 1 to 7 carry `sequence`, which readers do not look at.
std::string encodeRecordText(const MeasurementRecord& record, int sequence = 0);
char headerLetterOf(const MeasurementRecord& record);

} // namespace veldro
