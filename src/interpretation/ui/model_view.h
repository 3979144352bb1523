#pragma once

#include "interpretation/body_shape.h"
#include "interpretation/forward.h"
#include "interpretation/inversion_prior.h"
#include "interpretation/model_pictures.h"

#include <QGraphicsView>
#include <QPointF>
#include <optional>
#include <utility>
#include <vector>

class QGraphicsWidget;

namespace veldro {

class BoreholeMarks;
class FieldChart;
class FitChart;
class ModelGridChart;
class StationChart;

// The model window's picture: the computed curves (with a profile's observed
// data as dots with error bars) above the model's section,
// each station at the same place on both, the bodies outlined over the
// section. A body is picked and dragged with the mouse, or stretched by a
// corner of the picked body's box. A model holding an inverted grid is drawn
// as the inversion draws its section, in ohm.m; the grid is one thing, which
// the mouse neither picks nor moves.
class ModelView : public QGraphicsView {
    Q_OBJECT
public:
    explicit ModelView(QWidget* parent = nullptr);

    // Both charts laid out together, as saved and printed.
    QGraphicsWidget& picture() const { return *picture_; }
    // The section shown: the grid's for a model with a grid, else the field's.
    StationChart& section() const { return *shown_; }
    ModelGridChart& gridSection() const { return *gridSection_; }
    FitChart& curves() const { return *curves_; }

    // The model's section and outlines; the body `selected` (or -1) with its corners.
    void showModel(const GroundModel& model, int selected);
    // The grid's colours between fixed ends (ohm.m), as the inversion's
    // picture has them; nothing: from its cells.
    void setGridColourEnds(std::optional<std::pair<double, double>> ohmm);
    // Boreholes drawn on the grid's section, as on the inversion's.
    void setBoreholes(std::vector<Borehole> boreholes);
    void showCurves(const GroundModel& model, const std::vector<StationResponse>& responses,
                    const ProfileData& observed);

    // Where a point of the section lies on the view, and back.
    QPointF viewPoint(SectionPoint point) const;
    SectionPoint sectionPoint(QPointF at) const;
    // Where it lies on the scene the charts are laid out on.
    QPointF scenePoint(SectionPoint point) const;

signals:
    void bodyPicked(int body); // -1: none
    // The body dragged to (or stretched into) `box`, depth 0 or more.
    void bodyDragged(int body, veldro::SectionBox box);
    // The mouse let go of the body it dragged.
    void dragEnded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    enum class Drag { None, Move, Stretch };

    // The corner of the picked body's box within reach of `at` (0 top left,
    // clockwise), or -1.
    int cornerAt(QPointF at) const;
    int bodyAt(SectionPoint point) const;
    SectionBox draggedBox(SectionPoint to) const;

    QGraphicsWidget* picture_;
    FitChart* curves_;
    FieldChart* section_;
    ModelGridChart* gridSection_;
    StationChart* shown_; // one of the two sections, the one laid out
    BoreholeMarks* boreholes_ = nullptr;
    GroundModel model_;
    ModelSection drawn_;
    int selected_ = -1;
    Drag drag_ = Drag::None;
    int corner_ = -1;
    SectionPoint dragStart_;
    SectionBox startBox_;
};

} // namespace veldro
