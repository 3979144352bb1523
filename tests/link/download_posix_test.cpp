// The transfer in process, on a real pseudo-terminal: the instrument's bytes
// are queued by the test, the port is the program's own SerialPort.
#include "data/measurement_store.h"
#include "download_processes.h"
#include "link/download.h"
#include "link/port_selection.h"
#include "link/serial_port.h"
#include "link/simulated_d2xx.h"
#include "pty_peer.h"
#include "recording_display.h"
#include "scripted_host.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <optional>

namespace veldro {
namespace {

using test::PtyPeer;
using test::RecordingDisplay;
using test::RecordingLabel;
using test::RecordingProgress;
using test::ScriptedHost;

// The two hand-written record texts of download_two_records.bru.
std::string tiltText() {
    return test::goldenText("download_two_records.bru").substr(0, 67);
}
std::string resistivityText() {
    return test::goldenText("download_two_records.bru").substr(69, 70);
}
std::string sent(char header, const std::string& text) {
    return header + ("\r\n" + text + "\r\n");
}
// The tilt text with letters in its profile column.
std::string undecodableText() {
    return tiltText().replace(8, 6, "  ab12");
}

const std::string kStopped = "Transfer stopped (or download error)\nPlease "
                             "check cable and run a new transfer";

std::vector<std::string> textsOf(const std::vector<Message>& messages) {
    std::vector<std::string> texts;
    for (const Message& m : messages) texts.push_back(m.text);
    return texts;
}

struct Transfer {
    PtyPeer instrument;
    ScriptedHost host;
    SerialPort port{host, ComDevices::withDevice(1, instrument.devicePath())};
    MeasurementStore store;
    RecordingProgress progress;
    RecordingLabel label;

    Transfer() {
        if (port.Connect(1, 9600, 0, "", false, "") != 1) throw std::runtime_error("no connection");
    }
    TransferCounters run(const std::string& dump) {
        instrument.send(dump);
        return DownloadRecords(port, host, store, progress, label);
    }
    std::vector<std::string> messages() const { return textsOf(host.shown); }
};

TEST(DownloadEnd, RecordsOfBothModesAreStoredAsTheirLayoutsSay) {
    Transfer t;
    const auto counters =
        t.run("V\r\n" + sent('V', tiltText()) + sent('R', resistivityText()) + "E");
    EXPECT_TRUE(counters.completed);
    EXPECT_FALSE(counters.stopped);
    EXPECT_EQ(counters.count, 2);
    t.store.writeImage(ImageMode::Full, false, 0, 0);
    const std::vector<std::uint8_t> records(t.store.image.begin() + MeasurementStore::kCommentSize,
                                            t.store.image.end());
    EXPECT_EQ(records, test::goldenHex("download_two_records.hex"));
    EXPECT_EQ(t.messages(), std::vector<std::string>{"transfer completed"});
}

TEST(DownloadEnd, OpeningAndEveryRecordAreAcknowledgedARejectedOneToo) {
    Transfer t;
    const auto counters = t.run("V\r\n" + sent('V', tiltText()) + sent('V', undecodableText()) +
                                sent('R', resistivityText()) + "E");
    EXPECT_EQ(t.instrument.receive(4), "TTTT");
    EXPECT_EQ(counters.count, 2);
    EXPECT_EQ(counters.rejected, 1);
    EXPECT_EQ(t.store.record(1).profile, 13);
    EXPECT_EQ(t.messages(), std::vector<std::string>{"transfer completed,\nhowever 1 points were "
                                                     "rejected\nPlease run a new transfer"});
    EXPECT_TRUE(counters.offersSave());
}

TEST(DownloadEnd, LabelCountsStoredRecordsAndProgressCountsReceivedOnes) {
    Transfer t;
    t.run("V\r\n" + sent('V', tiltText()) + sent('V', undecodableText()) +
          sent('R', resistivityText()) + "E");
    EXPECT_EQ(t.label.texts, (std::vector<std::string>{"Synchronisation...",
                                                       "Data # 1  Profile # 12  Station # 250",
                                                       "Data # 2  Profile # 13  Station # -100"}));
    EXPECT_EQ(t.progress.maximum, 4000);
    EXPECT_EQ(t.progress.current, 3);
}

TEST(DownloadEnd, NoiseBeforeTheOpeningIsSkippedAndAnEmptyDumpCompletes) {
    Transfer t;
    const auto counters = t.run("\r\nxyz V\r\nE");
    EXPECT_TRUE(counters.completed);
    EXPECT_EQ(counters.count, 0);
    EXPECT_TRUE(counters.offersSave());
    EXPECT_EQ(t.messages(), std::vector<std::string>{"transfer completed"});
}

TEST(DownloadEnd, UnexpectedLetterAtARecordBoundaryEndsAsIncomplete) {
    Transfer t;
    const auto counters = t.run("V\r\n" + sent('V', tiltText()) + "X");
    EXPECT_FALSE(counters.completed);
    EXPECT_FALSE(counters.stopped);
    EXPECT_EQ(counters.count, 1);
    EXPECT_EQ(t.messages(), std::vector<std::string>{"transfer appears to be incomplete"});
}

TEST(DownloadEnd, IncompleteWithRejectedRecordsSaysBoth) {
    Transfer t;
    t.run("V\r\n" + sent('V', undecodableText()) + "Q");
    EXPECT_EQ(t.messages(),
              std::vector<std::string>{"transfer appears to be incomplete,\nand 1 "
                                       "points were rejected\nPlease run a new transfer"});
}

TEST(DownloadStop, OpeningWithoutItsLineFeedStopsWithNothingToSave) {
    Transfer t;
    const auto counters = t.run("V\rV\r\n");
    EXPECT_TRUE(counters.stopped);
    EXPECT_FALSE(counters.offersSave());
    EXPECT_EQ(t.messages(),
              (std::vector<std::string>{kStopped, "No data transferred, no data to save"}));
}

TEST(DownloadStop, ShortRecordTextIsNeitherStoredNorAcknowledged) {
    Transfer t;
    const auto counters =
        t.run("V\r\n" + sent('V', tiltText()) + "R\r\n" + resistivityText().substr(0, 40));
    EXPECT_TRUE(counters.stopped);
    EXPECT_EQ(counters.count, 1);
    EXPECT_EQ(t.store.count(), 1);
    EXPECT_EQ(t.instrument.receive(3, 200), "TT");
    EXPECT_EQ(t.messages(),
              (std::vector<std::string>{kStopped, "Partially transfered data will be saved"}));
    EXPECT_TRUE(counters.offersSave());
}

TEST(DownloadStop, RejectedCountIsToldBeforeNothingToSave) {
    Transfer t;
    t.run("V\r\n" + sent('V', undecodableText()));
    EXPECT_EQ(t.messages(),
              (std::vector<std::string>{kStopped, "1 points rejected\nPlease run a new transfer",
                                        "No data transferred, no data to save"}));
}

TEST(DownloadStop, CancelDuringTheOpeningWaitEndsIt) {
    Transfer t;
    int waits = 0;
    t.host.onEvents = [&] {
        if (++waits == 5) t.port.Disconnect();
    };
    const auto counters = t.run("");
    EXPECT_TRUE(counters.stopped);
    EXPECT_FALSE(counters.offersSave());
    EXPECT_EQ(t.messages(),
              (std::vector<std::string>{kStopped, "No data transferred, no data to save"}));
}

TEST(DownloadStop, InstrumentHangingUpKeepsWhatArrived) {
    Transfer t;
    t.instrument.send("V\r\n" + sent('V', tiltText()));
    t.host.onEvents = [&] {
        if (t.instrument.receive(2, 0).size() > 0) t.instrument.hangUp();
    };
    const auto counters = DownloadRecords(t.port, t.host, t.store, t.progress, t.label);
    EXPECT_TRUE(counters.stopped);
    EXPECT_EQ(t.store.count(), 1);
    EXPECT_EQ(t.messages(),
              (std::vector<std::string>{kStopped, "Partially transfered data will be saved"}));
}

// ---- the command's flow, against veldro-sim --------------------------------

struct Command {
    test::TempDir dir;
    std::optional<test::SimulatedInstrument> instrument;
    ScriptedHost host;
    RecordingDisplay display;
    SimulatedD2xx d2xx;
    std::unique_ptr<Port> currentPort;

    explicit Command(std::vector<std::string> simOptions) {
        instrument.emplace(dir.path(), std::move(simOptions));
    }
    DownloadResult run() { return runOn(instrument->terminal()); }
    DownloadResult runOn(const std::string& device) {
        const PortResources resources{host, ComDevices::withDevice(1, device), d2xx};
        return downloadData(currentPort, 1, resources, host, display, "");
    }
};

std::vector<std::string> twoRecords() {
    return {"--file", std::string(VELDRO_GOLDEN_DIR) + "/download_two_records.bru"};
}

TEST(DownloadCommand, DeclinedSaveKeepsTheRecordsInTheStoreAndItsImage) {
    Command c(twoRecords());
    const DownloadResult result = c.run();
    ASSERT_EQ(result.status, DownloadStatus::Transferred);
    EXPECT_EQ(c.display.saveQuestions, 1);
    EXPECT_FALSE(result.saved);
    ASSERT_EQ(result.store->count(), 2);
    test::RecordingMessages messages;
    result.store->loadFromImage(messages);
    EXPECT_EQ(result.store->count(), 2) << "the window's reload after the download shows them";
}

TEST(DownloadCommand, ChosenFileReceivesWhatArrived) {
    Command c(twoRecords());
    c.display.answer = c.dir.file("survey.vlf");
    const DownloadResult result = c.run();
    EXPECT_TRUE(result.saved);
    EXPECT_EQ(result.savedTo, c.dir.file("survey.vlf"));
    const auto bytes = test::readBytes(c.dir.file("survey.vlf"));
    EXPECT_EQ(
        std::vector<std::uint8_t>(bytes.begin() + MeasurementStore::kCommentSize, bytes.end()),
        test::goldenHex("download_two_records.hex"));
}

TEST(DownloadCommand, UnwritableFileSaysWhyAndKeepsTheRecords) {
    Command c(twoRecords());
    c.display.answer = c.dir.file("no-such-folder/survey.vlf");
    const DownloadResult result = c.run();
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.store->count(), 2);
    ASSERT_FALSE(c.host.shown.empty());
    EXPECT_EQ(c.host.shown.back().caption, "Error");
    EXPECT_NE(c.host.shown.back().text.find("no-such-folder"), std::string::npos);
}

TEST(DownloadCommand, PanelShowsDuringTheTransferAndLeavesNoCountBehind) {
    Command c(twoRecords());
    c.run();
    EXPECT_EQ(c.display.panel, (std::vector<bool>{true, false}));
    EXPECT_EQ(c.display.text.texts.back(), "");
    EXPECT_EQ(c.display.bar.current, 0);
    EXPECT_EQ(c.currentPort->GetState(), 0) << "disconnected at the end";
    EXPECT_TRUE(c.currentPort->isLocked());
}

TEST(DownloadCommand, FailedConnectSaysPortError) {
    Command c({"--no-start"});
    const DownloadResult result = c.runOn(c.dir.file("no-such-line"));
    EXPECT_EQ(result.status, DownloadStatus::PortError);
    EXPECT_FALSE(result.store);
    ASSERT_EQ(c.host.shown.size(), 1u);
    EXPECT_EQ(c.host.shown[0].text, "Port error");
    EXPECT_EQ(c.host.shown[0].icon, MessageIcon::Error);
    EXPECT_TRUE(c.display.panel.empty());
}

TEST(DownloadCommand, CancelledOnVeldroPromptDisconnectsWithoutATransfer) {
    Command c({"--no-start"});
    c.host.answers = {true, false};
    const DownloadResult result = c.run();
    EXPECT_EQ(result.status, DownloadStatus::Refused);
    ASSERT_EQ(c.host.questions.size(), 2u);
    EXPECT_EQ(c.host.questions[1].text, "On Veldro, Select < Dump >, < Computer >,\npress < Ok > "
                                        "button on PC,\nthen validate < 9600 Bauds > on Veldro");
    EXPECT_EQ(c.host.questions[1].caption, "On Veldro");
    EXPECT_EQ(c.currentPort->GetState(), 0);
    EXPECT_TRUE(c.display.panel.empty());
}

TEST(DownloadCommand, StopBeforeAnyRecordOffersNoSave) {
    Command c({"--no-start"});
    int waits = 0;
    c.host.onEvents = [&] {
        if (c.currentPort && c.currentPort->GetState() > 0 && ++waits == 20)
            StopDownload(c.currentPort.get(), c.display);
    };
    const DownloadResult result = c.run();
    EXPECT_TRUE(result.counters.stopped);
    EXPECT_EQ(c.display.saveQuestions, 0);
    EXPECT_EQ(c.host.shown.back().text, "No data transferred, no data to save");
}

TEST(DownloadCommand, DumpOverTheUsbConverterArrivesAsOverSerial) {
    SimulatedD2xx converters;
    const int converter = converters.attach();
    ScriptedHost host;
    host.onQuestion = [&](const Message& question) {
        if (question.caption == "On Veldro")
            converters.deliver(converter, "V\r\n" + sent('V', tiltText()) +
                                              sent('R', resistivityText()) + "E");
    };
    RecordingDisplay display;
    std::unique_ptr<Port> currentPort;
    const DownloadResult result = downloadData(currentPort, usbPortNumber,
                                               {host, ComDevices{}, converters}, host, display, "");
    ASSERT_EQ(result.status, DownloadStatus::Transferred);
    EXPECT_TRUE(result.counters.completed);
    EXPECT_EQ(
        std::vector<std::uint8_t>(result.store->image.begin() + MeasurementStore::kCommentSize,
                                  result.store->image.end()),
        test::goldenHex("download_two_records.hex"));
    EXPECT_EQ(converters.converter(converter).fromComputer, "TTT");
}

} // namespace
} // namespace veldro
