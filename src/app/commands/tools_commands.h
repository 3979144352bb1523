#pragma once

#include "app/command_group.h"

namespace veldro {

// The "Tools" menu: the interpretation programs that read the XYZ and WADI
// exports, each looked for in the folder remembered for it.
class ToolsCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit ToolsCommands(CommandContext& context);

    void RunIXVLF1Click();
    void RunOrvex1Click();

private:
    // Asks for the folder when none is remembered; a folder where the program
    // is missing or does not start is forgotten, so the next use asks again.
    void runProgram(QString& folder, const QString& executable);
};

} // namespace veldro
