#pragma once

#include <QChartView>

namespace veldro {

class StationChart;

// The chart of the graph, section and map windows: a dragged rectangle zooms in, a right click
// returns to the whole range, and the pointer's station and value are told.
class GraphView : public QChartView {
    Q_OBJECT
public:
    explicit GraphView(StationChart* chart, QWidget* parent = nullptr);
    StationChart& stationChart() const;

signals:
    // The station and the left axis's value under the pointer, inside the plot area.
    void pointed(QPointF value);
    // The pointer left the plot area.
    void pointedAway();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

} // namespace veldro
