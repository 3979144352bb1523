#include "app/commands/view_commands.h"

#include "app/data_session.h"
#include "app/measurement_table_model.h"
#include "app/select_columns_dialog.h"
#include "app/settings.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"

#include <QMainWindow>

namespace veldro {

ViewCommands::ViewCommands(CommandContext& context) : CommandGroup(context) {
    context_.commands.add(context_.action("Displayoptions1"), Enabling::Idle,
                          [this] { Displayoptions1Click(); });
    setupColumns();
}

void ViewCommands::setupColumns() {
    MeasurementTableModel& model = context_.session.model();
    model.setupColumns(context_.settings.columnVisible);
    context_.table.setColumnWidth(0, MeasurementTableModel::kNumberColumnWidth);
    for (int column = 1; column < model.columnCount(); ++column)
        context_.table.setColumnWidth(column, quantity(model.logicalColumn(column)).width);
}

void ViewCommands::Displayoptions1Click() {
    TSelectColumnsFrm dialog(context_.settings.columnVisible, &context_.window);
    if (context_.ui.runDialog(dialog) != QDialog::Accepted) return;
    context_.settings.columnVisible = dialog.chosen();
    setupColumns();
    if (context_.session.hasData()) context_.session.rebuildRows(false);
}

} // namespace veldro
