#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace veldro {

class Label;
class LinkHost;
class MeasurementStore;
class Port;
class Progress;
struct MeasurementRecord;
struct PortResources;

// The filter of the save dialog that follows a download.
inline constexpr const char* kDownloadSaveFilter = "Veldro data file  (*.vlf)|*.vlf";

// The counters of one transfer.
struct TransferCounters {
    int count = 0;          // records stored, from slot 0 without gaps
    int rejected = 0;       // received whole but not decodable
    int overCapacity = 0;   // decodable, past the store's last slot: acknowledged and dropped
    bool completed = false; // the end letter 'E' came
    bool stopped = false;   // ended by a timeout, a broken record, a port error or "Cancel"

    // Every ending offers to save, except a stop before anything was stored.
    bool offersSave() const { return !stopped || count > 0; }
};

// Receives the instrument's dump into `store` (emptied first): waits for the
// opening "V" CR LF without limit (the user's "Cancel" closes the port),
// acknowledges it and each record with 'T' until 'E', decodes the 'V' and 'R'
// record texts, keeps the progress bar against 4000 and the label at "Data #
// n  Profile # p  Station # s", and tells the outcome through the host's
// message boxes. Nothing received whole and decoded is ever dropped, except
// past the store's capacity. `stored` hears of each record stored, before
// the instrument is told it arrived.
TransferCounters DownloadRecords(Port& port, LinkHost& host, MeasurementStore& store,
                                 Progress& progress, Label& label,
                                 const std::function<void(const MeasurementRecord&)>& stored = {});

// What the download shows besides message boxes: the window's download panel,
// the progress bar, the label, and the save dialog.
class DownloadDisplay {
public:
    virtual ~DownloadDisplay() = default;
    virtual void showPanel(bool shown) = 0;
    virtual Progress& progress() = 0;
    virtual Label& label() = 0;
    // The file the user chose in the save dialog, or nothing when declined.
    virtual std::optional<std::string> askSaveFileName() = 0;
    // Each record as it is stored, `count` the records stored so far.
    virtual void recordStored(const MeasurementRecord&, int /*count*/) {}
};

enum class DownloadStatus {
    PortError,  // Connect failed; "Port error" was shown
    Refused,    // the user cancelled the "On Veldro" prompt
    Transferred // a transfer ran, whatever its outcome
};

struct DownloadResult {
    DownloadStatus status = DownloadStatus::PortError;
    TransferCounters counters;
    // Transferred: the new data set with what arrived, saved or not; its image
    // holds the same records, so a reload from it shows them.
    std::unique_ptr<MeasurementStore> store;
    bool saved = false;
    std::string savedTo;
    // The journal of a transfer whose records reached no file: marked done
    // when its data set is saved or discarded later.
    std::string journal;
};

// "Data download": creates or reuses `currentPort`, connects at 9600 bit/s,
// asks the user to start the dump, runs the transfer, offers the save and
// disconnects. The caller has discarded its data set before and rebuilds its
// table from result.store after; an unsaved result is unsaved data. Each
// record is journalled in `journalFolder` (none when empty).
DownloadResult downloadData(std::unique_ptr<Port>& currentPort, int portNumber,
                            const PortResources& resources, LinkHost& host,
                            DownloadDisplay& display, const std::string& journalFolder);

// The download panel's "Cancel": closes the port, so that the transfer's next
// check ends it with the stop messages.
void StopDownload(Port* currentPort, DownloadDisplay& display);

} // namespace veldro
