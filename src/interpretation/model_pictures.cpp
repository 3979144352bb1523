#include "interpretation/model_pictures.h"

#include "interpretation/section_mesh.h"
#include "interpretation/terrain.h"
#include "processing/fraser_walk.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace veldro {

namespace {

constexpr int kColumns = 200;
constexpr int kRows = 100;

std::vector<double> evenNodes(double from, double to, int cells) {
    std::vector<double> nodes;
    for (int i = 0; i <= cells; ++i) nodes.push_back(from + (to - from) * i / cells);
    return nodes;
}

std::string frequencyText(double frequency) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, frequency).ptr);
}

} // namespace

ModelSection modelSection(const GroundModel& model) {
    double left = model.stations.front(), right = model.stations.back(), deepest = 0;
    for (std::size_t j = 0; j + 1 < model.layers.size(); ++j) deepest += model.layers[j].thickness;
    if (right == left) left -= 50, right += 50;
    const SurfaceOverColumn surface(model.topography, left, right);
    deepest += surface.deepest();
    for (const Body& body : model.bodies)
        for (const SectionPoint& p : body.polygon) deepest = std::max(deepest, p.z);
    const double depth = std::max(1.2 * deepest, (right - left) / 4);
    const std::vector<double> x = evenNodes(left, right, kColumns), z = evenNodes(0, depth, kRows);
    const std::vector<double> sigma = meanConductivity(model, x, z);
    ModelSection section;
    section.reference = model.layers.front().resistivity;
    if (hasRelief(model.topography)) {
        section.datum = datumElevation(model.topography);
        for (const SurfaceOverColumn::Knot& knot : surface.knots())
            section.surface.push_back({knot.x, *section.datum - knot.depth});
    }
    std::vector<FieldLine> lines;
    lines.reserve(kRows);
    for (int r = 0; r < kRows; ++r) lines.push_back({section.drawnY((z[r] + z[r + 1]) / 2), {}});
    for (int c = 0; c < kColumns; ++c) {
        const SurfaceOverColumn column(model.topography, x[c], x[c + 1]);
        for (int r = 0; r < kRows; ++r) {
            const double cell = (x[c + 1] - x[c]) * (z[r + 1] - z[r]);
            const double ground = column.areaBelow(0, z[r], z[r + 1]) / cell;
            const double value =
                ground > 0 ? std::log10(section.reference *
                                        sigma[static_cast<std::size_t>(r * kColumns + c)] / ground)
                           : std::numeric_limits<double>::quiet_NaN();
            lines[static_cast<std::size_t>(r)].points.push_back({(x[c] + x[c + 1]) / 2, value});
        }
    }
    section.field = LayeredField(std::move(lines), (x[1] - x[0]) / 2, (z[1] - z[0]) / 2);
    return section;
}

std::vector<ResponseCurve> responseCurves(const GroundModel& model,
                                          const std::vector<StationResponse>& responses) {
    const std::size_t frequencies = model.frequencies.size();
    std::vector<ResponseCurve> curves;
    for (std::size_t f = 0; f < frequencies; ++f) {
        ResponseCurve tilt{FittedQuantity::Tilt, f, {}};
        ResponseCurve ellipticity{FittedQuantity::Ellipticity, f, {}};
        for (std::size_t i = f; i < responses.size(); i += frequencies) {
            tilt.points.emplace_back(responses[i].station, tiltPercent(responses[i].tipper));
            ellipticity.points.emplace_back(responses[i].station,
                                            ellipticityPercent(responses[i].tipper));
        }
        curves.push_back(std::move(tilt));
        curves.push_back(std::move(ellipticity));
    }
    return curves;
}

void plotModelResponse(const GroundModel& model, const std::vector<StationResponse>& responses,
                       GraphSink& graph) {
    for (const ResponseCurve& computed : responseCurves(model, responses)) {
        const double hz = model.frequencies[computed.frequency];
        const bool tilt = computed.quantity == FittedQuantity::Tilt;
        // As the graph window draws profiles and frequency numbers: each
        // quantity a colour of its own, each frequency a line style.
        FraserRun run;
        run.curve = graph.curveCount();
        run.profile = tilt ? 1 : 2;
        run.frequencyNumber = static_cast<int>(computed.frequency) + 1;
        run.frequency = static_cast<int>(std::lround(hz));
        run.title = (tilt ? "Tilt.ver(%) " : "Ellip.ver(%) ") + frequencyText(hz) + " Hz";
        graph.addCurve(run);
        graph.markCurveUsed(run.curve);
        for (auto [station, percent] : computed.points)
            graph.addPoint(run.curve, station, percent, false);
    }
}

} // namespace veldro
