#pragma once

#include "maps/plan_grid.h"
#include "maps/survey_maps.h"
#include "processing/fraser_map.h"
#include "processing/karous_hjelt.h"

#include <QDialog>
#include <QGraphicsScene>
#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;

namespace veldro {

class ColourEndsBox;
class PlanMapChart;
class PlanMapView;
class UiServices;

// "Fraser map" when the positions place the profiles: the Fraser values of
// one frequency number, or the Karous-Hjelt current density at the level
// nearest a pseudo-depth, in plan at the stations' positions, gridded by
// minimum curvature and contoured, the lines as walked, the coordinates
// labelled, the colours over the values or between typed ends; printing and
// saving as a picture as the other chart windows do.
class PlanMapWindow : public QDialog {
    Q_OBJECT
public:
    PlanMapWindow(UiServices& ui, const std::array<FraserMap, 2>& maps, std::vector<RunGroups> runs,
                  const StationPositions& positions, QWidget* owner = nullptr);
    ~PlanMapWindow() override;

    // Whether the positions place a value of some frequency number.
    bool hasValues() const;
    // The frequency number shown, 1 or 2; 0 for none.
    int shownFrequencyNumber() const { return shown_ + 1; }
    // The map's grid; none when nothing is shown.
    const PlanGrid& grid() const { return grid_; }
    const PlanMapChart* chart() const { return chart_; }
    // The file "Save image..." proposes.
    void setImagePath(const QString& path) { imagePath_ = path; }

private:
    bool karousHjelt() const;
    // The values of frequency number index + 1 of what is chosen.
    PlacedValues placed(int index);
    void showChoices();
    void showMap(int index);

    UiServices& ui_;
    StationPositions positions_;
    std::array<PlacedValues, 2> fraser_;
    std::vector<RunGroups> runs_;
    std::optional<std::vector<KhRun>> kh_; // every level, once asked for
    PlanGrid grid_;
    QGraphicsScene scene_;
    PlanMapChart* chart_ = nullptr; // the scene's
    QString title_;
    PlanMapView* view_;
    QComboBox* kind_;
    QListWidget* list_;
    QSpinBox* depth_;
    ColourEndsBox* colours_;
    QLabel* note_;
    QString imagePath_;
    int shown_ = -1;
};

} // namespace veldro
