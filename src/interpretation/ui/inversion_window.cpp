#include "interpretation/ui/inversion_window.h"

#include "charts/chart_image.h"
#include "charts/local_file_name.h"
#include "data/file_io.h"
#include "interpretation/depth_of_investigation.h"
#include "interpretation/inversion_output.h"
#include "interpretation/ui/inversion_picture.h"
#include "interpretation/ui/inversion_runner.h"
#include "interpretation/ui/model_window.h"
#include "interpretation/ui/picture_view.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "interpretation/ui/section_colour_ends.h"
#include "widgets/chart_panel.h"
#include "widgets/colour_ends_box.h"
#include "widgets/help_window.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

namespace veldro {

namespace {

constexpr int kDesignWidth = 1039;
constexpr int kDesignHeight = 860;
// Room for "Profile 12: done, RMS 1.03, 12 iterations", two buttons a row under it.
constexpr int kListPanelWidth = 270;
const QString kWhileRunning =
    QStringLiteral("The picked profile's section and curves show here once the run is over.");

QString profileLine(int profile, const QString& state) {
    return QStringLiteral("Profile %1: %2").arg(profile).arg(state);
}

QString rmsText(double rms) {
    return QString::number(rms, 'f', 2);
}

QString resultState(const ProfileInversion& inversion) {
    if (!inversion.failure.empty())
        return QStringLiteral("not inverted: %1").arg(QString::fromStdString(inversion.failure));
    const InversionResult& result = inversion.result;
    if (result.log10Resistivity.empty()) return QStringLiteral("cancelled before it began");
    return QStringLiteral("%1, RMS %2, %3 iteration%4")
        .arg(result.cancelled ? QStringLiteral("cancelled") : QStringLiteral("done"),
             rmsText(result.rms))
        .arg(result.iterations)
        .arg(result.iterations == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

InversionWindow::InversionWindow(UiServices& ui, std::vector<ProfileData> profiles,
                                 const InversionOptions& options, unsigned threads,
                                 const SurveyView* survey, QWidget* owner)
    : QDialog(owner), ui_(ui), survey_(survey), threads_(threads), profileList_(new QListWidget),
      view_(new PictureView), note_(new QLabel), fitNote_(new QLabel),
      cancel_(panelButton(QStringLiteral("Cancel"), "CancelRun",
                          QStringLiteral("Stop every profile at the end of its iteration, "
                                         "keeping its best model so far"))) {
    setWindowTitle(QStringLiteral("2D inversion"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(kDesignWidth, kDesignHeight);
    keepWindowSize(*this, QStringLiteral("InversionWindow"));

    profileList_->setObjectName(QStringLiteral("Profiles"));
    profileList_->setToolTip(QStringLiteral("The profiles inverted; pick one to see its section"));
    for (std::size_t i = 0; i < profiles.size(); ++i) profileList_->addItem(QString());

    QPushButton* saveModel =
        panelButton(QStringLiteral("Save model..."), "SaveModel",
                    QStringLiteral("Save the picked profile's section as a model file"));
    QPushButton* saveSection =
        panelButton(QStringLiteral("Save text..."), "SaveSectionText",
                    QStringLiteral("Save section text: X, Z, the resistivity and the "
                                   "sensitivity of each cell under the stations, for gridding "
                                   "programs"));
    QPushButton* openInModel =
        panelButton(QStringLiteral("Open in Model..."), "OpenInModel",
                    QStringLiteral("Hand the picked profile's section to the modelling window"));
    QPushButton* print =
        panelButton(QStringLiteral(" Print "), "BitBtnPrint",
                    QStringLiteral("Print the picked profile's section and curves"));
    print->setIcon(icons::toolIcon(icons::Tool::Print));
    print->setShortcut(QKeySequence::Print);
    QPushButton* image = panelButton(
        QStringLiteral("Save image..."), "SaveImage",
        QStringLiteral("Save the picked profile's section and curves as PNG, SVG or PDF"));
    resultButtons_ = {saveModel, saveSection, openInModel, print, image};
    for (QPushButton* button : resultButtons_) button->setEnabled(false);
    for (QPushButton* button : {cancel_, saveModel, saveSection, openInModel, print, image})
        button->setFixedWidth(kListPanelWidth / 2);

    auto* panel = new QWidget;
    panel->setFixedWidth(kListPanelWidth);
    auto* buttons = new QGridLayout;
    buttons->setSpacing(0);
    buttons->addWidget(cancel_, 0, 0);
    buttons->addWidget(openInModel, 0, 1);
    buttons->addWidget(saveModel, 1, 0);
    buttons->addWidget(saveSection, 1, 1);
    buttons->addWidget(print, 2, 0);
    buttons->addWidget(image, 2, 1);
    addEditControls(*buttons, 3);
    for (QWidget* control : editControls_) control->setFixedWidth(kListPanelWidth / 2);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(profileList_, 1);
    panelLayout->addLayout(buttons);
    fitNote_->setObjectName(QStringLiteral("FitNote"));
    fitNote_->setWordWrap(true);
    fitNote_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panelLayout->addWidget(fitNote_);
    colours_ =
        new ColourEndsBox(ui_, true, QStringLiteral("Common to all profiles"), "2D inversion");
    panelLayout->addWidget(colours_);

    note_->setObjectName(QStringLiteral("Note"));
    layOutPanelWindow(*this, panel, view_)->addWidget(note_, 1);
    view_->showHint(kWhileRunning);

    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { ui_.showHelp(kInversionWindowHelp); });
    connect(cancel_, &QPushButton::clicked, this, &InversionWindow::cancelClick);
    connect(saveModel, &QPushButton::clicked, this, &InversionWindow::saveModelClick);
    connect(saveSection, &QPushButton::clicked, this, &InversionWindow::saveSectionClick);
    connect(openInModel, &QPushButton::clicked, this, &InversionWindow::openInModelClick);
    connect(print, &QPushButton::clicked, this, &InversionWindow::printClick);
    connect(image, &QPushButton::clicked, this, &InversionWindow::saveImageClick);
    connect(profileList_, &QListWidget::currentRowChanged, this, &InversionWindow::showPicked);
    connect(colours_, &ColourEndsBox::changed, this, &InversionWindow::showPicked);
    view_->clicked = [this](QPointF at) { pictureClicked(at); };
    view_->tipAt = [this](QPointF at) { return tipAt(at); };
    startRun(std::move(profiles), options);
}

void InversionWindow::startRun(std::vector<ProfileData> profiles, InversionOptions options) {
    delete runner_;
    runner_ = new InversionRunner(std::move(profiles), std::move(options), threads_, this);
    next_ = runner_->profiles();
    connect(runner_, &InversionRunner::stepped, this, &InversionWindow::showStep);
    connect(runner_, &InversionRunner::finished, this, &InversionWindow::runFinished);
    connect(runner_, &InversionRunner::failed, this, &InversionWindow::runFailed);
    for (int row = 0; row < profileList_->count(); ++row) {
        QListWidgetItem* line = profileList_->item(row);
        line->setText(
            profileLine(next_[static_cast<std::size_t>(row)].profile, QStringLiteral("waiting")));
        line->setToolTip(QString());
    }
    cancel_->setEnabled(true);
    for (QWidget* control : editControls_) control->setEnabled(false);
    showPicked();

    const std::size_t count = next_.size();
    note_->setText(QStringLiteral("Inverting %1 profile(s) on %2 thread(s)...")
                       .arg(count)
                       .arg(std::min<std::size_t>(std::max(threads_, 1u), count)));
    sinceStart_.start();
    runner_->start();
}

// The runner cancels a run under way and waits for it, while the window it
// reports to is still whole.
InversionWindow::~InversionWindow() {
    delete runner_;
}

bool InversionWindow::running() const {
    return runner_->running();
}

const std::vector<ProfileInversion>& InversionWindow::inversions() const {
    return runner_->inversions();
}

void InversionWindow::reject() {
    if (!running()) {
        QDialog::reject();
        return;
    }
    closeWhenOver_ = true;
    cancelClick();
}

void InversionWindow::showStep(int index, int run, int iteration, double rms) {
    const int profile = runner_->profiles()[static_cast<std::size_t>(index)].profile;
    const QString which = run == 0 ? QString() : QStringLiteral("DOI run %1 of 2, ").arg(run);
    profileList_->item(index)->setText(profileLine(
        profile, which + QStringLiteral("iteration %1, RMS %2").arg(iteration).arg(rmsText(rms))));
}

void InversionWindow::cancelClick() {
    runner_->cancel();
    cancel_->setEnabled(false);
    note_->setText(QStringLiteral("Cancelling: each profile stops at the end of its iteration..."));
}

void InversionWindow::runFinished() {
    const std::vector<ProfileInversion>& inversions = runner_->inversions();
    for (std::size_t i = 0; i < inversions.size(); ++i) {
        QListWidgetItem* line = profileList_->item(static_cast<int>(i));
        line->setText(profileLine(runner_->profiles()[i].profile, resultState(inversions[i])));
        line->setToolTip(line->text()); // a reason may run past the list's edge
    }
    cancel_->setEnabled(false);
    for (QWidget* control : editControls_) control->setEnabled(true);
    const QString seconds =
        QString::number(static_cast<double>(sinceStart_.elapsed()) / 1000, 'f', 1);
    const auto failed = std::ranges::count_if(
        inversions, [](const ProfileInversion& inversion) { return !inversion.failure.empty(); });
    if (std::ranges::any_of(inversions, [](const ProfileInversion& inversion) {
            return inversion.result.cancelled;
        }))
        note_->setText(
            QStringLiteral("Cancelled after %1 s: each profile keeps its best model so far")
                .arg(seconds));
    else if (failed > 0)
        note_->setText(QStringLiteral("%1 of %2 profile(s) inverted in %3 s: the list says why "
                                      "the others were not")
                           .arg(static_cast<std::ptrdiff_t>(inversions.size()) - failed)
                           .arg(inversions.size())
                           .arg(seconds));
    else
        note_->setText(
            QStringLiteral("%1 profile(s) inverted in %2 s").arg(inversions.size()).arg(seconds));
    {
        const QSignalBlocker quiet(profileList_);
        profileList_->setCurrentRow(std::max(profileList_->currentRow(), 0));
    }
    showPicked();
    emit runOver();
    if (closeWhenOver_) QDialog::reject();
}

void InversionWindow::runFailed(const QString& reason) {
    cancel_->setEnabled(false);
    for (QWidget* control : editControls_) control->setEnabled(true);
    for (int row = 0; row < profileList_->count(); ++row)
        profileList_->item(row)->setText(
            profileLine(runner_->profiles()[static_cast<std::size_t>(row)].profile,
                        QStringLiteral("not inverted")));
    note_->setText(QStringLiteral("The inversion failed: %1").arg(reason));
    emit runOver();
    if (closeWhenOver_) QDialog::reject();
}

const ProfileInversion* InversionWindow::picked() const {
    // The results are the runner's thread's until it is over.
    if (running()) return nullptr;
    const int row = profileList_->currentRow();
    const std::vector<ProfileInversion>& inversions = runner_->inversions();
    if (row < 0 || static_cast<std::size_t>(row) >= inversions.size()) return nullptr;
    const ProfileInversion& inversion = inversions[static_cast<std::size_t>(row)];
    return inversion.result.log10Resistivity.empty() ? nullptr : &inversion;
}

int InversionWindow::pickedProfile() const {
    return runner_->profiles()[static_cast<std::size_t>(profileList_->currentRow())].profile;
}

QString InversionWindow::proposedPath(const QString& suffix) const {
    const QFileInfo image(imagePath_);
    return image.dir().filePath(QStringLiteral("%1_profile%2.%3")
                                    .arg(image.completeBaseName())
                                    .arg(pickedProfile())
                                    .arg(suffix));
}

void InversionWindow::saveText(const QString& kind, const QString& filter, const QString& suffix,
                               const std::string& text) {
    const QFileInfo proposed(proposedPath(suffix));
    const QString path =
        ui_.saveFileName({proposed.absolutePath(), proposed.fileName(), filter, 1, suffix});
    if (path.isEmpty()) return;
    try {
        writeFileAtomically(localName(path), text);
    } catch (const FileError& e) {
        ui_.tell({QStringLiteral("The %1 was not saved in %2: %3.")
                      .arg(kind, path, QString::fromStdString(e.reason()))
                      .toStdString(),
                  "2D inversion", MessageIcon::Error});
    }
}

void InversionWindow::showPicked() {
    const ProfileInversion* inversion = picked();
    for (QPushButton* button : resultButtons_) button->setEnabled(inversion != nullptr);
    fitNote_->clear();
    if (inversion == nullptr) {
        view_->showHint(running() ? kWhileRunning
                                  : QStringLiteral("This profile was not inverted: no section."));
        return;
    }
    const auto row = static_cast<std::size_t>(profileList_->currentRow());
    const ProfileData& profile = runner_->profiles()[row];
    fitNote_->setText(QStringLiteral("Errors: %1.\nStopped: %2.")
                          .arg(QString::fromStdString(errorText(profile)),
                               QString::fromStdString(stopText(profile, inversion->result,
                                                               runner_->options().targetRms))));
    view_->showPicture(std::make_unique<InversionPicture>(
        next_[row], inversion->result, inversion->fit, runner_->options().prior.boreholes));
    applyColourEnds(*colours_, inversions(), view_->picture()->section());
}

InversionPicture* InversionWindow::picture() const {
    return view_->picture();
}

void InversionWindow::printClick() {
    if (InversionPicture* shown = view_->picture())
        printChartOn(ui_, [shown](QPrinter& printer) { return printCharts(*shown, printer); });
}

void InversionWindow::saveImageClick() {
    InversionPicture* shown = view_->picture();
    if (shown == nullptr) return;
    saveChartImageAs(ui_, proposedPath(QStringLiteral("png")),
                     [shown](const QString& path, QSize size) {
                         return saveChartsImage(*shown, shown->pictureTitle(), path, size);
                     });
}

void InversionWindow::saveModelClick() {
    if (const ProfileInversion* inversion = picked())
        saveText(QStringLiteral("model"), QStringLiteral("Model file (*.json)|*.json"),
                 QStringLiteral("json"),
                 inversionModelFile(inversion->result, inversion->fit.sensitivity));
}

void InversionWindow::saveSectionClick() {
    if (const ProfileInversion* inversion = picked())
        saveText(QStringLiteral("section"), QStringLiteral("Text file (*.txt)|*.txt"),
                 QStringLiteral("txt"), sectionText(inversion->result, inversion->fit));
}

void InversionWindow::openInModelClick() {
    const ProfileInversion* inversion = picked();
    if (inversion == nullptr) return;
    ModelWindow window(ui_, survey_, this);
    window.setModel(inversionModel(inversion->result,
                                   cellsSeen(inversion->result, inversion->fit.sensitivity)));
    if (const InversionPicture* shown = picture()) {
        // The grid in the colours it has here, with the boreholes drawn on it.
        const ResistivityScale& scale = shown->section().scale();
        window.view().setGridColourEnds(
            std::pair{std::pow(10.0, scale.lowest()), std::pow(10.0, scale.highest())});
        window.view().setBoreholes(shown->boreholes());
    }
    window.pickProfile(pickedProfile());
    window.setImagePath(imagePath_);
    ui_.runDialog(window);
}

} // namespace veldro
