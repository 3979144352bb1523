#include "data/survey_generator.h"

#include "data/record_text.h"

#include <cmath>
#include <cstdint>

namespace veldro {

namespace {

// A small generator of our own, so that a seed gives the same survey everywhere.
class Random {
public:
    explicit Random(unsigned seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    double uniform(double low, double high) {
        return low + (high - low) * static_cast<double>(next() >> 11) / 9007199254740992.0;
    }
    int integer(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool chance(double p) { return uniform(0, 1) < p; }

private:
    std::uint64_t state_;
};

constexpr int kStationsPerProfile = 41;
constexpr int kStationSpacing = 25;
constexpr std::int16_t kFrequencies[2] = {19800, 23400};

struct Conductor {
    double position; // m along the profile
    double depth;    // m
    double strength; // peak tilt, %
};

float roundedTo(double value, double step) {
    return static_cast<float>(std::round(value / step) * step);
}

std::int16_t whole(double value) {
    return static_cast<std::int16_t>(std::lround(value));
}

// Tilt of a line current under a profile: changes sign over the conductor.
double tiltAt(const std::vector<Conductor>& conductors, double x, double frequencyFactor) {
    double tilt = 0;
    for (const Conductor& c : conductors) {
        const double dx = x - c.position;
        tilt += -2.0 * c.strength * frequencyFactor * dx * c.depth / (dx * dx + c.depth * c.depth);
    }
    return tilt;
}

std::uint16_t randomStatus(Random& random, int frequencyNumber, bool resistivity) {
    const bool overload = random.chance(0.01);
    const int overloaded = overload ? random.integer(1, 3) : 0;
    return makeStatus(random.integer(0, 3), overloaded == 1, random.integer(0, 3), overloaded == 2,
                      random.integer(0, 3), overloaded == 3, frequencyNumber, resistivity);
}

} // namespace

std::vector<MeasurementRecord> generateSurvey(int count, unsigned seed) {
    Random random(seed);
    std::vector<MeasurementRecord> records;
    records.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    std::vector<Conductor> conductors;
    conductors.reserve(3);
    for (int i = 0; i < 3; ++i)
        conductors.push_back(
            {random.uniform(150, 850), random.uniform(20, 60), random.uniform(15, 35)});

    for (int profile = 1; static_cast<int>(records.size()) < count; ++profile) {
        const bool resistivity = profile % 5 == 0;
        for (Conductor& c : conductors) c.position += random.uniform(-8, 8); // the strike wanders
        for (int s = 0; s < kStationsPerProfile && static_cast<int>(records.size()) < count; ++s) {
            const int station = s * kStationSpacing;
            for (int f = 0; f < 2 && static_cast<int>(records.size()) < count; ++f) {
                MeasurementRecord r;
                r.profile = static_cast<std::int16_t>(profile);
                r.station = static_cast<std::int16_t>(station);
                r.frequency = kFrequencies[f];
                r.quality = static_cast<std::int16_t>(random.integer(70, 99));
                r.status = randomStatus(random, f + 1, resistivity);
                const double factor = f == 0 ? 1.0 : 0.8;
                if (resistivity) {
                    double rho = 800.0;
                    for (const Conductor& c : conductors)
                        rho /= 1.0 + 6.0 * std::exp(-std::pow((station - c.position) / c.depth, 2));
                    r.resistivity = roundedTo(rho * random.uniform(0.9, 1.1), 0.1);
                    r.phase = whole(45 + random.uniform(-8, 8));
                    r.hField = roundedTo(random.uniform(20, 90), 0.01);
                    r.eField = roundedTo(r.hField * std::sqrt(r.resistivity) * 0.04 * factor, 0.01);
                } else {
                    const double tilt = tiltAt(conductors, station, factor);
                    r.tiltVertical = whole(tilt + random.uniform(-2, 2));
                    r.ellipticityVertical = whole(tilt * 0.25 + random.uniform(-2, 2));
                    r.hHorizontal = roundedTo(random.uniform(40, 160) * factor, 0.01);
                    r.tiltHorizontal = whole(random.uniform(-15, 15));
                    r.ellipticityHorizontal = whole(random.uniform(-6, 6));
                }
                r.ignored = random.chance(0.02) ? 1 : 0;
                records.push_back(r);
            }
        }
    }
    return records;
}

std::string bruTextOf(const std::vector<MeasurementRecord>& records) {
    std::string text;
    text.reserve(records.size() * (kResistivityTextLength + 2));
    int sequence = 0;
    for (const MeasurementRecord& r : records) {
        text += encodeRecordText(r, ++sequence);
        text += "\r\n";
    }
    return text;
}

} // namespace veldro
