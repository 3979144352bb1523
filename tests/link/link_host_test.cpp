#include "link/link_host.h"

#include <chrono>
#include <gtest/gtest.h>

namespace veldro {
namespace {

using namespace std::chrono_literals;

// A host on the real clock, as the window and the terminal are.
class RealTimeHost : public LinkHost {
public:
    void processEvents() override { ++eventRuns; }
    bool askOkCancel(const Message&) override { return true; }
    void show(const Message&) override {}
    void setCursor(Cursor) override {}
    long eventRuns = 0;
};

TEST(LinkPause, OnTheRealClockTakesItsTimeLettingEventsRunInSteps) {
    RealTimeHost host;
    const auto start = std::chrono::steady_clock::now();
    pauseWithEvents(host, 100);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    // At the start, after every step of at least 10 ms, and at the end.
    EXPECT_GE(host.eventRuns, 2);
    EXPECT_LE(host.eventRuns, 11);
}

} // namespace
} // namespace veldro
