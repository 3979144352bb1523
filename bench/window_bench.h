// What the window benchmarks share: dialogs that answer nothing but the open
// dialog, the largest survey in a folder of its own, and the offscreen run.
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

namespace veldro::bench {

// The open dialog always picks the survey; nothing else is answered.
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

    QString survey;
};

// A full instrument memory as "survey.vlf" in a temporary folder, which is
// also the current folder (where the scratch file lands) and the settings' home.
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

// The benchmarks of the program, on the offscreen platform unless another is asked for.
inline int runWindowBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace veldro::bench
