#include "link/pause_clock.h"

#include <thread>

namespace veldro {

namespace {

class RealPauseClock : public PauseClock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    void sleepFor(std::chrono::milliseconds span) override { std::this_thread::sleep_for(span); }
};

} // namespace

PauseClock& realPauseClock() {
    static RealPauseClock clock;
    return clock;
}

} // namespace veldro
