#include "app/command_registry.h"

#include "app/data_session.h"
#include "widgets/ui_services.h"

#include <QAction>
#include <exception>

namespace veldro {

CommandRegistry::CommandRegistry(DataSession& session, UiServices& ui, QObject* parent)
    : QObject(parent), session_(session), ui_(ui) {
    connect(&session_, &DataSession::stateChanged, this, &CommandRegistry::updateStates);
}

void CommandRegistry::add(QAction* action, Enabling rule, std::function<void()> handler) {
    follow(action, rule);
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { run(handler); });
}

void CommandRegistry::follow(QAction* action, Enabling rule) {
    entries_.push_back({action, rule});
    updateStates();
}

void CommandRegistry::run(const std::function<void()>& command) const {
    try {
        command();
    } catch (const std::exception& error) {
        ui_.tell({error.what(), "", MessageIcon::Error});
    }
}

void CommandRegistry::updateStates() const {
    const bool idle = !session_.busy();
    for (const Entry& entry : entries_) {
        switch (entry.rule) {
        case Enabling::Always:
            entry.action->setEnabled(true);
            break;
        case Enabling::Idle:
            entry.action->setEnabled(idle);
            break;
        case Enabling::WithData:
            entry.action->setEnabled(idle && session_.hasData());
            break;
        }
    }
}

} // namespace veldro
