#include "app/command_group.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <stdexcept>

namespace veldro {

QAction* CommandContext::action(const char* name) const {
    auto* found = window.findChild<QAction*>(QString::fromLatin1(name));
    if (!found) throw std::logic_error(std::string("no action ") + name);
    return found;
}

QMenu* CommandContext::menu(const char* name) const {
    auto* found = window.findChild<QMenu*>(QString::fromLatin1(name));
    if (!found) throw std::logic_error(std::string("no menu ") + name);
    return found;
}

} // namespace veldro
