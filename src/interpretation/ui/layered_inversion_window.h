#pragma once

#include "interpretation/layered_inversion.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QSpinBox;

namespace veldro {

class ResistivitySectionChart;
class SurveyView;
class UiServices;

// "1D inversion": each station's Rho and phase as a layered ground under it,
// a profile's side by side (the profile picked in the list at the left); two
// layers, or with "Smooth" the smoothest ground of some layers; printing and
// saving as a picture. The readings are copied when it opens.
class LayeredInversionWindow : public QDialog {
    Q_OBJECT
public:
    LayeredInversionWindow(UiServices& ui, const SurveyView& survey, QWidget* owner = nullptr);

    // Whether some profile holds Rho and phase: the only reason to show it.
    bool hasData() const { return !profiles_.empty(); }
    void setImagePath(const QString& path) { imagePath_ = path; }
    ResistivitySectionChart& chart() const { return *chart_; }
    // The picked profile's stations and their grounds.
    const std::vector<Sounding>& soundings() const;
    const std::vector<LayeredModel>& models() const { return models_; }

private:
    void showPicked();

    UiServices& ui_;
    std::vector<std::vector<Sounding>> profiles_; // those with Rho and phase, as listed
    std::vector<LayeredModel> models_;
    QListWidget* profileList_;
    QCheckBox* smooth_;
    QSpinBox* layers_;
    QLabel* note_;
    ResistivitySectionChart* chart_; // the view's
    QString imagePath_;
};

} // namespace veldro
