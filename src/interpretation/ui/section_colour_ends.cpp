#include "interpretation/ui/section_colour_ends.h"

#include "interpretation/depth_of_investigation.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "widgets/colour_ends_box.h"

#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

std::optional<ColourEnds> commonEnds(const std::vector<ProfileInversion>& inversions) {
    double lowest = INFINITY, highest = -INFINITY;
    for (const ProfileInversion& inversion : inversions) {
        if (inversion.result.log10Resistivity.empty()) continue;
        const auto [low, high] =
            seenLog10Range(inversion.result.log10Resistivity,
                           cellsSeen(inversion.result, inversion.fit.sensitivity));
        lowest = std::min(lowest, low);
        highest = std::max(highest, high);
    }
    if (!(lowest <= highest)) return std::nullopt;
    return ColourEnds(std::pow(10.0, lowest), std::pow(10.0, highest));
}

} // namespace

void applyColourEnds(ColourEndsBox& box, const std::vector<ProfileInversion>& inversions,
                     ResistivitySectionChart& section) {
    switch (box.ends()) {
    case ColourEndsBox::Ends::Own:
        section.setFixedRange(std::nullopt);
        break;
    case ColourEndsBox::Ends::Common:
        section.setFixedRange(commonEnds(inversions));
        break;
    case ColourEndsBox::Ends::Typed:
        section.setFixedRange(box.typed());
        break;
    }
    box.showEnds(std::pow(10.0, section.scale().lowest()),
                 std::pow(10.0, section.scale().highest()));
}

} // namespace veldro
