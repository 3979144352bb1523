#include "interpretation/ui/layered_section_chart.h"

#include "data/number_text.h"
#include "interpretation/layered_output.h"
#include "interpretation/ui/resistivity_section_chart.h"

#include <algorithm>

namespace veldro {

void showLayeredSection(ResistivitySectionChart& chart, const std::vector<Sounding>& soundings,
                        const std::vector<LayeredModel>& models, bool twoLayers) {
    double worst = 0;
    for (const LayeredModel& m : models) worst = std::max(worst, m.rms);
    const QString ground =
        twoLayers ? QStringLiteral("two layers")
                  : QStringLiteral("%1 layers, smooth")
                        .arg(models.empty() ? 0 : static_cast<int>(models.front().layers.size()));
    chart.setTitle(QStringLiteral("1D inversion, profile %1 (%2, RMS at most %3)")
                       .arg(soundings.empty() ? 0 : soundings.front().profile)
                       .arg(ground, QString::fromStdString(formatPattern(worst, 2))));
    LayeredSection section = layeredSection(soundings, models);
    chart.setSection(std::move(section.mesh), std::move(section.log10Resistivity),
                     std::move(section.sensitivity), std::move(section.stations));
    chart.showWholeRange();
}

} // namespace veldro
