#pragma once

#include "processing/graph_plots.h"
#include "processing/ui/chart_frame.h"

#include <array>
#include <map>

class QCheckBox;
class QListWidgetItem;

namespace veldro {

class GraphChart;

// "View": curves against station, with a check list to show or hide each
// curve, zoom, the pointer's position, printing and saving as a picture.
// Above the list, a picker for large surveys: the profiles to show (a
// double-click shows one alone), the frequency numbers, "Show all" and
// "Hide all"; a change there sets the entries of the curves it covers.
// Its caller fills it through GraphSink, shows it modally and destroys it.
class TViewGraphFrm : public ChartFrame, public GraphSink {
    Q_OBJECT
public:
    explicit TViewGraphFrm(UiServices& ui, QWidget* owner = nullptr);
    ~TViewGraphFrm() override;

    void setLeftAxisTitle(const QString& title);

    int curveCount() const override;
    void addCurve(const FraserRun& run) override;
    void markCurveUsed(int curve) override;
    void addPoint(int curve, double x, double y, bool marked) override;
    void setLogarithmicValues() override;

    GraphChart& chart() const { return *Chart1; }

    // Shows the curves of the ticked profiles and frequency numbers only.
    void showPicked();

protected:
    void showEvent(QShowEvent* event) override;
    QString pointedText(QPointF value) const override;

private:
    TViewGraphFrm(UiServices& ui, GraphChart* chart, QWidget* owner);
    void FormShow();
    void CheckListBox1ClickCheck();
    void setAllProfiles(Qt::CheckState state);
    void pickAllProfiles(Qt::CheckState state);

    GraphChart* Chart1;
    QListWidget* CheckListBox1;
    QListWidget* profileList_;
    std::array<QCheckBox*, 2> frequencyBoxes_;
    std::map<int, QListWidgetItem*> profileEntries_;
    bool shown_ = false;
};

} // namespace veldro
