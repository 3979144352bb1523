// plot inversion: an inverted section above the observed and computed curves
// of the profile it was inverted from, drawn into a PNG, SVG or PDF.
#include "charts/chart_image.h"
#include "cli.h"
#include "interpretation/depth_of_investigation.h"
#include "interpretation/inversion_fit.h"
#include "interpretation/ui/inversion_picture.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "loaded_rows.h"
#include "plot_picture.h"
#include "profile_options.h"

#include <QGraphicsScene>
#include <iomanip>
#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

// The graph window's width; the section's height and some for each chart of curves.
constexpr int kDesignWidth = 1039;
constexpr int kSectionHeight = 560;
constexpr int kCurvesHeight = 400;

int kindsOfData(InversionData data) {
    return data == InversionData::Both ? 3 : data == InversionData::Resistivity ? 2 : 1;
}

// --doi: the section's depth of investigation, from the two runs invert
// --doi makes, with the inversion options invert was given (the boreholes
// as placed) and the model's starting ground.
std::vector<double> depthOfInvestigationOf(const Arguments& args, const ProfileData& data,
                                           const InversionResult& result,
                                           const std::vector<Borehole>& boreholes,
                                           const std::string& modelPath) {
    InversionOptions options = inversionOptions(args);
    options.prior.boreholes = boreholes;
    options.startResistivity = result.model.layers.front().resistivity;
    const InversionMesh mesh =
        inversionMesh(data.stations, data.frequencies, options.startResistivity);
    if (mesh.x != result.mesh.x || mesh.z != result.mesh.z)
        throw CommandFailed(modelPath + ": not the cells invert makes over profile " +
                            std::to_string(data.profile) + ", so no depth of investigation");
    std::cerr << std::fixed << std::setprecision(3);
    return depthOfInvestigation(data, options,
                                [](const InversionStep& step) {
                                    std::cerr << "Depth of investigation run " << step.run
                                              << " of 2, iteration " << step.iteration << ": RMS "
                                              << step.rms << '\n';
                                    return true;
                                })
        .index;
}

int runPlotInversion(const Arguments& args) {
    args.expectOperands(2, 2);
    const ProfileDataOptions options = profileDataOptions(args);
    const PictureRequest request = pictureRequest(
        args, QSize(kDesignWidth, kSectionHeight + kCurvesHeight * kindsOfData(options.data)));
    const std::optional<std::pair<double, double>> range = resistivityRangeOption(args);
    const std::string& modelPath = args.operand(1, "MODEL.json");
    const GroundModel model = loadGroundModel(modelPath);
    InversionResult result = [&] {
        try {
            return inversionFromModel(model);
        } catch (const std::runtime_error& e) {
            throw CommandFailed(modelPath + ": " + e.what());
        }
    }();

    TerminalMessages messages;
    const LoadedRows d = loadSurvey(args, args.operand(0, "FILE.vlf"), messages);
    const std::vector<Borehole> boreholes = boreholesOption(args, d.positions);
    ProfileData data = profileData(d.survey(), oneProfileOption(args, d.survey()), options);
    // Under the surface it was inverted under, which its model file holds.
    data.topography = model.topography;
    if (const std::string why = lackOfData(data); !why.empty()) throw CommandFailed(why);
    if (data.stations != model.stations)
        throw CommandFailed(modelPath + ": not inverted from profile " +
                            std::to_string(data.profile) +
                            "'s stations (the same data options as invert's pick them)");
    if (args.flag("--doi"))
        result.depthOfInvestigation =
            depthOfInvestigationOf(args, data, result, boreholes, modelPath);
    const InversionFit fit = [&] {
        try {
            return inversionFit(data, result, model.layers.front().resistivity);
        } catch (const std::exception& e) {
            throw CommandFailed(std::string("the section's response failed: ") + e.what());
        }
    }();

    const OffscreenApplication application;
    QGraphicsScene scene;
    auto* picture = new InversionPicture(data, result, fit, boreholes); // the scene's
    picture->section().setFixedRange(range);
    scene.addItem(picture);
    picture->resize(QSizeF(request.size));
    const QString error =
        saveChartsImage(*picture, picture->pictureTitle(), request.path, request.size);
    if (!error.isEmpty()) throw CommandFailed(request.output + ": " + error.toStdString());
    return 0;
}

const Registration plotInversion{
    {"plot inversion",
     std::string("FILE.vlf MODEL.json -o OUT.png|OUT.svg|OUT.pdf [--profile P] ") +
         kProfileDataUsage + " [--resistivity-range MIN:MAX] " + kInversionUsage +
         " [--width W --height H] " + kPositionsUsage,
     "An inverted section (colours of resistivity, faded where the data hardly see it, or with "
     "--doi by the depth of investigation, from MIN to MAX ohm.m when given, the boreholes of "
     "the profile drawn on it, placed by the positions when given by easting and northing) "
     "above the profile's observed and computed curves, in elevation under hills when "
     "inverted so; --profile, the data options and those of the inversion as invert was given "
     "them.",
     runPlotInversion}};

} // namespace
