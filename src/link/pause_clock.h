#pragma once

#include <chrono>

namespace veldro {

// The clock of the link's own pauses: the line's settle second, the second
// before a disconnect, the knocks of a synchronisation. They wait for time to
// pass, not for a byte, so they may pass at once where nobody is on the other
// end of the modem lines (a test, the simulated instrument). Waits for the
// instrument's bytes never use it: the instrument answers in real time.
class PauseClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~PauseClock() = default;
    virtual TimePoint now() const = 0;
    virtual void sleepFor(std::chrono::milliseconds span) = 0;
};

// The steady clock; sleeping takes the time.
PauseClock& realPauseClock();

// Pauses pass at once; the clock keeps the time they would have taken.
class InstantPauseClock : public PauseClock {
public:
    TimePoint now() const override { return TimePoint{} + paused; }
    void sleepFor(std::chrono::milliseconds span) override { paused += span; }
    // All the pause time that passed so far.
    std::chrono::milliseconds elapsed() const { return paused; }

private:
    std::chrono::milliseconds paused{0};
};

} // namespace veldro
