#include "export/position_text.h"

#include "data/messages.h"
#include "data/number_text.h"

#include <charconv>
#include <string>

namespace veldro {

namespace {

std::optional<std::string> refuse(MessageSink& messages, const char* text) {
    messages.show({text, "", MessageIcon::None});
    return std::nullopt;
}

bool parseInteger(std::string_view text, long& value) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.front() == '+') text.remove_prefix(1);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::optional<std::string> xyzPositionText(std::string_view entry, MessageSink& messages) {
    double number = 0;
    if (!parseUserNumber(entry, number))
        return refuse(messages, "Please enter a valid numeric value");
    // The largest floats below the bounds; limited before the float conversion,
    // which would overflow far beyond them.
    float position = 0;
    if (number > 999999.9)
        position = 999999.875f;
    else if (!(number >= -999999.9))
        position = -999999.875f;
    else
        position = static_cast<float>(number);
    return formatFixedPoint(position, 9, 1);
}

std::optional<std::string> wadiPositionText(std::string_view entry, char direction,
                                            MessageSink& messages) {
    long value = 0;
    if (!parseInteger(entry, value)) return refuse(messages, "Please enter a valid integer value");
    if (value > 9999) value = 9999;
    if (value < 0) return refuse(messages, "Please enter a positive integer value");
    if (direction != 'N' && direction != 'E' && direction != 'S' && direction != 'W')
        return refuse(messages, "Please select a cardinal direction");
    std::string text;
    appendInteger(text, value, 4, true);
    return text + direction;
}

} // namespace veldro
