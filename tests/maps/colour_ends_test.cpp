// Fixed colour ends: the one rule of the windows' Min and Max and of
// --resistivity-range.
#include "maps/colour_ends.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace veldro;

namespace {

struct EndsCase {
    const char* low;
    const char* high;
    bool logarithmic;
    std::optional<ColourEnds> ends;
};

} // namespace

TEST(ColourEnds, FiniteLowBelowHighAndAboveZeroOnALogScale) {
    const EndsCase cases[] = {
        {"10", "10000", true, ColourEnds(10, 10000)},
        {"0.5", "2", true, ColourEnds(0.5, 2)},
        {"0", "5", true, std::nullopt},
        {"-5", "20", true, std::nullopt},
        {"-5", "20", false, ColourEnds(-5, 20)},
        {"20", "-5", false, std::nullopt},
        {"7", "7", false, std::nullopt},
        {"1", "inf", false, std::nullopt},
        {"nan", "1", false, std::nullopt},
        {"", "1", false, std::nullopt},
        {"1 m", "2", false, std::nullopt},
    };
    for (const EndsCase& c : cases)
        EXPECT_EQ(readColourEnds(c.low, c.high, c.logarithmic), c.ends)
            << c.low << ':' << c.high << (c.logarithmic ? " log" : "");
    EXPECT_FALSE(fixedColourEnds(std::numeric_limits<double>::quiet_NaN(), 1, false));
    EXPECT_FALSE(fixedColourEnds(1, INFINITY, true));
}
