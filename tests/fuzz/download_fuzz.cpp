// The download's receiving side, fed any byte stream through the port seam:
// it ends (the scripted user cancels a wait without end), acknowledges what
// it should, and stores only records it decoded.
#include "data/measurement_store.h"
#include "data/progress.h"
#include "feed_port.h"
#include "fuzz_support.h"
#include "link/download.h"
#include "recording_display.h"
#include "scripted_host.h"
#include "test_support.h"

#include <algorithm>

using namespace veldro;
using veldro::fuzz::require;
using veldro::test::FeedPort;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = veldro::fuzz::textOf(data, size);
    FeedPort line(bytes);
    line.Connect(1, 9600, 0, "", false, "");
    test::ScriptedHost host;
    line.cancelOnSilence(host);
    static MeasurementStore store;
    test::RecordingProgress bar;
    test::RecordingLabel label;
    const TransferCounters counters = DownloadRecords(line, host, store, bar, label);

    require(counters.count == store.count(), "the count said is the count stored");
    require(!(counters.completed && counters.stopped),
            "a transfer does not both complete and stop");
    require(line.silentMs <= FeedPort::kPatienceMs, "every wait ends");
    const auto headers = static_cast<int>(std::count(bytes.begin(), bytes.end(), 'V') +
                                          std::count(bytes.begin(), bytes.end(), 'R'));
    require(counters.count + counters.rejected <= headers, "a record comes with its header letter");
    const auto acknowledged = static_cast<int>(std::count(line.sent.begin(), line.sent.end(), 'T'));
    require(line.sent == std::string(static_cast<std::size_t>(acknowledged), 'T'),
            "the computer sends acknowledgements only");
    require(acknowledged == 0 ||
                acknowledged == 1 + counters.count + counters.rejected + counters.overCapacity,
            "the opening and every whole record are acknowledged");
    require(bar.highest <= bar.maximum, "the progress stays within its bar");
    return 0;
}
