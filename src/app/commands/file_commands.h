#pragma once

#include "app/command_group.h"

#include <QString>

namespace veldro {

// The filter list of the main window's save dialog, which "Save as..." and the
// exports share.
extern const QString kSaveDialogFilter;

// The "File" menu: open, open last, save as, import, add, split, quit.
class FileCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit FileCommands(CommandContext& context);

    void Ouvrir1Click();         // "Open..."
    void OpenLastFileClick();    // "Open last file..."
    void EnregistrerSousClick(); // "Save as..."
    void Importtextfile1Click(); // "Import file..."
    void Add1Click();            // "Add..."
    void Splitonname1Click();    // "Split in files..."
    void Quitter1Click();        // "Quit"

    // Opens `path` (`direct`: without the dialog, as from the command line).
    void openDataFile(const QString& path, bool direct);
    // The close question: true when the window may close; after "No" the
    // save dialog is offered and the window stays.
    bool FormCloseQuery();

private:
    void saveDataFileAs();

    // The file name last chosen in the open dialog, which "Save as..." shows.
    QString openDialogFileName_;
};

} // namespace veldro
