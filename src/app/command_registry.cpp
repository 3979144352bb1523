#include "app/command_registry.h"

#include "app/data_session.h"
#include "app/status_line.h"
#include "widgets/ui_services.h"

#include <QAction>
#include <exception>

namespace veldro {

CommandRegistry::CommandRegistry(DataSession& session, UiServices& ui, QObject* parent)
    : QObject(parent), session_(session), ui_(ui) {
    connect(&session_, &DataSession::stateChanged, this, &CommandRegistry::updateStates);
}

void CommandRegistry::add(QAction* action, Enabling rule, std::function<void()> handler,
                          std::function<bool()> also) {
    follow(action, rule, std::move(also));
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { run(handler); });
}

void CommandRegistry::follow(QAction* action, Enabling rule, std::function<bool()> also) {
    entries_.push_back({action, rule, std::move(also)});
    updateStates();
}

void CommandRegistry::run(const std::function<void()>& command) const {
    session_.view().status.endNote();
    try {
        command();
    } catch (const std::exception& error) {
        ui_.tell({error.what(), "", MessageIcon::Error});
    }
}

void CommandRegistry::updateStates() const {
    const bool idle = !session_.busy();
    for (const Entry& entry : entries_) {
        bool enabled = true;
        switch (entry.rule) {
        case Enabling::Always:
            break;
        case Enabling::Idle:
            enabled = idle;
            break;
        case Enabling::WithData:
            enabled = idle && session_.hasData();
            break;
        }
        entry.action->setEnabled(enabled && (!entry.also || entry.also()));
    }
}

} // namespace veldro
