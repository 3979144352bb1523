// What the link and download window tests share: a window whose COM 1 is a
// simulated instrument, and a watcher that acts while a download runs.
#pragma once

#include "app_test_support.h"
#include "data/survey_generator.h"
#include "data/vlf_file.h"
#include "link/pause_clock.h"
#include "link/simulated_d2xx.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace veldro::test {

// The records veldro-sim sends for --records `count` --seed `seed`, as the
// download stores them: every one kept.
inline std::vector<MeasurementRecord> simulatedSurvey(int count, unsigned seed) {
    std::vector<MeasurementRecord> records = generateSurvey(count, seed);
    for (MeasurementRecord& r : records) r.ignored = 0;
    return records;
}

inline std::vector<MeasurementRecord> recordsOf(const MeasurementStore& store) {
    std::vector<MeasurementRecord> records;
    for (int i = 0; i < store.count(); ++i) records.push_back(store.record(i));
    return records;
}

inline std::vector<MeasurementRecord> recordsInFile(const QString& path, UiServices& ui) {
    UiMessages messages(ui);
    const DataFileRead read = readDataFile(path.toStdString(), messages);
    return read.store ? recordsOf(*read.store) : std::vector<MeasurementRecord>{};
}

// veldro-sim on a pseudo-terminal of its own, its log in a file; the first
// line of the log names the terminal. Killed at the end if still running.
class SimulatedInstrument {
public:
    SimulatedInstrument(const QString& folder, const QStringList& options)
        : logFile_(folder + "/sim.log") {
        process_.setStandardOutputFile(logFile_);
        process_.setStandardErrorFile(folder + "/sim.err");
        process_.start(QStringLiteral(VELDRO_SIM), options);
        if (!process_.waitForStarted()) throw std::runtime_error("veldro-sim did not start");
        const QDeadlineTimer deadline(10000);
        while (!log().contains('\n')) {
            if (deadline.hasExpired()) throw std::runtime_error("veldro-sim named no terminal");
            QThread::msleep(5);
        }
        terminal_ = QString::fromLocal8Bit(log().split('\n').constFirst());
    }
    ~SimulatedInstrument() {
        process_.kill();
        process_.waitForFinished();
    }
    SimulatedInstrument(const SimulatedInstrument&) = delete;
    SimulatedInstrument& operator=(const SimulatedInstrument&) = delete;

    const QString& terminal() const { return terminal_; }
    QByteArray log() const {
        QFile file(logFile_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The exit status; -1 when it did not end within 20 s.
    int wait() {
        if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(20000)) return -1;
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

private:
    QString logFile_;
    QProcess process_;
    QString terminal_;
};

// Writes COM 1's device into the settings file before the window reads it.
inline bool mapCom1(const Sandbox& sandbox, const QString& device) {
    auto settings = sandbox.settings();
    settings->setValue("PortNum", 1);
    settings->setValue("Ports/COM1", device);
    return true;
}

// A window whose COM 1 is veldro-sim run with `options`.
struct SimulatorSession {
    explicit SimulatorSession(const QStringList& options) : instrument(sandbox.path(), options) {}

    Sandbox sandbox;
    SimulatedInstrument instrument;
    bool mapped = mapCom1(sandbox, instrument.terminal());
    ScriptedUiServices ui;
    SimulatedD2xx converters;
    InstantPauseClock pauses;
    TMainFrm window{ui, {&converters, &pauses}};
};

// Runs `step` at every turn of the event loop while the download panel shows,
// which is while the transfer waits for the instrument.
class DuringTransfer {
public:
    DuringTransfer(TMainFrm& window, std::function<void()> step)
        : window_(window), step_(std::move(step)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (!part<QGroupBox>(window_, "DownloadGB")->isHidden()) step_();
        });
        timer_.start();
    }

private:
    TMainFrm& window_;
    std::function<void()> step_;
    QTimer timer_;
};

// The record number the download panel shows ("Data # n  Profile # ..."), 0 before any.
inline int shownRecordNumber(const TMainFrm& window) {
    const QString text = part<QLabel>(window, "ProgressBarLbl")->text();
    if (!text.startsWith(QStringLiteral("Data # "))) return 0;
    return text.mid(7).section(u' ', 0, 0).toInt();
}

} // namespace veldro::test
