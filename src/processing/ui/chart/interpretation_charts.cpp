#include "processing/ui/chart/interpretation_charts.h"

#include "interpretation/model_pictures.h"
#include "processing/graph_plots.h"
#include "processing/ui/chart/field_chart.h"
#include "processing/ui/chart/graph_chart.h"

#include <QLegend>
#include <QValueAxis>

namespace veldro {

void showKhSection(FieldChart& chart, const KhRun& run) {
    chart.setTitle(QStringLiteral("Karous-Hjelt section %1 (%2 Hz)")
                       .arg(QString::fromStdString(run.run.title))
                       .arg(run.run.frequency));
    chart.setLeftAxisTitle(QStringLiteral("Depth (m)"));
    chart.setDownwards(true);
    chart.setField(khSectionField(run), QStringLiteral("KH"));
    chart.showWholeRange();
}

void showFraserMap(FieldChart& chart, const FraserMap& map, double lineSpacing,
                   const QString& spacingText) {
    chart.setTitle(QStringLiteral("Fraser map, Freq%1").arg(map.frequencyNumber));
    chart.setLeftAxisTitle(lineSpacing == 1 ? QStringLiteral("Profile")
                                            : QStringLiteral("Profile \u00d7 %1").arg(spacingText));
    QList<QPointF> dots;
    for (const FraserMapLine& line : map.lines)
        for (int station : line.stations) dots.append(QPointF(station, line.profile * lineSpacing));
    chart.setField(fraserMapField(map, lineSpacing),
                   QString::fromUtf8(kFraserAxisTitle.data(),
                                     static_cast<qsizetype>(kFraserAxisTitle.size())));
    chart.setDots(std::move(dots));
    chart.showWholeRange();
}

void showModelSection(FieldChart& chart, const GroundModel& model) {
    const ModelSection drawn = modelSection(model);
    chart.setTitle(QStringLiteral("Model section"));
    chart.setLeftAxisTitle(QStringLiteral("Depth (m)"));
    chart.setDownwards(true);
    chart.setField(drawn.field, QStringLiteral("log10(%1 ohm.m / Rho)").arg(drawn.reference));
    chart.showWholeRange();
}

void alignWithSection(GraphChart& curves, const FieldChart& section) {
    curves.legend()->setAlignment(Qt::AlignBottom);
    curves.setMargins(section.margins());
    curves.axisX().setRange(section.axisX().min(), section.axisX().max());
}

} // namespace veldro
