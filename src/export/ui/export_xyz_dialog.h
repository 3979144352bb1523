#pragma once

#include "export/profile_export.h"
#include "widgets/measurement_table_view.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace veldro {

class MeasurementStore;
class ProfileListModel;
class UiServices;
struct RowList;

// "Export to XYZ data file" / "Export to WADI data file": the user picks
// profiles, gives each a position and exports the frequency they share, as
// often as wanted before closing.
class TExportXYZFrm : public QDialog {
    Q_OBJECT
public:
    // Writes the picked items at a frequency (Hz) into a file the user chooses.
    using ExportAction = std::function<void(const std::vector<TProfileItem>&, int frequency)>;

    TExportXYZFrm(ProfileExportFormat format, const MeasurementStore& store, const RowList& rows,
                  UiServices& ui, ExportAction exportProfiles, QWidget* parent = nullptr);
    ~TExportXYZFrm() override;

    const std::vector<TProfileItem>& items() const;

    QLabel* Label1;
    QFrame* Panel1;
    MeasurementTableView* TabProfilesCLstView;
    QGroupBox* RadioGroup1;
    QLabel* Label2;       // "Export is not possible :"
    QLabel* Label3;       // "No common frequency among selected profiles"
    QPushButton* Button1; // OK: the export
    QPushButton* Button2; // Cancel

    // The position dialog's text for a newly picked profile, or the
    // missing-position marker when it was cancelled.
    std::string askPosition();
    // Offers the frequencies the picked profiles share.
    void updateCommonFrequency();
    void RadioGroup1Click();
    void Button1Click();
    // Toggles the list's current profile (a double-click on a row, Space).
    void TabProfilesCLstViewDblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildList(std::vector<TProfileItem> items);
    void buildFrequencyChoice();
    bool pickImagePressed(int row);
    void toggle(int row);

    ProfileExportFormat format_;
    UiServices& ui_;
    ExportAction exportProfiles_;
    ProfileListModel* model_ = nullptr;
    QButtonGroup* frequencies_ = nullptr;
    DoublePressGuard pickImageGuard_; // by profile number
};

} // namespace veldro
