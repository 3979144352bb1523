// What the window tests share: scripted dialogs, a settings file and a working
// folder of their own, and small data files made from records.
#pragma once

#include "app/data_session.h"
#include "app/main_window.h"
#include "app/measurement_table_model.h"
#include "app/settings.h"
#include "data/measurement_record.h"
#include "data/measurement_store.h"
#include "records.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

namespace veldro::test {

// Answers every dialog from a script and records what was asked. A message
// without a scripted answer gets its default button; a file dialog without one
// is cancelled.
class ScriptedUiServices : public UiServices {
public:
    struct Asked {
        Message message;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };

    QMessageBox::StandardButton ask(const Message& message, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override {
        asked.push_back({message, buttons, defaultButton});
        if (whenAsked) whenAsked();
        if (answers.empty()) return defaultButton;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void tellWithDetail(const Message& message, const QString& detail) override {
        details.push_back(detail);
        ask(message, QMessageBox::Ok, QMessageBox::Ok);
    }
    QString openFileName(const FileDialogRequest& request) override {
        openRequests.push_back(request);
        return next(openAnswers);
    }
    QString saveFileName(const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        return next(saveAnswers);
    }
    QString directoryName(const QString& start) override {
        directoryStarts.push_back(start);
        if (directoryAnswers.empty()) return {};
        const auto answer = directoryAnswers.front();
        directoryAnswers.pop_front();
        return answer();
    }

    // Runs the next scripted answer on the dialog, shown but not modal: it
    // fills the dialog and presses a button. Without an answer the dialog is
    // cancelled.
    int runDialog(QDialog& dialog) override {
        dialogTitles << dialog.windowTitle();
        if (dialogAnswers.empty()) return QDialog::Rejected;
        const auto answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        answer(dialog);
        const int result = dialog.result();
        dialog.hide();
        return result;
    }

    // Prints into a PDF file of the test's choosing; an empty name cancels.
    bool preparePrinter(QPrinter& printer, bool ask) override {
        printerAsked.push_back(ask);
        const QString file = next(printerAnswers);
        if (file.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }
    void showHelp(int context) override { helpContexts.push_back(context); }

    // The picture size: each offer is kept; without an answer the offer is
    // taken, as OK would; an answer of none cancels.
    std::optional<QSize> pictureSize(QSize proposed) override {
        picturesOffered.push_back(proposed);
        if (pictureAnswers.empty()) return proposed;
        const std::optional<QSize> answer = pictureAnswers.front();
        pictureAnswers.pop_front();
        return answer;
    }
    std::vector<QSize> picturesOffered;
    std::deque<std::optional<QSize>> pictureAnswers;

    // Font and colour dialogs: each offer is kept; without an answer, cancelled.
    std::optional<QFont> chooseFont(const QFont& initial) override {
        fontsOffered.push_back(initial);
        return nextChoice(fontAnswers);
    }
    std::optional<QColor> chooseColour(const QColor& initial) override {
        coloursOffered.push_back(initial);
        return nextChoice(colourAnswers);
    }
    std::vector<QFont> fontsOffered;
    std::deque<QFont> fontAnswers;
    std::vector<QColor> coloursOffered;
    std::deque<QColor> colourAnswers;

    // The help window and the desktop's services: there is no help window to
    // close; the browser is noted, never opened; a program is noted (itself,
    // then its arguments) and started.
    void closeHelp() override {}
    void openUrl(const QUrl& url) override { openedUrls.push_back(url); }
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& folder) override {
        startedPrograms.push_back(QStringList{program} + arguments);
        return QProcess::startDetached(program, arguments, folder);
    }
    std::vector<QUrl> openedUrls;
    std::vector<QStringList> startedPrograms;

    QStringList texts() const {
        QStringList all;
        for (const Asked& a : asked) all << QString::fromStdString(a.message.text);
        return all;
    }

    std::vector<Asked> asked;
    // Runs while each box is up, to look at the window behind it.
    std::function<void()> whenAsked;
    QStringList details; // of the boxes that carried one, in order
    std::deque<QMessageBox::StandardButton> answers;
    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::deque<QString> openAnswers, saveAnswers;
    QStringList directoryStarts;
    std::deque<std::function<QString()>> directoryAnswers;
    QStringList dialogTitles;
    std::vector<bool> printerAsked; // whether each print showed the print dialog
    std::deque<QString> printerAnswers;
    std::vector<int> helpContexts;
    std::deque<std::function<void(QDialog&)>> dialogAnswers;

private:
    template <class T> static std::optional<T> nextChoice(std::deque<T>& queue) {
        if (queue.empty()) return std::nullopt;
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
    static QString next(std::deque<QString>& queue) {
        return nextChoice(queue).value_or(QString());
    }
};

// A fresh folder per test: the current folder (where the scratch file lands),
// the home of the settings file and of the download journals (data/).
class Sandbox {
public:
    Sandbox() : previousData_(qgetenv("XDG_DATA_HOME")) {
        if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
        QDir(dir_.path()).mkdir(QStringLiteral("config"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.filePath("config"));
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toLocal8Bit());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
    }
    ~Sandbox() {
        QDir::setCurrent(previous_);
        qputenv("XDG_DATA_HOME", previousData_);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString file(const QString& name) const { return dir_.filePath(name); }
    QString path() const { return dir_.path(); }
    // The settings file the window reads and writes.
    std::unique_ptr<QSettings> settings() const { return openSettings(); }

private:
    QTemporaryDir dir_;
    QString previous_;
    QByteArray previousData_;
};

// One test's folder, scripted dialogs and window, made in that order.
struct Session {
    Sandbox sandbox;
    ScriptedUiServices ui;
    TMainFrm window{ui};
};

// A part of the window by its object name; a missing one fails the test.
template <class T = QWidget> T* part(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::logic_error(std::string("no ") + name + " in the window");
    return found;
}

inline QAction* action(const QObject& window, const char* name) {
    return part<QAction>(window, name);
}

// A menu item's caption as it reads, without the "&" of its mnemonic.
inline QString caption(const QAction* item) {
    return QString(item->text()).remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

inline QString writeDataFile(const QString& path, const std::vector<MeasurementRecord>& records,
                             const std::string& comment = "Test survey") {
    MeasurementStore store;
    store.setCommentText(comment);
    for (const MeasurementRecord& r : records) store.append(r);
    store.saveToFile(path.toStdString());
    return path;
}

// The records of a data file, read as plain bytes.
inline std::vector<MeasurementRecord> readBack(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    std::vector<MeasurementRecord> records;
    for (qsizetype at = 1024; at + 44 <= bytes.size(); at += 44)
        records.push_back(MeasurementRecord::decode(
            reinterpret_cast<const std::uint8_t*>(bytes.constData() + at)));
    return records;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Pixels of a picture that are clearly red or blue: a section's or map's cells.
inline int colouredPixels(const QImage& image) {
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            coloured += std::abs(c.red() - c.blue()) > 60;
        }
    return coloured;
}

inline void writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

inline std::vector<MeasurementRecord> profileRecords(int profile, int count, int firstStation = 0) {
    std::vector<MeasurementRecord> records;
    for (int i = 0; i < count; ++i)
        records.push_back(record({.profile = profile, .station = firstStation + 25 * i}));
    return records;
}

template <class... Lists> std::vector<MeasurementRecord> joined(Lists... lists) {
    std::vector<MeasurementRecord> all;
    (all.insert(all.end(), lists.begin(), lists.end()), ...);
    return all;
}

// A window shown on the offscreen screen, opened on `file` when not empty.
inline void openThroughDialog(TMainFrm& window, ScriptedUiServices& ui, const QString& file) {
    ui.openAnswers.push_back(file);
    action(window, "Ouvrir1")->trigger();
}

// The window shown with `records` opened as the session's survey.
inline void openSurvey(Session& s, const std::vector<MeasurementRecord>& records) {
    s.window.show();
    openThroughDialog(s.window, s.ui, writeDataFile(s.sandbox.file("survey.vlf"), records));
}

inline QString statusText(const TMainFrm& window) {
    return part<QLabel>(window, "StatusPanel0")->text();
}

inline void selectRows(TMainFrm& window, const std::vector<int>& rows) {
    auto* table = part<MeasurementTableView>(window, "TabMesureCLstView");
    table->clearSelection();
    auto* selection = table->selectionModel();
    for (int row : rows)
        selection->select(window.tableModel().index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

inline std::vector<bool> keptFlags(const TMainFrm& window) {
    std::vector<bool> flags;
    for (const RowEntry& entry : window.rowList().entries) flags.push_back(entry.kept);
    return flags;
}

inline std::vector<bool> recordFlags(const MeasurementStore& store) {
    std::vector<bool> flags;
    for (int i = 0; i < store.count(); ++i) flags.push_back(store.record(i).kept());
    return flags;
}

// veldro-cli run with these arguments: its exit status and standard error.
struct CliResult {
    int status;
    QString error;
};
inline CliResult runCliProgram(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VELDRO_CLI), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace veldro::test
