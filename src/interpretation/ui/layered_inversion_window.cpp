#include "interpretation/ui/layered_inversion_window.h"

#include "charts/chart_image.h"
#include "data/number_text.h"
#include "data/survey_view.h"
#include "interpretation/ui/layered_section_chart.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "widgets/chart_panel.h"
#include "widgets/help_window.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <thread>

namespace veldro {

namespace {

// The smooth ground's layers unless changed: enough for VLF's few frequencies.
constexpr int kDefaultLayers = 20;

QString pattern(double value, int decimals) {
    return QString::fromStdString(formatPattern(value, decimals));
}

} // namespace

LayeredInversionWindow::LayeredInversionWindow(UiServices& ui, const SurveyView& survey,
                                               QWidget* owner)
    : QDialog(owner), ui_(ui), profileList_(new QListWidget), smooth_(new QCheckBox),
      layers_(new QSpinBox), note_(new QLabel), chart_(new ResistivitySectionChart) {
    setWindowTitle(QStringLiteral("1D inversion"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(kChartPictureSize);
    keepWindowSize(*this, QStringLiteral("LayeredInversionWindow"));

    {
        WaitCursor wait;
        for (int profile : survey.keptProfiles()) {
            std::vector<Sounding> stations = veldro::soundings(
                profileData(survey, profile, {.data = InversionData::Resistivity}));
            if (stations.empty()) continue;
            profileList_->addItem(QStringLiteral("Profile %1").arg(profile));
            profiles_.push_back(std::move(stations));
        }
    }

    profileList_->setObjectName(QStringLiteral("Profiles"));
    profileList_->setToolTip(QStringLiteral("The profiles with Rho and phase; pick one"));
    smooth_->setObjectName(QStringLiteral("Smooth"));
    smooth_->setText(QStringLiteral("Smooth"));
    smooth_->setToolTip(QStringLiteral(
        "The smoothest ground of the layers below that fits, rather than two layers"));
    layers_->setObjectName(QStringLiteral("Layers"));
    layers_->setRange(2, 100);
    layers_->setValue(kDefaultLayers);
    layers_->setEnabled(false);
    layers_->setToolTip(QStringLiteral("How many layers the smooth ground has"));
    QPushButton* print = panelButton(QStringLiteral(" Print "), "BitBtnPrint",
                                     QStringLiteral("Print the picked profile's grounds"));
    print->setIcon(icons::toolIcon(icons::Tool::Print));
    print->setShortcut(QKeySequence::Print);
    QPushButton* image =
        panelButton(QStringLiteral("Save image..."), "SaveImage",
                    QStringLiteral("Save the picked profile's grounds as PNG, SVG or PDF"));

    auto* panel = new QWidget;
    QVBoxLayout* panelLayout = stackPanel(*panel);
    panelLayout->addWidget(profileList_, 1);
    panelLayout->addWidget(smooth_);
    panelLayout->addWidget(layers_);
    panelLayout->addWidget(print);
    panelLayout->addWidget(image);
    auto* view = new QChartView(chart_);
    view->setObjectName(QStringLiteral("Picture"));
    view->setRenderHint(QPainter::Antialiasing);
    note_->setObjectName(QStringLiteral("Note"));
    layOutPanelWindow(*this, panel, view)->addWidget(note_, 1);

    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { ui_.showHelp(kLayeredInversionHelp); });
    connect(profileList_, &QListWidget::currentRowChanged, this,
            &LayeredInversionWindow::showPicked);
    connect(smooth_, &QCheckBox::toggled, this, [this](bool on) {
        layers_->setEnabled(on);
        showPicked();
    });
    connect(layers_, &QSpinBox::valueChanged, this, &LayeredInversionWindow::showPicked);
    connect(print, &QPushButton::clicked, this, [this] {
        printChartOn(ui_, [this](QPrinter& printer) { return printChart(*chart_, printer); });
    });
    connect(image, &QPushButton::clicked, this, [this] {
        saveChartImageAs(ui_, imagePath_, [this](const QString& path, QSize size) {
            return saveChartImage(*chart_, path, size);
        });
    });
    if (hasData()) profileList_->setCurrentRow(0);
}

const std::vector<Sounding>& LayeredInversionWindow::soundings() const {
    return profiles_[static_cast<std::size_t>(std::max(profileList_->currentRow(), 0))];
}

void LayeredInversionWindow::showPicked() {
    if (profileList_->currentRow() < 0) return;
    const bool twoLayers = !smooth_->isChecked();
    {
        WaitCursor wait;
        models_ =
            invertSoundings(soundings(), twoLayers ? 0 : static_cast<std::size_t>(layers_->value()),
                            std::max(1u, std::thread::hardware_concurrency()));
    }
    showLayeredSection(*chart_, soundings(), models_, twoLayers);
    const auto [least, most] = std::minmax_element(
        models_.begin(), models_.end(),
        [](const LayeredModel& a, const LayeredModel& b) { return a.rms < b.rms; });
    note_->setText(QStringLiteral("%1 stations, RMS %2 to %3")
                       .arg(models_.size())
                       .arg(pattern(least->rms, 2), pattern(most->rms, 2)));
}

} // namespace veldro
