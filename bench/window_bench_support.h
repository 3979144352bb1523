// What the window benchmarks share: dialogs that answer only the open
// dialog, and the main window beside the largest survey.
#pragma once

#include "app/main_window.h"
#include "app/ui_services.h"
#include "bench_support.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace veldro::bench {

// The open dialog always picks the survey; every other dialog is cancelled.
class SilentUi : public UiServices {
public:
    QMessageBox::StandardButton ask(const Message&, QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton defaultButton) override {
        return defaultButton;
    }
    QString openFileName(const FileDialogRequest&) override { return survey; }
    QString saveFileName(const FileDialogRequest&) override { return {}; }
    QString directoryName(const QString&) override { return {}; }
    int runDialog(QDialog&) override { return QDialog::Rejected; }
    bool preparePrinter(QPrinter&, bool) override { return false; }
    void showHelp(int) override {}
    std::optional<QFont> chooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }

    QString survey;
};

// The window over `ui`, shown, in a fresh current folder (where the scratch
// and working files land) that holds the largest survey as "survey.vlf".
struct SurveyWindow {
    QTemporaryDir dir;
    std::unique_ptr<TMainFrm> window;

    explicit SurveyWindow(SilentUi& ui) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
        QDir::setCurrent(dir.path());
        ui.survey = dir.filePath("survey.vlf");
        MeasurementStore store;
        fillLargestSurvey(store);
        store.saveToFile(ui.survey.toStdString());
        window = std::make_unique<TMainFrm>(ui);
        window->show();
        QCoreApplication::processEvents();
    }
};

// Runs the benchmarks offscreen (unless a platform is named); `cleanUp`
// drops what they made while the application still runs.
inline int runWindowBenchmarks(int argc, char** argv, const std::function<void()>& cleanUp) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    cleanUp();
    return 0;
}

} // namespace veldro::bench
