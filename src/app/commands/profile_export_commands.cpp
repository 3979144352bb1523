#include "app/commands/profile_export_commands.h"

#include "app/data_session.h"
#include "app/save_dialog.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "export/ui/export_xyz_dialog.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>

namespace veldro {

ProfileExportCommands::ProfileExportCommands(CommandContext& context) : CommandGroup(context) {
    context_.commands.add(context_.action("IXVLF1"), Enabling::WithData, [this] { IXVLF1Click(); });
    context_.commands.add(context_.action("Orvex1"), Enabling::WithData, [this] { Orvex1Click(); });
}

void ProfileExportCommands::IXVLF1Click() {
    runExportDialog(ProfileExportFormat::Xyz);
}

void ProfileExportCommands::Orvex1Click() {
    runExportDialog(ProfileExportFormat::Wadi);
}

void ProfileExportCommands::runExportDialog(ProfileExportFormat format) {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    // A failed export is said in a box and the dialog stays open for another try.
    TExportXYZFrm dialog(
        format, *session.store(), session.rows(), context_.ui,
        [this, format](const std::vector<TProfileItem>& items, int frequency) {
            context_.commands.run([&] { exportProfiles(format, items, frequency); });
        },
        &context_.window);
    context_.ui.runDialog(dialog);
}

void ProfileExportCommands::exportProfiles(ProfileExportFormat format,
                                           const std::vector<TProfileItem>& items, int frequency) {
    MeasurementStore& store = *context_.session.store();
    {
        WaitCursor wait;
        writeProfileExport(store, context_.session.rows(), items, frequency, format);
    }
    const auto use =
        format == ProfileExportFormat::Xyz ? SaveDialog::Use::Xyz : SaveDialog::Use::Wadi;
    if (context_.saveDialog.saveExport(context_.ui, use, store.exportBuffer))
        context_.ui.tell({exportSucceededText(format), "", MessageIcon::None});
}

} // namespace veldro
