#include "processing/number_entry.h"

#include "data/messages.h"
#include "data/number_text.h"

#include <cmath>
#include <limits>

namespace veldro {

bool readEnteredNumber(std::string_view text, float& value, MessageSink& messages,
                       const std::string& caption) {
    double number = 0;
    if (!parseUserNumber(text, number) ||
        std::fabs(number) > static_cast<double>(std::numeric_limits<float>::max())) {
        messages.show({kInvalidNumericValue, caption, MessageIcon::None});
        return false;
    }
    value = static_cast<float>(number);
    return true;
}

} // namespace veldro
