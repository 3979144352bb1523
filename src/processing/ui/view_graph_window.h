#pragma once

#include "processing/graph_plots.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace veldro {

class GraphChart;
class GraphView;
class UiServices;

// "View": curves against station, with a check list to show or hide each
// curve, zoom, the pointer's position, printing and saving as a picture.
// Its caller fills it through GraphSink, shows it modally and destroys it.
class TViewGraphFrm : public QDialog, public GraphSink {
    Q_OBJECT
public:
    explicit TViewGraphFrm(UiServices& ui, QWidget* owner = nullptr);
    ~TViewGraphFrm() override;

    void setLeftAxisTitle(const QString& title);
    // The file "Save image..." proposes.
    void setImagePath(const QString& path) { imagePath_ = path; }

    int curveCount() const override;
    void addCurve(const std::string& title) override;
    void markCurveUsed(int curve) override;
    void addPoint(int curve, double x, double y, bool marked) override;

    GraphChart& chart() const { return *Chart1; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void CheckListBox1ClickCheck();
    void BitBtnPrintClick();
    void saveImageClick();
    void showPointed(QPointF value);

    UiServices& ui_;
    GraphChart* Chart1;
    GraphView* chartView_;
    QListWidget* CheckListBox1;
    QPushButton* BitBtnPrint;
    QLabel* pointedLabel_;
    QLabel* marksLabel_;
    QString imagePath_;
    bool shown_ = false;
};

} // namespace veldro
