#include "processing/ui/field_pictures.h"

#include "charts/field_chart.h"
#include "processing/graph_plots.h"

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

} // namespace veldro
