#include "interpretation/model_survey.h"

#include "interpretation/terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>

namespace veldro {

namespace {

// The field strengths the instrument reports beside the angles (µA/m): the
// model knows ratios only, so a plain primary field stands in.
constexpr float kPrimaryField = 100;

// Gaussian deviates by Box-Muller on mt19937, whose sequence the standard fixes,
// so that a seed gives the same survey on every platform.
class Noise {
public:
    Noise(unsigned seed, double deviation) : engine_(seed), deviation_(deviation) {}
    double next() {
        const double u1 = (static_cast<double>(engine_()) + 1) / 4294967296.0;
        const double u2 = static_cast<double>(engine_()) / 4294967296.0;
        return deviation_ * std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
    }
    int quality() { return 90 + static_cast<int>(engine_() % 11); }

private:
    std::mt19937 engine_;
    double deviation_;
};

std::int16_t whole(double value) {
    const double limit = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::lround(std::clamp(value, -limit, limit)));
}

float roundedTo(double value, double step) {
    return static_cast<float>(std::round(value / step) * step);
}

void checkStorable(const GroundModel& model) {
    if (model.frequencies.size() > 2)
        throw ModelError("frequencies: the instrument reads two at most");
    for (std::size_t i = 0; i < model.frequencies.size(); ++i)
        if (model.frequencies[i] != std::round(model.frequencies[i]) ||
            model.frequencies[i] > 32767)
            throw ModelError("frequencies[" + std::to_string(i) +
                             "]: the instrument keeps whole hertz up to 32767");
    for (double station : model.stations)
        if (station != std::round(station) || std::fabs(station) > 32767)
            throw ModelError("stations: the instrument keeps whole station numbers from -32767 to "
                             "32767");
}

} // namespace

std::vector<MeasurementRecord> modelSurvey(const GroundModel& model,
                                           const std::vector<StationResponse>& responses,
                                           const ModelSurveyOptions& options) {
    checkStorable(model);
    Noise noise(options.seed, options.noisePercent);
    std::vector<MeasurementRecord> records;
    for (std::size_t i = 0; i < responses.size(); ++i) {
        const StationResponse& response = responses[i];
        const int frequencyNumber = static_cast<int>(i % model.frequencies.size()) + 1;
        MeasurementRecord r;
        r.profile = static_cast<std::int16_t>(options.profile);
        r.station = whole(response.station);
        r.frequency = whole(response.frequency);
        r.quality = static_cast<std::int16_t>(noise.quality());
        r.status =
            makeStatus(0, false, 0, false, 0, false, frequencyNumber, options.resistivityMode);
        if (options.resistivityMode) {
            const double rho = apparentResistivity(response) * (1 + noise.next() / 100);
            const double phase =
                phaseDegrees(response) + noise.next() / 200 * 180 / std::numbers::pi;
            r.resistivity = roundedTo(std::max(rho, 0.1), 0.1);
            r.phase = whole(phase);
            r.hField = kPrimaryField;
            // |E| = |E/Hx| |Hx|, with |E/Hx| = sqrt(Rho ωμ0); µV/m from µA/m.
            const double omegaMu = 2 * std::numbers::pi * response.frequency * kMu0;
            r.eField = roundedTo(std::sqrt(r.resistivity * omegaMu) * kPrimaryField, 0.01);
        } else {
            r.tiltVertical = whole(tiltPercent(response.tipper) + noise.next());
            r.ellipticityVertical = whole(ellipticityPercent(response.tipper) + noise.next());
            r.hHorizontal = kPrimaryField;
        }
        records.push_back(r);
    }
    return records;
}

StationPositions modelPositions(const GroundModel& model, int profile) {
    std::vector<StationPosition> positions;
    if (!model.topography.empty()) {
        const double datum = datumElevation(model.topography);
        for (double station : model.stations)
            positions.push_back({{profile, whole(station)},
                                 std::nullopt,
                                 datum - surfaceDepth(model.topography, station)});
    }
    return StationPositions(std::move(positions));
}

} // namespace veldro
