#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace veldro {

class MeasurementStore;
class MessageSink;
struct RowList;

// The ten filtered quantities, one (minimum, maximum) pair each; element 2p is
// the minimum and 2p + 1 the maximum of pair p.
enum RangePair {
    RangeQuality,
    RangeTiltVertical,
    RangeEllipticityVertical,
    RangeHHorizontal,
    RangeTiltHorizontal,
    RangeEllipticityHorizontal,
    RangeResistivity,
    RangePhase,
    RangeEField,
    RangeHField
};
inline constexpr int kRangePairCount = 10;
using Ranges = std::array<float, 2 * kRangePairCount>;

// The dialog's row captions, UTF-8, in pair order.
extern const std::array<std::string_view, kRangePairCount> kRangeCaptions;

// The smallest and largest value of each quantity over the kept rows, and
// which modes the kept rows have. Pairs no kept row reaches stay at
// (largest float, -largest float).
struct RangeScan {
    Ranges ranges{};
    bool tiltRows = false;
    bool resistivityRows = false;
    // Whether the dialog lets the user edit the pair: pairs 1 to 5 need kept
    // tilt-mode rows, 6 to 9 kept resistivity-mode rows.
    bool enabled(int pair) const;
};
RangeScan scanRanges(const MeasurementStore& store, const RowList& rows);

// The texts the dialog's twenty boxes start with: the scanned values with four
// decimals, or "0" in the boxes of a mode without kept rows. The decimals use
// the process-wide separator, so confirming unchanged boxes reads them back.
std::array<std::string, 2 * kRangePairCount> rangeBoxTexts(const RangeScan& scan);

// OK of the dialog: reads the twenty boxes in order into `ranges`. The first
// box that is no number is said ("Please enter valid numeric value ", the box
// named in the caption) and returned, 0-based; the boxes before it are stored
// already. Nothing when every box holds a number.
std::optional<int> badRangeBox(const std::array<std::string, 2 * kRangePairCount>& texts,
                               Ranges& ranges, MessageSink& messages);

// The first pair with kept rows to test whose minimum lies above its maximum:
// such a range would ignore every row it tests. A scan without kept rows has
// nothing to filter and no such pair.
std::optional<int> reversedRange(const RangeScan& scan, const Ranges& ranges);
// What is said of a reversed pair, naming its row.
std::string reversedRangeText(int pair);

// Ignores every kept row with a value outside its range widened by 0.0005 at
// both ends; never keeps a row. Sets the records only (the caller writes the
// image and rebuilds the rows). Returns the number of rows ignored.
int applyRangeFilter(MeasurementStore& store, const Ranges& ranges, const RowList& rows);

} // namespace veldro
