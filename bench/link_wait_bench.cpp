// Processor time of the link while it waits for a silent instrument: every
// wait polls the device in short blocking steps between the host's event
// runs, and must stay under 2 % of a core.
#include "link/link_host.h"
#include "link/serial_port.h"
#include "link/simulated_d2xx.h"
#include "link/usb_port.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace {

using namespace veldro;

constexpr int waitMs = 5000;

// A window with nothing to do: every question is answered OK.
class IdleHost : public LinkHost {
public:
    void processEvents() override { ++runs; }
    bool askOkCancel(const Message&) override { return true; }
    void show(const Message&) override {}
    void setCursor(Cursor) override {}
    long runs = 0;
};

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs `wait` (which lasts about waitMs) and reports the share of one core it used.
template <typename Wait> void measure(benchmark::State& state, IdleHost& host, Wait wait) {
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        const long runsBefore = host.runs;
        wait();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        state.counters["cpu_percent_of_core"] = 100.0 * (processCpuSeconds() - cpuBefore) / wall;
        state.counters["wall_s"] = wall;
        state.counters["event_runs_per_s"] = static_cast<double>(host.runs - runsBefore) / wall;
    }
}

// The instrument's end of a pseudo-terminal that never speaks.
struct SilentPeer {
    SilentPeer() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            throw std::runtime_error("no pseudo-terminal");
        path = ptsname(master);
    }
    ~SilentPeer() { close(master); }
    int master = -1;
    std::string path;
};

// A serial port connected to that silent peer.
struct SilentSerialLink {
    SilentPeer peer;
    IdleHost host;
    SerialPort port{host, ComDevices::withDevice(1, peer.path)};

    bool connect(benchmark::State& state) {
        if (port.Connect(1, 9600, 0, "", false, "") == 1) return true;
        state.SkipWithError("connect failed");
        return false;
    }
};

void SerialReadByteWithin(benchmark::State& state) {
    SilentSerialLink link;
    if (!link.connect(state)) return;
    measure(state, link.host, [&] { benchmark::DoNotOptimize(link.port.ReadByteWithin(waitMs)); });
}

// The download's opening wait: 100 ms reads with an event run between them.
void SerialOpeningWait(benchmark::State& state) {
    SilentSerialLink link;
    if (!link.connect(state)) return;
    measure(state, link.host, [&] {
        for (int i = 0; i < waitMs / 100; ++i) {
            link.host.processEvents();
            benchmark::DoNotOptimize(link.port.ReadByteWithin(100));
        }
    });
}

void UsbReadByteWithin(benchmark::State& state) {
    SimulatedD2xx converters;
    converters.attach();
    IdleHost host;
    UsbPort port(host, converters);
    if (port.Connect(usbPortNumber, 9600, 0, "", false, "") != usbPortNumber) {
        state.SkipWithError("connect failed");
        return;
    }
    measure(state, host, [&] { benchmark::DoNotOptimize(port.ReadByteWithin(waitMs)); });
}

BENCHMARK(SerialReadByteWithin)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SerialOpeningWait)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UsbReadByteWithin)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
