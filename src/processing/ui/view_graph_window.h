#pragma once

#include "processing/graph_plots.h"
#include "processing/ui/chart_frame.h"

namespace veldro {

class GraphChart;

// "View": curves against station, with a check list to show or hide each
// curve, zoom, the pointer's position, printing and saving as a picture.
// Its caller fills it through GraphSink, shows it modally and destroys it.
class TViewGraphFrm : public ChartFrame, public GraphSink {
    Q_OBJECT
public:
    explicit TViewGraphFrm(UiServices& ui, QWidget* owner = nullptr);
    ~TViewGraphFrm() override;

    void setLeftAxisTitle(const QString& title);

    int curveCount() const override;
    void addCurve(const std::string& title) override;
    void markCurveUsed(int curve) override;
    void addPoint(int curve, double x, double y, bool marked) override;

    GraphChart& chart() const { return *Chart1; }

protected:
    void showEvent(QShowEvent* event) override;
    QString pointedText(QPointF value) const override;

private:
    TViewGraphFrm(UiServices& ui, GraphChart* chart, QWidget* owner);
    void FormShow();
    void CheckListBox1ClickCheck();

    GraphChart* Chart1;
    QListWidget* CheckListBox1;
    bool shown_ = false;
};

} // namespace veldro
