#pragma once

#include "interpretation/body_shape.h"
#include "interpretation/ui/model_view.h"

#include <QDialog>
#include <QElapsedTimer>
#include <map>
#include <vector>

class QLabel;
class QListWidget;
class QTableWidget;

namespace veldro {

class ResponseRunner;
class SurveyView;
class UiServices;

// "Model...": a model of the ground, its section and computed tilt and
// ellipticity, and the data set's profile beside them. The bodies are picked,
// moved and stretched on the section or typed in the table; the curves follow
// each change, computed off this thread. Models are opened and saved as
// model files.
class ModelWindow : public QDialog {
    Q_OBJECT
public:
    // The profiles of `survey` (or none) are read at once; the window starts
    // with the example model.
    ModelWindow(UiServices& ui, const SurveyView* survey, QWidget* owner);
    ~ModelWindow() override;

    const GroundModel& model() const { return model_; }
    // Shows `model` as a model not changed since it was opened.
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

private:
    void changeBody(int body, const SectionBox& box, double resistivity);
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
    int selected_ = -1;
    bool modified_ = false;
    QString modelPath_;
    QString imagePath_;
    std::map<int, std::vector<MeasuredCurve>> profiles_;
    std::vector<StationResponse> responses_;
    ModelView* view_;
    QTableWidget* table_;
    QListWidget* profileList_;
    QLabel* note_;
    ResponseRunner* runner_;
    QElapsedTimer sinceChange_;
    bool filling_ = false; // the table is being filled, not edited
};

} // namespace veldro
