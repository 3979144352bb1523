#include "link/link_host.h"

#include "link/poll_step.h"

#include <algorithm>
#include <chrono>

namespace veldro {

void pauseWithEvents(LinkHost& host, int ms) {
    PauseClock& clock = host.pauseClock();
    const auto deadline = clock.now() + std::chrono::milliseconds(ms);
    for (;;) {
        host.processEvents();
        // Rounded up: a pause never ends short of its time.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock.now());
        if (left.count() <= 0) return;
        clock.sleepFor(std::min(left, std::chrono::milliseconds(pollStepMs)));
    }
}

} // namespace veldro
