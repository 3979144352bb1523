#pragma once

#include "interpretation/inversion_fit.h"
#include "interpretation/inversion_prior.h"

#include <QGraphicsWidget>
#include <QMargins>
#include <vector>

class QChart;

namespace veldro {

class BoreholeMarks;
class FitChart;
class ResistivitySectionChart;

// An inverted profile as saved, printed and shown: the section above the
// observed and computed curves of each kind of data fitted (tilt and
// ellipticity together, Rho, the phase) and each station's misfit, a
// station at the same place on all.
class InversionPicture : public QGraphicsWidget {
public:
    // Of `boreholes`, those on the data's profile are drawn on the section.
    InversionPicture(const ProfileData& data, const InversionResult& result,
                     const InversionFit& fit, const std::vector<Borehole>& boreholes = {},
                     QGraphicsItem* parent = nullptr);

    ResistivitySectionChart& section() const { return *section_; }
    // The boreholes drawn on the section.
    const std::vector<Borehole>& boreholes() const;
    // From the top, one per kind of data fitted, then the misfit per station.
    const std::vector<FitChart*>& fitCharts() const { return fits_; }
    // What a saved picture is titled.
    QString pictureTitle() const;

private:
    // Each chart's plot area as far in from the left and the right as the
    // section's, so that a station lies at the same place on all.
    void alignPlotAreas();
    std::vector<QChart*> charts() const;

    ResistivitySectionChart* section_;
    BoreholeMarks* boreholes_;
    std::vector<FitChart*> fits_;
    // Per chart of charts(): its own margins, and how far in from the edges
    // its plot area lies with them, once it has been laid out.
    struct Insets {
        QMargins own;
        double left = 0, right = 0;
        bool known = false;
    };
    std::vector<Insets> insets_;
};

} // namespace veldro
