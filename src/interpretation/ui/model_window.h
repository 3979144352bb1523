#pragma once

#include "interpretation/body_shape.h"
#include "interpretation/ui/model_view.h"

#include <QDialog>
#include <QElapsedTimer>
#include <map>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QTableWidget;
class QUndoStack;

namespace veldro {

class ResponseRunner;
class SurveyView;
class UiServices;

// "Model...": a model of the ground, its section and computed tilt and
// ellipticity, and the data set's profile beside them. The bodies are picked,
// moved and stretched on the section or typed in the table; the curves follow
// each change, computed off this thread; each change can be undone and
// redone. An inverted grid is one row of the table, deleted whole. Models are
// opened and saved as model files.
class ModelWindow : public QDialog {
    Q_OBJECT
public:
    // The profiles of `survey` (or none) are read at once; the window starts
    // with the example model.
    ModelWindow(UiServices& ui, const SurveyView* survey, QWidget* owner);
    ~ModelWindow() override;

    const GroundModel& model() const { return model_; }
    // Shows `model` as a model not changed since it was opened, with nothing to undo.
    void setModel(GroundModel model, int selected = -1);
    // Draws the data set's `profile` with the curves, when the window holds it.
    void pickProfile(int profile);
    ModelView& view() const { return *view_; }
    // The file "Save image..." proposes; models are proposed beside it.
    void setImagePath(const QString& path) { imagePath_ = path; }

    // Asks before changes not saved are dropped.
    void reject() override;

signals:
    // The curves now show the model as it stands.
    void curvesShown();

public:
    // The model and the row picked in the table, as an edit leaves them.
    struct Snapshot {
        GroundModel model;
        int selected = -1;
    };

private:
    // The table's columns.
    enum Column { Left, Top, Right, Bottom, Resistivity, ColumnCount };

    Snapshot snapshot() const { return {model_, selected_}; }
    // Shows `shown` as it was, for undo and redo.
    void restore(const Snapshot& shown);
    // Makes the change from `before` to the model as it stands one step to undo.
    void recordEdit(Snapshot before, const QString& what);
    // The table's rows: the grid's first, when there is one, then a row per
    // body after its cells.
    int firstBodyRow() const { return model_.grid ? 1 : 0; }
    int bodyOfRow(int row) const; // -1 for the grid's row and for none
    int rowOfBody(int body) const;
    void changeBody(int body, const SectionBox& box, double resistivity);
    // Shows the model as it stands with the table's row `selected` picked.
    void modelChanged(int selected);
    void fillTable();
    void selectInTable();
    void tableEdited(int row, int column);
    // The curves computed for the model as it stands, and how long after the change.
    void showResponse(const std::vector<StationResponse>& responses);
    // The computed curves with the picked profile's.
    void drawCurves();
    void addBody(Body body);
    void deleteClick();
    void openClick();
    bool saveClick();
    void printClick();
    void saveImageClick();
    // False when the user would rather keep the window as it is.
    bool changesSettled();
    void readProfiles(const SurveyView& survey);

    UiServices& ui_;
    GroundModel model_;
    int selected_ = -1; // the table's row
    QString modelPath_;
    QString imagePath_;
    std::map<int, ProfileData> profiles_; // tilt and ellipticity, errors estimated
    std::vector<StationResponse> responses_;
    ModelView* view_;
    QTableWidget* table_;
    QListWidget* profileList_;
    QLabel* note_;
    ResponseRunner* runner_;
    QUndoStack* edits_;
    std::optional<Snapshot> dragStart_; // the model before the drag under way
    QElapsedTimer sinceChange_;
    bool filling_ = false; // the table is being filled, not edited
};

} // namespace veldro
