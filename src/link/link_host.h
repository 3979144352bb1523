#pragma once

#include "data/messages.h"
#include "link/pause_clock.h"

namespace veldro {

enum class Cursor { Default, Busy };

// What the instrument link needs from the program around it. The window
// implements it with its event loop and message boxes, the command-line tool
// with the terminal (Ctrl-C cancels), tests with a scripted object.
//
// Plain messages go through MessageSink::show.
class LinkHost : public MessageSink {
public:
    // Lets pending events run. This is where the user's "Cancel" acts: its
    // handler may call Disconnect on the very port that is waiting, which the
    // waiting loop notices at its next check of the port's state.
    virtual void processEvents() = 0;
    // An OK/Cancel question; true when the user chose OK.
    virtual bool askOkCancel(const Message& question) = 0;
    virtual void setCursor(Cursor cursor) = 0;
    // The clock of the link's pauses: real time unless the host lets them
    // pass at once.
    virtual PauseClock& pauseClock() { return realPauseClock(); }
};

// Pauses `ms` milliseconds of the host's pause clock in short steps, letting
// the host's events run between them so that the window stays live and
// "Cancel" acts at once.
void pauseWithEvents(LinkHost& host, int ms);

} // namespace veldro
