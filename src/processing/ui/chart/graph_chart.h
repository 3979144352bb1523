#pragma once

#include "processing/graph_plots.h"
#include "processing/ui/chart/station_chart.h"

#include <QList>
#include <QPointF>
#include <vector>

class QLegendMarker;

namespace veldro {

class CurveLayer;

// Curves against station on a white chart with a legend: what the graph
// window shows and `veldro-cli plot` draws. It is filled through GraphSink
// into plain point lists. A survey has up to some 1560 curves, more than Qt
// Charts handles as series at speed, so the curves are drawn by one layer of
// our own over the plot area; the axes, zoom and legend are the chart's.
class GraphChart : public StationChart, public GraphSink {
public:
    // Legend rows at most (fewer when the chart is not tall enough for them);
    // beyond, the last row says how many more curves are shown.
    static constexpr int kLegendRows = 64;

    GraphChart();
    ~GraphChart() override;

    int curveCount() const override { return static_cast<int>(curves_.size()); }
    void addCurve(const std::string& title) override;
    void markCurveUsed(int curve) override;
    void addPoint(int curve, double x, double y, bool marked) override;
    // No curves: the chart is filled anew.
    void clearCurves();

    QString curveTitle(int curve) const { return curveAt(curve).title; }
    bool curveUsed(int curve) const { return curveAt(curve).used; }
    // The curve's points in the order they came.
    const QList<QPointF>& curvePoints(int curve) const { return curveAt(curve).points; }
    // Fraser values over unevenly spaced stations, in all curves.
    int markedCount() const { return markedCount_; }
    // The titles the legend lists, in order.
    QStringList legendTitles() const;

    // Shows exactly the curves flagged that have points; the legend lists the
    // visible ones and, unless zoomed in, the axes span them.
    void setVisibleCurves(const std::vector<bool>& visible);
    bool curveVisible(int curve) const { return curveAt(curve).visible; }
    // Undoes any zoom: the axes span the visible curves.
    void showWholeRange() override;

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private:
    friend class CurveLayer;

    struct Curve {
        QString title;
        bool used = false;
        bool visible = false;
        QList<QPointF> points;
        QList<QPointF> marked;
        double left = 0, right = 0, bottom = 0, top = 0; // of the points, when there are any
    };

    const Curve& curveAt(int curve) const { return curves_[static_cast<std::size_t>(curve)]; }
    Curve& curveAt(int curve) { return curves_[static_cast<std::size_t>(curve)]; }
    void fitAxesToVisibleCurves();
    void updateLegend();
    int legendRows() const;

    std::vector<Curve> curves_;
    CurveLayer* layer_;
    // The legend's rows: series without points that carry a curve's title and
    // colour, or the "... and N more" text.
    std::vector<QLineSeries*> legendRows_;
    std::vector<QLegendMarker*> legendMarkers_;
    int markedCount_ = 0;
};

} // namespace veldro
