#pragma once

#include <QElapsedTimer>
#include <QPointF>
#include <QWidget>
#include <array>
#include <vector>

class QLabel;
class QTimer;

namespace veldro {

struct MeasurementRecord;

// The current profile's vertical tilt and ellipticity against station as the
// records arrive, the previous profile greyed behind it; a profile's second
// frequency dashed. Resistivity records have neither and are not drawn.
class DownloadChart : public QWidget {
public:
    explicit DownloadChart(QWidget* parent = nullptr);
    void clear();
    void add(const MeasurementRecord& record);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Lines {
        std::vector<QPointF> tilt, ellipticity; // (station, %)
    };
    struct Profile {
        int number = -1;
        std::array<Lines, 2> frequencies; // by frequency number
        bool empty() const { return frequencies[0].tilt.empty() && frequencies[1].tilt.empty(); }
    };
    Profile current_, previous_;
};

// Beside the download panel's texts: the records received, their rate, the
// time elapsed, and the chart.
class DownloadLiveView : public QWidget {
public:
    explicit DownloadLiveView(QWidget* parent = nullptr);
    // A new transfer: counts from zero, the clock from now.
    void start();
    void stop();
    void add(const MeasurementRecord& record, int count);

private:
    void showFigures();

    QLabel* figures_;
    DownloadChart* chart_;
    QTimer* tick_;
    QElapsedTimer elapsed_;
    qint64 firstRecordMs_ = -1;
    int count_ = 0;
};

} // namespace veldro
