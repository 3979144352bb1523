#include "processing/ui/graph_view.h"

#include "processing/ui/chart/graph_chart.h"

#include <QMouseEvent>

namespace veldro {

GraphView::GraphView(GraphChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
}

GraphChart& GraphView::graph() const {
    return *static_cast<GraphChart*>(chart());
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    const QPointF at = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    if (chart()->plotArea().contains(at))
        emit pointed(chart()->mapToValue(at));
    else
        emit pointedAway();
}

// The view's own right click zooms out one step; here it undoes every zoom.
void GraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        graph().showWholeRange();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void GraphView::leaveEvent(QEvent* event) {
    QChartView::leaveEvent(event);
    emit pointedAway();
}

} // namespace veldro
