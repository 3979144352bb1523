#pragma once

#include "interpretation/profile_data.h"
#include "interpretation/profile_inversion.h"

#include <QDialog>
#include <QElapsedTimer>
#include <vector>

class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace veldro {

class ColourEndsBox;
class InversionPicture;
class InversionRunner;
class PictureView;
class SurveyView;
class UiServices;

// The result of "2D inversion...": the profiles inverted in the background,
// a line each on how far they are, then their RMS and iterations; the picked
// one's section and curves are shown, printed and saved as a picture, the
// section saved as a model file or as text, or handed to the modelling window.
// Points clicked on its curves, or missed by more than a number of errors,
// are kept out of the fit of "Invert again", which runs the same choices anew.
class InversionWindow : public QDialog {
    Q_OBJECT
public:
    // Starts inverting at once. `survey` (or none) gives the modelling
    // window its measured curves; it must outlive this window.
    InversionWindow(UiServices& ui, std::vector<ProfileData> profiles,
                    const InversionOptions& options, unsigned threads, const SurveyView* survey,
                    QWidget* owner);
    ~InversionWindow() override;

    bool running() const;
    // Once the run is over: one per profile, in the order given.
    const std::vector<ProfileInversion>& inversions() const;
    // The picked profile's section and curves, once the run is over.
    InversionPicture* picture() const;
    // Where the files of the picked profile are proposed: beside this file,
    // named after it and the profile.
    void setImagePath(const QString& path) { imagePath_ = path; }

    // During a run: cancels it, and closes once it has stopped.
    void reject() override;

signals:
    void runOver();

private:
    void addEditControls(QGridLayout& grid, int row);
    // Drops the run before, if any.
    void startRun(std::vector<ProfileData> profiles, InversionOptions options);
    void showStep(int index, int run, int iteration, double rms);
    void runFinished();
    void runFailed(const QString& reason);
    void cancelClick();
    void showPicked();
    // The picked profile's inversion; null while running, when none is
    // picked, or when it has no section.
    const ProfileInversion* picked() const;
    int pickedProfile() const;
    void saveModelClick();
    void saveSectionClick();
    void openInModelClick();
    void printClick();
    void saveImageClick();
    void saveText(const QString& kind, const QString& filter, const QString& suffix,
                  const std::string& text);
    QString proposedPath(const QString& suffix) const;
    // The next run's data of the profile shown; null when none is shown.
    ProfileData* shownData();
    void pictureClicked(QPointF at);
    QString tipAt(QPointF at);
    void excludeMissesClick();
    void fitAllClick();

    UiServices& ui_;
    const SurveyView* survey_;
    const unsigned threads_;
    InversionRunner* runner_ = nullptr;
    // What the next run inverts: the last run's data, with the points kept
    // out since.
    std::vector<ProfileData> next_;
    QListWidget* profileList_;
    PictureView* view_;
    QLabel* note_;
    QLabel* fitNote_; // the picked profile's errors and why its inversion stopped
    QPushButton* cancel_;
    ColourEndsBox* colours_ = nullptr;
    std::vector<QPushButton*> resultButtons_;
    QDoubleSpinBox* missLimit_ = nullptr;
    std::vector<QWidget*> editControls_; // usable between runs
    QString imagePath_;
    QElapsedTimer sinceStart_;
    bool closeWhenOver_ = false;
};

} // namespace veldro
