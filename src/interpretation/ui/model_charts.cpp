#include "interpretation/ui/model_charts.h"

#include "charts/field_chart.h"
#include "charts/plot_area_item.h"
#include "interpretation/model_pictures.h"
#include "interpretation/ui/fit_chart.h"

#include <QLegend>
#include <QPainter>
#include <QValueAxis>
#include <cmath>
#include <map>

namespace veldro {

namespace {

ModelSection showFieldSection(FieldChart& chart, const GroundModel& model) {
    const ModelSection drawn = modelSection(model);
    chart.setTitle(QStringLiteral("Model section"));
    chart.setLeftAxisTitle(drawn.datum ? QStringLiteral("Elevation (m)")
                                       : QStringLiteral("Depth (m)"));
    chart.setDownwards(!drawn.datum);
    QList<QPointF> surface;
    for (const FieldPoint& p : drawn.surface) surface.append({p.x, p.value});
    chart.setOutline(surface);
    chart.setField(drawn.field, QStringLiteral("log10(%1 ohm.m / Rho)").arg(drawn.reference));
    chart.showWholeRange();
    return drawn;
}

} // namespace

// The bodies after the grid, each in the scale's colour of its resistivity.
class GridBodies : public PlotAreaItem {
public:
    explicit GridBodies(ModelGridChart& chart) : PlotAreaItem(chart), chart_(chart) {}

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        if (!drawable()) return;
        painter->save();
        painter->setClipRect(area());
        painter->setPen(Qt::NoPen);
        for (const Body& body : chart_.bodies_) {
            QPolygonF shape;
            for (const SectionPoint& corner : body.polygon) shape << place({corner.x, corner.z});
            painter->setBrush(QColor(chart_.scale().colour(std::log10(body.resistivity))));
            painter->drawPolygon(shape);
        }
        painter->restore();
    }

private:
    const ModelGridChart& chart_;
};

ModelGridChart::ModelGridChart() : overGrid_(new GridBodies(*this)) {
    setTitle(QStringLiteral("Model section"));
}

ModelGridChart::~ModelGridChart() = default;

void ModelGridChart::showModel(const GroundModel& model) {
    const CellGrid& grid = *model.grid;
    std::vector<double> log10Resistivity;
    for (std::size_t i = 0; i < grid.cells(); ++i)
        log10Resistivity.push_back(std::log10(model.bodies[i].resistivity));
    // Unknown, the cells count as seen: none fades.
    std::vector<double> sensitivity =
        grid.sensitivity.empty() ? std::vector<double>(grid.cells(), 1) : grid.sensitivity;
    bodies_.assign(model.bodies.begin() + static_cast<std::ptrdiff_t>(grid.cells()),
                   model.bodies.end());
    setSection({grid.x, grid.z}, std::move(log10Resistivity), std::move(sensitivity),
               model.stations);
    showWholeRange();
    overGrid_->update();
}

ShownSection showModelSection(FieldChart& field, ModelGridChart& grid, const GroundModel& model) {
    if (!model.grid) return {&field, showFieldSection(field, model)};
    grid.showModel(model);
    return {&grid, {}};
}

void showModelFit(FitChart& chart, const GroundModel& model,
                  const std::vector<StationResponse>& responses, const ProfileData& observed) {
    // By frequency (to the hertz), then tilt before ellipticity.
    std::map<std::pair<long, FittedQuantity>, FitCurve> curves;
    const auto curveOf = [&](FittedQuantity quantity, double frequency) -> FitCurve& {
        FitCurve& curve = curves[{std::lround(frequency), quantity}];
        // Each frequency after the model's first dashed, as the graph window
        // draws a second frequency number.
        if (curve.title.isEmpty())
            curve = fitCurveOf(quantity, frequency,
                               std::lround(frequency) != std::lround(model.frequencies.front()));
        return curve;
    };
    for (const ResponseCurve& computed : responseCurves(model, responses)) {
        FitCurve& curve = curveOf(computed.quantity, model.frequencies[computed.frequency]);
        for (auto [station, percent] : computed.points)
            curve.computed.emplace_back(station, percent);
    }
    for (std::size_t i = 0; i < observed.data.size(); ++i) {
        const Datum& d = observed.data[i];
        curveOf(d.quantity, observed.frequencies[d.frequency])
            .addReading(observed.stations[d.station], d, i);
    }
    chart.clearCurves();
    chart.setTitle(observed.data.empty() ? QStringLiteral("Computed response")
                                         : QStringLiteral("Observed (dots) and computed (lines)"));
    for (auto& entry : curves) chart.addCurve(std::move(entry.second));
    chart.showWholeRange();
}

void alignWithSection(StationChart& curves, const StationChart& section) {
    curves.legend()->setAlignment(Qt::AlignBottom);
    curves.setMargins(section.margins());
    curves.axisX().setRange(section.axisX().min(), section.axisX().max());
}

} // namespace veldro
