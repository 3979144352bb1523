#include "maps/colour_ends.h"

#include "data/number_text.h"

#include <cmath>

namespace veldro {

std::optional<ColourEnds> fixedColourEnds(double low, double high, bool logarithmic) {
    if (!std::isfinite(low) || !std::isfinite(high) || !(low < high)) return std::nullopt;
    if (logarithmic && !(low > 0)) return std::nullopt;
    return ColourEnds(low, high);
}

std::optional<ColourEnds> readColourEnds(std::string_view low, std::string_view high,
                                         bool logarithmic) {
    double lowValue = 0, highValue = 0;
    if (!parseUserNumber(low, lowValue) || !parseUserNumber(high, highValue)) return std::nullopt;
    return fixedColourEnds(lowValue, highValue, logarithmic);
}

} // namespace veldro
