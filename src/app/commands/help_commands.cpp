#include "app/commands/help_commands.h"

#include "app/about_dialog.h"
#include "widgets/ui_services.h"

#include <QMainWindow>

namespace veldro {

namespace {

constexpr int kHelpContents = 100;

} // namespace

HelpCommands::HelpCommands(CommandContext& context) : CommandGroup(context) {
    CommandRegistry& commands = context_.commands;
    // Reading the guide or the maker's pages disturbs nothing, even during a download.
    commands.add(context_.action("Rubriquedaide1"), Enabling::Always,
                 [this] { Rubriquedaide1Click(); });
    commands.add(context_.action("Homepage1"), Enabling::Always, [this] { Homepage1Click(); });
    commands.add(context_.action("Productsupport1"), Enabling::Always,
                 [this] { Productsupport1Click(); });
    commands.add(context_.action("Apropos1"), Enabling::Idle, [this] { Apropos1Click(); });
}

void HelpCommands::Rubriquedaide1Click() {
    context_.ui.showHelp(kHelpContents);
}

void HelpCommands::Homepage1Click() {
    context_.ui.openUrl(makerHomePage());
}

void HelpCommands::Productsupport1Click() {
    context_.ui.openUrl(makerSupportPage());
}

void HelpCommands::Apropos1Click() {
    TAboutBoxFrm box(context_.ui, &context_.window);
    context_.ui.runDialog(box);
}

void HelpCommands::windowClosing() {
    context_.ui.closeHelp();
}

} // namespace veldro
