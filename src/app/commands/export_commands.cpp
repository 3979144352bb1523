#include "app/commands/export_commands.h"

#include "app/settings.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>

namespace veldro {

ExportCommands::ExportCommands(CommandContext& context) : CommandGroup(context) {
    for (const char* name : {"Comma1", "Semicomma1", "Space1", "Tabulation1"}) {
        QAction* item = context_.action(name);
        context_.commands.add(item, Enabling::Idle, [this, item] { optiontableur1Click(item); });
    }
    checkSeparatorItem();
}

void ExportCommands::optiontableur1Click(QAction* item) {
    context_.settings.separatorChar = item->data().toInt();
    checkSeparatorItem();
}

void ExportCommands::checkSeparatorItem() {
    for (const char* name : {"Comma1", "Semicomma1", "Space1", "Tabulation1"}) {
        QAction* item = context_.action(name);
        item->setChecked(item->data().toInt() == context_.settings.separatorChar);
    }
}

} // namespace veldro
