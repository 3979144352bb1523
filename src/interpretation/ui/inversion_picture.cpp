#include "interpretation/ui/inversion_picture.h"

#include "data/number_text.h"
#include "interpretation/depth_of_investigation.h"
#include "interpretation/ui/borehole_marks.h"
#include "interpretation/ui/fit_chart.h"
#include "interpretation/ui/resistivity_section_chart.h"

#include <QGraphicsLinearLayout>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <map>

namespace veldro {

namespace {

// Shares of the height: the section's and each chart of curves'.
constexpr int kSectionShares = 3;
constexpr int kCurvesShares = 2;
constexpr int kMisfitShares = 1;

// Tilt and ellipticity share a chart; Rho and the phase have one each. Their
// left axes' titles:
constexpr std::array<const char*, 3> kKindTitles{"%", "Rho (ohm.m)", "Phase (\u00b0)"};

std::size_t kindOf(FittedQuantity quantity) {
    switch (quantity) {
    case FittedQuantity::Tilt:
    case FittedQuantity::Ellipticity:
        return 0;
    case FittedQuantity::LogRho:
        return 1;
    case FittedQuantity::Phase:
        return 2;
    }
    return 0;
}

} // namespace

InversionPicture::InversionPicture(const ProfileData& data, const InversionResult& result,
                                   const InversionFit& fit, const std::vector<Borehole>& boreholes,
                                   QGraphicsItem* parent)
    : QGraphicsWidget(parent), section_(new ResistivitySectionChart) {
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    section_->setTitle(QStringLiteral("Inversion section, profile %1 (RMS %2)")
                           .arg(data.profile)
                           .arg(QString::fromStdString(formatPattern(fit.rms, 2))));
    section_->setSection(result.mesh, result.log10Resistivity, cellsSeen(result, fit.sensitivity),
                         data.stations);
    section_->setTopography(data.topography);
    section_->showWholeRange();
    std::vector<Borehole> here;
    std::ranges::copy_if(boreholes, std::back_inserter(here),
                         [&](const Borehole& hole) { return hole.profile == data.profile; });
    boreholes_ = new BoreholeMarks(
        *section_, std::move(here),
        [this](double log10Resistivity) { return section_->scale().colour(log10Resistivity); },
        [this](double station, double depth) { return section_->drawnY(station, depth); });
    layout->addItem(section_);
    layout->setStretchFactor(section_, kSectionShares);

    // A curve per quantity and frequency, in the order the data come.
    std::map<std::pair<FittedQuantity, std::size_t>, FitCurve> curves;
    for (std::size_t i = 0; i < data.data.size(); ++i) {
        const Datum& d = data.data[i];
        FitCurve& curve = curves[{d.quantity, d.frequency}];
        if (curve.title.isEmpty())
            curve = fitCurveOf(d.quantity, data.frequencies[d.frequency], d.frequency > 0);
        const double station = data.stations[d.station];
        curve.addReading(station, d, i);
        curve.computed.emplace_back(station, fit.computed[i]);
    }
    std::array<FitChart*, kKindTitles.size()> byKind{};
    for (auto& [key, curve] : curves) {
        FitChart*& chart = byKind[kindOf(key.first)];
        if (!chart) {
            chart = new FitChart;
            chart->setLeftAxisTitle(QString::fromUtf8(kKindTitles[kindOf(key.first)]));
            if (key.first == FittedQuantity::LogRho) chart->setLogarithmicValues();
        }
        chart->addCurve(std::move(curve));
    }
    for (FitChart* chart : byKind) {
        if (!chart) continue;
        // Said once, above the first, so that the charts keep their height for the curves.
        if (fits_.empty()) chart->setTitle(QStringLiteral("Observed (dots) and computed (lines)"));
        chart->showWholeRange();
        chart->axisX().setRange(section_->axisX().min(), section_->axisX().max());
        layout->addItem(chart);
        layout->setStretchFactor(chart, kCurvesShares);
        fits_.push_back(chart);
    }
    // Where the fit misses: each station's RMS, the stations kept out hollow.
    FitCurve misfit;
    misfit.title = QStringLiteral("Misfit per station (RMS)");
    misfit.colour = QColor(90, 90, 90);
    for (std::size_t s = 0; s < data.stations.size() && s < fit.stationRms.size(); ++s) {
        misfit.observed.emplace_back(data.stations[s], fit.stationRms[s]);
        misfit.errors.push_back(0);
        misfit.excluded.push_back(std::ranges::all_of(
            data.data, [s](const Datum& d) { return d.station != s || d.excluded; }));
    }
    auto* misfitChart = new FitChart;
    misfitChart->setLeftAxisTitle(QStringLiteral("RMS"));
    misfitChart->addCurve(std::move(misfit));
    misfitChart->showWholeRange();
    misfitChart->axisY().setMin(0);
    misfitChart->axisX().setRange(section_->axisX().min(), section_->axisX().max());
    layout->addItem(misfitChart);
    layout->setStretchFactor(misfitChart, kMisfitShares);
    fits_.push_back(misfitChart);

    const std::vector<QChart*> all = charts();
    insets_.resize(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        QChart* chart = all[i];
        insets_[i].own = chart->margins();
        connect(chart, &QChart::plotAreaChanged, this, [this, chart, i](const QRectF& area) {
            // Laid out just now with the margins it has: what its axes take is known.
            if (area.isEmpty()) return;
            Insets& inset = insets_[i];
            const QMargins shown = chart->margins();
            inset.left = area.left() - (shown.left() - inset.own.left());
            inset.right =
                chart->size().width() - area.right() - (shown.right() - inset.own.right());
            inset.known = true;
            alignPlotAreas();
        });
    }
}

std::vector<QChart*> InversionPicture::charts() const {
    std::vector<QChart*> all{section_};
    all.insert(all.end(), fits_.begin(), fits_.end());
    return all;
}

void InversionPicture::alignPlotAreas() {
    if (!std::all_of(insets_.begin(), insets_.end(), [](const Insets& i) { return i.known; }))
        return;
    double left = 0, right = 0;
    for (const Insets& inset : insets_)
        left = std::max(left, inset.left), right = std::max(right, inset.right);
    const std::vector<QChart*> all = charts();
    for (std::size_t i = 0; i < all.size(); ++i) {
        QMargins margins = insets_[i].own;
        margins.setLeft(margins.left() + static_cast<int>(std::lround(left - insets_[i].left)));
        margins.setRight(margins.right() + static_cast<int>(std::lround(right - insets_[i].right)));
        if (margins != all[i]->margins()) all[i]->setMargins(margins);
    }
}

const std::vector<Borehole>& InversionPicture::boreholes() const {
    return boreholes_->boreholes();
}

QString InversionPicture::pictureTitle() const {
    return section_->title();
}

} // namespace veldro
