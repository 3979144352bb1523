// veldro-cli download: the instrument's dump into a .vlf file, the prompts and
// the messages on the terminal, Ctrl-C (or SIGTERM, or the terminal closing)
// as the download panel's "Cancel".
#include "cli.h"
#include "console.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "data/progress.h"
#include "link/d2xx.h"
#include "link/download.h"
#include "link/download_journal.h"
#include "link/link_host.h"
#include "link/port.h"
#include "link/port_selection.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <strings.h>
#include <thread>

using namespace veldro;
using namespace veldro::cli;

namespace {

constexpr int kRepeatedAnswerPauseMs = 1000;

// VELDRO_SKIP_LINK_PAUSES=1: the link's own pauses (the settle second on
// connecting, the second before disconnecting) pass at once. For runs against
// veldro-sim, whose pseudo-terminal has no modem lines to settle; an
// instrument wants them.
bool linkPausesSkipped() {
    const char* value = std::getenv("VELDRO_SKIP_LINK_PAUSES");
    return value != nullptr && std::string(value) == "1";
}

// "COM1" to "COM4", "usb", or a device path (reached as COM 1).
struct PortChoice {
    int number = 1;
    ComDevices devices;
};

PortChoice portChoiceOf(const std::string& text) {
    if (strcasecmp(text.c_str(), "usb") == 0) return {usbPortNumber, {}};
    if (text.size() == 4 && strncasecmp(text.c_str(), "com", 3) == 0 && text[3] >= '1' &&
        text[3] <= '4')
        return {text[3] - '0', {}};
    if (!ComDevices::isDevicePath(text))
        throw UsageError("--port takes COM1 to COM4, usb or a device path");
    return {1, ComDevices::withDevice(1, text)};
}

// The label on standard error, at most a few lines a second: a terminal that
// scrolls 64000 lines would slow the transfer down.
class TerminalLabel : public Label {
public:
    void setText(const std::string& text) override {
        const auto now = std::chrono::steady_clock::now();
        if (text.empty()) flush();
        pending = text;
        if (text.empty() || now - lastShown < std::chrono::milliseconds(250)) return;
        flush();
        lastShown = now;
    }
    void flush() {
        if (pending.empty() || pending == shown) return;
        std::cerr << pending << '\n';
        shown = pending;
    }

private:
    std::string pending, shown;
    std::chrono::steady_clock::time_point lastShown{};
};

// The progress bar has no terminal form beyond the label.
class SilentProgress : public Progress {
public:
    void setMaximum(int) override {}
    void setPosition(int value) override { current = value; }
    int position() const override { return current; }

private:
    int current = 0;
};

class TerminalDisplay : public DownloadDisplay {
public:
    explicit TerminalDisplay(std::string outputFile) : output(std::move(outputFile)) {}
    void showPanel(bool shown) override {
        if (shown) std::cerr << "Please wait during data download ...\n";
    }
    Progress& progress() override { return bar; }
    Label& label() override { return terminalLabel; }
    std::optional<std::string> askSaveFileName() override { return output; }
    // The last count before a message, so that the terminal reads in order.
    void flushLabel() { terminalLabel.flush(); }

private:
    std::string output;
    TerminalLabel terminalLabel;
    SilentProgress bar;
};

class TerminalHost : public LinkHost {
public:
    TerminalHost(bool yes, std::unique_ptr<Port>& port, TerminalDisplay& panel)
        : answerOk(yes), currentPort(port), display(panel) {}

    void show(const Message& message) override {
        display.flushLabel();
        messages.show(message);
    }

    void processEvents() override {
        if (!interruptRequested() || cancelled) return;
        cancelled = true;
        std::cerr << "Cancel\n";
        StopDownload(currentPort.get(), display);
    }

    bool askOkCancel(const Message& question) override {
        const bool repeated = question.text == lastQuestion;
        lastQuestion = question.text;
        if (answerOk && repeated) {
            // Asked again at once (no USB converter attached yet): answering
            // at once would spin and flood the terminal while the user plugs
            // it in. Ctrl-C still cancels.
            const auto until = std::chrono::steady_clock::now() +
                               std::chrono::milliseconds(kRepeatedAnswerPauseMs);
            while (!interruptRequested() && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            processEvents();
            return !interruptRequested();
        }
        std::cerr << question.text << "\n[" << question.caption << "] OK or Cancel? ";
        if (answerOk) {
            std::cerr << "OK\n";
            return !interruptRequested();
        }
        std::string answer;
        if (!std::getline(std::cin, answer) || interruptRequested()) {
            std::cerr << "Cancel\n";
            return false;
        }
        return answer.empty() || strncasecmp(answer.c_str(), "o", 1) == 0 ||
               strncasecmp(answer.c_str(), "y", 1) == 0;
    }

    void setCursor(Cursor) override {}

    PauseClock& pauseClock() override {
        return skipPauses ? instantPauses : LinkHost::pauseClock();
    }

private:
    bool answerOk;
    std::unique_ptr<Port>& currentPort;
    TerminalDisplay& display;
    TerminalMessages messages;
    bool cancelled = false;
    std::string lastQuestion;
    bool skipPauses = linkPausesSkipped();
    InstantPauseClock instantPauses;
};

// The name of a file of its own in the user's data folder for records the
// chosen file did not take; empty when there is no such folder.
std::string rescueFileName() {
    const std::string folder = programDataFolder();
    if (folder.empty()) return {};
    std::error_code ignored; // a folder not made fails the save, which says why
    std::filesystem::create_directories(
        std::filesystem::path(std::u8string(folder.begin(), folder.end())), ignored);
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H-%M-%S", std::localtime(&now));
    std::string name;
    for (int n = 1; n == 1 || fileExists(name); ++n)
        name =
            folder + "/download " + stamp + (n > 1 ? " (" + std::to_string(n) + ")" : "") + ".vlf";
    return name;
}

// Records that the chosen file did not take (a full disk, say) are not given
// up: the user at the terminal names another file, as often as it fails; an
// empty answer, or no terminal to answer, puts them in the user's data folder.
// Returns the file they went to and whether the user named it.
std::optional<std::pair<std::string, bool>> saveElsewhere(MeasurementStore& store) {
    const std::string count = std::to_string(store.count());
    while (standardInputIsTerminal()) {
        std::cerr << "Another file for the " << count << " records (empty: the data folder)? ";
        std::string name;
        if (!std::getline(std::cin, name) || name.empty()) break;
        try {
            store.saveToFile(name);
            return std::pair(name, true);
        } catch (const FileError& e) {
            std::cerr << e.what() << '\n';
        }
    }
    const std::string rescue = rescueFileName();
    if (rescue.empty()) return std::nullopt;
    try {
        store.saveToFile(rescue);
        return std::pair(rescue, false);
    } catch (const FileError& e) {
        std::cerr << e.what() << '\n';
        return std::nullopt;
    }
}

int runDownload(const Arguments& args) {
    args.expectOperands(0, 0);
    const std::string output = requireOutput(args);
    if (!args.hasValue("--port")) throw UsageError("missing --port");
    PortChoice choice = portChoiceOf(args.value("--port"));
    catchInterrupt();

    std::unique_ptr<Port> currentPort;
    TerminalDisplay display(output);
    TerminalHost host(args.flag("--yes"), currentPort, display);
    std::unique_ptr<D2xx> d2xx = makeSystemD2xx();
    const PortResources resources{host, choice.devices, *d2xx};
    const DownloadResult result =
        downloadData(currentPort, choice.number, resources, host, display,
                     args.flag("--no-journal") ? std::string() : downloadJournalFolder());
    // The window shows why the device refused beside "Port error"; so does the terminal.
    if (result.status == DownloadStatus::PortError && !currentPort->connectFailure().empty())
        std::cerr << currentPort->connectFailure() << '\n';
    if (result.status != DownloadStatus::Transferred) return 1;
    const TransferCounters& c = result.counters;
    bool savedAsAsked = result.saved;
    std::string savedTo = result.savedTo;
    if (!result.saved && c.offersSave() && result.store && result.store->count() > 0) {
        if (const auto elsewhere = saveElsewhere(*result.store)) {
            savedTo = elsewhere->first;
            savedAsAsked = elsewhere->second;
            if (!result.journal.empty()) try {
                    markJournalDone(result.journal, JournalEnd::Saved);
                } catch (const std::exception& e) {
                    std::cerr << e.what() << '\n'; // the records are safe all the same
                }
        }
    }
    std::cerr << c.count << " records "
              << (savedTo.empty() ? std::string("not saved") : "saved to " + savedTo) << '\n';
    return savedAsAsked && c.completed && c.rejected == 0 && c.overCapacity == 0 ? 0 : 1;
}

const Registration download{
    {"download", "--port COM1..COM4|usb|DEVICE -o OUT.vlf [--yes] [--no-journal]",
     "Receives the instrument's dump and saves it; --yes answers OK to the prompts, Ctrl-C "
     "(or SIGTERM, or the terminal closing) cancels and saves what arrived; a file that "
     "cannot be written asks for another, or goes to the data folder. Each record is "
     "journalled as it arrives (see recover) unless --no-journal. Exit 0 only for a whole "
     "dump saved.",
     runDownload}};

} // namespace
