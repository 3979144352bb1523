#include "charts/graph_chart.h"

#include "charts/curve_layer.h"
#include "processing/fraser_walk.h"

#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsSceneResizeEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace veldro {

namespace {

// Distinct on white and in print; neighbours differ in hue and lightness.
const std::array<QColor, 12> kCurveColours{{
    QColor(0, 90, 181),
    QColor(220, 50, 32),
    QColor(0, 140, 60),
    QColor(230, 140, 0),
    QColor(120, 60, 170),
    QColor(0, 160, 170),
    QColor(160, 30, 110),
    QColor(110, 110, 0),
    QColor(90, 90, 90),
    QColor(200, 90, 150),
    QColor(30, 60, 110),
    QColor(150, 80, 30),
}};

constexpr double kLineWidth = 1.5;

// Frequency number 1 solid, 2 dashed.
Qt::PenStyle lineStyle(int frequencyNumber) {
    return frequencyNumber == 2 ? Qt::DashLine : Qt::SolidLine;
}

} // namespace

GraphChart::GraphChart() : layer_(new CurveLayer(*this)) {
    setLeftAxisTitle(QStringLiteral("Values"));
    legend()->setAlignment(Qt::AlignRight);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    QFont small = legend()->font();
    small.setPointSize(8);
    legend()->setFont(small);
    for (int row = 0; row < kLegendRows; ++row) {
        auto* series = new QLineSeries;
        addSeries(series);
        legendRows_.push_back(series);
    }
    for (QLegendMarker* marker : legend()->markers()) {
        if (marker->series() == &frame())
            marker->setVisible(false);
        else
            legendMarkers_.push_back(marker);
    }
    updateLegend();

    for (QValueAxis* axis : {&axisX(), &axisY()})
        connect(axis, &QValueAxis::rangeChanged, this, [this] { layer_->update(); });
    connect(this, &QChart::plotAreaChanged, this,
            [this](const QRectF& area) { layer_->follow(area); });
}

GraphChart::~GraphChart() = default;

void GraphChart::addCurve(const FraserRun& run) {
    Curve curve;
    curve.title = QString::fromStdString(run.title);
    curve.profile = run.profile;
    curve.frequencyNumber = run.frequencyNumber;
    curves_.push_back(std::move(curve));
}

void GraphChart::markCurveUsed(int curve) {
    curveAt(curve).used = true;
}

void GraphChart::addPoint(int curve, double x, double y, bool marked) {
    Curve& c = curveAt(curve);
    if (c.points.isEmpty()) {
        c.left = c.right = x;
        c.bottom = c.top = y;
    } else {
        c.left = std::min(c.left, x);
        c.right = std::max(c.right, x);
        c.bottom = std::min(c.bottom, y);
        c.top = std::max(c.top, y);
    }
    c.points.append(QPointF(x, y));
    if (marked) {
        c.marked.append(QPointF(x, y));
        ++markedCount_;
    }
}

void GraphChart::clearCurves() {
    curves_.clear();
    markedCount_ = 0;
}

void GraphChart::setVisibleCurves(const std::vector<bool>& visible) {
    for (std::size_t i = 0; i < curves_.size(); ++i)
        curves_[i].visible = i < visible.size() && visible[i] && !curves_[i].points.isEmpty();
    const std::vector<int> profiles = profilesShown();
    for (Curve& curve : curves_)
        curve.colour = static_cast<int>(
            (std::lower_bound(profiles.begin(), profiles.end(), curve.profile) - profiles.begin()) %
            static_cast<std::ptrdiff_t>(kCurveColours.size()));
    updateLegend();
    if (!isZoomed()) fitAxesToVisibleCurves();
    layer_->update();
}

void GraphChart::showWholeRange() {
    resetZoom();
    fitAxesToVisibleCurves();
}

void GraphChart::setLogarithmicValues() {
    if (logAxis_) return;
    logAxis_ = new QLogValueAxis;
    logAxis_->setBase(10);
    logAxis_->setLabelFormat(QStringLiteral("%g"));
    logAxis_->setMinorTickCount(-1);
    logAxis_->setTitleText(leftAxisTitle());
    logAxis_->setGridLineColor(axisY().gridLineColor());
    logAxis_->setMinorGridLineColor(QColor(240, 240, 240));
    frame().detachAxis(&axisY());
    removeAxis(&axisY());
    axisY().setParent(this); // kept for its title, and freed with the chart
    addAxis(logAxis_, Qt::AlignLeft);
    frame().attachAxis(logAxis_);
    connect(logAxis_, &QLogValueAxis::rangeChanged, this, [this] { layer_->update(); });
    fitAxesToVisibleCurves();
}

QRectF GraphChart::plottedRange() const {
    const double low = logAxis_ ? std::log10(logAxis_->min()) : axisY().min();
    const double high = logAxis_ ? std::log10(logAxis_->max()) : axisY().max();
    return {axisX().min(), low, axisX().max() - axisX().min(), high - low};
}

// On the logarithmic axis, log10 of the values; a value not above zero has
// no place there and is left out.
QPolygonF GraphChart::plotted(const QList<QPointF>& points) const {
    if (!logAxis_) return QPolygonF(points);
    QPolygonF logarithms;
    logarithms.reserve(points.size());
    for (QPointF point : points)
        if (point.y() > 0) logarithms.append({point.x(), std::log10(point.y())});
    return logarithms;
}

void GraphChart::fitAxesToVisibleCurves() {
    const Curve* first = nullptr;
    double left = 0, right = 0, bottom = 0, top = 0;
    for (const Curve& curve : curves_) {
        if (!curve.visible) continue;
        left = first ? std::min(left, curve.left) : curve.left;
        right = first ? std::max(right, curve.right) : curve.right;
        bottom = first ? std::min(bottom, curve.bottom) : curve.bottom;
        top = first ? std::max(top, curve.top) : curve.top;
        first = &curve;
    }
    if (!first) return;
    setAxisRange(axisX(), left, right);
    if (!logAxis_) {
        setAxisRange(axisY(), bottom, top);
        return;
    }
    // Whole decades around the values above zero.
    double smallest = 0;
    for (const Curve& curve : curves_)
        if (curve.visible)
            for (QPointF point : curve.points)
                if (point.y() > 0 && (smallest == 0 || point.y() < smallest)) smallest = point.y();
    if (smallest == 0) return;
    logAxis_->setRange(std::pow(10.0, std::floor(std::log10(smallest))),
                       std::pow(10.0, std::ceil(std::log10(std::max(top, smallest) * 1.0000001))));
}

void GraphChart::resizeEvent(QGraphicsSceneResizeEvent* event) {
    QChart::resizeEvent(event);
    updateLegend();
}

// Rows of the legend that fit in the chart's height: the chart's and the
// legend's layout margins taken off, a row being its text's height with 4
// pixels above and below, as Qt Charts lays out its markers. A legend above
// or below the chart has a row for every curve: its entries share rows.
int GraphChart::legendRows() const {
    if (legend()->alignment() & (Qt::AlignTop | Qt::AlignBottom)) return kLegendRows;
    qreal left = 0, chartTop = 0, right = 0, chartBottom = 0, legendTop = 0, legendBottom = 0;
    layout()->getContentsMargins(&left, &chartTop, &right, &chartBottom);
    legend()->layout()->getContentsMargins(&left, &legendTop, &right, &legendBottom);
    const double room = size().height() - margins().top() - margins().bottom() - chartTop -
                        chartBottom - legendTop - legendBottom;
    const double row = std::ceil(QFontMetricsF(legend()->font()).height()) + 8;
    return std::clamp(static_cast<int>(room / row), 1, kLegendRows);
}

QPen GraphChart::curvePen(int curve) const {
    const Curve& c = curveAt(curve);
    return QPen(kCurveColours[static_cast<std::size_t>(c.colour)], kLineWidth,
                lineStyle(c.frequencyNumber));
}

std::vector<int> GraphChart::profilesShown() const {
    std::set<int> profiles;
    for (const Curve& curve : curves_)
        if (curve.visible) profiles.insert(curve.profile);
    return {profiles.begin(), profiles.end()};
}

void GraphChart::setLegendRow(std::size_t row, const QString& name, const QPen& pen) {
    legendRows_[row]->setName(name);
    legendRows_[row]->setPen(pen);
    legendMarkers_[row]->setVisible(true);
}

// A row per visible curve when they fit; else a row per profile in its
// colour and per frequency number in its style, the profiles that do not
// fit named in the last profile row.
void GraphChart::updateLegend() {
    std::vector<int> visible;
    std::set<int> frequencyNumbers;
    for (std::size_t i = 0; i < curves_.size(); ++i)
        if (curves_[i].visible) {
            visible.push_back(static_cast<int>(i));
            frequencyNumbers.insert(curves_[i].frequencyNumber);
        }
    const std::size_t rows = static_cast<std::size_t>(legendRows());
    std::size_t row = 0;
    if (visible.size() <= rows) {
        for (int curve : visible) setLegendRow(row++, curveTitle(curve), curvePen(curve));
    } else {
        const std::vector<int> profiles = profilesShown();
        const std::size_t room = std::max<std::size_t>(rows, 3) - frequencyNumbers.size();
        const auto name = [](int profile) { return QStringLiteral("Prof%1").arg(profile); };
        for (std::size_t p = 0; p < profiles.size() && row < room; ++p) {
            if (row + 1 == room && p + 1 < profiles.size()) {
                setLegendRow(row++,
                             name(profiles[p]) + QStringLiteral(" to ") + name(profiles.back()),
                             QPen(Qt::transparent));
                break;
            }
            setLegendRow(row++, name(profiles[p]),
                         QPen(kCurveColours[p % kCurveColours.size()], kLineWidth));
        }
        for (int number : frequencyNumbers)
            setLegendRow(row++, QStringLiteral("Freq%1").arg(number),
                         QPen(Qt::darkGray, kLineWidth, lineStyle(number)));
    }
    for (; row < legendRows_.size(); ++row) legendMarkers_[row]->setVisible(false);
}

QStringList GraphChart::legendTitles() const {
    QStringList titles;
    for (std::size_t row = 0; row < legendRows_.size(); ++row)
        if (legendMarkers_[row]->isVisible()) titles << legendRows_[row]->name();
    return titles;
}

// Whole runs of profile numbers read "1 to 5"; a few others are listed.
QString GraphChart::pictureTitle() const {
    QStringList curves;
    std::set<int> frequencyNumbers;
    for (const Curve& curve : curves_)
        if (curve.visible) {
            if (!curves.contains(curve.title)) curves << curve.title;
            frequencyNumbers.insert(curve.frequencyNumber);
        }
    QString shown;
    if (curves.size() <= 4) {
        shown = curves.join(QStringLiteral(", "));
    } else {
        const std::vector<int> profiles = profilesShown();
        const int first = profiles.front(), last = profiles.back();
        QString which;
        if (profiles.size() == 1) {
            which = QStringLiteral("profile %1").arg(first);
        } else if (last - first + 1 == static_cast<int>(profiles.size())) {
            which = QStringLiteral("profiles %1 to %2").arg(first).arg(last);
        } else if (profiles.size() <= 8) {
            QStringList numbers;
            for (int profile : profiles) numbers << QString::number(profile);
            which = QStringLiteral("profiles ") + numbers.join(QStringLiteral(", "));
        } else {
            which = QStringLiteral("%1 profiles from %2 to %3")
                        .arg(profiles.size())
                        .arg(first)
                        .arg(last);
        }
        QStringList frequencies;
        for (int number : frequencyNumbers) frequencies << QStringLiteral("Freq%1").arg(number);
        shown = which + QStringLiteral(", ") + frequencies.join(QStringLiteral(" and "));
    }
    return shown.isEmpty() ? leftAxisTitle() : leftAxisTitle() + QStringLiteral(": ") + shown;
}

} // namespace veldro
