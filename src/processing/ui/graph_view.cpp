#include "processing/ui/graph_view.h"

#include "charts/station_chart.h"

#include <QMouseEvent>

namespace veldro {

GraphView::GraphView(StationChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
}

StationChart& GraphView::stationChart() const {
    return *static_cast<StationChart*>(chart());
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
        stationChart().showWholeRange();
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
