// The model window's files: model files opened and saved, the picture saved
// and printed, and the data set's profiles read.
#include "charts/chart_image.h"
#include "charts/local_file_name.h"
#include "data/file_io.h"
#include "data/survey_view.h"
#include "interpretation/profile_data.h"
#include "interpretation/ui/model_window.h"
#include "widgets/chart_panel.h"
#include "widgets/ui_services.h"

#include <QFileInfo>
#include <QGraphicsWidget>
#include <QListWidget>
#include <QUndoStack>

namespace veldro {

namespace {

const QString kModelFilter = QStringLiteral("Model file (*.json)|*.json");
const Message kSaveChanges{"The model has changed. Save it?", "Model", MessageIcon::Question};

} // namespace

void ModelWindow::reject() {
    if (changesSettled()) QDialog::reject();
}

bool ModelWindow::changesSettled() {
    if (edits_->isClean()) return true;
    switch (ui_.ask(kSaveChanges, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return saveClick();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void ModelWindow::openClick() {
    if (!changesSettled()) return;
    const QFileInfo proposed(modelPath_.isEmpty() ? imagePath_ : modelPath_);
    const QString path =
        ui_.openFileName({proposed.absolutePath(), {}, kModelFilter, 1, QStringLiteral("json")});
    if (path.isEmpty()) return;
    try {
        setModel(readGroundModel(localName(path)), -1);
        modelPath_ = path;
    } catch (const FileError& e) {
        ui_.tell({e.what(), "Open model", MessageIcon::Error});
    } catch (const ModelError& e) {
        ui_.tell({localName(path) + ": " + e.what(), "Open model", MessageIcon::Error});
    }
}

bool ModelWindow::saveClick() {
    const QFileInfo proposed(modelPath_.isEmpty() ? imagePath_ : modelPath_);
    const QString path = ui_.saveFileName({proposed.absolutePath(),
                                           proposed.completeBaseName() + QStringLiteral(".json"),
                                           kModelFilter, 1, QStringLiteral("json")});
    if (path.isEmpty()) return false;
    try {
        writeFileAtomically(localName(path), groundModelJson(model_));
    } catch (const FileError& e) {
        ui_.tell({"The model was not saved in " + localName(path) + ": " + e.reason() + ".",
                  "Save model", MessageIcon::Error});
        return false;
    }
    modelPath_ = path;
    edits_->setClean();
    return true;
}

void ModelWindow::printClick() {
    printChartOn(ui_, [this](QPrinter& printer) { return printCharts(view_->picture(), printer); });
}

void ModelWindow::saveImageClick() {
    saveChartImageAs(ui_, imagePath_, [this](const QString& path, QSize size) {
        return saveChartsImage(view_->picture(), windowTitle(), path, size);
    });
}

void ModelWindow::readProfiles(const SurveyView& survey) {
    for (int profile : survey.keptProfiles()) {
        // As the inversion reads them by default: its errors are the error bars.
        ProfileData read = profileData(survey, profile, {});
        if (read.data.empty()) continue;
        profiles_.emplace(profile, std::move(read));
        auto* entry = new QListWidgetItem(QStringLiteral("Profile %1").arg(profile), profileList_);
        entry->setData(Qt::UserRole, profile);
    }
}

} // namespace veldro
