#include "link/download.h"

#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/messages.h"
#include "data/progress.h"
#include "data/record_text.h"
#include "link/download_journal.h"
#include "link/link_host.h"
#include "link/port.h"
#include "link/port_selection.h"

#include <algorithm>
#include <array>
#include <exception>

namespace veldro {

namespace {

constexpr int kBaudRate = 9600;
constexpr int kOpeningPollMs = 100;
constexpr int kByteTimeoutMs = 2000;
constexpr int kProgressMaximum = 4000;
constexpr std::uint8_t kAcknowledge = 'T';

// A transfer that cannot go on: timeout, broken record or closed port.
struct TransferStopped {};

void expectByte(Port& port, int expected) {
    const int b = port.ReadByteWithin(kByteTimeoutMs);
    if (b != expected || !port.isOpen()) throw TransferStopped{};
}

void expectLineEnd(Port& port) {
    expectByte(port, '\r');
    expectByte(port, '\n');
}

// No time limit: the user starts the dump on the instrument, or presses "Cancel".
void awaitOpening(Port& port, LinkHost& host) {
    for (;;) {
        host.processEvents();
        const int b = port.ReadByteWithin(kOpeningPollMs);
        if (!port.isOpen()) throw TransferStopped{};
        if (b == 'V') return;
    }
}

std::size_t textLengthOf(int header) {
    // The record text and its two-byte line end.
    return (header == 'V' ? kTiltTextLength : kResistivityTextLength) + 2;
}

std::string dataLabel(int number, const MeasurementRecord& r) {
    return "Data # " + std::to_string(number) + "  Profile # " + std::to_string(r.profile) +
           "  Station # " + std::to_string(r.station);
}

void receiveRecords(Port& port, LinkHost& host, MeasurementStore& store, Progress& progress,
                    Label& label, TransferCounters& counters,
                    const std::function<void(const MeasurementRecord&)>& stored) {
    awaitOpening(port, host);
    expectLineEnd(port);
    port.SendRawByte(kAcknowledge);
    int received = 0;
    std::array<std::uint8_t, kResistivityTextLength + 2> text{};
    for (;;) {
        host.processEvents();
        const int header = port.ReadByteWithin(kByteTimeoutMs);
        if (header == -1 || !port.isOpen()) throw TransferStopped{};
        if (header == 'E') {
            counters.completed = true;
            return;
        }
        if (header != 'V' && header != 'R') return;
        progress.setPosition(std::min(++received, kProgressMaximum));
        expectLineEnd(port);
        const int length = static_cast<int>(textLengthOf(header));
        if (port.ReadBuffer(text.data(), length, kByteTimeoutMs) != length) throw TransferStopped{};
        const auto record = decodeRecordText(
            static_cast<char>(header), std::string_view(reinterpret_cast<const char*>(text.data()),
                                                        static_cast<std::size_t>(length)));
        if (!record) {
            ++counters.rejected;
        } else if (store.append(*record)) {
            if (stored) stored(*record);
            label.setText(dataLabel(store.count(), *record));
            counters.count = store.count();
        } else {
            ++counters.overCapacity;
        }
        port.SendRawByte(kAcknowledge);
    }
}

void show(LinkHost& host, std::string text) {
    host.show({std::move(text), "", MessageIcon::None});
}

void showEndMessage(LinkHost& host, const TransferCounters& c) {
    const std::string rejected = std::to_string(c.rejected);
    if (c.completed)
        show(host, c.rejected > 0 ? "transfer completed,\nhowever " + rejected +
                                        " points were rejected\nPlease run a new transfer"
                                  : "transfer completed");
    else
        show(host, c.rejected > 0 ? "transfer appears to be incomplete,\nand " + rejected +
                                        " points were rejected\nPlease run a new transfer"
                                  : "transfer appears to be incomplete");
}

void showStopMessages(LinkHost& host, const TransferCounters& c) {
    show(host, "Transfer stopped (or download error)\nPlease check cable and run a new transfer");
    if (c.rejected > 0)
        show(host, std::to_string(c.rejected) + " points rejected\nPlease run a new transfer");
    show(host, c.count == 0 ? "No data transferred, no data to save"
                            : "Partially transfered data will be saved");
}

void showOverCapacity(LinkHost& host, const TransferCounters& c) {
    if (c.overCapacity == 0) return;
    host.show({std::to_string(MeasurementStore::kCapacity) + " data points max kept,\n" +
                   std::to_string(c.overCapacity) + " more points were not kept",
               "WARNING", MessageIcon::Warning});
}

// The records stay in the store whatever the user answers; the result says
// whether they reached a file.
void offerSave(MeasurementStore& store, LinkHost& host, DownloadDisplay& display,
               DownloadResult& result) {
    store.writeImage(ImageMode::Full, false, 0, 0);
    if (!result.counters.offersSave()) return;
    const auto fileName = display.askSaveFileName();
    if (!fileName || fileName->empty()) return;
    host.setCursor(Cursor::Busy);
    try {
        store.saveToFile(*fileName, &display.progress());
        result.saved = true;
        result.savedTo = *fileName;
    } catch (const FileError& e) {
        host.setCursor(Cursor::Default);
        // The records stay in the store, unsaved: the user may save them elsewhere.
        host.show({e.what(), "Error", MessageIcon::Error});
        return;
    }
    host.setCursor(Cursor::Default);
}

void showJournalFailure(LinkHost& host, const std::string& reason) {
    host.show({"The download journal is not kept:\n" + reason, "WARNING", MessageIcon::Warning});
}

// A journal that cannot be made leaves the download as it was without one.
std::unique_ptr<DownloadJournal> openJournal(const std::string& folder, std::time_t startedAt,
                                             LinkHost& host) {
    if (folder.empty()) return nullptr;
    try {
        return std::make_unique<DownloadJournal>(folder, startedAt);
    } catch (const FileError& e) {
        showJournalFailure(host, e.what());
        return nullptr;
    }
}

} // namespace

TransferCounters DownloadRecords(Port& port, LinkHost& host, MeasurementStore& store,
                                 Progress& progress, Label& label,
                                 const std::function<void(const MeasurementRecord&)>& stored) {
    label.setText("Synchronisation...");
    progress.setMaximum(kProgressMaximum);
    progress.setPosition(0);
    store.clearRecords();
    TransferCounters counters;
    try {
        receiveRecords(port, host, store, progress, label, counters, stored);
    } catch (const TransferStopped&) {
        counters.stopped = true;
    } catch (const std::exception&) {
        // A port error, or anything else: what arrived stays and may be saved.
        counters.stopped = true;
    }
    if (counters.stopped)
        showStopMessages(host, counters);
    else
        showEndMessage(host, counters);
    showOverCapacity(host, counters);
    return counters;
}

DownloadResult downloadData(std::unique_ptr<Port>& currentPort, int portNumber,
                            const PortResources& resources, LinkHost& host,
                            DownloadDisplay& display, const std::string& journalFolder) {
    DownloadResult result;
    Port& port = portForDownload(currentPort, portNumber, resources);
    // The link is always direct: no number to dial.
    if (port.Connect(portNumber, kBaudRate, 0, "", false, "") != portNumber) {
        host.show({"Port error", "", MessageIcon::Error});
        return result;
    }
    if (!host.askOkCancel({"On Veldro, Select < Dump >, < Computer >,\npress < Ok > button on PC,\n"
                           "then validate < 9600 Bauds > on Veldro",
                           "On Veldro", MessageIcon::Information})) {
        port.Disconnect();
        result.status = DownloadStatus::Refused;
        return result;
    }
    result.status = DownloadStatus::Transferred;
    const std::time_t startedAt = std::time(nullptr);
    result.store = std::make_unique<MeasurementStore>(startedAt);
    std::unique_ptr<DownloadJournal> journal = openJournal(journalFolder, startedAt, host);
    display.label().setText("");
    display.showPanel(true);
    MeasurementStore& store = *result.store;
    result.counters = DownloadRecords(port, host, store, display.progress(), display.label(),
                                      [&](const MeasurementRecord& record) {
                                          if (journal) journal->append(record);
                                          display.recordStored(record, store.count());
                                      });
    if (journal && store.count() == 0) {
        journal->remove();
        journal.reset();
    }
    if (journal) journal->markEnded();
    offerSave(store, host, display, result);
    if (journal) {
        journal->close(result.saved ? std::optional(JournalEnd::Saved) : std::nullopt);
        if (!result.saved) result.journal = journal->path();
        if (!journal->error().empty()) showJournalFailure(host, journal->error());
    }
    display.label().setText("");
    display.showPanel(false);
    display.progress().setPosition(0);
    port.Disconnect();
    return result;
}

void StopDownload(Port* currentPort, DownloadDisplay& display) {
    if (currentPort && currentPort->isOpen()) {
        currentPort->Disconnect();
        display.label().setText("");
    }
    display.progress().setPosition(0);
    display.showPanel(false);
}

} // namespace veldro
