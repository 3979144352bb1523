#pragma once

#include "app/command_group.h"

namespace veldro {

// The "Help" menu: the user guide, the maker's web pages and the about box.
class HelpCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit HelpCommands(CommandContext& context);

    // "Help topics", from the menu, F1 and the tool button (one action).
    void Rubriquedaide1Click();
    void Homepage1Click();
    void Productsupport1Click();
    void Apropos1Click(); // "About"

    void windowClosing() override;
};

} // namespace veldro
