#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QAction;

namespace veldro {

class DataSession;
class UiServices;

// When a command may run.
enum class Enabling {
    Always,   // whatever the window is doing
    Idle,     // no other command running
    WithData, // idle, with a data set open
};

// Every command of the window, each registered once with its enabling rule;
// one loop enables them all whenever the data set or the busy state changes.
class CommandRegistry : public QObject {
    Q_OBJECT
public:
    CommandRegistry(DataSession& session, UiServices& ui, QObject* parent = nullptr);

    // `handler` runs when `action` triggers; an error that escapes it is shown
    // with its text and the window goes on. `also`, when given, is one more
    // condition the action is enabled on.
    void add(QAction* action, Enabling rule, std::function<void()> handler,
             std::function<bool()> also = {});
    // An action (a menu, a radio item) that only follows a rule.
    void follow(QAction* action, Enabling rule, std::function<bool()> also = {});
    // Runs a command outside an action (a table gesture, a start-up open) with
    // the same error display.
    void run(const std::function<void()>& command) const;
    void updateStates() const;

private:
    struct Entry {
        QAction* action;
        Enabling rule;
        std::function<bool()> also;
    };

    DataSession& session_;
    UiServices& ui_;
    std::vector<Entry> entries_;
};

} // namespace veldro
