#include "data/survey_view.h"

#include "data/measurement_store.h"
#include "data/rows.h"
#include "data/station_positions.h"

#include <algorithm>

namespace veldro {

// A row list being rebuilt may be shorter than the store, or longer than a
// store just cut: only rows with both a record and a flag are seen.
SurveyView::SurveyView(const MeasurementStore& store, const RowList& rows,
                       const StationPositions* positions)
    : store_(store), rows_(rows), positions_(positions),
      size_(std::min(store.count(), rows.size())) {}

const StationPositions& SurveyView::positions() const {
    static const StationPositions none;
    return positions_ ? *positions_ : none;
}

const MeasurementRecord& SurveyView::record(int row) const {
    return store_.record(row);
}

bool SurveyView::kept(int row) const {
    return rows_.kept(row);
}

std::vector<const MeasurementRecord*> SurveyView::keptRecords(int profile,
                                                              int frequencyNumber) const {
    std::vector<const MeasurementRecord*> records;
    for (int row = 0; row < size_; ++row) {
        const MeasurementRecord& r = record(row);
        if (kept(row) && r.profile == profile && r.frequencyNumber() == frequencyNumber)
            records.push_back(&r);
    }
    return records;
}

std::vector<int> SurveyView::keptProfiles() const {
    std::vector<int> profiles;
    for (int row = 0; row < size_; ++row)
        if (kept(row)) profiles.push_back(record(row).profile);
    std::sort(profiles.begin(), profiles.end());
    profiles.erase(std::unique(profiles.begin(), profiles.end()), profiles.end());
    return profiles;
}

} // namespace veldro
