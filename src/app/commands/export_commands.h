#pragma once

#include "app/command_group.h"

#include <functional>

namespace veldro {

class MeasurementStore;

// The "Export and save" menu's spreadsheet commands and separator choice.
class ExportCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit ExportCommands(CommandContext& context);

    void Spreadsheet1Click();                // "Raw data"
    void Fraser1Click();                     // "Fraser values"
    void exportKarousHjeltValues();          // "Karous-Hjelt values"
    void optiontableur1Click(QAction* item); // "Comma", "Semi comma", "Space", "Tabulation"

private:
    // Builds the text into the store's exportBuffer and saves it where the
    // user chooses.
    void exportSpreadsheet(const std::function<void(MeasurementStore&)>& writeText);
    char separator() const;
};

} // namespace veldro
