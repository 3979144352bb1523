// What the window benchmarks share: the largest survey in a folder of its own,
// dialogs that open it and answer nothing else, and the offscreen run.
#pragma once

#include "app/ui_services.h"
#include "data/measurement_store.h"
#include "data/survey_generator.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

namespace veldro::bench {

// The 64000-record generated survey; its folder is the current one (where the
// scratch file lands) and the home of the settings file.
struct LargestSurvey {
    QTemporaryDir dir;
    QString path = dir.filePath("survey.vlf");

    LargestSurvey() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
        QDir::setCurrent(dir.path());
        MeasurementStore store;
        for (const MeasurementRecord& r : generateSurvey(MeasurementStore::kCapacity, 3))
            store.append(r);
        store.saveToFile(path.toStdString());
    }
};

// The open dialog always picks the survey; other dialogs are cancelled.
class SurveyUi : public UiServices {
public:
    explicit SurveyUi(QString survey) : survey_(std::move(survey)) {}

    QMessageBox::StandardButton ask(const Message&, QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton defaultButton) override {
        return defaultButton;
    }
    QString openFileName(const FileDialogRequest&) override { return survey_; }
    QString saveFileName(const FileDialogRequest&) override { return {}; }
    QString directoryName(const QString&) override { return {}; }
    int runDialog(QDialog&) override { return QDialog::Rejected; }
    bool preparePrinter(QPrinter&, bool) override { return false; }
    void showHelp(int) override {}

private:
    QString survey_;
};

// Runs the benchmarks on the offscreen platform unless another is asked for;
// `done` drops what they made while the application still stands.
inline int runWindowBenchmarks(int argc, char** argv, const std::function<void()>& done = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (done) done();
    return 0;
}

} // namespace veldro::bench
