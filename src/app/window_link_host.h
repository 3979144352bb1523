#pragma once

#include "link/link_host.h"

#include <memory>

namespace veldro {

class Port;
class UiServices;

// The instrument link inside the window: its waits run the event loop, its
// questions and messages are the window's message boxes.
class WindowLinkHost : public LinkHost {
public:
    // `currentPort` is the window's port, read when a box may carry the reason
    // a device refused to open.
    WindowLinkHost(UiServices& services, const std::unique_ptr<Port>& currentPort,
                   PauseClock& pauses)
        : services_(services), currentPort_(currentPort), pauses_(pauses) {}

    void processEvents() override;
    bool askOkCancel(const Message& question) override;
    void show(const Message& message) override;
    void setCursor(Cursor cursor) override;
    PauseClock& pauseClock() override { return pauses_; }

private:
    UiServices& services_;
    const std::unique_ptr<Port>& currentPort_;
    PauseClock& pauses_;
};

} // namespace veldro
