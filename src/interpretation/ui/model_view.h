#pragma once

#include "interpretation/body_shape.h"
#include "interpretation/forward.h"
#include "interpretation/model_pictures.h"

#include <QGraphicsView>
#include <QPointF>
#include <string>
#include <vector>

class QGraphicsWidget;

namespace veldro {

class FieldChart;
class GraphChart;

// A curve of the data set drawn with the computed ones.
struct MeasuredCurve {
    std::string title;
    int colour = 0;              // as the graph window colours a profile
    int frequencyNumber = 1;     // as it draws its line
    std::vector<QPointF> points; // station, value
};

// The model window's picture: the computed curves above the model's section,
// each station at the same place on both, the bodies outlined over the
// section. A body is picked and dragged with the mouse, or stretched by a
// corner of the picked body's box.
class ModelView : public QGraphicsView {
    Q_OBJECT
public:
    explicit ModelView(QWidget* parent = nullptr);

    // Both charts laid out together, as saved and printed.
    QGraphicsWidget& picture() const { return *picture_; }
    FieldChart& section() const { return *section_; }
    GraphChart& curves() const { return *curves_; }

    // The model's section and outlines; `selected` (or -1) with its corners.
    void showModel(const GroundModel& model, int selected);
    void showCurves(const GroundModel& model, const std::vector<StationResponse>& responses,
                    const std::vector<MeasuredCurve>& measured);

    // Where a point of the section lies on the view, and back.
    QPointF viewPoint(SectionPoint point) const;
    SectionPoint sectionPoint(QPointF at) const;
    // Where it lies on the scene the charts are laid out on.
    QPointF scenePoint(SectionPoint point) const;

signals:
    void bodyPicked(int body); // -1: none
    // The body dragged to (or stretched into) `box`, depth 0 or more.
    void bodyDragged(int body, veldro::SectionBox box);

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
    GraphChart* curves_;
    FieldChart* section_;
    GroundModel model_;
    ModelSection drawn_;
    int selected_ = -1;
    Drag drag_ = Drag::None;
    int corner_ = -1;
    SectionPoint dragStart_;
    SectionBox startBox_;
};

} // namespace veldro
