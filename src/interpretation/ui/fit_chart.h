#pragma once

#include "charts/station_chart.h"
#include "interpretation/profile_data.h"

#include <QColor>
#include <QPointF>
#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

namespace veldro {

class FitMarks;
class LogScale;

// A quantity measured along a profile and as a section computes it.
struct FitCurve {
    QString title; // what the legend lists
    QColor colour;
    bool dashed = false;           // the second frequency
    std::vector<QPointF> observed; // station, value
    std::vector<double> errors;    // per observed point, one standard deviation
    std::vector<bool> excluded;    // per observed point: kept out of the fit, drawn hollow
    // Per observed point, its index in the profile's data when drawn from
    // them, so that a click names the reading; empty otherwise.
    std::vector<std::size_t> data;
    std::vector<QPointF> computed;

    // Reading `index` of a profile's data, at `station` (m).
    void addReading(double station, const Datum& reading, std::size_t index) {
        observed.emplace_back(station, reading.value);
        errors.push_back(reading.error);
        excluded.push_back(reading.excluded);
        data.push_back(index);
    }
};

// An observed point of a chart: its curve's index, and its own in the curve.
struct FitPoint {
    std::size_t curve = 0;
    std::size_t point = 0;
};

// A curve of `quantity` at `frequency` (Hz), without points, titled and
// coloured as every fit chart shows it ("Tilt.ver(%) 19800 Hz").
FitCurve fitCurveOf(FittedQuantity quantity, double frequency, bool dashed);

// Observed values as dots with their error bars (hollow for those kept out
// of the fit), computed ones as lines, one colour per curve; the legend
// lists the curves.
class FitChart : public StationChart {
public:
    FitChart();
    ~FitChart() override;

    void addCurve(FitCurve curve);
    void clearCurves();
    // The values are log10 of a quantity: the left axis labels the quantity
    // at round values, on a log scale.
    void setLogarithmicValues();
    const std::vector<FitCurve>& curves() const { return curves_; }
    // The observed point whose dot is nearest `position` (in the chart's
    // coordinates) within a few pixels; none when there is none that near.
    std::optional<FitPoint> observedAt(QPointF position) const;
    // The axes span every value with its error bar.
    void showWholeRange() override;

private:
    friend class FitMarks;

    // A coarser round step for the value axis where its labels would crowd.
    void spaceValueTicks();

    std::vector<FitCurve> curves_;
    std::vector<QLineSeries*> legendRows_; // one per curve
    FitMarks* marks_;
    LogScale* logScale_ = nullptr; // for log10 values
};

} // namespace veldro
