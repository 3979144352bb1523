#include "interpretation/ui/inversion_dialog.h"

#include "charts/local_file_name.h"
#include "data/file_io.h"
#include "data/survey_view.h"
#include "interpretation/profile_terrain.h"
#include "widgets/help_window.h"
#include "widgets/ui_services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <thread>

namespace veldro {

namespace {

const std::string kCaption = "2D inversion";

QDoubleSpinBox* numberBox(const char* name, double least, double most, int decimals, double value,
                          const QString& tip) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(least, most);
    box->setDecimals(decimals);
    box->setValue(value);
    box->setToolTip(tip);
    return box;
}

QSpinBox* wholeBox(const char* name, int least, int most, int value, const QString& tip) {
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(least, most);
    box->setValue(value);
    box->setToolTip(tip);
    return box;
}

QComboBox* choiceBox(const char* name, const QStringList& entries, int current) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(entries);
    box->setCurrentIndex(current);
    return box;
}

// The files of what is known besides the data, in the order of
// InversionChoices::priorFiles.
const struct {
    const char* name;
    const char* label;
    const char* tip;
    bool boreholes;
} kPriorFiles[] = {
    {"StartModel", "Start from model:", "A model file whose resistivities the cells start from",
     false},
    {"ReferenceModel", "Reference model:",
     "A model file the roughness is measured from: the section departs from it only where the "
     "data ask",
     false},
    {"FixModel", "Fix by model:",
     "A model file whose bodies hold the cells inside them at their resistivity", false},
    {"Boreholes", "Boreholes:",
     "A borehole file (name,profile,station, then from,to,resistivity,label): the cells its "
     "intervals cross are pulled towards their resistivity",
     true},
};

// "Profile 5 has no two stations...", or "Profiles 5, 7 have...".
std::string emptyProfilesText(const std::vector<int>& profiles) {
    std::string text = profiles.size() == 1 ? "Profile " : "Profiles ";
    for (std::size_t i = 0; i < profiles.size(); ++i)
        text += (i == 0 ? "" : ", ") + std::to_string(profiles[i]);
    return text + (profiles.size() == 1 ? " has" : " have") +
           " no two stations with kept readings of the data asked for";
}

} // namespace

InversionDialog::InversionDialog(UiServices& ui, const SurveyView& survey,
                                 const InversionChoices& choices, QWidget* parent)
    : QDialog(parent), ui_(ui), survey_(survey), choices_(choices), profileList_(new QListWidget) {
    setWindowTitle(QStringLiteral("2D inversion"));

    profileList_->setObjectName(QStringLiteral("Profiles"));
    profileList_->setToolTip(QStringLiteral("The profiles to invert, each on a thread of its own"));
    // The profiles picked last time, or all when none of them is in this data set.
    const std::vector<int> kept = survey.keptProfiles();
    const auto pickedBefore = [&](int profile) {
        return std::ranges::find(choices.profiles, profile) != choices.profiles.end();
    };
    const bool anyPickedBefore = std::ranges::any_of(kept, pickedBefore);
    for (int profile : kept) {
        auto* item = new QListWidgetItem(QStringLiteral("Profile %1").arg(profile), profileList_);
        item->setData(Qt::UserRole, profile);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool picked = !anyPickedBefore || pickedBefore(profile);
        item->setCheckState(picked ? Qt::Checked : Qt::Unchecked);
    }

    const ProfileDataOptions& reading = choices.data;
    frequencies_ = choiceBox("FrequencyNumbers",
                             {QStringLiteral("Both"), QStringLiteral("1"), QStringLiteral("2")},
                             reading.frequencyNumber);
    frequencies_->setToolTip(QStringLiteral("The frequency numbers whose readings are fitted"));
    kinds_ = choiceBox("DataKinds",
                       {QStringLiteral("Tilt and ellipticity"),
                        QStringLiteral("Resistivity and phase"), QStringLiteral("All four")},
                       static_cast<int>(reading.data));
    kinds_->setToolTip(QStringLiteral("Tilt-mode readings, resistivity-mode readings, or both"));
    // In the order of FittedQuantity, as the command line's --error names them.
    const struct {
        const char* name;
        QString label, tip;
    } errors[] = {
        {"TiltError", QStringLiteral("tilt"),
         QStringLiteral("The error of each tilt reading, in percent points")},
        {"EllipticityError", QStringLiteral("ellipticity"),
         QStringLiteral("The error of each ellipticity reading, in percent points")},
        {"RhoError", QStringLiteral("Rho"),
         QStringLiteral("The error of each apparent resistivity, in percent of it")},
        {"PhaseError", QStringLiteral("phase"),
         QStringLiteral("The error of each phase: half this percentage in radians, as that "
                        "percentage of Rho moves it")},
    };
    errorModel_ =
        choiceBox("ErrorModel",
                  {QStringLiteral("Estimated from the data"), QStringLiteral("The floors below")},
                  static_cast<int>(reading.errorModel));
    errorModel_->setToolTip(
        QStringLiteral("Each quantity's error from its own scatter (repeated readings of a "
                       "station, else the roughness of the curve), or the floors typed below; "
                       "the floors stand where the scatter cannot be told"));
    errorFraction_ = numberBox("ErrorFraction", 0, 100, 2, reading.errorFractionPercent,
                               QStringLiteral("Added to each error: this percentage of the value"));
    robust_ = new QCheckBox(QStringLiteral("Robust misfit (outliers count less)"));
    robust_->setObjectName(QStringLiteral("Robust"));
    robust_->setChecked(choices.inversion.robust);
    robust_->setToolTip(QStringLiteral("Huber's misfit: a reading far off the others pulls the "
                                       "section less"));
    depthOfInvestigation_ = new QCheckBox(QStringLiteral("Depth of investigation"));
    depthOfInvestigation_->setObjectName(QStringLiteral("DepthOfInvestigation"));
    depthOfInvestigation_->setChecked(choices.inversion.depthOfInvestigation);
    depthOfInvestigation_->setToolTip(
        QStringLiteral("Two more inversions towards references a decade apart: the section "
                       "fades where they differ, where the data do not decide the cells"));
    // Whether the positions give heights, and the choice to leave them out.
    const auto& positions = survey_.positions().all();
    const auto heights =
        std::count_if(positions.begin(), positions.end(),
                      [](const StationPosition& p) { return p.elevation.has_value(); });
    heights_ = new QCheckBox(heights > 0 ? QStringLiteral("Under the heights of %1 stations "
                                                          "(untick: as flat)")
                                               .arg(heights)
                                         : QStringLiteral("No heights: \"File\" \u2192 "
                                                          "\"Positions...\" loads them"));
    heights_->setObjectName(QStringLiteral("Heights"));
    heights_->setEnabled(heights > 0);
    heights_->setChecked(heights > 0 && !choices.flat);
    heights_->setToolTip(QStringLiteral("The cells follow the surface the positions' elevations "
                                        "give; unticked, the line is taken as flat"));
    auto* errorGrid = new QGridLayout;
    for (std::size_t q = 0; q < errors_.size(); ++q) {
        errors_[q] =
            numberBox(errors[q].name, 0.01, 100, 2, reading.errorFloorPercent[q], errors[q].tip);
        auto* label = new QLabel(errors[q].label);
        label->setBuddy(errors_[q]);
        const auto row = static_cast<int>(q / 2), column = static_cast<int>(q % 2) * 2;
        errorGrid->addWidget(label, row, column);
        errorGrid->addWidget(errors_[q], row, column + 1);
    }
    const InversionOptions& inversion = choices.inversion;
    horizontalWeight_ =
        numberBox("HorizontalWeight", 0.01, 100, 2, inversion.horizontalWeight,
                  QStringLiteral("The roughness across weighed against the roughness down: "
                                 "above 1 favours bodies long across the profile, below 1 tall "
                                 "ones"));
    startResistivity_ =
        numberBox("StartResistivity", 0.1, 1e5, 1, inversion.startResistivity,
                  QStringLiteral("The uniform ground the inversion starts from; it sets the "
                                 "depth of the section"));
    targetRms_ = numberBox("TargetRms", 0.01, 1000, 2, inversion.targetRms,
                           QStringLiteral("The misfit, in errors, at which the inversion stops"));
    iterations_ = wholeBox("MaxIterations", 1, 1000, inversion.maxIterations,
                           QStringLiteral("The inversion stops after this many iterations"));
    const auto cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads_ = wholeBox("Threads", 1, 256,
                        choices.threads == 0 ? cores : static_cast<int>(choices.threads),
                        QStringLiteral("Profiles inverted at once, one a thread"));

    auto* form = new QFormLayout;
    auto* prior = new QFormLayout;
    for (std::size_t i = 0; i < priorFiles_.size(); ++i) {
        QLineEdit* edit = priorFiles_[i] =
            new QLineEdit(QString::fromStdString(choices.priorFiles[i]));
        edit->setObjectName(QString::fromLatin1(kPriorFiles[i].name));
        edit->setToolTip(QString::fromUtf8(kPriorFiles[i].tip));
        auto* browse = new QPushButton(QStringLiteral("..."));
        browse->setObjectName(QString::fromLatin1(kPriorFiles[i].name) + QStringLiteral("Browse"));
        browse->setToolTip(QStringLiteral("Pick the file"));
        const bool boreholes = kPriorFiles[i].boreholes;
        connect(browse, &QPushButton::clicked, this, [this, edit, boreholes] {
            const QString path =
                ui_.openFileName({QFileInfo(edit->text()).absolutePath(),
                                  {},
                                  boreholes ? QStringLiteral("Borehole file (*.csv)|*.csv")
                                            : QStringLiteral("Model file (*.json)|*.json"),
                                  1,
                                  boreholes ? QStringLiteral("csv") : QStringLiteral("json")});
            if (!path.isEmpty()) edit->setText(path);
        });
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(browse);
        prior->addRow(QString::fromUtf8(kPriorFiles[i].label), row);
    }
    const double weight = choices.inversion.prior.boreholeWeight;
    boreholeWeight_ = numberBox("BoreholeWeight", 0, 1000, 2, weight,
                                QStringLiteral("How firmly a borehole's resistivity pulls the "
                                               "cells it crosses, against the roughness between "
                                               "two cells; 0 holds them fixed"));
    prior->addRow(QStringLiteral("Borehole weight (0 holds):"), boreholeWeight_);
    form->addRow(QStringLiteral("Frequency numbers:"), frequencies_);
    form->addRow(QStringLiteral("Data:"), kinds_);
    form->addRow(QStringLiteral("Errors:"), errorModel_);
    form->addRow(QStringLiteral("Error floors (%):"), errorGrid);
    form->addRow(QStringLiteral("Error of each value (%):"), errorFraction_);
    form->addRow(QString(), robust_);
    form->addRow(QString(), depthOfInvestigation_);
    form->addRow(QStringLiteral("Terrain:"), heights_);
    form->addRow(QStringLiteral("Starting resistivity (ohm.m):"), startResistivity_);
    form->addRow(QStringLiteral("Horizontal weight:"), horizontalWeight_);
    form->addRow(QStringLiteral("Target RMS:"), targetRms_);
    form->addRow(QStringLiteral("Iteration limit:"), iterations_);
    form->addRow(QStringLiteral("Threads:"), threads_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { ui_.showHelp(kInversionDialogHelp); });
    connect(buttons, &QDialogButtonBox::accepted, this, &InversionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* tickAll = new QPushButton(QStringLiteral("Tick all"));
    tickAll->setObjectName(QStringLiteral("TickAll"));
    tickAll->setToolTip(QStringLiteral("Invert every profile"));
    auto* tickNone = new QPushButton(QStringLiteral("Tick none"));
    tickNone->setObjectName(QStringLiteral("TickNone"));
    tickNone->setToolTip(QStringLiteral("Untick every profile, to tick a few"));
    for (auto [button, state] : {std::pair{tickAll, Qt::Checked}, {tickNone, Qt::Unchecked}})
        connect(button, &QPushButton::clicked, this, [this, state = state] {
            for (int row = 0; row < profileList_->count(); ++row)
                profileList_->item(row)->setCheckState(state);
        });
    auto* ticks = new QHBoxLayout;
    ticks->addWidget(tickAll);
    ticks->addWidget(tickNone);
    ticks->addStretch();

    // Only the errors of the data fitted can be set.
    const auto enableErrors = [this] {
        const auto fitted = static_cast<InversionData>(kinds_->currentIndex());
        for (std::size_t q = 0; q < errors_.size(); ++q)
            errors_[q]->setEnabled(fitted == InversionData::Both ||
                                   (q < 2) == (fitted == InversionData::Tilt));
    };
    connect(kinds_, &QComboBox::currentIndexChanged, this, enableErrors);
    enableErrors();

    // What is known besides the data on a page of its own, so that the
    // dialog fits a laptop's screen without crushing its rows.
    auto* pages = new QTabWidget;
    pages->setObjectName(QStringLiteral("Pages"));
    for (auto [rows, title] : {std::pair{form, QStringLiteral("Data and fit")},
                               {prior, QStringLiteral("Known besides the data")}}) {
        auto* page = new QWidget;
        auto* column = new QVBoxLayout(page);
        column->addLayout(rows);
        column->addStretch();
        pages->addTab(page, title);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Profiles to invert:")));
    layout->addWidget(profileList_, 1);
    layout->addLayout(ticks);
    layout->addWidget(pages);
    layout->addWidget(buttons);
}

InversionChoices InversionDialog::readChoices() const {
    InversionChoices read;
    for (int row = 0; row < profileList_->count(); ++row) {
        const QListWidgetItem* item = profileList_->item(row);
        if (item->checkState() == Qt::Checked)
            read.profiles.push_back(item->data(Qt::UserRole).toInt());
    }
    read.data.frequencyNumber = frequencies_->currentIndex();
    read.data.data = static_cast<InversionData>(kinds_->currentIndex());
    for (std::size_t q = 0; q < errors_.size(); ++q)
        read.data.errorFloorPercent[q] = errors_[q]->value();
    read.data.errorModel = static_cast<ErrorModel>(errorModel_->currentIndex());
    read.data.errorFractionPercent = errorFraction_->value();
    read.inversion.robust = robust_->isChecked();
    read.inversion.depthOfInvestigation = depthOfInvestigation_->isChecked();
    read.flat = heights_->isEnabled() ? !heights_->isChecked() : choices_.flat;
    read.inversion.startResistivity = startResistivity_->value();
    read.inversion.horizontalWeight = horizontalWeight_->value();
    read.inversion.targetRms = targetRms_->value();
    read.inversion.maxIterations = iterations_->value();
    read.threads = static_cast<unsigned>(threads_->value());
    for (std::size_t i = 0; i < priorFiles_.size(); ++i)
        read.priorFiles[i] = priorFiles_[i]->text().trimmed().toStdString();
    read.inversion.prior.boreholeWeight = boreholeWeight_->value();
    return read;
}

bool InversionDialog::readPrior(InversionChoices& choices) const {
    PriorKnowledge& prior = choices.inversion.prior;
    std::optional<GroundModel>* models[] = {&prior.start, &prior.reference, &prior.fixed};
    for (std::size_t i = 0; i < choices.priorFiles.size(); ++i) {
        const std::string& path = choices.priorFiles[i];
        if (path.empty()) continue;
        const std::string file = localName(QString::fromStdString(path));
        try {
            if (kPriorFiles[i].boreholes)
                prior.boreholes = placeBoreholes(readBoreholes(file), survey_.positions());
            else
                *models[i] = readGroundModel(file);
        } catch (const FileError& e) {
            ui_.tell({e.what(), kCaption, MessageIcon::Error});
            return false;
        } catch (const std::runtime_error& e) { // what the file holds
            ui_.tell({path + ": " + e.what(), kCaption, MessageIcon::Error});
            return false;
        }
    }
    return true;
}

void InversionDialog::accept() {
    InversionChoices read = readChoices();
    if (read.profiles.empty()) {
        ui_.tell({"Tick the profiles to invert.", kCaption, MessageIcon::Information});
        return;
    }
    if (!readPrior(read)) return;
    std::vector<ProfileData> profiles;
    std::vector<int> empty;
    for (int profile : read.profiles) {
        ProfileData found = profileData(survey_, profile, read.data);
        if (!read.flat) found.topography = profileTopography(found, survey_.positions());
        if (found.stations.size() >= 2 && !found.data.empty())
            profiles.push_back(std::move(found));
        else
            empty.push_back(profile);
    }
    if (!empty.empty()) {
        const std::string which = emptyProfilesText(empty);
        if (profiles.empty()) {
            ui_.tell({which + ": tick others, or ask for other data.", kCaption,
                      MessageIcon::Information});
            return;
        }
        if (ui_.ask({which + ". Invert the others?", kCaption, MessageIcon::Question},
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
            return;
    }
    choices_ = std::move(read);
    profiles_ = std::move(profiles);
    QDialog::accept();
}

} // namespace veldro
