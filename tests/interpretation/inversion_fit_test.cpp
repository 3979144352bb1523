// What the inversion picture shows beside the section: the fit, the cells'
// sensitivity, and a section read back from its model file.
#include "interpretation/inversion_fit.h"
#include "interpretation/inversion_output.h"
#include "interpretation/inversion_section.h"
#include "inversion_sections.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace veldro;
using veldro::test::patchedSection;

namespace {

ProfileData fiveStations() {
    ProfileData data;
    data.profile = 4;
    data.stations = {0, 25, 50, 75, 100};
    data.frequencies = {15000, 22000};
    for (std::size_t s = 0; s < 5; ++s)
        for (std::size_t f = 0; f < 2; ++f)
            for (FittedQuantity q : {FittedQuantity::Tilt, FittedQuantity::Ellipticity})
                data.data.push_back({s, f, q, 1.0 + static_cast<double>(s), 2});
    return data;
}

} // namespace

TEST(InversionFit, ComputesTheDataAsTheSectionPredictsThemAndTheirRms) {
    const ProfileData data = fiveStations();
    const InversionResult result = patchedSection(data);
    const InversionFit fit = inversionFit(data, result, 300);
    const Eigen::Map<const Eigen::VectorXd> model(result.log10Resistivity.data(),
                                                  static_cast<Eigen::Index>(result.mesh.cells()));
    const Eigen::VectorXd predicted = InversionSection(data, result.mesh, 300).predict(model);
    ASSERT_EQ(fit.computed.size(), data.data.size());
    double sum = 0;
    for (std::size_t i = 0; i < fit.computed.size(); ++i) {
        EXPECT_DOUBLE_EQ(fit.computed[i], predicted[static_cast<Eigen::Index>(i)]);
        sum += std::pow((data.data[i].value - fit.computed[i]) / 2, 2);
    }
    EXPECT_NEAR(fit.rms, std::sqrt(sum / static_cast<double>(data.data.size())), 1e-12);
}

TEST(InversionFit, SensitivityIsHighestNearTheSurfaceUnderTheStationsAndLowestAtDepthAndOutside) {
    const ProfileData data = fiveStations();
    InversionResult result = patchedSection(data);
    // A uniform ground: the patch would draw the currents, and the sensitivity, to it.
    std::fill(result.log10Resistivity.begin(), result.log10Resistivity.end(), std::log10(300.0));
    const InversionFit fit = inversionFit(data, result, 300);
    const InversionMesh& mesh = result.mesh;
    ASSERT_EQ(fit.sensitivity.size(), mesh.cells());
    const auto at = [&](double x, double z) {
        std::size_t c = 0, r = 0;
        while (mesh.x[c + 1] < x) ++c;
        while (mesh.z[r + 1] < z) ++r;
        return fit.sensitivity[r * mesh.columns() + c];
    };
    const double best = *std::max_element(fit.sensitivity.begin(), fit.sensitivity.end());
    EXPECT_DOUBLE_EQ(best, 1);
    const double shallow = at(50, 1);
    EXPECT_GT(shallow, 0.9);
    EXPECT_LT(at(50, mesh.z.back() - 1), shallow - 0.3);       // the bottom row
    EXPECT_LT(at(mesh.x.back() - 1, 1), shallow - 0.3);        // the outermost column
    EXPECT_LT(at(mesh.x.front() + 1, mesh.z.back() - 1), 0.3); // the far corner
    for (double s : fit.sensitivity) EXPECT_TRUE(s >= 0 && s <= 1) << s;
}

// On a flat line a grid; under hills each cell a parallelogram below the surface.
TEST(InversionFromModel, ReadsBackTheSectionOfItsModelFile) {
    for (const std::vector<TerrainPoint>& topography :
         {std::vector<TerrainPoint>{}, std::vector<TerrainPoint>{{0, 10}, {50, 37.3}, {100, 0}}}) {
        ProfileData data = fiveStations();
        data.topography = topography;
        const InversionResult written = patchedSection(data);
        const GroundModel model = parseGroundModel(inversionModelFile(written));
        const InversionResult read = inversionFromModel(model);
        EXPECT_EQ(read.mesh.x, written.mesh.x);
        EXPECT_EQ(read.mesh.z, written.mesh.z);
        ASSERT_EQ(read.log10Resistivity.size(), written.log10Resistivity.size());
        for (std::size_t i = 0; i < read.log10Resistivity.size(); ++i)
            EXPECT_NEAR(read.log10Resistivity[i], written.log10Resistivity[i], 1e-12);
        EXPECT_EQ(read.model, model);
        EXPECT_EQ(read.model.topography, topography);
    }
}

TEST(InversionFromModel, RefusesAModelThatHoldsNoInversionSection) {
    const std::string tail = R"(, "stations": [0, 50], "frequencies": [20000]})";
    const std::string grid =
        R"({"grid": {"x": [0, 10, 20], "z": [0, 5], "resistivity": [[1, 2]]}})";
    const struct {
        std::string file;
        std::string reason;
    } cases[] = {
        {R"({"layers": [{"resistivity": 100}], "bodies": [])", "it has no bodies"},
        {R"({"layers": [{"thickness": 10, "resistivity": 100}, {"resistivity": 5}], "bodies": [)" +
             grid + "]",
         "it has more than one layer"},
        {R"({"layers": [{"resistivity": 100}], "bodies": [{"sheet": {"x": 50, "top": 10,
             "extent": 40, "dip": 90, "thickness": 2, "conductance": 20}}])",
         "not one grid"},
        {R"({"layers": [{"resistivity": 100}], "bodies": [{"grid": {"x": [0, 10], "z": [3, 5],
             "resistivity": [[1]]}}])",
         "not one grid"},
        {R"({"layers": [{"resistivity": 100}], "bodies": [)" + grid + ", " + grid + "]",
         "not one grid"},
    };
    for (const auto& c : cases) {
        const GroundModel model = parseGroundModel(c.file + tail);
        try {
            inversionFromModel(model);
            ADD_FAILURE() << c.file;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("the model holds no inversion section: ", 0), 0u);
        }
    }
}

// The section text, written by hand from its rule: the cells under the
// stations only, each with its resistivity and its sensitivity.
TEST(SectionText, HoldsTheCellsUnderTheStationsWithTheirSensitivity) {
    InversionResult result;
    result.mesh.x = {-100, 0, 50, 100, 200}; // a padding cell each side
    result.mesh.z = {0, 10, 30};
    result.model.stations = {0, 50, 100};
    result.log10Resistivity = {3, 2, 1, 3, 2, 2, 0, 2};
    InversionFit fit;
    fit.sensitivity = {0.1, 1, 0.5, 0.1, 0, 0.25, 0.125, 0};
    EXPECT_EQ(sectionText(result, fit), "X\tZ\tResistivity (ohm.m)\tSensitivity\n"
                                        "25.00\t5.00\t100.000\t1.000\n"
                                        "75.00\t5.00\t10.000\t0.500\n"
                                        "25.00\t20.00\t100.000\t0.250\n"
                                        "75.00\t20.00\t1.000\t0.125\n");
}
