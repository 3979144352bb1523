#pragma once

#include "processing/karous_hjelt.h"
#include "processing/ui/chart_frame.h"

class QSpinBox;

namespace veldro {

class FieldChart;

// "Karous-Hjelt section": one run's Karous-Hjelt values as a colour section,
// station across and depth down, chosen in the list of runs at the left; the
// number of levels below the list; printing and saving as a picture.
class KarousHjeltWindow : public ChartFrame {
    Q_OBJECT
public:
    KarousHjeltWindow(UiServices& ui, std::vector<RunGroups> runs, QWidget* owner = nullptr);
    ~KarousHjeltWindow() override;

    // Whether some run has a value: the only reason to show the window.
    bool hasValues() const;
    // The run shown, by curve index; -1 for none.
    int shownRun() const { return shown_; }
    const KhRun& values(int run) const { return values_[static_cast<std::size_t>(run)]; }
    FieldChart& chart() const { return *chart_; }

protected:
    QString pointedText(QPointF value) const override;

private:
    KarousHjeltWindow(UiServices& ui, std::vector<RunGroups> runs, FieldChart* chart,
                      QWidget* owner);
    void LevelsChange();
    void showRun(int run);

    std::vector<RunGroups> runs_;
    std::vector<KhRun> values_;
    FieldChart* chart_;
    QSpinBox* Levels;
    int shown_ = -1;
};

} // namespace veldro
