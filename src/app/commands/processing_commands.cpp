#include "app/commands/processing_commands.h"

#include "app/data_session.h"
#include "app/measurement_table_model.h"
#include "data/measurement_store.h"
#include "processing/frequency_rejection.h"
#include "processing/keep_ignore.h"
#include "processing/range_filter.h"
#include "processing/ui/filter_dialog.h"
#include "processing/ui/frequency_dialog.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QMainWindow>
#include <QMenu>

namespace veldro {

namespace {

const Message kDeleteIgnored{"Are you sure ?", "Delete ignored data (unchecked)",
                             MessageIcon::Warning};
constexpr int kFilteringHelp = 1600;

} // namespace

ProcessingCommands::ProcessingCommands(CommandContext& context) : CommandGroup(context) {
    CommandRegistry& commands = context_.commands;
    for (const char* name : {"Keepselectedrows1", "Check1"})
        commands.add(context_.action(name), Enabling::WithData, [this] { Check1Click(); });
    for (const char* name : {"Ignoreselectedrows1", "Uncheck1"})
        commands.add(context_.action(name), Enabling::WithData, [this] { Uncheck1Click(); });
    commands.add(context_.action("DeleteUnselectedData"), Enabling::WithData,
                 [this] { DeleteUnselectedDataClick(); });
    commands.add(context_.action("Ignoreoverloaddata1"), Enabling::WithData,
                 [this] { Ignoreoverloaddata1Click(); });
    commands.add(context_.action("Filtering1"), Enabling::WithData, [this] { Filtering1Click(); });
    commands.add(context_.action("FrequencyDisabler1"), Enabling::WithData,
                 [this] { FrequencyDisabler1Click(); });
    DataSession& session = context_.session;
    commands.add(
        context_.action("Undo1"), Enabling::WithData, [&session] { session.undoKept(); },
        [&session] { return session.canUndo(); });
    commands.add(
        context_.action("Redo1"), Enabling::WithData, [&session] { session.redoKept(); },
        [&session] { return session.canRedo(); });

    MeasurementTableView& table = context_.table;
    table.imageStripPressed = [this](int row) { return toggleFromImageStrip(row); };
    table.doubleClickedRight = [this] {
        context_.commands.run([this] { TabMesureCLstViewDblClick(); });
    };
    table.rightPressed = [this](const QPoint& at) { TabMesureCLstViewMouseDown(at); };
    table.spacePressed = [this](int row) {
        context_.commands.run([this, row] { toggleRow(row); });
    };
}

void ProcessingCommands::Check1Click() {
    DataSession& session = context_.session;
    session.changeKept([&session](RowList& rows) {
        setRowsKept(*session.store(), rows, session.selectedRows(), true);
    });
}

void ProcessingCommands::Uncheck1Click() {
    DataSession& session = context_.session;
    session.changeKept([&session](RowList& rows) {
        setRowsKept(*session.store(), rows, session.selectedRows(), false);
    });
}

void ProcessingCommands::TabMesureCLstViewDblClick() {
    DataSession& session = context_.session;
    session.changeKept(
        [&session](RowList& rows) { toggleRows(*session.store(), rows, session.selectedRows()); });
}

// A second press on the same row (row i's caption is its number) within the
// double-click time is the tail of a double-click: it is swallowed rather than
// toggling the row back.
bool ProcessingCommands::toggleFromImageStrip(int row) {
    const DataSession& session = context_.session;
    if (!session.hasData() || session.busy()) return false;
    if (imageStripGuard_.secondPress(row)) return true;
    toggleRow(row);
    return false;
}

void ProcessingCommands::toggleRow(int row) {
    DataSession& session = context_.session;
    if (!session.hasData() || session.busy()) return;
    session.changeKept(
        [&session, row](RowList& rows) { toggleRows(*session.store(), rows, {row}); });
}

void ProcessingCommands::TabMesureCLstViewMouseDown(const QPoint& globalPosition) {
    const DataSession& session = context_.session;
    if (session.hasData() && !session.busy()) context_.menu("PopupMenu1")->popup(globalPosition);
}

void ProcessingCommands::Ignoreoverloaddata1Click() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    WaitCursor wait;
    KeptHistory::States before = session.keptStates();
    RowList rows = session.rows();
    ignoreOverloadData(*session.store(), rows, &session.progress());
    showChangedRows(std::move(rows), std::move(before));
}

void ProcessingCommands::DeleteUnselectedDataClick() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    copyRowFlagsToStore(session.rows(), *session.store());
    if (context_.ui.ask(kDeleteIgnored, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    WaitCursor wait;
    session.model().beginRebuild();
    RowList rows;
    deleteIgnoredData(*session.store(), rows, session.messages(), &session.progress());
    session.showRows(std::move(rows));
    session.forgetKeptHistory();
    session.setDataSaved(false);
}

void ProcessingCommands::Filtering1Click() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    MeasurementStore& store = *session.store();
    RangeScan scan;
    {
        WaitCursor wait;
        copyRowFlagsToStore(session.rows(), store);
        scan = scanRanges(store, session.rows());
    }
    TFilterFrm dialog(scan, session.messages(), &context_.window);
    connect(&dialog, &TFilterFrm::helpRequested, this,
            [this] { context_.ui.showHelp(kFilteringHelp); });
    if (context_.ui.runDialog(dialog) != QDialog::Accepted) return;
    WaitCursor wait;
    KeptHistory::States before = session.keptStates();
    RowList rows = session.rows();
    applyRangeFilter(store, scan.ranges, rows);
    commitRecordFlags(store, rows, &session.progress());
    showChangedRows(std::move(rows), std::move(before));
}

void ProcessingCommands::FrequencyDisabler1Click() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    TFreqFrm dialog(session.messages(), &context_.window);
    if (context_.ui.runDialog(dialog) != QDialog::Accepted) return;
    WaitCursor wait;
    KeptHistory::States before = session.keptStates();
    RowList rows = session.rows();
    rejectFrequency(*session.store(), rows, dialog.frequency());
    showChangedRows(std::move(rows), std::move(before));
}

// The rows a command rebuilt from the records it changed: the change can be
// undone, and the data set is unsaved even when the command changed nothing.
void ProcessingCommands::showChangedRows(RowList rows, KeptHistory::States before) {
    DataSession& session = context_.session;
    session.showRows(std::move(rows));
    if (!session.keptChanged(std::move(before))) session.setDataSaved(false);
}

} // namespace veldro
