#pragma once

#include "app/command_group.h"
#include "app/commands/link_commands.h"
#include "app/settings.h"
#include "widgets/ui_services.h"

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMenu;

namespace veldro {

class DataSession;
class FileCommands;
class LinkCommands;
class MeasurementStore;
class MeasurementTableModel;
class MeasurementTableView;
class Port;
class StatusLine;
struct RowList;

// The main window: the shell of menus, toolbar, table and status line. The
// commands live in groups over one context; each registers its handlers and
// enabling rules when it is made.
class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainFrm(UiServices& services, const LinkDevices& devices = {});
    ~TMainFrm() override;

    // The files named on the command line, taken once the window is first
    // shown: the first opened without a dialog, the others added.
    void openOnFirstShow(const QStringList& paths);
    // Once first shown, before those files: offers the downloads journalled
    // in `journalFolder` whose records reached no file.
    void restoreDownloadsOnFirstShow(const std::string& journalFolder);

    DataSession& session() { return *session_; }
    const MeasurementStore* store() const;
    const RowList& rowList() const;
    bool dataSaved() const;
    const Settings& settings() const { return settings_; }
    MeasurementTableModel& tableModel();
    // The instrument port of the run: none before the first download.
    const Port* currentPort() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildClientArea();
    void readSettings();
    void placeWindow();
    void followMenus();
    void showTitle();
    void closeIfAsked();

    UiServices& services_;
    Settings settings_;
    QLabel* NameLblx;
    MeasurementTableView* TabMesureCLstView;
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<DataSession> session_;
    std::unique_ptr<CommandRegistry> commands_;
    std::unique_ptr<CommandContext> context_;
    // Made after the parts they use, so they go first.
    std::vector<std::unique_ptr<CommandGroup>> groups_;
    FileCommands* files_ = nullptr;
    LinkCommands* link_ = nullptr;
    QStringList startupFiles_;
    std::string journalFolder_;
    bool shown_ = false;
    // A close asked during a command that was cancelled for it: it comes back
    // once the command has ended.
    bool closeWhenIdle_ = false;
};

} // namespace veldro
