#pragma once

#include "interpretation/occam_inversion.h"
#include "interpretation/profile_data.h"

#include <QDialog>
#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace veldro {

class SurveyView;
class UiServices;

// What "2D inversion..." asks, kept from one run of the dialog to the next.
struct InversionChoices {
    std::vector<int> profiles; // none of the data set's: every profile is picked
    ProfileDataOptions data;
    InversionOptions inversion;
    unsigned threads = 0; // 0: as many as the machine has cores
    // The files of what is known besides the data, in the order of
    // InversionDialog's kPriorFiles; empty when not given.
    std::array<std::string, 4> priorFiles;
    bool flat = false; // the stations' heights left out, for comparison
};

// "2D inversion...": the profiles to invert and how. OK reads the picked
// profiles' data from the data set, so that what runs afterwards no longer
// depends on it; a choice that leaves nothing to invert is told, and the
// dialog stays open.
class InversionDialog : public QDialog {
    Q_OBJECT
public:
    // `survey` must outlive the dialog.
    InversionDialog(UiServices& ui, const SurveyView& survey, const InversionChoices& choices,
                    QWidget* parent = nullptr);

    // Once accepted: the choices made and the data of each picked profile.
    const InversionChoices& choices() const { return choices_; }
    const std::vector<ProfileData>& profiles() const { return profiles_; }

    void accept() override;

private:
    InversionChoices readChoices() const;
    // The prior models and boreholes of the files chosen; false, once the
    // user has been told, when one cannot be read.
    bool readPrior(InversionChoices& choices) const;

    UiServices& ui_;
    const SurveyView& survey_;
    InversionChoices choices_;
    std::vector<ProfileData> profiles_;
    QListWidget* profileList_;
    QComboBox* frequencies_;
    QComboBox* kinds_;
    QComboBox* errorModel_;
    std::array<QDoubleSpinBox*, 4> errors_{}; // per FittedQuantity
    QDoubleSpinBox* errorFraction_;
    QCheckBox* robust_;
    QCheckBox* depthOfInvestigation_;
    QCheckBox* heights_;
    std::array<QLineEdit*, 4> priorFiles_{};
    QDoubleSpinBox* boreholeWeight_;
    QDoubleSpinBox* startResistivity_;
    QDoubleSpinBox* horizontalWeight_;
    QDoubleSpinBox* targetRms_;
    QSpinBox* iterations_;
    QSpinBox* threads_;
};

} // namespace veldro
