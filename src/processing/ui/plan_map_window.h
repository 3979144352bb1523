#pragma once

#include "maps/plan_grid.h"
#include "maps/survey_maps.h"
#include "processing/fraser_map.h"

#include <QDialog>
#include <QGraphicsScene>
#include <array>

class QLabel;
class QListWidget;

namespace veldro {

class PlanMapChart;
class PlanMapView;
class UiServices;

// "Fraser map" when the positions place the profiles: the Fraser values of
// one frequency number in plan at the stations' positions, gridded by
// minimum curvature and contoured, the lines as walked, the coordinates
// labelled; printing and saving as a picture as the other chart windows do.
class PlanMapWindow : public QDialog {
    Q_OBJECT
public:
    PlanMapWindow(UiServices& ui, const std::array<FraserMap, 2>& maps,
                  const StationPositions& positions, QWidget* owner = nullptr);
    ~PlanMapWindow() override;

    // Whether the positions place a value of some frequency number.
    bool hasValues() const;
    // The frequency number shown, 1 or 2; 0 for none.
    int shownFrequencyNumber() const { return shown_ + 1; }
    const PlanGrid& grid() const { return grid_; }
    // The file "Save image..." proposes.
    void setImagePath(const QString& path) { imagePath_ = path; }

private:
    void showMap(int index);

    UiServices& ui_;
    std::array<PlacedValues, 2> placed_;
    PlanGrid grid_;
    QGraphicsScene scene_;
    PlanMapChart* chart_ = nullptr; // the scene's
    PlanMapView* view_;
    QListWidget* list_;
    QLabel* note_;
    QString imagePath_;
    int shown_ = -1;
};

} // namespace veldro
