// The line at its worst, in process: a cable pulled after every byte of a dump,
// and a noisy line that flips, drops and repeats bytes. The instrument's bytes
// come through the port seam as fast as they are read; the silence after them
// passes on a virtual clock, so a sweep of thousands of transfers takes a blink.
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/record_text.h"
#include "data/vlf_file.h"
#include "feed_port.h"
#include "link/download.h"
#include "link/port_selection.h"
#include "link/simulated_d2xx.h"
#include "recording_display.h"
#include "records.h"
#include "scripted_host.h"
#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace veldro {
namespace {

using test::FeedPort;
using test::record;
using test::ScriptedHost;

constexpr long kByteLimitMs = 2000;
const std::string kStopped =
    "Transfer stopped (or download error)\nPlease check cable and run a new transfer";

// A dump as the instrument sends it: the opening "V" CR LF, each record as its
// header letter, CR LF, its text and CR LF, then the end letter.
struct Dump {
    std::string bytes;
    std::vector<MeasurementRecord> records; // as their texts decode
    std::vector<std::size_t> ends;          // the offset just past each record
};

Dump dumpOf(const std::vector<MeasurementRecord>& records) {
    Dump dump;
    dump.bytes = "V\r\n";
    for (std::size_t i = 0; i < records.size(); ++i) {
        const char header = headerLetterOf(records[i]);
        const std::string text = encodeRecordText(records[i], static_cast<int>(i) + 1);
        dump.bytes += header + ("\r\n" + text + "\r\n");
        dump.records.push_back(*decodeRecordText(header, text));
        dump.ends.push_back(dump.bytes.size());
    }
    dump.bytes += 'E';
    return dump;
}

// Records of both modes, no two alike.
std::vector<MeasurementRecord> survey(int count) {
    std::vector<MeasurementRecord> records;
    for (int i = 0; i < count; ++i)
        records.push_back(record({.profile = 1 + i / 10,
                                  .station = 25 * i - 100,
                                  .tilt = i - 15,
                                  .ellipticity = 2 * i,
                                  .frequencyNumber = 1 + i % 2,
                                  .resistivity = i % 3 == 0,
                                  .quality = 40 + i,
                                  .hHorizontal = 0.25f * static_cast<float>(i),
                                  .rho = 100.5f + static_cast<float>(i),
                                  .phase = 45 - i,
                                  .eField = 1.5f * static_cast<float>(i),
                                  .hField = 2.25f}));
    return records;
}

std::vector<std::string> textsOf(const std::vector<Message>& messages) {
    std::vector<std::string> texts;
    for (const Message& m : messages) texts.push_back(m.text);
    return texts;
}

std::vector<MeasurementRecord> recordsOf(const MeasurementStore& store) {
    std::vector<MeasurementRecord> records;
    for (int i = 0; i < store.count(); ++i) records.push_back(store.record(i));
    return records;
}

// "Data download" over a line that carries `bytes`, saving into `file`.
struct Download {
    std::unique_ptr<Port> port;
    FeedPort* line;
    ScriptedHost host;
    test::RecordingDisplay display;
    SimulatedD2xx converters;
    DownloadResult result;

    Download(std::string_view bytes, const std::string& file)
        : port(std::make_unique<FeedPort>(bytes)), line(static_cast<FeedPort*>(port.get())) {
        line->cancelOnSilence(host);
        display.answer = file;
        result = downloadData(port, 1, {host, ComDevices{}, converters}, host, display, "");
    }
};

TEST(CableCut, AtEveryByteOfADumpTheSavedFileHoldsEveryWholeRecordBeforeIt) {
    const Dump dump = dumpOf(survey(30));
    // Thousands of saves: in memory where the system has a folder there.
    test::TempDir dir = directoryExists("/dev/shm") ? test::TempDir("/dev/shm") : test::TempDir();
    const std::string file = dir.file("cut.vlf");
    long lost = 0;
    for (std::size_t cut = 0; cut < dump.bytes.size(); ++cut) {
        SCOPED_TRACE("cut after byte " + std::to_string(cut));
        std::remove(file.c_str());
        Download d(std::string_view(dump.bytes).substr(0, cut), file);
        const auto whole = static_cast<int>(
            std::upper_bound(dump.ends.begin(), dump.ends.end(), cut) - dump.ends.begin());

        ASSERT_TRUE(d.result.counters.stopped);
        // Before the opening letter the wait is the user's; after it, one byte's limit.
        EXPECT_EQ(d.line->silentMs, cut == 0 ? FeedPort::kPatienceMs : kByteLimitMs);
        EXPECT_EQ(textsOf(d.host.shown),
                  (std::vector<std::string>{kStopped,
                                            whole > 0 ? "Partially transfered data will be saved"
                                                      : "No data transferred, no data to save"}));
        EXPECT_EQ(d.display.saveQuestions, whole > 0 ? 1 : 0);
        if (whole == 0) continue;
        test::RecordingMessages messages;
        const DataFileRead saved = readDataFile(file, messages);
        ASSERT_EQ(saved.status, DataFileStatus::Opened);
        const std::vector<MeasurementRecord> expected(dump.records.begin(),
                                                      dump.records.begin() + whole);
        EXPECT_EQ(recordsOf(*saved.store), expected);
        lost += whole - std::min(whole, saved.store->count());
    }
    std::cout << dump.bytes.size() << " cuts tried, " << lost << " whole records lost\n";

    Download whole(dump.bytes, file);
    EXPECT_TRUE(whole.result.counters.completed);
    EXPECT_EQ(textsOf(whole.host.shown), std::vector<std::string>{"transfer completed"});
    EXPECT_EQ(whole.line->sent, std::string(31, 'T'));
}

// What noise did to a dump: the bytes that arrive, whether the opening was
// touched, and which sent records had a byte of their own touched.
struct NoisyDump {
    std::string bytes;
    bool openingSpoiled = false;
    std::vector<bool> spoiled;
};

NoisyDump withNoise(const Dump& dump, std::mt19937& random) {
    NoisyDump noisy{dump.bytes, false, std::vector<bool>(dump.records.size(), false)};
    std::vector<std::size_t> places(1 + random() % 3);
    for (std::size_t& place : places) place = random() % dump.bytes.size();
    // From the last place back, so that each edit leaves the earlier places where they were.
    std::sort(places.rbegin(), places.rend());
    for (const std::size_t place : places) {
        const auto record = std::upper_bound(dump.ends.begin(), dump.ends.end(), place);
        if (place < 3)
            noisy.openingSpoiled = true;
        else if (record != dump.ends.end())
            noisy.spoiled[static_cast<std::size_t>(record - dump.ends.begin())] = true;
        switch (random() % 3) {
        case 0:
            noisy.bytes[place] = static_cast<char>(noisy.bytes[place] ^ (1 << random() % 8));
            break;
        case 1:
            noisy.bytes.erase(place, 1);
            break;
        default:
            noisy.bytes.insert(place, 1, noisy.bytes[place]);
            break;
        }
    }
    return noisy;
}

// A line without checksums cannot tell a digit flipped into another digit: a
// record whose own bytes the noise touched may arrive changed. Every other
// record stored is one that was sent, in the order sent, and those before the
// first noise all arrive.
TEST(NoisyLine, EveryRecordStoredWasSentSaveThoseTheNoiseTouched) {
    const Dump dump = dumpOf(survey(30));
    std::mt19937 random(18);
    int transfers = 0, stored = 0, changed = 0;
    for (; transfers < 3000; ++transfers) {
        const NoisyDump noisy = withNoise(dump, random);
        SCOPED_TRACE("transfer " + std::to_string(transfers));
        FeedPort line(noisy.bytes);
        line.Connect(1, 9600, 0, "", false, "");
        ScriptedHost host;
        line.cancelOnSilence(host);
        MeasurementStore store;
        test::RecordingProgress progress;
        test::RecordingLabel label;
        const TransferCounters counters = DownloadRecords(line, host, store, progress, label);

        EXPECT_LE(line.silentMs, noisy.openingSpoiled ? FeedPort::kPatienceMs : kByteLimitMs);
        ASSERT_EQ(counters.count, store.count());
        const auto firstSpoiled = static_cast<int>(
            std::find(noisy.spoiled.begin(), noisy.spoiled.end(), true) - noisy.spoiled.begin());
        int next = 0, foreign = 0;
        for (int i = 0; i < store.count(); ++i) {
            const auto sent =
                std::find(dump.records.begin() + next, dump.records.end(), store.record(i));
            if (sent == dump.records.end()) {
                ++foreign;
                continue;
            }
            next = static_cast<int>(sent - dump.records.begin()) + 1;
        }
        EXPECT_LE(foreign,
                  static_cast<int>(std::count(noisy.spoiled.begin(), noisy.spoiled.end(), true)));
        if (!noisy.openingSpoiled && firstSpoiled > 0) {
            ASSERT_GE(store.count(), firstSpoiled);
            EXPECT_TRUE(std::equal(dump.records.begin(), dump.records.begin() + firstSpoiled,
                                   recordsOf(store).begin()));
        }
        stored += store.count();
        changed += foreign;
    }
    std::cout << transfers << " noisy transfers, " << stored << " records stored, " << changed
              << " of them changed by noise in their own bytes\n";
}

} // namespace
} // namespace veldro
