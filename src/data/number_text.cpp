#include "data/number_text.h"

#include <array>
#include <atomic>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace veldro {

namespace {

std::atomic<char> g_separator{'.'};

constexpr std::array<double, 10> kPowersOfTen{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// Rounds |value| * 10^decimals to a whole number, halves away from zero,
// judged on the exact product so that 2.5 and 0.125 round up but 2.675f
// (really 2.67499995...) rounds down.
bool roundScaled(double magnitude, int decimals, std::uint64_t& result) {
    const double scale = kPowersOfTen[static_cast<std::size_t>(decimals)];
    const double product = magnitude * scale;
    if (!(product < 9.0e15)) return false;
    const double error = std::fma(magnitude, scale, -product); // exact product - product
    const double whole = std::floor(product);
    const double fraction = product - whole;
    bool up = fraction > 0.5 || (fraction == 0.5 && error >= 0.0);
    result = static_cast<std::uint64_t>(whole) + (up ? 1u : 0u);
    return true;
}

void appendDigits(std::string& out, std::uint64_t value) {
    char buffer[24];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

// Appends the rounded magnitude with `decimals` decimals and the given separator.
void appendRounded(std::string& out, double value, int decimals, char separator) {
    double magnitude = std::fabs(value);
    std::uint64_t scaled = 0;
    if (!std::isfinite(value) || !roundScaled(magnitude, decimals, scaled)) {
        // Beyond 9e15 (no measured quantity comes near): plain text, fractions lost.
        char buffer[400];
        int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
        std::string text(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
        if (auto dot = text.find('.'); dot != std::string::npos) text[dot] = separator;
        out += text;
        return;
    }
    if (value < 0 && scaled != 0) out += '-';
    if (decimals == 0) {
        appendDigits(out, scaled);
        return;
    }
    const auto scale = static_cast<std::uint64_t>(kPowersOfTen[static_cast<std::size_t>(decimals)]);
    appendDigits(out, scaled / scale);
    out += separator;
    std::uint64_t fraction = scaled % scale;
    char digits[16];
    for (int i = decimals - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    out.append(digits, static_cast<std::size_t>(decimals));
}

void padLeft(std::string& out, std::size_t start, int width, char fill) {
    const std::size_t length = out.size() - start;
    if (width > 0 && length < static_cast<std::size_t>(width))
        out.insert(start, static_cast<std::size_t>(width) - length, fill);
}

} // namespace

char decimalSeparator() {
    return g_separator;
}

void setDecimalSeparator(char separator) {
    g_separator = separator;
}

char localeDecimalSeparator() {
    const std::lconv* conv = std::localeconv();
    if (conv && conv->decimal_point && conv->decimal_point[0] && !conv->decimal_point[1])
        return conv->decimal_point[0];
    return '.';
}

void appendPattern(std::string& out, double value, int decimals) {
    appendRounded(out, value, decimals, decimalSeparator());
}

std::string formatPattern(double value, int decimals) {
    std::string out;
    appendPattern(out, value, decimals);
    return out;
}

void appendFixedPoint(std::string& out, double value, int width, int precision) {
    const std::size_t start = out.size();
    appendRounded(out, value, precision, '.');
    padLeft(out, start, width, ' ');
}

std::string formatFixedPoint(double value, int width, int precision) {
    std::string out;
    appendFixedPoint(out, value, width, precision);
    return out;
}

void appendInteger(std::string& out, long long value, int width, bool zeroPad) {
    char buffer[24];
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr;
    std::string digits(buffer, end);
    const std::size_t start = out.size();
    if (zeroPad) {
        const int signWidth = negative ? 1 : 0;
        if (width - signWidth > static_cast<int>(digits.size()))
            digits.insert(0, static_cast<std::size_t>(width - signWidth) - digits.size(), '0');
    }
    if (negative) out += '-';
    out += digits;
    padLeft(out, start, width, ' ');
}

bool parseUserNumber(std::string_view text, double& value) {
    const char separator = decimalSeparator();
    std::size_t first = text.find_first_not_of(' ');
    std::size_t last = text.find_last_not_of(' ');
    if (first == std::string_view::npos) return false;
    std::string plain(text.substr(first, last - first + 1));
    for (char& c : plain) {
        if (c == separator)
            c = '.';
        else if (c == '.' && separator != '.')
            return false;
    }
    const char* begin = plain.data();
    if (*begin == '+') ++begin;
    auto [end, error] = std::from_chars(begin, plain.data() + plain.size(), value);
    return error == std::errc() && end == plain.data() + plain.size() && std::isfinite(value);
}

} // namespace veldro
