#pragma once

#include "link/link_host.h"

#include <deque>
#include <functional>
#include <vector>

namespace veldro::test {

// A LinkHost that plays a scripted user and records what the link showed.
// `onEvents` runs at every processEvents: the place where a test presses
// "Cancel" or lets a scripted peer answer, on the test's own thread. The
// link's pauses pass at once (their events still run) and add up in `pauses`.
class ScriptedHost : public LinkHost {
public:
    void processEvents() override {
        ++eventRuns;
        if (onEvents) onEvents();
    }
    bool askOkCancel(const Message& question) override {
        questions.push_back(question);
        if (onQuestion) onQuestion(question);
        if (answers.empty()) return laterAnswers;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void show(const Message& message) override { shown.push_back(message); }
    void setCursor(Cursor cursor) override { cursors.push_back(cursor); }
    PauseClock& pauseClock() override { return pauses; }

    // Answers to the OK/Cancel questions in order (true = OK); once they are
    // used up, every question gets laterAnswers.
    std::deque<bool> answers;
    bool laterAnswers = true;
    std::function<void()> onEvents;
    // Runs when a question is asked, before it is answered: the moment a
    // scripted user plugs a cable in.
    std::function<void(const Message&)> onQuestion;

    std::vector<Message> questions;
    std::vector<Message> shown;
    std::vector<Cursor> cursors;
    long eventRuns = 0;
    InstantPauseClock pauses;
};

} // namespace veldro::test
