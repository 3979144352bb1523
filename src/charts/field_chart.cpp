#include "charts/field_chart.h"

#include "data/number_text.h"

#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

// Larger pictures (a poster print) get their cells stretched from this many pixels.
constexpr int kLargestImageSide = 4096;
constexpr double kDotSize = 3;
// The colour bar: its gap from the plot area, its width, the ticks' length.
constexpr double kTick = 4;

QString tickLabel(double value, int decimals) {
    return QString::fromStdString(formatPattern(value, decimals));
}

double widestTickLabel(const DivergingScale& scale, const QFont& font) {
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (double tick : scale.ticks())
        widest = std::max(widest, metrics.horizontalAdvance(tickLabel(tick, scale.tickDecimals())));
    return widest;
}

} // namespace

// The colours' key beside the plot area, as tall as it: the gradient with
// ticks and labels at -L, -L/2, 0, L/2 and L, and the values' title.
class ColourBar : public QGraphicsItem {
public:
    explicit ColourBar(FieldChart& chart) : QGraphicsItem(&chart), chart_(chart) {}

    // The chart's right margin, with room above and below for the end labels.
    QRectF boundingRect() const override {
        return {area_.right(), area_.top() - 20, chart_.margins().right() + 20.0,
                area_.height() + 40};
    }

    void follow(const QRectF& area) {
        prepareGeometryChange();
        area_ = area;
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QRectF& area = area_;
        if (area.isEmpty() || chart_.field_.empty()) return;
        const QRectF bar(area.right() + kColourBarGap, area.top(), kColourBarWidth, area.height());
        painter->save();
        paintColourBar(*painter, bar, chart_.scale_.gradient(), chart_.axisX().labelsColor());
        painter->setFont(chart_.axisX().labelsFont());
        const QFontMetricsF metrics(painter->font());
        const DivergingScale& scale = chart_.scale_;
        for (double tick : scale.ticks()) {
            const double y =
                bar.bottom() - (tick + scale.limit()) / (2 * scale.limit()) * bar.height();
            painter->drawLine(QPointF(bar.right(), y), QPointF(bar.right() + kTick, y));
            painter->drawText(QPointF(bar.right() + 2 * kTick, y + metrics.ascent() / 2 - 1),
                              tickLabel(tick, scale.tickDecimals()));
        }
        // The title reads downwards along the right edge, beyond the labels.
        const double labels = widestTickLabel(scale, painter->font());
        painter->setFont(chart_.axisY().titleFont());
        const QFontMetricsF titleMetrics(painter->font());
        painter->translate(bar.right() + 2 * kTick + labels + kColourBarGap, bar.center().y());
        painter->rotate(90);
        painter->drawText(QPointF(-titleMetrics.horizontalAdvance(chart_.valueTitle_) / 2, 0),
                          chart_.valueTitle_);
        painter->restore();
    }

private:
    FieldChart& chart_;
    QRectF area_;
};

// Draws the cells and the dots over the plot area. The cells are sampled once
// per device pixel and kept until the area, the ranges or the field change.
class FieldLayer : public QGraphicsItem {
public:
    explicit FieldLayer(FieldChart& chart) : QGraphicsItem(&chart), chart_(chart) {
        // Over the grid and the axes.
        setZValue(50);
    }

    QRectF boundingRect() const override { return area_; }

    void follow(const QRectF& area) {
        prepareGeometryChange();
        area_ = area;
    }

    void fieldChanged() {
        cells_ = QImage();
        update();
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QValueAxis& x = chart_.axisX();
        const QValueAxis& y = chart_.axisY();
        if (area_.isEmpty() || x.max() <= x.min() || y.max() <= y.min()) return;
        painter->save();
        painter->setClipRect(area_);
        const QSizeF device = painter->deviceTransform().mapRect(area_).size();
        const QSize pixels(
            std::clamp(static_cast<int>(std::ceil(device.width())), 1, kLargestImageSide),
            std::clamp(static_cast<int>(std::ceil(device.height())), 1, kLargestImageSide));
        const Ranges ranges{x.min(), x.max(), y.min(), y.max(), y.isReverse()};
        if (cells_.size() != pixels || !(ranges == ranges_)) {
            ranges_ = ranges;
            cells_ = sampleCells(pixels);
        }
        painter->drawImage(area_, cells_);
        const double size = dotSize();
        if (!chart_.dots_.isEmpty() && size >= 1) {
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(Qt::black, size, Qt::SolidLine, Qt::RoundCap));
            QPolygonF at(chart_.dots_.size());
            std::transform(chart_.dots_.begin(), chart_.dots_.end(), at.begin(),
                           [this](QPointF value) { return place(value); });
            painter->drawPoints(at);
        }
        if (!chart_.outline_.isEmpty()) {
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(Qt::black, 1.5));
            QPolygonF at(chart_.outline_.size());
            std::transform(chart_.outline_.begin(), chart_.outline_.end(), at.begin(),
                           [this](QPointF value) { return place(value); });
            painter->drawPolyline(at);
        }
        painter->restore();
    }

private:
    struct Ranges {
        double left = 0, right = 0, low = 0, high = 0;
        bool downwards = false;
        bool operator==(const Ranges&) const = default;
    };

    // At most half the distance between rows of dots on screen.
    double dotSize() const {
        if (chart_.dotRowStep_ <= 0) return kDotSize;
        const double gap = chart_.dotRowStep_ * area_.height() / (ranges_.high - ranges_.low);
        return std::min(kDotSize, gap / 2);
    }

    // The plot area's point of a value.
    QPointF place(QPointF value) const {
        const double u = (value.x() - ranges_.left) / (ranges_.right - ranges_.left);
        double v = (value.y() - ranges_.low) / (ranges_.high - ranges_.low);
        if (!ranges_.downwards) v = 1 - v;
        return {area_.left() + u * area_.width(), area_.top() + v * area_.height()};
    }

    // The value at the middle of each pixel, top row first.
    QImage sampleCells(QSize pixels) const {
        std::vector<double> xs(static_cast<std::size_t>(pixels.width()));
        std::vector<double> ys(static_cast<std::size_t>(pixels.height()));
        for (std::size_t c = 0; c < xs.size(); ++c)
            xs[c] = ranges_.left + (static_cast<double>(c) + 0.5) / static_cast<double>(xs.size()) *
                                       (ranges_.right - ranges_.left);
        for (std::size_t r = 0; r < ys.size(); ++r) {
            double v = (static_cast<double>(r) + 0.5) / static_cast<double>(ys.size());
            if (!ranges_.downwards) v = 1 - v;
            ys[r] = ranges_.low + v * (ranges_.high - ranges_.low);
        }
        const std::vector<float> values = chart_.field_.sample(xs, ys);
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        const DivergingScale& scale = chart_.scale_;
        for (int r = 0; r < pixels.height(); ++r) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(r));
            const float* row = values.data() + static_cast<std::size_t>(r) * xs.size();
            for (std::size_t c = 0; c < xs.size(); ++c)
                line[c] = std::isnan(row[c]) ? qRgba(0, 0, 0, 0) : scale.colour(row[c]);
        }
        return image;
    }

    FieldChart& chart_;
    QRectF area_;
    QImage cells_;
    Ranges ranges_;
};

FieldChart::FieldChart() : layer_(new FieldLayer(*this)), bar_(new ColourBar(*this)) {
    legend()->hide();
    for (QValueAxis* axis : {&axisX(), &axisY()})
        connect(axis, &QValueAxis::rangeChanged, this, [this] { layer_->update(); });
    connect(this, &QChart::plotAreaChanged, this, [this](const QRectF& area) {
        layer_->follow(area);
        bar_->follow(area);
    });
}

FieldChart::~FieldChart() = default;

void FieldChart::setDownwards(bool downwards) {
    axisY().setReverse(downwards);
    layer_->fieldChanged();
}

void FieldChart::setField(LayeredField field, const QString& valueTitle) {
    field_ = std::move(field);
    scale_ = DivergingScale::covering(field_.largestMagnitude());
    valueTitle_ = valueTitle;
    layer_->fieldChanged();
    bar_->update();
    makeRoomForColourBar();
}

void FieldChart::makeRoomForColourBar() {
    const double widest = widestTickLabel(scale_, axisX().labelsFont());
    const double title = QFontMetricsF(axisY().titleFont()).height();
    QMargins room = margins();
    room.setRight(static_cast<int>(
        std::ceil(kColourBarGap + kColourBarWidth + 2 * kTick + widest + kColourBarGap + title)));
    setMargins(room);
}

void FieldChart::setDots(QList<QPointF> dots) {
    dots_ = std::move(dots);
    std::vector<double> rows;
    for (QPointF dot : dots_) rows.push_back(dot.y());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    dotRowStep_ = 0;
    for (std::size_t r = 1; r < rows.size(); ++r)
        dotRowStep_ = r == 1 ? rows[1] - rows[0] : std::min(dotRowStep_, rows[r] - rows[r - 1]);
    layer_->update();
}

void FieldChart::setOutline(QList<QPointF> line) {
    outline_ = std::move(line);
    layer_->update();
}

void FieldChart::showWholeRange() {
    resetZoom();
    if (field_.empty() && dots_.isEmpty()) return;
    double left = field_.empty() ? dots_.first().x() : field_.left();
    double right = field_.empty() ? left : field_.right();
    double low = field_.empty() ? dots_.first().y() : field_.bottom();
    double high = field_.empty() ? low : field_.top();
    for (QPointF dot : dots_) {
        left = std::min(left, dot.x());
        right = std::max(right, dot.x());
        low = std::min(low, dot.y());
        high = std::max(high, dot.y());
    }
    // A depth section starts at the surface.
    if (axisY().isReverse()) low = std::min(low, 0.0);
    setAxisRange(axisX(), left, right);
    setAxisRange(axisY(), low, high);
}

} // namespace veldro
