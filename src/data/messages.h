#pragma once

#include <string>

namespace veldro {

enum class MessageIcon { None, Information, Warning, Error, Question };

// A message box of the program: its exact text and caption. An empty caption
// means the application title.
struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
};

// Where core code says something to the user: the window shows a box, the
// command-line tool prints, tests record.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const Message& message) = 0;
};

} // namespace veldro
