#include "app/commands/export_commands.h"

#include "app/data_session.h"
#include "app/measurement_table_model.h"
#include "app/settings.h"
#include "app/status_line.h"
#include "data/measurement_store.h"
#include "export/fraser_spreadsheet.h"
#include "export/karous_hjelt_spreadsheet.h"
#include "export/raw_spreadsheet.h"
#include "processing/karous_hjelt.h"
#include "widgets/wait_cursor.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>

namespace veldro {

ExportCommands::ExportCommands(CommandContext& context) : CommandGroup(context) {
    CommandRegistry& commands = context_.commands;
    commands.add(context_.action("Spreadsheet1"), Enabling::WithData,
                 [this] { Spreadsheet1Click(); });
    commands.add(context_.action("Fraser1"), Enabling::WithData, [this] { Fraser1Click(); });
    commands.add(context_.action("KarousHjeltValues"), Enabling::WithData,
                 [this] { exportKarousHjeltValues(); });
    const auto* separators = context_.window.findChild<QActionGroup*>("separatorGroup");
    for (QAction* item : separators->actions()) {
        item->setChecked(item->data().toInt() == context_.settings.separatorChar);
        commands.add(item, Enabling::Idle, [this, item] { optiontableur1Click(item); });
    }
}

// The items form an exclusive group: the one triggered is checked already.
void ExportCommands::optiontableur1Click(QAction* item) {
    context_.settings.separatorChar = item->data().toInt() & 0xFF;
}

char ExportCommands::separator() const {
    return static_cast<char>(context_.settings.separatorChar);
}

void ExportCommands::Spreadsheet1Click() {
    exportSpreadsheet([this](MeasurementStore& store) {
        writeRawSpreadsheet(store, context_.session.rows(), separator(),
                            context_.session.model().shownColumns());
    });
}

void ExportCommands::Fraser1Click() {
    exportSpreadsheet([this](MeasurementStore& store) {
        writeFraserSpreadsheet(store, context_.session.rows(), separator());
    });
}

void ExportCommands::exportKarousHjeltValues() {
    exportSpreadsheet([this](MeasurementStore& store) {
        writeKarousHjeltSpreadsheet(store, context_.session.rows(), separator(), kDefaultKhLevels);
    });
}

// An export leaves the saved flag alone: only a data file holds the kept and
// ignored states, so changes not saved there still ask before quitting.
void ExportCommands::exportSpreadsheet(const std::function<void(MeasurementStore&)>& writeText) {
    StatusLine& status = context_.status;
    status.setPanel0(QStringLiteral("Processing in progress..."));
    if (MeasurementStore* store = context_.session.store()) {
        {
            WaitCursor wait;
            writeText(*store);
        }
        context_.saveDialog.saveExport(context_.ui, SaveDialog::Use::Spreadsheet,
                                       store->exportBuffer);
    }
    status.setPanel0({});
}

} // namespace veldro
