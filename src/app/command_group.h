#pragma once

#include "app/command_registry.h"
#include "app/save_dialog.h"

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

namespace veldro {

class DataSession;
class MeasurementTableView;
class StatusLine;
class UiServices;
struct Settings;

// What every command group works with: the window and its parts, the data
// set, the dialogs, the remembered settings and the registry.
struct CommandContext {
    QMainWindow& window;
    UiServices& ui;
    Settings& settings;
    DataSession& session;
    StatusLine& status;
    MeasurementTableView& table;
    CommandRegistry& commands;
    // Shared by "Save as..." and the exports; it keeps its last name for the run.
    SaveDialog saveDialog{settings};

    // The window's action or menu of that object name; a missing one is a
    // programming error and throws.
    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const;
};

// The commands of one menu or concern. A group registers its handlers when it
// is made and lives as long as the window.
class CommandGroup : public QObject {
    Q_OBJECT
public:
    explicit CommandGroup(CommandContext& context) : context_(context) {}

    // The window closes for good: the settings are written already.
    virtual void windowClosing() {}

protected:
    CommandContext& context_;
};

} // namespace veldro
