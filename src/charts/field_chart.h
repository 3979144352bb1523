#pragma once

#include "charts/colour_scale.h"
#include "charts/station_chart.h"
#include "processing/layered_field.h"

#include <QList>
#include <QPointF>

namespace veldro {

class ColourBar;
class FieldLayer;

// Values over station as colours: the Karous-Hjelt section (depth down) and
// the Fraser map (profiles up). The cells are drawn by a layer of our own over
// the plot area in the axes' current ranges, so zooming stays sharp; the
// colour bar at its right labels the colours in the display patterns.
class FieldChart : public StationChart {
public:
    FieldChart();
    ~FieldChart() override;

    // Depth: 0 at the top, growing downwards.
    void setDownwards(bool downwards);
    // The field, and what its values are (the colour bar's title). The colours
    // run from -L to +L, L a round number at or above the field's largest magnitude.
    void setField(LayeredField field, const QString& valueTitle);
    const LayeredField& field() const { return field_; }
    const DivergingScale& scale() const { return scale_; }
    // Black dots over the cells (the stations measured), in values. Rows of
    // dots closer than a few pixels on screen are drawn smaller, and not at
    // all below a pixel, so they never hide the cells; zooming in shows them.
    void setDots(QList<QPointF> dots);
    // A line over the cells (a section's surface), in values; none when empty.
    void setOutline(QList<QPointF> line);

    void showWholeRange() override;

private:
    friend class ColourBar;
    friend class FieldLayer;

    // Room at the right for the colour bar, its labels and its title.
    void makeRoomForColourBar();

    LayeredField field_;
    DivergingScale scale_;
    QString valueTitle_;
    QList<QPointF> dots_;
    QList<QPointF> outline_;
    double dotRowStep_ = 0; // the smallest distance between rows of dots; 0 for one row
    FieldLayer* layer_;
    ColourBar* bar_;
};

} // namespace veldro
