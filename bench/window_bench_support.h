// What the window benchmarks share: dialogs that answer only the open
// dialog, and the main window beside the largest survey.
#pragma once

#include "app/main_window.h"
#include "bench_support.h"
#include "widgets/ui_services.h"

#include <QAction>
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
    std::optional<QSize> pictureSize(QSize) override { return std::nullopt; }
    std::optional<QFont> chooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
    void closeHelp() override {}
    void openUrl(const QUrl&) override {}
    bool startDetached(const QString&, const QStringList&, const QString&) override {
        return false;
    }

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

// Shows each dialog of ours, has `paint` paint it once, and closes it.
class PaintingUi : public SilentUi {
public:
    explicit PaintingUi(std::function<void(QDialog&)> paint) : paint_(std::move(paint)) {}
    int runDialog(QDialog& dialog) override {
        dialog.show();
        if (paint_) paint_(dialog);
        ++shown;
        dialog.hide();
        return QDialog::Rejected;
    }

    int shown = 0;

private:
    std::function<void(QDialog&)> paint_;
};

// The window with the largest survey open.
struct OpenSurvey {
    PaintingUi ui;
    SurveyWindow survey{ui};

    explicit OpenSurvey(std::function<void(QDialog&)> paint) : ui(std::move(paint)) {
        action("Ouvrir1")->trigger();
        QCoreApplication::processEvents();
    }
    TMainFrm& window() { return *survey.window; }
    QAction* action(const char* name) {
        return window().findChild<QAction*>(QString::fromLatin1(name));
    }
};

inline std::unique_ptr<OpenSurvey>& openSurveyMade() {
    static std::unique_ptr<OpenSurvey> made;
    return made;
}

// The program's one open survey, made on first use (with `paint` for its
// dialogs) and dropped by runWindowBenchmarks while the application stands.
inline OpenSurvey& openSurvey(std::function<void(QDialog&)> paint = {}) {
    std::unique_ptr<OpenSurvey>& made = openSurveyMade();
    if (!made) made = std::make_unique<OpenSurvey>(std::move(paint));
    return *made;
}

// Runs the benchmarks offscreen (unless a platform is named).
inline int runWindowBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    openSurveyMade().reset();
    return 0;
}

} // namespace veldro::bench
