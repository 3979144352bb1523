#include "interpretation/ui/resistivity_section_chart.h"

#include "charts/colour_scale.h"
#include "charts/plot_area_item.h"
#include "interpretation/terrain.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

namespace veldro {

namespace {

// Conductive to resistive.
const std::array<QColor, 10> kColours{{
    QColor(140, 0, 30),
    QColor(215, 48, 39),
    QColor(244, 109, 67),
    QColor(253, 174, 97),
    QColor(240, 220, 80),
    QColor(150, 205, 100),
    QColor(60, 170, 110),
    QColor(50, 160, 190),
    QColor(45, 110, 190),
    QColor(40, 50, 140),
}};
// What a cell the data do not see fades toward, and how far at most.
const QColor kFaded(228, 228, 228);
constexpr double kMostFading = 0.85;

// The colour bar's ticks' length; the station ticks' length.
constexpr double kTick = 4;
constexpr double kStationTick = 6;
// Above the highest station, a share of the section's height.
constexpr double kAir = 0.05;

int mix(int a, int b, double t) {
    return static_cast<int>(std::lround(a + (b - a) * t));
}

QColor mixed(const QColor& a, const QColor& b, double t) {
    return {mix(a.red(), b.red(), t), mix(a.green(), b.green(), t), mix(a.blue(), b.blue(), t)};
}

// log10 of the round value (1, 2 or 5 times a power of ten) at or below
// (`up` false) or at or above 10^log10Value.
double roundEnd(double log10Value, bool up) {
    const double decade = std::floor(log10Value);
    const double leading = std::pow(10.0, log10Value - decade);
    constexpr std::array steps{1.0, 2.0, 5.0, 10.0};
    // A hair of tolerance, so that 100 is not taken for 100.000000001.
    if (up) {
        for (double s : steps)
            if (s >= leading * (1 - 1e-12)) return decade + std::log10(s);
    }
    double chosen = 1;
    for (double s : steps)
        if (s <= leading * (1 + 1e-12)) chosen = s;
    return decade + std::log10(chosen);
}

} // namespace

ResistivityScale ResistivityScale::covering(double lowestLog10, double highestLog10) {
    ResistivityScale scale;
    scale.lowest_ = roundEnd(lowestLog10, false);
    scale.highest_ = roundEnd(highestLog10, true);
    if (scale.highest_ - scale.lowest_ < 1e-9) {
        scale.lowest_ = roundEnd(lowestLog10 - 0.3, false);
        scale.highest_ = roundEnd(highestLog10 + 0.3, true);
    }
    return scale;
}

QRgb ResistivityScale::colour(double log10Resistivity) const {
    const double t = std::clamp((log10Resistivity - lowest_) / (highest_ - lowest_), 0.0, 1.0);
    const double place = t * (kColours.size() - 1);
    const std::size_t low = std::min(static_cast<std::size_t>(place), kColours.size() - 2);
    return mixed(kColours[low], kColours[low + 1], place - static_cast<double>(low)).rgb();
}

// The cells, the surface under hills, and the stations' ticks on it.
class SectionCells : public PlotAreaItem {
public:
    explicit SectionCells(ResistivitySectionChart& chart) : PlotAreaItem(chart), chart_(chart) {}

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const InversionMesh& mesh = chart_.mesh_;
        if (!drawable() || mesh.x.size() < 2) return;
        painter->save();
        painter->setClipRect(area());
        // Edge to edge without smoothing, so that no seam shows between cells.
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(Qt::NoPen);
        for (std::size_t r = 0; r < mesh.rows(); ++r)
            for (std::size_t c = 0; c < mesh.columns(); ++c) {
                QPolygonF cell;
                for (const SectionPoint& corner : terrainCell(
                         chart_.topography_, mesh.x[c], mesh.x[c + 1], mesh.z[r], mesh.z[r + 1]))
                    cell << place({corner.x, chart_.datumY(corner.z)});
                if (!cell.boundingRect().intersects(area())) continue;
                painter->setBrush(QColor(chart_.cellColour(r * mesh.columns() + c)));
                painter->drawPolygon(cell);
            }
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Qt::black, 1.5));
        if (chart_.datum_) {
            const SurfaceOverColumn across(chart_.topography_, mesh.x.front(), mesh.x.back());
            QPolygonF surface;
            for (const SurfaceOverColumn::Knot& knot : across.knots())
                surface << place({knot.x, chart_.datumY(knot.depth)});
            painter->drawPolyline(surface);
        }
        for (double station : chart_.stations_) {
            const QPointF at = place({station, chart_.drawnY(station, 0)});
            painter->drawLine(at, at + QPointF(0, kStationTick));
        }
        painter->restore();
    }

private:
    const ResistivitySectionChart& chart_;
};

// The colour bar beside the plot area, as tall as it, labelled in ohm.m at
// round values; and below the axis, what a faded cell means.
class ResistivityBar : public PlotAreaItem {
public:
    explicit ResistivityBar(ResistivitySectionChart& chart) : PlotAreaItem(chart), chart_(chart) {}

    QRectF boundingRect() const override { return chart_.rect(); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QRectF plot = area();
        if (plot.isEmpty() || chart_.log10Resistivity_.empty()) return;
        const ResistivityScale& scale = chart_.scale_;
        const QRectF bar(plot.right() + kColourBarGap, plot.top(), kColourBarWidth, plot.height());
        QLinearGradient colours;
        for (std::size_t k = 0; k < kColours.size(); ++k)
            colours.setColorAt(static_cast<double>(k) / (kColours.size() - 1), kColours[k]);
        painter->save();
        paintColourBar(*painter, bar, colours, chart_.axisX().labelsColor());
        painter->setFont(chart_.axisX().labelsFont());
        const QFontMetricsF metrics(painter->font());
        const std::vector<double> ticks = scale.ticks();
        std::vector<double> heights;
        heights.reserve(ticks.size());
        for (double tick : ticks)
            heights.push_back(bar.bottom() - (std::log10(tick) - scale.lowest()) /
                                                 (scale.highest() - scale.lowest()) * bar.height());
        const std::size_t stride = labelStride(heights, metrics.height());
        double widest = 0;
        for (std::size_t i = 0; i < ticks.size(); i += stride) {
            const double y = heights[i];
            painter->drawLine(QPointF(bar.right(), y), QPointF(bar.right() + kTick, y));
            const QString label = roundValueText(ticks[i]);
            widest = std::max(widest, metrics.horizontalAdvance(label));
            painter->drawText(QPointF(bar.right() + 2 * kTick, y + metrics.ascent() / 2 - 1),
                              label);
        }
        painter->setFont(chart_.axisY().titleFont());
        painter->save();
        const QString title = QStringLiteral("Resistivity (ohm.m)");
        painter->translate(bar.right() + 2 * kTick + widest + kColourBarGap, bar.center().y());
        painter->rotate(90);
        painter->drawText(QPointF(-QFontMetricsF(painter->font()).horizontalAdvance(title) / 2, 0),
                          title);
        painter->restore();

        // The note: a swatch faded as far as cells go, and its meaning.
        painter->setFont(chart_.axisX().labelsFont());
        const double line = metrics.height();
        const QRectF swatch(plot.left(), chart_.rect().bottom() - chart_.margins().bottom() + 2,
                            line * 1.5, line - 2);
        painter->fillRect(swatch, QColor(kFaded));
        painter->drawRect(swatch);
        painter->drawText(QPointF(swatch.right() + 6, swatch.top() + metrics.ascent() - 1),
                          QStringLiteral("Faded: cells the data hardly see"));
        painter->restore();
    }

private:
    const ResistivitySectionChart& chart_;
};

ResistivitySectionChart::ResistivitySectionChart()
    : cells_(new SectionCells(*this)), bar_(new ResistivityBar(*this)) {
    legend()->hide();
    setLeftAxisTitle(QStringLiteral("Depth (m)"));
    axisY().setReverse(true);
}

ResistivitySectionChart::~ResistivitySectionChart() = default;

void ResistivitySectionChart::setSection(InversionMesh mesh, std::vector<double> log10Resistivity,
                                         std::vector<double> sensitivity,
                                         std::vector<double> stations) {
    mesh_ = std::move(mesh);
    log10Resistivity_ = std::move(log10Resistivity);
    sensitivity_ = std::move(sensitivity);
    stations_ = std::move(stations);
    rescale();
}

std::pair<double, double> seenLog10Range(const std::vector<double>& log10Resistivity,
                                         const std::vector<double>& sensitivity) {
    // The others take the end colours.
    double lowest = INFINITY, highest = -INFINITY;
    for (std::size_t i = 0; i < log10Resistivity.size(); ++i)
        if (sensitivity[i] >= ResistivitySectionChart::kSeen) {
            lowest = std::min(lowest, log10Resistivity[i]);
            highest = std::max(highest, log10Resistivity[i]);
        }
    if (lowest > highest && !log10Resistivity.empty()) {
        const auto [low, high] =
            std::minmax_element(log10Resistivity.begin(), log10Resistivity.end());
        lowest = *low, highest = *high;
    }
    return {lowest, highest};
}

void ResistivitySectionChart::setFixedRange(std::optional<std::pair<double, double>> ohmm) {
    fixedRange_ = ohmm;
    rescale();
}

void ResistivitySectionChart::rescale() {
    if (fixedRange_) {
        scale_ = ResistivityScale::covering(std::log10(fixedRange_->first),
                                            std::log10(fixedRange_->second));
    } else {
        const auto [lowest, highest] = seenLog10Range(log10Resistivity_, sensitivity_);
        scale_ = ResistivityScale::covering(lowest, highest);
    }
    makeRoom();
    cells_->update();
    bar_->update();
}

QRgb ResistivitySectionChart::cellColour(std::size_t cell) const {
    const QColor colour(scale_.colour(log10Resistivity_[cell]));
    const double seen = sensitivity_[cell];
    if (seen >= kSeen) return colour.rgb();
    return mixed(colour, kFaded, kMostFading * (1 - seen / kSeen)).rgb();
}

void ResistivitySectionChart::setTopography(std::vector<TerrainPoint> topography) {
    topography_ = std::move(topography);
    datum_.reset();
    if (hasRelief(topography_)) datum_ = datumElevation(topography_);
    setLeftAxisTitle(datum_ ? QStringLiteral("Elevation (m)") : QStringLiteral("Depth (m)"));
    axisY().setReverse(!datum_);
    cells_->update();
}

double ResistivitySectionChart::drawnY(double x, double depth) const {
    return datumY(surfaceDepth(topography_, x) + depth);
}

void ResistivitySectionChart::makeRoom() {
    const QFontMetricsF labels(axisX().labelsFont());
    double widest = 0;
    for (double tick : scale_.ticks())
        widest = std::max(widest, labels.horizontalAdvance(roundValueText(tick)));
    const double title = QFontMetricsF(axisY().titleFont()).height();
    QMargins room = margins();
    room.setRight(static_cast<int>(
        std::ceil(kColourBarGap + kColourBarWidth + 2 * kTick + widest + kColourBarGap + title)));
    room.setBottom(static_cast<int>(std::ceil(labels.height() + 8)));
    setMargins(room);
}

void ResistivitySectionChart::showWholeRange() {
    resetZoom();
    if (stations_.empty() || mesh_.z.size() < 2) return;
    setAxisRange(axisX(), stations_.front(), stations_.back());
    if (datum_) {
        // Some air above the highest station, so that the surface shows
        // whole; down to a round elevation above the bottom of the cells
        // under it, so that no empty band shows below them.
        const double bottom =
            *datum_ -
            SurfaceOverColumn(topography_, stations_.front(), stations_.back()).shallowest() -
            mesh_.z.back();
        setAxisRange(axisY(), bottom, *datum_ + kAir * (*datum_ - bottom));
        const double step = axisY().tickInterval();
        const double low = std::ceil(bottom / step) * step;
        if (low < *datum_) axisY().setRange(low, axisY().max());
        return;
    }
    // Down to a round depth within the mesh, so that no empty band shows below it.
    const double bottom = mesh_.z.back();
    setAxisRange(axisY(), 0, bottom);
    const double step = axisY().tickInterval();
    if (std::floor(bottom / step) > 0) axisY().setRange(0, std::floor(bottom / step) * step);
}

} // namespace veldro
