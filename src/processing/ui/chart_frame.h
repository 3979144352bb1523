#pragma once

#include <QDialog>
#include <utility>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace veldro {

class GraphView;
class StationChart;
class UiServices;

// The frame of the graph, section and map windows: a panel 120 pixels wide at
// the left with a list over " Print ", "Save image..." and "Reset zoom", the
// chart beside it, and a status line with the values under the pointer and a
// note at its right.
class ChartFrame : public QDialog {
    Q_OBJECT
public:
    // The frame owns `chart`; `listName` names the list.
    ChartFrame(UiServices& ui, StationChart* chart, const char* listName, QWidget* owner);
    ~ChartFrame() override;

    // The file "Save image..." proposes.
    void setImagePath(const QString& path) { imagePath_ = path; }

protected:
    QListWidget* list() const { return list_; }
    // Fills the list with entries to choose one of, grey where there is
    // nothing to show (title, whether there is), and makes the first that
    // has something the current one. Its row; -1 for none.
    int fillChoices(const std::vector<std::pair<QString, bool>>& entries);
    // A labelled box between the list and the buttons.
    void addPanelBox(const QString& label, QWidget* box);
    // A part of the panel above the list, under those added before.
    void addAboveList(QWidget* part, int stretch = 0);
    QLabel* note() const { return note_; }
    UiServices& ui() const { return ui_; }
    // The status line's text for the pointer at `value` (station, left axis).
    virtual QString pointedText(QPointF value) const = 0;

private:
    void BitBtnPrintClick();
    void saveImageClick();

    UiServices& ui_;
    StationChart* chart_;
    GraphView* view_;
    QListWidget* list_;
    QVBoxLayout* panelLayout_;
    QPushButton* print_;
    QLabel* pointed_;
    QLabel* note_;
    QString imagePath_;
};

} // namespace veldro
