#include "interpretation/profile_data.h"

#include "data/measurement_record.h"
#include "data/survey_view.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace veldro {

namespace {

std::size_t indexOf(const std::vector<double>& sorted, double value) {
    return static_cast<std::size_t>(std::lower_bound(sorted.begin(), sorted.end(), value) -
                                    sorted.begin());
}

} // namespace

ProfileData profileData(const SurveyView& survey, int profile, const ProfileDataOptions& options) {
    const bool tilt = options.data != InversionData::Resistivity;
    const bool resistivity = options.data != InversionData::Tilt;
    // Sums per (station, frequency, quantity), then the count.
    std::map<std::tuple<double, double, FittedQuantity>, std::pair<double, int>> sums;
    const auto add = [&](const MeasurementRecord& r, FittedQuantity q, double value) {
        auto& [sum, count] = sums[{r.station, r.frequency, q}];
        sum += value;
        ++count;
    };
    for (int number = 1; number <= 2; ++number) {
        if (options.frequencyNumber != 0 && options.frequencyNumber != number) continue;
        for (const MeasurementRecord* r : survey.keptRecords(profile, number)) {
            if (r->frequency <= 0) continue;
            if (r->tiltMode() && tilt) {
                add(*r, FittedQuantity::Tilt, r->tiltVertical);
                add(*r, FittedQuantity::Ellipticity, r->ellipticityVertical);
            } else if (r->resistivityMode() && resistivity && r->resistivity > 0) {
                add(*r, FittedQuantity::LogRho, std::log10(r->resistivity));
                add(*r, FittedQuantity::Phase, r->phase);
            }
        }
    }
    ProfileData result;
    result.profile = profile;
    for (const auto& [key, value] : sums) {
        result.stations.push_back(std::get<0>(key));
        result.frequencies.push_back(std::get<1>(key));
    }
    for (std::vector<double>* list : {&result.stations, &result.frequencies}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    for (const auto& [key, value] : sums) {
        const auto& [station, frequency, quantity] = key;
        const double floor = options.errorFloorPercent[static_cast<std::size_t>(quantity)];
        double error = floor;
        if (quantity == FittedQuantity::LogRho) error = std::log10(1 + floor / 100);
        if (quantity == FittedQuantity::Phase) error = floor / 200 * 180 / std::numbers::pi;
        result.data.push_back({indexOf(result.stations, station),
                               indexOf(result.frequencies, frequency), quantity,
                               value.first / value.second, error});
    }
    return result;
}

} // namespace veldro
