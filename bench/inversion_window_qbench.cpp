// The inversion window over the demo survey's profiles (tilt and
// ellipticity, both frequencies) on 2 threads, offscreen. Target: the window
// answers within 100 ms throughout a run and its Cancel, first picture
// included. Reports the longest pause of the window's event loop, and how
// long the run takes to stop once cancelled.
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "data/vlf_file.h"
#include "interpretation/ui/inversion_window.h"
#include "window_bench_support.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

using namespace veldro;

namespace {

class Quiet : public MessageSink {
public:
    void show(const Message&) override {}
};

std::vector<ProfileData> demoProfiles() {
    Quiet quiet;
    DataFileRead read = readDataFile(VELDRO_EXAMPLES "/demo_survey.vlf", quiet);
    if (read.status != DataFileStatus::Opened) return {};
    const RowList rows = buildRowList(*read.store);
    const SurveyView survey(*read.store, rows);
    std::vector<ProfileData> profiles;
    for (int profile : survey.keptProfiles()) {
        ProfileData data = profileData(survey, profile, {});
        if (data.stations.size() >= 2 && !data.data.empty()) profiles.push_back(std::move(data));
    }
    return profiles;
}

// Runs the window until its run is over, ticking every 5 ms; `during` is
// called at each tick with the time since the start. Returns the longest
// time between two ticks, in ms.
double longestPause(InversionWindow& window, const std::function<void(qint64)>& during) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        during(now);
    });
    tick.start(5);
    QEventLoop loop;
    QObject::connect(&window, &InversionWindow::runOver, &loop, &QEventLoop::quit);
    loop.exec();
    // The first picture is shown once the run is over: its painting counts.
    window.repaint();
    return static_cast<double>(std::max(longest, clock.elapsed() - last));
}

void BM_InversionWindowAnswersThroughARun(benchmark::State& state) {
    const std::vector<ProfileData> profiles = demoProfiles();
    if (profiles.empty()) {
        state.SkipWithError("the demo survey cannot be read");
        return;
    }
    bench::SilentUi ui;
    double longest = 0;
    for (auto _ : state) {
        InversionWindow window(ui, profiles, {}, 2, nullptr, nullptr);
        window.show();
        longest = longestPause(window, [](qint64) {});
    }
    state.counters["profiles"] = static_cast<double>(profiles.size());
    state.counters["longest_pause_ms"] = longest;
}
BENCHMARK(BM_InversionWindowAnswersThroughARun)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

// Cancel pressed 3 s into the run.
void BM_InversionWindowCancel(benchmark::State& state) {
    const std::vector<ProfileData> profiles = demoProfiles();
    if (profiles.empty()) {
        state.SkipWithError("the demo survey cannot be read");
        return;
    }
    bench::SilentUi ui;
    double longest = 0;
    qint64 pressed = 0, over = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        InversionWindow window(ui, profiles, {}, 2, nullptr, nullptr);
        window.show();
        QObject::connect(&window, &InversionWindow::runOver, [&] { over = clock.elapsed(); });
        auto* cancel = window.findChild<QPushButton*>(QStringLiteral("CancelRun"));
        longest = longestPause(window, [&](qint64) {
            if (pressed == 0 && clock.elapsed() >= 3000) {
                pressed = clock.elapsed();
                cancel->click();
            }
        });
    }
    state.counters["longest_pause_ms"] = longest;
    state.counters["cancel_to_stop_ms"] = static_cast<double>(over - pressed);
}
BENCHMARK(BM_InversionWindowCancel)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
