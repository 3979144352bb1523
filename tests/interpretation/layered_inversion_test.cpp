// The 1D inversion of Rho and phase, station by station.
#include "interpretation/forward.h"
#include "interpretation/layered_inversion.h"
#include "interpretation/layered_output.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace veldro;

namespace {

struct TwoLayers {
    double rho1, h1, rho2;
    std::vector<double> frequencies;
};

const std::vector<double> kVlf{15000, 19800, 23400, 28000};

// A station's data over two layers, exact, as the model's forward gives them;
// their errors 1 % of Rho and half a degree.
Sounding exactSounding(const TwoLayers& ground) {
    GroundModel model;
    model.layers = {{ground.h1, ground.rho1}, {0, ground.rho2}};
    model.stations = {100};
    model.frequencies = ground.frequencies;
    Sounding s;
    s.station = 100;
    for (const StationResponse& r : computeResponse(model)) {
        s.frequencies.push_back(r.frequency);
        s.log10Rho.push_back(std::log10(apparentResistivity(r)));
        s.phase.push_back(phaseDegrees(r));
        s.log10RhoError.push_back(std::log10(1.01));
        s.phaseError.push_back(0.5);
    }
    return s;
}

std::array<double, 3> parametersOf(const LayeredModel& m) {
    return {m.layers.at(0).resistivity, m.layers.at(0).thickness, m.layers.at(1).resistivity};
}

const TwoLayers kGrounds[] = {
    {100, 15, 2000, kVlf},         // conductive cover over resistive rock
    {1000, 30, 50, kVlf},          // resistive cover over a conductor
    {300, 10, 30, {19800, 23400}}, // the instrument's two frequencies alone
};

} // namespace

TEST(LayeredInversion, ExactTwoLayerDataReturnTheirParameters) {
    for (const TwoLayers& ground : kGrounds) {
        const LayeredModel m = invertTwoLayers(exactSounding(ground));
        const std::array<double, 3> truth{ground.rho1, ground.h1, ground.rho2};
        const std::array<double, 3> found = parametersOf(m);
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(found[k] / truth[k], 1, 0.01) << "parameter " << k << " of " << ground.rho1;
        EXPECT_LT(m.rms, 0.01);
    }
}

TEST(LayeredInversion, NoisyDataLieWithinTheirStatedUncertainties) {
    std::mt19937 random(41);
    std::normal_distribution<double> normal;
    for (const TwoLayers& ground : {kGrounds[0], kGrounds[1]}) {
        Sounding s = exactSounding(ground);
        for (std::size_t f = 0; f < s.frequencies.size(); ++f) {
            s.log10Rho[f] += normal(random) * s.log10RhoError[f];
            s.phase[f] += normal(random) * s.phaseError[f];
        }
        const LayeredModel m = invertTwoLayers(s);
        const std::array<double, 3> truth{ground.rho1, ground.h1, ground.rho2};
        const std::array<double, 3> found = parametersOf(m);
        for (std::size_t k = 0; k < 3; ++k) {
            const double deviation = m.log10Deviation.at(k);
            EXPECT_GT(deviation, 0);
            EXPECT_LT(deviation, 0.5) << "parameter " << k << " told apart by the data";
            EXPECT_LE(std::fabs(std::log10(found[k] / truth[k])), 3 * deviation)
                << "parameter " << k << " of " << ground.rho1;
        }
        EXPECT_LT(m.rms, 2);
    }
}

// Two data and three unknowns (or twelve): a ground that fits, finite, and
// of the two layers an uncertainty that says the data cannot tell them.
TEST(LayeredInversion, OneFrequencyFitsAndSaysWhatItCannotTell) {
    const Sounding s = exactSounding({200, 20, 20, {19800}});
    const LayeredModel twoLayers = invertTwoLayers(s), smooth = invertSmooth(s, 12);
    EXPECT_LT(twoLayers.rms, 0.1);
    EXPECT_LE(smooth.rms, 1.0);
    for (const LayeredModel* m : {&twoLayers, &smooth}) {
        for (double d : m->log10Deviation) EXPECT_TRUE(std::isfinite(d) && d > 0);
        for (const Layer& layer : m->layers) {
            EXPECT_TRUE(std::isfinite(layer.resistivity) && layer.resistivity > 0);
            EXPECT_TRUE(std::isfinite(layer.thickness));
        }
    }
    ASSERT_EQ(twoLayers.log10Deviation.size(), 3u);
    EXPECT_GT(*std::max_element(twoLayers.log10Deviation.begin(), twoLayers.log10Deviation.end()),
              0.5); // more than a factor of three
}

TEST(LayeredInversion, SmoothGroundFitsAndFollowsTheLayers) {
    const LayeredModel m = invertSmooth(exactSounding(kGrounds[0]), 20);
    ASSERT_EQ(m.layers.size(), 20u);
    EXPECT_LE(m.rms, 1.0 + 1e-9);
    // Conductive near the surface, resistive at depth, as the two layers are.
    EXPECT_LT(m.layers.front().resistivity, 200);
    EXPECT_GT(m.layers.back().resistivity, 1000);
}

// Each ground in the column about its station, faded below the depth its
// data see; the rows reach half as deep again as the deepest seen.
TEST(LayeredInversion, SectionStandsEachGroundUnderItsStation) {
    std::vector<Sounding> stations(2);
    stations[0].station = 0, stations[1].station = 50;
    std::vector<LayeredModel> models(2);
    models[0].layers = {{10, 100}, {0, 1000}}, models[0].depthSeen = 50;
    models[1].layers = {{20, 10}, {0, 300}}, models[1].depthSeen = 100;
    const LayeredSection section = layeredSection(stations, models);
    EXPECT_EQ(section.mesh.x, (std::vector<double>{-25, 25, 75}));
    EXPECT_DOUBLE_EQ(section.mesh.z.back(), 150);
    const auto cellAt = [&](double depth, std::size_t column) {
        std::size_t row = 0;
        while (section.mesh.z[row + 1] <= depth) ++row;
        return row * section.mesh.columns() + column;
    };
    const struct {
        double depth;
        std::size_t column;
        double log10Resistivity;
        bool seen;
    } cases[] = {{5, 0, 2, true},
                 {5, 1, 1, true},
                 {15, 0, 3, true},
                 {15, 1, 1, true},
                 {60, 0, 3, false},
                 {60, 1, std::log10(300.0), true},
                 {120, 1, std::log10(300.0), false}};
    for (const auto& c : cases) {
        const std::size_t cell = cellAt(c.depth, c.column);
        EXPECT_DOUBLE_EQ(section.log10Resistivity[cell], c.log10Resistivity) << c.depth;
        EXPECT_EQ(section.sensitivity[cell] >= 0.5, c.seen) << c.depth;
    }
}
