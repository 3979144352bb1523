#include "link/link_host.h"

#include "link/poll_step.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace veldro {

void pauseWithEvents(LinkHost& host, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        host.processEvents();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(pollStepMs)));
    }
}

} // namespace veldro
