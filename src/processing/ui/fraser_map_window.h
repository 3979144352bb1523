#pragma once

#include "processing/fraser_map.h"
#include "processing/ui/chart_frame.h"

class QLineEdit;

namespace veldro {

class FieldChart;

// "Fraser map": the Fraser values of all runs of one frequency number as a
// colour map, station across and profiles up at the line spacing set below
// the list of frequency numbers, the stations measured as dots; printing and
// saving as a picture.
class FraserMapWindow : public ChartFrame {
    Q_OBJECT
public:
    FraserMapWindow(UiServices& ui, std::array<FraserMap, 2> maps, QWidget* owner = nullptr);
    ~FraserMapWindow() override;

    // Whether some frequency number has a value: the only reason to show the window.
    bool hasValues() const;
    // The frequency number shown, 1 or 2; 0 for none.
    int shownFrequencyNumber() const { return shown_ + 1; }
    double lineSpacing() const { return spacing_; }
    FieldChart& chart() const { return *chart_; }

protected:
    QString pointedText(QPointF value) const override;

private:
    FraserMapWindow(UiServices& ui, std::array<FraserMap, 2> maps, FieldChart* chart,
                    QWidget* owner);
    void LineSpacingExit();
    void showMap(int index);

    std::array<FraserMap, 2> maps_;
    FieldChart* chart_;
    QLineEdit* LineSpacing;
    QString spacingText_ = QStringLiteral("1");
    double spacing_ = 1;
    int shown_ = -1;
};

} // namespace veldro
