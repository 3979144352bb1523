// The section's response against what the physics requires of it.
#include "interpretation/forward.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <iostream>
#include <numbers>

using namespace veldro;

namespace {

constexpr double kMu = 4e-7 * std::numbers::pi;

GroundModel groundOf(std::vector<Layer> layers, std::vector<double> frequencies,
                     std::vector<double> stations = {0, 100}) {
    GroundModel model;
    model.layers = std::move(layers);
    model.stations = std::move(stations);
    model.frequencies = std::move(frequencies);
    return model;
}

// The textbook recursion of the surface impedance of a layered ground, from
// the bottom up: Z = Zj (Z' + Zj tanh(kj hj)) / (Zj + Z' tanh(kj hj)), with
// Zj = iωμ0/kj the layer's own impedance and kj = sqrt(iωμ0/ρj).
std::complex<double> layeredImpedance(const std::vector<Layer>& layers, double frequency) {
    const std::complex<double> iwm(0, 2 * std::numbers::pi * frequency * kMu);
    std::complex<double> z = iwm / std::sqrt(iwm / layers.back().resistivity);
    for (std::size_t j = layers.size() - 1; j-- > 0;) {
        const std::complex<double> k = std::sqrt(iwm / layers[j].resistivity);
        const std::complex<double> own = iwm / k, t = std::tanh(k * layers[j].thickness);
        z = own * (z + own * t) / (own + z * t);
    }
    return z;
}

double rhoOf(std::complex<double> z, double frequency) {
    return std::norm(z) / (2 * std::numbers::pi * frequency * kMu);
}

double phaseOf(std::complex<double> z) {
    return std::arg(z) * 180 / std::numbers::pi;
}

const std::vector<std::vector<Layer>> kLayeredGrounds = {
    {{30, 100}, {0, 10}},             // more conductive below
    {{20, 10}, {0, 1000}},            // a conductive cover
    {{20, 300}, {50, 30}, {0, 2000}}, // a conductive layer between resistive ones
};

// A vertical conductive sheet, 50 S, under stations every 25 m from 300 to 700.
GroundModel sheetModel(double top) {
    GroundModel model = groundOf({{0, 1000}}, {20000}, {});
    for (double x = 300; x <= 700; x += 25) model.stations.push_back(x);
    model.bodies.push_back({sheetPolygon(500, top, 200, 90, 2), 2.0 / 50});
    return model;
}

std::vector<double> tilts(const std::vector<StationResponse>& responses) {
    std::vector<double> out;
    for (const StationResponse& r : responses) out.push_back(tiltPercent(r.tipper));
    return out;
}

double peakToPeak(const std::vector<double>& values) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return *high - *low;
}

// The largest change from `a` to `b` of tilt and ellipticity (in parts of the
// tilt's peak-to-peak) and of Rho and Ph.E/H (in parts of themselves).
double largestChange(const std::vector<StationResponse>& a, const std::vector<StationResponse>& b) {
    const double range = peakToPeak(tilts(a));
    double change = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        change = std::max(
            {change, std::fabs(tiltPercent(a[i].tipper) - tiltPercent(b[i].tipper)) / range,
             std::fabs(ellipticityPercent(a[i].tipper) - ellipticityPercent(b[i].tipper)) / range,
             std::fabs(apparentResistivity(b[i]) / apparentResistivity(a[i]) - 1),
             std::fabs(phaseDegrees(b[i]) / phaseDegrees(a[i]) - 1)});
    }
    return change;
}

} // namespace

TEST(Forward, UniformGroundHasNoTipperItsResistivityAndFortyFiveDegrees) {
    for (double rho : {10.0, 1000.0}) {
        GroundModel model = groundOf({{0, rho}}, {1000, 30000}, {0, 50, 100});
        // A body of the ground's own resistivity: the section is solved, not skipped.
        model.bodies.push_back({{{40, 0}, {60, 0}, {60, 30}, {40, 30}}, rho});
        for (const StationResponse& r : sectionResponse(model)) {
            SCOPED_TRACE(testing::Message() << rho << " ohm.m, " << r.frequency << " Hz");
            EXPECT_LT(std::abs(r.tipper), 1e-4);
            EXPECT_NEAR(apparentResistivity(r), rho, 0.01 * rho);
            EXPECT_NEAR(phaseDegrees(r), 45, 0.5);
        }
    }
}

TEST(Forward, LayeredGroundsFollowTheTextbookRecursion) {
    for (const auto& layers : kLayeredGrounds) {
        const GroundModel model = groundOf(layers, {1000, 10000, 30000});
        const auto section = sectionResponse(model);
        const auto exact = computeResponse(model); // without bodies: the layered formula
        for (std::size_t i = 0; i < section.size(); ++i) {
            const double f = section[i].frequency;
            SCOPED_TRACE(testing::Message() << layers.size() << " layers, " << f << " Hz");
            const std::complex<double> z = layeredImpedance(layers, f);
            EXPECT_NEAR(apparentResistivity(section[i]), rhoOf(z, f), 0.005 * rhoOf(z, f));
            EXPECT_NEAR(phaseDegrees(section[i]), phaseOf(z), 0.2);
            EXPECT_NEAR(apparentResistivity(exact[i]), rhoOf(z, f), 1e-9 * rhoOf(z, f));
            EXPECT_NEAR(phaseDegrees(exact[i]), phaseOf(z), 1e-9);
            EXPECT_EQ(exact[i].tipper, std::complex<double>(0));
        }
    }
    // More conductive with depth: the phase rises above 45 degrees.
    EXPECT_GT(phaseDegrees(computeResponse(groundOf(kLayeredGrounds[0], {10000}))[0]), 45);
}

TEST(Forward, TiltAndEllipticityFromTheTipper) {
    struct Case {
        std::complex<double> tipper;
        double tilt, ellipticity;
    };
    // Real T: tan α = T; imaginary T: e = Im T; |T| > 1 turns the major axis
    // past 45°, where it is taken from the other side.
    for (const Case& c :
         {Case{0.1, -10, 0}, Case{-0.5, 50, 0}, Case{{0, 0.1}, 0, -10}, Case{{0, -0.5}, 0, 50},
          Case{2, 50, 0}, Case{1, -100, 0}, Case{{0, 1}, 0, -100}}) {
        SCOPED_TRACE(testing::Message() << c.tipper);
        EXPECT_NEAR(tiltPercent(c.tipper), c.tilt, 1e-9);
        EXPECT_NEAR(ellipticityPercent(c.tipper), c.ellipticity, 1e-9);
    }
}

// Within a skin depth of the surface (112 m here): deeper, the host's phase
// turns the in-phase anomaly over.
TEST(Forward, VerticalSheetTiltCrossesOverItAndFadesWithDepth) {
    double previousRange = 1e9;
    for (double top : {10.0, 30.0, 60.0}) {
        SCOPED_TRACE(testing::Message() << "top " << top << " m");
        const GroundModel model = sheetModel(top);
        const auto tilt = tilts(sectionResponse(model));
        const double range = peakToPeak(tilt);
        const std::size_t n = tilt.size();
        for (std::size_t i = 0; i < n; ++i) EXPECT_NEAR(tilt[i], -tilt[n - 1 - i], 0.005 * range);
        // Positive before the sheet, negative after, crossing within a cell
        // (half a station spacing) of it.
        EXPECT_GT(tilt[n / 2 - 1], 0);
        EXPECT_LT(tilt[n / 2 + 1], 0);
        std::size_t i = 0;
        while (i + 1 < n && !(tilt[i] > 0 && tilt[i + 1] <= 0)) ++i;
        ASSERT_LT(i + 1, n);
        const double at = model.stations[i] + 25 * tilt[i] / (tilt[i] - tilt[i + 1]);
        EXPECT_NEAR(at, 500, 12.5);
        EXPECT_LT(range, previousRange);
        previousRange = range;
    }
}

TEST(Forward, SheetResponseConvergesAsTheMeshIsRefined) {
    const GroundModel model = sheetModel(20);
    const SectionMesh mesh = buildMesh(model);
    const auto coarse = sectionResponse(model, mesh);
    const auto finer = sectionResponse(model, halvedMesh(mesh, model));
    // The tilt's peak-to-peak and its largest change from one mesh to the other.
    const double range = peakToPeak(tilts(coarse));
    double change = 0;
    for (std::size_t i = 0; i < coarse.size(); ++i)
        change = std::max(change,
                          std::fabs(tiltPercent(coarse[i].tipper) - tiltPercent(finer[i].tipper)));
    std::cout << "sheet 20 m down, tilt peak-to-peak " << range << ", largest change on the mesh "
              << "with cells halved " << change << '\n';
    EXPECT_LT(change, 0.03 * range);
}

TEST(Forward, DoublingTheAirOrThePaddingChangesNoResponseByHalfAPercent) {
    const GroundModel model = sheetModel(20);
    const auto standard = sectionResponse(model);
    MeshOptions air, padding;
    air.airHeight *= 2;
    padding.paddingSkinDepths *= 2;
    EXPECT_LT(largestChange(standard, sectionResponse(model, air)), 0.005);
    EXPECT_LT(largestChange(standard, sectionResponse(model, padding)), 0.005);
}
