#pragma once

#include "app/command_group.h"

namespace veldro {

// How the table shows the data: the column choice.
class ViewCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit ViewCommands(CommandContext& context);

    void Displayoptions1Click(); // "Display options..."

private:
    void setupColumns();
};

} // namespace veldro
