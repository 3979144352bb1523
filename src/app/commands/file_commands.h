#pragma once

#include "app/command_group.h"

#include <QString>
#include <QStringList>
#include <string>

namespace veldro {

// The "File" menu: open, open last, the recent files, save as, import, add,
// positions, split, quit; and the files the desktop hands over, on the command line or
// dropped on the window.
class FileCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit FileCommands(CommandContext& context);

    void Ouvrir1Click();         // "Open..."
    void OpenLastFileClick();    // "Open last file..."
    void EnregistrerSousClick(); // "Save as..."
    void Importtextfile1Click(); // "Import file..."
    void Add1Click();            // "Add..."
    void PositionsClick();       // "Positions..."
    void Splitonname1Click();    // "Split in files..."
    void Quitter1Click();        // "Quit"

    // Files from the command line, a drop or the recent files: after the
    // unsaved-data question, the first is opened (a .bru imported) and the
    // others are added, as "Add..." does.
    void openFiles(const QStringList& paths);
    // The close question: true when the window may close; after "No" the
    // save dialog is offered and the window stays.
    bool FormCloseQuery();

private:
    // Opens `path` (`direct`: without the dialog, as a file the desktop hands
    // over); true when it was opened.
    bool openDataFile(const QString& path, bool direct);
    void saveDataFileAs();
    void offerRestOfDownload(const std::string& target);
    bool openOrImport(const QString& fullName);
    void importBruFile(const QString& fullName);
    void addFile(const QString& fullName);
    // The positions file beside a data file just opened, when there, goes
    // with it; one that is refused is said and the data set stays open.
    void readPositionsBeside(const QString& dataFile);
    void openRecentFile(const QString& path);
    void remember(const QString& fullName);
    // The recent files' menu is filled as it opens, never while one of its
    // items runs.
    void fillRecentMenu();

    // The file name last chosen in the open dialog, or handed over by the
    // desktop, which "Save as..." shows.
    QString openDialogFileName_;
};

} // namespace veldro
