#include "interpretation/ui/model_charts.h"

#include "charts/field_chart.h"
#include "charts/graph_chart.h"
#include "interpretation/model_pictures.h"

#include <QLegend>
#include <QValueAxis>

namespace veldro {

ModelSection showModelSection(FieldChart& chart, const GroundModel& model) {
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

void alignWithSection(GraphChart& curves, const FieldChart& section) {
    curves.legend()->setAlignment(Qt::AlignBottom);
    curves.setMargins(section.margins());
    curves.axisX().setRange(section.axisX().min(), section.axisX().max());
}

} // namespace veldro
