#include "interpretation/ui/model_view.h"

#include "charts/field_chart.h"
#include "interpretation/model_pictures.h"
#include "interpretation/ui/borehole_marks.h"
#include "interpretation/ui/fit_chart.h"
#include "interpretation/ui/model_charts.h"

#include <QGraphicsLinearLayout>
#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <QMouseEvent>
#include <algorithm>
#include <array>

namespace veldro {

namespace {

// Pixels from a corner that still take it.
constexpr double kReach = 6;
// The smallest width and height the mouse leaves a body, in metres.
constexpr double kSmallest = 0.5;

std::array<SectionPoint, 4> corners(const SectionBox& box) {
    return {{{box.left, box.top},
             {box.right, box.top},
             {box.right, box.bottom},
             {box.left, box.bottom}}};
}

} // namespace

ModelView::ModelView(QWidget* parent)
    : QGraphicsView(parent), picture_(new QGraphicsWidget), curves_(new FitChart),
      section_(new FieldChart), gridSection_(new ModelGridChart), shown_(section_) {
    setScene(new QGraphicsScene(this));
    scene()->addItem(picture_);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate); // the outlines follow the charts
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, picture_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    curves_->setTitle(QStringLiteral("Computed response"));
    curves_->setLeftAxisTitle(QStringLiteral("%"));
    layout->addItem(curves_);
    layout->addItem(section_);
    layout->setStretchFactor(curves_, 1);
    layout->setStretchFactor(section_, 1);
    // Laid out only in place of the field's section.
    gridSection_->setParentItem(picture_);
    gridSection_->hide();
}

void ModelView::showModel(const GroundModel& model, int selected) {
    model_ = model;
    selected_ = selected;
    ShownSection shown = showModelSection(*section_, *gridSection_, model);
    drawn_ = std::move(shown.drawn);
    StationChart* wanted = shown.chart;
    if (wanted != shown_) {
        auto* layout = static_cast<QGraphicsLinearLayout*>(picture_->layout());
        layout->removeItem(shown_);
        shown_->hide();
        layout->addItem(wanted);
        layout->setStretchFactor(wanted, 1);
        wanted->show();
        shown_ = wanted;
    }
    alignWithSection(*curves_, *shown_);
    viewport()->update();
}

void ModelView::setBoreholes(std::vector<Borehole> boreholes) {
    delete boreholes_;
    boreholes_ = new BoreholeMarks(*gridSection_, std::move(boreholes), [this](double log10Rho) {
        return gridSection_->scale().colour(log10Rho);
    });
    viewport()->update();
}

void ModelView::setGridColourEnds(std::optional<std::pair<double, double>> ohmm) {
    gridSection_->setFixedRange(ohmm);
    viewport()->update();
}

void ModelView::showCurves(const GroundModel& model, const std::vector<StationResponse>& responses,
                           const ProfileData& observed) {
    showModelFit(*curves_, model, responses, observed);
    alignWithSection(*curves_, *shown_);
}

QPointF ModelView::scenePoint(SectionPoint point) const {
    return shown_->mapToScene(shown_->mapToPosition(QPointF(point.x, drawn_.drawnY(point.z))));
}

QPointF ModelView::viewPoint(SectionPoint point) const {
    return mapFromScene(scenePoint(point));
}

SectionPoint ModelView::sectionPoint(QPointF at) const {
    const QPointF value = shown_->mapToValue(shown_->mapFromScene(mapToScene(at.toPoint())));
    return {value.x(), drawn_.depthAt(value.y())};
}

void ModelView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    picture_->resize(viewport()->size());
    scene()->setSceneRect(QRectF(QPointF(0, 0), viewport()->size()));
}

int ModelView::cornerAt(QPointF at) const {
    if (selected_ < 0) return -1;
    const auto all = corners(boundingBox(model_.bodies[static_cast<std::size_t>(selected_)]));
    for (std::size_t i = 0; i < all.size(); ++i) {
        const QPointF offset = viewPoint(all[i]) - at;
        if (std::abs(offset.x()) <= kReach && std::abs(offset.y()) <= kReach)
            return static_cast<int>(i);
    }
    return -1;
}

int ModelView::bodyAt(SectionPoint point) const {
    // The last painted lies on top; the grid's cells are not for the mouse.
    for (std::size_t i = model_.bodies.size(); i-- > model_.gridCells();)
        if (bodyContains(model_.bodies[i], point)) return static_cast<int>(i);
    return -1;
}

SectionBox ModelView::draggedBox(SectionPoint to) const {
    SectionBox box = startBox_;
    if (drag_ == Drag::Move) {
        // Moved whole, kept below the surface.
        const double dx = to.x - dragStart_.x;
        const double dz = std::max(to.z - dragStart_.z, -box.top);
        return {box.left + dx, box.top + dz, box.right + dx, box.bottom + dz};
    }
    const bool left = corner_ == 0 || corner_ == 3, top = corner_ == 0 || corner_ == 1;
    if (left)
        box.left = std::min(to.x, box.right - kSmallest);
    else
        box.right = std::max(to.x, box.left + kSmallest);
    if (top)
        box.top = std::clamp(to.z, 0.0, box.bottom - kSmallest);
    else
        box.bottom = std::max(to.z, box.top + kSmallest);
    return box;
}

void ModelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF at = event->position();
    const SectionPoint point = sectionPoint(at);
    corner_ = cornerAt(at);
    if (corner_ < 0) {
        const int body = bodyAt(point);
        if (body != selected_) emit bodyPicked(body);
        selected_ = body;
    }
    if (selected_ < 0) return;
    drag_ = corner_ < 0 ? Drag::Move : Drag::Stretch;
    dragStart_ = point;
    startBox_ = boundingBox(model_.bodies[static_cast<std::size_t>(selected_)]);
}

void ModelView::mouseMoveEvent(QMouseEvent* event) {
    if (drag_ == Drag::None) {
        setCursor(cornerAt(event->position()) >= 0 ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
        return;
    }
    emit bodyDragged(selected_, draggedBox(sectionPoint(event->position())));
}

void ModelView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || drag_ == Drag::None) return;
    drag_ = Drag::None;
    emit dragEnded();
}

void ModelView::drawForeground(QPainter* painter, const QRectF& /*rect*/) {
    painter->save();
    painter->setClipRect(shown_->mapRectToScene(shown_->plotArea()));
    painter->setBrush(Qt::NoBrush);
    for (std::size_t i = model_.gridCells(); i < model_.bodies.size(); ++i) {
        QPolygonF outline;
        for (const SectionPoint& point : model_.bodies[i].polygon) outline << scenePoint(point);
        const bool picked = static_cast<int>(i) == selected_;
        painter->setPen(QPen(picked ? Qt::red : Qt::black, picked ? 2 : 1));
        painter->drawPolygon(outline);
    }
    if (selected_ >= 0) {
        painter->setPen(QPen(Qt::red, 1));
        painter->setBrush(Qt::white);
        for (const SectionPoint& corner :
             corners(boundingBox(model_.bodies[static_cast<std::size_t>(selected_)]))) {
            const QPointF at = scenePoint(corner);
            painter->drawRect(QRectF(at - QPointF(kReach / 2, kReach / 2), QSizeF(kReach, kReach)));
        }
    }
    painter->restore();
}

} // namespace veldro
