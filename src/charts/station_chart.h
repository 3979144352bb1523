#pragma once

#include <QChart>

class QLineSeries;
class QValueAxis;

namespace veldro {

// What the program's charts share: values over "Station" on a white, square
// chart, an axis frame that zooming and the pointer's value go through, ticks
// on round numbers at any zoom, and a way back from any zoom.
class StationChart : public QChart {
public:
    StationChart();

    void setLeftAxisTitle(const QString& title);
    QString leftAxisTitle() const;
    QValueAxis& axisX() const { return *axisX_; }
    QValueAxis& axisY() const { return *axisY_; }

    // Undoes any zoom: the axes span what is shown.
    virtual void showWholeRange() = 0;
    // The title a picture of the chart carries.
    virtual QString pictureTitle() const { return title(); }

protected:
    // The axes' own series, without points.
    QLineSeries& frame() const { return *frame_; }
    // low..high widened to round numbers; some width around a single value.
    static void setAxisRange(QValueAxis& axis, double low, double high);
    // Back from any zoom to the range before it.
    void resetZoom();

private:
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    QLineSeries* frame_;
};

} // namespace veldro
