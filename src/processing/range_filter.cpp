#include "processing/range_filter.h"

#include "data/measurement_store.h"
#include "data/number_text.h"
#include "data/quantities.h"
#include "data/rows.h"
#include "processing/number_entry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veldro {

const std::array<std::string_view, kRangePairCount> kRangeCaptions{
    "Q (%)",         "Tilt.ver.(%)", "Ellip.ver.(%)",   "H hor.(\u00B5A/m)", "Tilt.hor.(\u00B0)",
    "Ellip.hor.(%)", "Rho (ohm.m)",  "Ph.E/H (\u00B0)", "E (\u00B5V/m)",     "H (\u00B5A/m)"};

namespace {

constexpr double kTolerance = 0.0005;

// The table column of each pair: its field and whether a record has it.
constexpr std::array<int, kRangePairCount> kPairColumns{
    ColQuality,     ColTiltVertical,   ColEllipticityVertical,
    ColHHorizontal, ColTiltHorizontal, ColEllipticityHorizontal,
    ColResistivity, ColPhase,          ColEField,
    ColHField};

double pairValue(const MeasurementRecord& r, int pair) {
    return cellValue(r, kPairColumns[static_cast<std::size_t>(pair)]);
}

bool appliesTo(const MeasurementRecord& r, int pair) {
    return hasValue(r, kPairColumns[static_cast<std::size_t>(pair)]);
}

bool withinPair(const MeasurementRecord& r, const Ranges& ranges, int pair) {
    const long double v = pairValue(r, pair);
    const long double low = static_cast<long double>(ranges[2 * pair]) - kTolerance;
    const long double high = static_cast<long double>(ranges[2 * pair + 1]) + kTolerance;
    return low <= v && v <= high;
}

} // namespace

bool RangeScan::enabled(int pair) const {
    switch (quantity(kPairColumns[static_cast<std::size_t>(pair)]).mode) {
    case QuantityMode::Tilt:
        return tiltRows;
    case QuantityMode::Resistivity:
        return resistivityRows;
    case QuantityMode::Both:
        break;
    }
    return true;
}

RangeScan scanRanges(const MeasurementStore& store, const RowList& rows) {
    constexpr float largest = std::numeric_limits<float>::max();
    RangeScan scan;
    for (int pair = 0; pair < kRangePairCount; ++pair) {
        scan.ranges[2 * pair] = largest;
        scan.ranges[2 * pair + 1] = -largest;
    }
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        if (!rows.kept(i)) continue;
        const MeasurementRecord& r = store.record(i);
        (r.resistivityMode() ? scan.resistivityRows : scan.tiltRows) = true;
        for (int pair = 0; pair < kRangePairCount; ++pair) {
            if (!appliesTo(r, pair)) continue;
            const auto v = static_cast<float>(pairValue(r, pair));
            if (!std::isfinite(v)) continue; // no box could show it and read it back
            scan.ranges[2 * pair] = std::min(scan.ranges[2 * pair], v);
            scan.ranges[2 * pair + 1] = std::max(scan.ranges[2 * pair + 1], v);
        }
    }
    return scan;
}

std::array<std::string, 2 * kRangePairCount> rangeBoxTexts(const RangeScan& scan) {
    std::array<std::string, 2 * kRangePairCount> texts;
    for (int box = 0; box < 2 * kRangePairCount; ++box)
        texts[box] = scan.enabled(box / 2) ? formatPattern(scan.ranges[box], 4) : "0";
    return texts;
}

std::optional<int> badRangeBox(const std::array<std::string, 2 * kRangePairCount>& texts,
                               Ranges& ranges, MessageSink& messages) {
    for (std::size_t box = 0; box < texts.size(); ++box) {
        const std::string caption = std::string(box % 2 == 0 ? "Min value of " : "Max value of ") +
                                    std::string(kRangeCaptions[box / 2]);
        if (!readEnteredNumber(texts[box], ranges[box], messages, caption))
            return static_cast<int>(box);
    }
    return std::nullopt;
}

std::optional<int> reversedRange(const RangeScan& scan, const Ranges& ranges) {
    if (!scan.tiltRows && !scan.resistivityRows) return std::nullopt;
    for (int pair = 0; pair < kRangePairCount; ++pair)
        if (scan.enabled(pair) && ranges[2 * pair] > ranges[2 * pair + 1]) return pair;
    return std::nullopt;
}

std::string reversedRangeText(int pair) {
    return std::string(kRangeCaptions[static_cast<std::size_t>(pair)]) +
           ": the minimum is above the maximum, which would ignore every row it tests.";
}

int applyRangeFilter(MeasurementStore& store, const Ranges& ranges, const RowList& rows) {
    int ignored = 0;
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        if (!rows.kept(i)) continue;
        const MeasurementRecord& r = store.record(i);
        for (int pair = 0; pair < kRangePairCount; ++pair) {
            if (appliesTo(r, pair) && !withinPair(r, ranges, pair)) {
                store.setKept(i, false);
                ++ignored;
                break;
            }
        }
    }
    return ignored;
}

} // namespace veldro
