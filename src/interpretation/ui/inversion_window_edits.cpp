// The inversion window's edits between runs: the points kept out of the
// next run, by a click on the curves or by how far the sections miss them.
#include "data/number_text.h"
#include "interpretation/inversion_misfit.h"
#include "interpretation/ui/fit_exclusions.h"
#include "interpretation/ui/inversion_runner.h"
#include "interpretation/ui/inversion_window.h"
#include "interpretation/ui/picture_view.h"
#include "widgets/chart_panel.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace veldro {

// Below the result buttons from `row` on: the points kept out of the next
// run, and that run.
void InversionWindow::addEditControls(QGridLayout& grid, int row) {
    const QString limitTip =
        QStringLiteral("Exclude points missed by more than this many errors (standard "
                       "deviations) from the next run, in every profile");
    QPushButton* excludeMisses =
        panelButton(QStringLiteral("Exclude misses over"), "ExcludeMisses", limitTip);
    missLimit_ = new QDoubleSpinBox;
    missLimit_->setObjectName(QStringLiteral("MissLimit"));
    missLimit_->setToolTip(limitTip);
    missLimit_->setRange(1, 100);
    missLimit_->setDecimals(1);
    missLimit_->setValue(3);
    missLimit_->setSuffix(QStringLiteral(" errors"));
    QPushButton* fitAll =
        panelButton(QStringLiteral("Fit every point"), "FitAll",
                    QStringLiteral("Let the next run fit every point kept out, in every profile"));
    QPushButton* invertAgain = panelButton(
        QStringLiteral("Invert again"), "InvertAgain",
        QStringLiteral("Invert every profile again with the same choices, leaving the points "
                       "kept out (hollow; click one to toggle it) out of the fit (F5)"));
    invertAgain->setShortcut(Qt::Key_F5);
    editControls_ = {excludeMisses, missLimit_, fitAll, invertAgain};
    grid.addWidget(excludeMisses, row, 0);
    grid.addWidget(missLimit_, row, 1);
    grid.addWidget(fitAll, row + 1, 0);
    grid.addWidget(invertAgain, row + 1, 1);
    connect(excludeMisses, &QPushButton::clicked, this, &InversionWindow::excludeMissesClick);
    // Enter in the box applies it, as the button does; leaving it does not.
    connect(missLimit_, &QAbstractSpinBox::editingFinished, this, [this] {
        if (missLimit_->hasFocus()) excludeMissesClick();
    });
    connect(fitAll, &QPushButton::clicked, this, &InversionWindow::fitAllClick);
    connect(invertAgain, &QPushButton::clicked, this,
            [this] { startRun(next_, runner_->options()); });
}

ProfileData* InversionWindow::shownData() {
    return picked() != nullptr ? &next_[static_cast<std::size_t>(profileList_->currentRow())]
                               : nullptr;
}

void InversionWindow::pictureClicked(QPointF at) {
    ProfileData* shown = shownData();
    if (shown == nullptr) return;
    const std::optional<PickedData> picked = pickedAt(*view_->picture(), *shown, at);
    if (!picked) return;
    note_->setText(togglePicked(*shown, *picked));
    showPicked();
}

QString InversionWindow::tipAt(QPointF at) {
    const ProfileData* shown = shownData();
    if (shown == nullptr) return {};
    const std::optional<PickedData> picked = pickedAt(*view_->picture(), *shown, at);
    return picked ? pickTip(*shown, *picked) : QString();
}

void InversionWindow::excludeMissesClick() {
    const double limit = missLimit_->value();
    const std::vector<ProfileInversion>& done = inversions();
    std::size_t count = 0;
    for (std::size_t p = 0; p < next_.size() && p < done.size(); ++p) {
        const std::vector<double>& computed = done[p].fit.computed;
        if (computed.size() != next_[p].data.size()) continue; // not inverted
        const Eigen::Map<const Eigen::VectorXd> values(computed.data(),
                                                       static_cast<Eigen::Index>(computed.size()));
        for (std::size_t i : dataMissedBy(next_[p], values, limit)) {
            next_[p].data[i].excluded = true;
            ++count;
        }
    }
    const QString errors = QString::fromStdString(formatPattern(limit, 1));
    note_->setText(
        count == 0 ? QStringLiteral("No point fitted is missed by more than %1 errors.").arg(errors)
                   : QStringLiteral("%1 point(s) missed by more than %2 errors kept "
                                    "out: \"Invert again\" (F5) inverts without them")
                         .arg(count)
                         .arg(errors));
    showPicked();
}

void InversionWindow::fitAllClick() {
    for (ProfileData& profile : next_)
        for (Datum& d : profile.data) d.excluded = false;
    note_->setText(
        QStringLiteral("Every point fitted again: \"Invert again\" (F5) inverts with them all"));
    showPicked();
}

} // namespace veldro
