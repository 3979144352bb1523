#include "interpretation/ui/fit_exclusions.h"

#include "data/number_text.h"
#include "interpretation/ui/fit_chart.h"
#include "interpretation/ui/inversion_picture.h"

#include <algorithm>

namespace veldro {

namespace {

bool allKeptOut(const ProfileData& data, const PickedData& picked) {
    return std::ranges::all_of(picked.data, [&](std::size_t i) { return data.data[i].excluded; });
}

QString pronoun(const PickedData& picked) {
    return picked.data.size() == 1 ? QStringLiteral("it") : QStringLiteral("them");
}

} // namespace

std::optional<PickedData> pickedAt(const InversionPicture& picture, const ProfileData& data,
                                   QPointF scenePosition) {
    const std::vector<FitChart*>& charts = picture.fitCharts();
    for (const FitChart* chart : charts) {
        const std::optional<FitPoint> point = chart->observedAt(chart->mapFromScene(scenePosition));
        if (!point) continue;
        const FitCurve& curve = chart->curves()[point->curve];
        const double station = curve.observed[point->point].x();
        const QString at =
            QStringLiteral("station %1").arg(QString::fromStdString(formatPattern(station, 1)));
        PickedData picked;
        if (chart == charts.back()) { // the misfit per station
            for (std::size_t i = 0; i < data.data.size(); ++i)
                if (data.stations[data.data[i].station] == station) picked.data.push_back(i);
            picked.name = QStringLiteral("The data at ") + at;
        } else {
            if (curve.data.empty()) return {};
            picked.data = {curve.data[point->point]};
            picked.name = curve.title + QStringLiteral(" at ") + at;
        }
        if (picked.data.empty()) return {};
        return picked;
    }
    return {};
}

QString pickTip(const ProfileData& data, const PickedData& picked) {
    return allKeptOut(data, picked)
               ? QStringLiteral("%1, kept out of the fit: click to fit %2 again")
                     .arg(picked.name, pronoun(picked))
               : QStringLiteral("%1: click to keep %2 out of the fit")
                     .arg(picked.name, pronoun(picked));
}

QString togglePicked(ProfileData& data, const PickedData& picked) {
    const bool fitAgain = allKeptOut(data, picked);
    for (std::size_t i : picked.data) data.data[i].excluded = !fitAgain;
    return QStringLiteral("%1 %2: \"Invert again\" (F5) inverts %3 %4")
        .arg(picked.name, fitAgain ? QStringLiteral("fitted again") : QStringLiteral("kept out"),
             fitAgain ? QStringLiteral("with") : QStringLiteral("without"), pronoun(picked));
}

} // namespace veldro
