#include "interpretation/profile_data.h"

#include "data/measurement_record.h"
#include "data/number_text.h"
#include "data/survey_view.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace veldro {

namespace {

// A quantity's readings along the profile: per frequency, per station.
using Curve = std::map<double, std::vector<double>>;

// The least scatter an estimate gives, per FittedQuantity: readings are kept
// in whole points and degrees, and Rho to a tenth of an ohm.m, so rounding
// alone errs by up to half of that; a smooth synthetic curve must not be
// fitted to nothing.
constexpr std::array<double, 4> kLeastScatter{0.5, 0.5, 0.0043 /* 1 % of Rho */, 0.5};
// Repeated readings measure the scatter once they leave this many degrees
// of freedom; the roughness once it has this many points.
constexpr int kLeastRepeats = 3;
constexpr std::size_t kLeastRoughnessPoints = 3;
// The standard deviation of a normal spread over its median absolute value.
constexpr double kMedianToDeviation = 1.4826;

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v;
    return sum / static_cast<double>(values.size());
}

struct Scatter {
    double deviation = 0;
    ErrorSource source = ErrorSource::None;
};

// One reading's standard deviation: from the stations read more than once
// when there are enough, else from how far each station's mean strays from
// the line through its neighbours (the median of those, so that a few
// anomalies do not pass for noise). None when neither can be measured.
Scatter scatterOf(const std::vector<Curve>& curves) {
    double squares = 0;
    int degrees = 0;
    for (const Curve& curve : curves)
        for (const auto& [station, readings] : curve) {
            const double m = mean(readings);
            for (double v : readings) squares += (v - m) * (v - m);
            degrees += static_cast<int>(readings.size()) - 1;
        }
    if (degrees >= kLeastRepeats) return {std::sqrt(squares / degrees), ErrorSource::Repeats};
    std::vector<double> strays;
    for (const Curve& curve : curves) {
        std::vector<std::pair<double, double>> points;
        for (const auto& [station, readings] : curve) points.emplace_back(station, mean(readings));
        for (std::size_t i = 1; i + 1 < points.size(); ++i) {
            const auto [x0, y0] = points[i - 1];
            const auto [x1, y1] = points[i];
            const auto [x2, y2] = points[i + 1];
            const double a = (x2 - x1) / (x2 - x0), b = (x1 - x0) / (x2 - x0);
            // The stray of independent readings of one deviation has this many of them.
            strays.push_back(std::fabs(y1 - a * y0 - b * y2) / std::sqrt(1 + a * a + b * b));
        }
    }
    if (strays.size() < kLeastRoughnessPoints) return {};
    const auto middle = strays.begin() + static_cast<std::ptrdiff_t>(strays.size() / 2);
    std::nth_element(strays.begin(), middle, strays.end());
    return {kMedianToDeviation * *middle, ErrorSource::Roughness};
}

// A floor given in percent, in the datum's unit.
double floorOf(FittedQuantity quantity, double percent) {
    if (quantity == FittedQuantity::LogRho) return std::log10(1 + percent / 100);
    if (quantity == FittedQuantity::Phase) return percent / 200 * 180 / std::numbers::pi;
    return percent;
}

std::size_t indexOf(const std::vector<double>& sorted, double value) {
    return static_cast<std::size_t>(std::lower_bound(sorted.begin(), sorted.end(), value) -
                                    sorted.begin());
}

} // namespace

ProfileData profileData(const SurveyView& survey, int profile, const ProfileDataOptions& options) {
    const bool tilt = options.data != InversionData::Resistivity;
    const bool resistivity = options.data != InversionData::Tilt;
    // Readings per (station, frequency, quantity).
    std::map<std::tuple<double, double, FittedQuantity>, std::vector<double>> readings;
    const auto add = [&](const MeasurementRecord& r, FittedQuantity q, double value) {
        readings[{r.station, r.frequency, q}].push_back(value);
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
    for (const auto& [key, values] : readings) {
        result.stations.push_back(std::get<0>(key));
        result.frequencies.push_back(std::get<1>(key));
    }
    for (std::vector<double>* list : {&result.stations, &result.frequencies}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    const auto excluded = [&](double station, FittedQuantity quantity) {
        return std::ranges::any_of(options.excluded, [&](const Exclusion& e) {
            return e.station == station && (!e.quantity || *e.quantity == quantity);
        });
    };

    // Each quantity's curves, one per frequency, of the stations fitted.
    std::array<std::map<double, Curve>, 4> curves;
    for (const auto& [key, values] : readings) {
        const auto& [station, frequency, quantity] = key;
        if (!excluded(station, quantity))
            curves[static_cast<std::size_t>(quantity)][frequency][station] = values;
    }
    for (std::size_t q = 0; q < curves.size(); ++q) {
        if (curves[q].empty()) continue;
        const auto quantity = static_cast<FittedQuantity>(q);
        Scatter scatter;
        if (options.errorModel == ErrorModel::Estimate) {
            std::vector<Curve> perFrequency;
            for (const auto& [frequency, curve] : curves[q]) perFrequency.push_back(curve);
            scatter = scatterOf(perFrequency);
            scatter.deviation = std::max(scatter.deviation, kLeastScatter[q]);
        }
        if (scatter.source == ErrorSource::None)
            scatter = {floorOf(quantity, options.errorFloorPercent[q]), ErrorSource::Given};
        result.errorFloor[q] = scatter.deviation;
        result.errorSource[q] = scatter.source;
    }
    result.errorFraction = options.errorFractionPercent / 100;

    for (const auto& [key, values] : readings) {
        const auto& [station, frequency, quantity] = key;
        const auto q = static_cast<std::size_t>(quantity);
        const double value = mean(values);
        const double error = quantity == FittedQuantity::LogRho
                                 ? result.errorFloor[q] + std::log10(1 + result.errorFraction)
                                 : result.errorFloor[q] + result.errorFraction * std::fabs(value);
        result.data.push_back({indexOf(result.stations, station),
                               indexOf(result.frequencies, frequency), quantity, value, error,
                               excluded(station, quantity)});
    }
    return result;
}

std::string errorText(const ProfileData& data) {
    static constexpr const char* kNames[] = {"tilt", "ellipticity", "Rho", "phase"};
    std::string text;
    for (std::size_t q = 0; q < data.errorFloor.size(); ++q) {
        const ErrorSource source = data.errorSource[q];
        if (source == ErrorSource::None) continue;
        if (!text.empty()) text += ", ";
        text += kNames[q];
        text += ' ';
        const auto quantity = static_cast<FittedQuantity>(q);
        if (quantity == FittedQuantity::LogRho) {
            appendPattern(text, (std::pow(10.0, data.errorFloor[q]) - 1) * 100, 2);
            text += " %";
        } else {
            appendPattern(text, data.errorFloor[q], 2);
            text += quantity == FittedQuantity::Phase ? " degrees" : " points";
        }
        text += source == ErrorSource::Given     ? " (given)"
                : source == ErrorSource::Repeats ? " (estimated from repeated readings)"
                                                 : " (estimated from the curve's roughness)";
    }
    if (data.errorFraction > 0) {
        text += ", plus ";
        appendPattern(text, data.errorFraction * 100, 2);
        text += " % of each value";
    }
    return text;
}

} // namespace veldro
