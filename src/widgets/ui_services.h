#pragma once

#include "data/messages.h"

#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QPrinter;
class QUrl;
class QWidget;

namespace veldro {

class HelpWindow;

// An open or save dialog as the commands describe it. `filter` is written in
// the "Description|patterns|Description|patterns" form the commands share.
struct FileDialogRequest {
    QString directory;
    QString fileName;
    QString filter;
    int filterIndex = 1; // 1-based
    QString defaultSuffix;
    // When set, the default suffix follows the filter entry the user picks (1-based).
    std::function<QString(int filterIndex)> suffixOfFilter = {};
};

// The pattern form of a filter converted into Qt name filters ("All (*.*)"
// becomes "All (*)", which also matches names without a dot).
QStringList qtNameFilters(const QString& filter);

// Every modal question, file dialog and dialog of our own goes through here,
// so tests can answer them and check their exact texts.
class UiServices {
public:
    virtual ~UiServices() = default;
    // Shows a message box; returns the button chosen. An empty caption means
    // the application title.
    virtual QMessageBox::StandardButton ask(const Message& message,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) = 0;
    // The chosen file name, or empty when cancelled.
    virtual QString openFileName(const FileDialogRequest& request) = 0;
    // Asks before replacing an existing file.
    virtual QString saveFileName(const FileDialogRequest& request) = 0;
    virtual QString directoryName(const QString& start) = 0;
    // Runs one of the program's own dialogs modally; returns its result
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int runDialog(QDialog& dialog) = 0;
    // Readies `printer` for a print job: through the print dialog when `ask`,
    // else on the system's default printer. False when the user cancelled or
    // there is no printer to print on (the caller says so).
    virtual bool preparePrinter(QPrinter& printer, bool ask) = 0;
    // Opens the user guide at a help context (100 the contents, 1600 filtering).
    virtual void showHelp(int context) = 0;

    // The size in pixels a chart picture is drawn at, starting from
    // `proposed`; none when cancelled.
    virtual std::optional<QSize> pictureSize(QSize proposed) = 0;

    // Font and colour dialogs: the choice made from `initial`, none when cancelled.
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColour(const QColor& initial) = 0;

    // The help window and the desktop's services.
    // Closes the user guide, if it is open: the main window is closing.
    virtual void closeHelp() = 0;
    // Opens a web address with the desktop's browser.
    virtual void openUrl(const QUrl& url) = 0;
    // Starts `program` with `arguments` in `folder` as a process of its own, not
    // waited for; false when it could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& folder) = 0;

    void tell(const Message& message) { ask(message, QMessageBox::Ok, QMessageBox::Ok); }
    // An OK box with a detail behind its "Show Details..." button, such as why a
    // device refused to open; an empty detail gives a plain box. A substitute
    // that shows no details gives the message alone.
    virtual void tellWithDetail(const Message& message, const QString& /*detail*/) {
        tell(message);
    }
};

// The box `QtUiServices` shows for a message, not yet shown: its caption is
// the message's, or the application's name when the message has none.
std::unique_ptr<QMessageBox> messageBox(const Message& message,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton,
                                        QWidget* parent = nullptr);

// The font dialog picks its style by name. A font without one may come up as
// "Oblique" where the family calls its upright style "Book": the font with
// the family's own name of the style it has.
QFont withStyleName(QFont font);

// The real dialogs.
class QtUiServices : public UiServices {
public:
    explicit QtUiServices(QWidget* parent = nullptr);
    ~QtUiServices() override;
    void setParent(QWidget* parent) { parent_ = parent; }

    QMessageBox::StandardButton ask(const Message& message, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString saveFileName(const FileDialogRequest& request) override;
    QString directoryName(const QString& start) override;
    int runDialog(QDialog& dialog) override;
    bool preparePrinter(QPrinter& printer, bool ask) override;
    void showHelp(int context) override;
    std::optional<QSize> pictureSize(QSize proposed) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    void closeHelp() override;
    void openUrl(const QUrl& url) override;
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& folder) override;
    void tellWithDetail(const Message& message, const QString& detail) override;

private:
    QMessageBox::StandardButton show(const Message& message, QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton,
                                     const QString& detail);

    QWidget* parent_;
    std::unique_ptr<HelpWindow> help_;
};

// What core code says, shown in message boxes.
class UiMessages : public MessageSink {
public:
    explicit UiMessages(UiServices& services) : services_(services) {}
    void show(const Message& message) override { services_.tell(message); }

private:
    UiServices& services_;
};

} // namespace veldro
