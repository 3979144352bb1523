#include "data/record_text.h"

#include "data/number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace veldro {

namespace {

// Positions count from 1, as the layouts give them.
std::string_view column(std::string_view text, std::size_t from, std::size_t to) {
    return text.substr(from - 1, to - from + 1);
}

bool isBlank(char c) {
    return c == ' ';
}

bool storeInteger(std::string_view text, std::size_t from, std::size_t to, std::int16_t& field) {
    const auto value = convertInteger(column(text, from, to));
    if (!value) return false;
    field = static_cast<std::int16_t>(static_cast<std::uint16_t>(*value & 0xFFFF));
    return true;
}

bool storeDecimal(std::string_view text, std::size_t from, std::size_t to, float& field) {
    const auto value = convertDecimal(column(text, from, to));
    if (!value) return false;
    field = *value;
    return true;
}

bool storeStatus(std::string_view text, std::size_t from, std::uint16_t& field) {
    const auto value = convertHexadecimal(column(text, from, from + 3));
    if (!value) return false;
    field = static_cast<std::uint16_t>(*value);
    return true;
}

bool decodeCommon(std::string_view text, MeasurementRecord& r) {
    return storeInteger(text, 9, 14, r.profile) && storeInteger(text, 16, 21, r.station) &&
           storeInteger(text, 23, 28, r.frequency) && storeInteger(text, 30, 32, r.quality);
}

// Right-aligned into a column of `width`; a decimal takes as many of four
// decimals as the width leaves.
void putInteger(std::string& line, std::size_t from, std::size_t width, long value) {
    std::string text;
    appendInteger(text, value, static_cast<int>(width));
    line.replace(from - 1, width, text.substr(text.size() - width));
}

void putDecimal(std::string& line, std::size_t from, std::size_t width, float value) {
    std::string text;
    for (int decimals = 4; decimals >= 0; --decimals) {
        text = formatFixedPoint(value, static_cast<int>(width), decimals);
        if (text.size() <= width) break;
    }
    line.replace(from - 1, width, text.substr(0, width));
}

void putStatus(std::string& line, std::size_t from, std::uint16_t status) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < 4; ++i)
        line[from - 1 + static_cast<std::size_t>(i)] = kDigits[(status >> (12 - 4 * i)) & 0xF];
}

} // namespace

std::optional<long> convertInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    std::string_view rest = text.substr(i);
    bool negative = false;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty() ||
        !std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long value = 0;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || end != rest.data() + rest.size()) return std::nullopt;
    return negative ? -value : value;
}

std::optional<float> convertDecimal(std::string_view text) {
    setDecimalSeparator('.');
    std::size_t first = text.find_first_not_of(' ');
    std::size_t last = text.find_last_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    std::string_view number = text.substr(first, last - first + 1);
    // from_chars takes no leading '+' and would read "inf" and "nan", which
    // the instrument never sends.
    if (number[0] == '+') {
        number.remove_prefix(1);
        if (!number.empty() && number[0] == '-') return std::nullopt;
    }
    if (number.empty() || !std::all_of(number.begin(), number.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' ||
                   c == '+' || c == 'e' || c == 'E';
        }))
        return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
    // A number no float can hold fails, as a field that overflows would.
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(value);
}

std::optional<unsigned> convertHexadecimal(std::string_view text) {
    if (text.size() != 4 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return std::nullopt;
    unsigned value = 0;
    std::from_chars(text.data(), text.data() + 4, value, 16);
    return value;
}

std::optional<MeasurementRecord> decodeTiltText(std::string_view text) {
    if (text.size() < kTiltTextLength) return std::nullopt;
    MeasurementRecord r;
    if (decodeCommon(text, r) && storeInteger(text, 34, 37, r.tiltVertical) &&
        storeInteger(text, 39, 42, r.ellipticityVertical) &&
        storeDecimal(text, 44, 51, r.hHorizontal) && storeInteger(text, 53, 56, r.tiltHorizontal) &&
        storeInteger(text, 58, 61, r.ellipticityHorizontal) && storeStatus(text, 63, r.status))
        return r;
    return std::nullopt;
}

std::optional<MeasurementRecord> decodeResistivityText(std::string_view text) {
    if (text.size() < kResistivityTextLength) return std::nullopt;
    MeasurementRecord r;
    if (decodeCommon(text, r) && storeDecimal(text, 34, 41, r.resistivity) &&
        storeInteger(text, 43, 46, r.phase) && storeDecimal(text, 48, 55, r.eField) &&
        storeDecimal(text, 57, 64, r.hField) && storeStatus(text, 66, r.status))
        return r;
    return std::nullopt;
}

std::optional<MeasurementRecord> decodeRecordText(char header, std::string_view text) {
    if (header == 'V') return decodeTiltText(text);
    if (header == 'R') return decodeResistivityText(text);
    return std::nullopt;
}

std::optional<MeasurementRecord> decodeBruLine(std::string_view line) {
    if (line.size() == kResistivityTextLength) return decodeResistivityText(line);
    if (line.size() == kTiltTextLength) return decodeTiltText(line);
    return std::nullopt;
}

char headerLetterOf(const MeasurementRecord& record) {
    return record.resistivityMode() ? 'R' : 'V';
}

std::string encodeRecordText(const MeasurementRecord& r, int sequence) {
    const bool resistivity = r.resistivityMode();
    std::string line(resistivity ? kResistivityTextLength : kTiltTextLength, ' ');
    putInteger(line, 1, 7, sequence % 10000000);
    putInteger(line, 9, 6, r.profile);
    putInteger(line, 16, 6, r.station);
    putInteger(line, 23, 6, r.frequency);
    putInteger(line, 30, 3, r.quality);
    if (resistivity) {
        putDecimal(line, 34, 8, r.resistivity);
        putInteger(line, 43, 4, r.phase);
        putDecimal(line, 48, 8, r.eField);
        putDecimal(line, 57, 8, r.hField);
        putStatus(line, 66, r.status);
    } else {
        putInteger(line, 34, 4, r.tiltVertical);
        putInteger(line, 39, 4, r.ellipticityVertical);
        putDecimal(line, 44, 8, r.hHorizontal);
        putInteger(line, 53, 4, r.tiltHorizontal);
        putInteger(line, 58, 4, r.ellipticityHorizontal);
        putStatus(line, 63, r.status);
    }
    return line;
}

} // namespace veldro
