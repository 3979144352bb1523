#pragma once

#include "charts/station_chart.h"
#include "processing/graph_plots.h"

#include <QList>
#include <QPen>
#include <QPointF>
#include <vector>

class QLegendMarker;
class QLogValueAxis;

namespace veldro {

class CurveLayer;
struct FraserRun;

// Curves against station on a white chart with a legend: what the graph
// window shows and `veldro-cli plot` draws. It is filled through GraphSink
// into plain point lists. A survey has up to some 1560 curves, more than Qt
// Charts handles as series at speed, so the curves are drawn by one layer of
// our own over the plot area; the axes, zoom and legend are the chart's.
// Curves shown together take a colour by profile (the profiles shown, in
// order, through the palette) and a line style by frequency number.
class GraphChart : public StationChart, public GraphSink {
public:
    // Legend rows at most (fewer when the chart is not tall enough for them).
    // When the curves shown do not fit, the legend lists their profiles in
    // their colours and their frequency numbers in their line styles.
    static constexpr int kLegendRows = 64;

    GraphChart();
    ~GraphChart() override;

    int curveCount() const override { return static_cast<int>(curves_.size()); }
    void addCurve(const FraserRun& run) override;
    void markCurveUsed(int curve) override;
    void addPoint(int curve, double x, double y, bool marked) override;
    // The value axis becomes logarithmic, in whole decades.
    void setLogarithmicValues() override;
    bool logarithmicValues() const { return logAxis_ != nullptr; }
    // No curves: the chart is filled anew.
    void clearCurves();

    QString curveTitle(int curve) const { return curveAt(curve).title; }
    int curveProfile(int curve) const { return curveAt(curve).profile; }
    int curveFrequencyNumber(int curve) const { return curveAt(curve).frequencyNumber; }
    // The pen the curve is drawn with while shown.
    QPen curvePen(int curve) const;
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
    // The left axis's title and what is shown: "Q (%): Prof3,Freq1",
    // "Fraser: profiles 1 to 622, Freq1 and Freq2".
    QString pictureTitle() const override;

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private:
    friend class CurveLayer;

    struct Curve {
        QString title;
        int profile = 0;
        int frequencyNumber = 1;
        int colour = 0; // in the palette, while shown
        bool used = false;
        bool visible = false;
        QList<QPointF> points;
        QList<QPointF> marked;
        double left = 0, right = 0, bottom = 0, top = 0; // of the points, when there are any
    };

    const Curve& curveAt(int curve) const { return curves_[static_cast<std::size_t>(curve)]; }
    Curve& curveAt(int curve) { return curves_[static_cast<std::size_t>(curve)]; }
    void fitAxesToVisibleCurves();
    // The axes' ranges in the units curves are drawn in: x left to right,
    // y (its log10 on the logarithmic axis) from top() to bottom().
    QRectF plottedRange() const;
    QPolygonF plotted(const QList<QPointF>& points) const;
    void updateLegend();
    int legendRows() const;
    void setLegendRow(std::size_t row, const QString& name, const QPen& pen);
    // The profiles shown, in order.
    std::vector<int> profilesShown() const;

    std::vector<Curve> curves_;
    CurveLayer* layer_;
    QLogValueAxis* logAxis_ = nullptr;
    // The legend's rows: series without points that carry a title and a pen.
    std::vector<QLineSeries*> legendRows_;
    std::vector<QLegendMarker*> legendMarkers_;
    int markedCount_ = 0;
};

} // namespace veldro
