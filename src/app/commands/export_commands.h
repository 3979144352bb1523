#pragma once

#include "app/command_group.h"

namespace veldro {

// The "Export and save" menu's spreadsheet commands and separator choice.
class ExportCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit ExportCommands(CommandContext& context);

    void optiontableur1Click(QAction* item); // "Comma", "Semi comma", "Space", "Tabulation"

private:
    void checkSeparatorItem();
};

} // namespace veldro
