// veldro-cli download: the instrument's dump into a .vlf file, the prompts and
// the messages on the terminal, Ctrl-C as the download panel's "Cancel".
#include "cli.h"
#include "console.h"
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
    std::cerr << result.counters.count << " records "
              << (result.saved ? "saved to " + result.savedTo : std::string("not saved")) << '\n';
    const TransferCounters& c = result.counters;
    return result.saved && c.completed && c.rejected == 0 && c.overCapacity == 0 ? 0 : 1;
}

const Registration download{
    {"download",
     "--port COM1..COM4|usb|DEVICE -o OUT.vlf [--yes] [--no-journal]",
     "Receives the instrument's dump and saves it; --yes answers OK to the prompts, Ctrl-C "
     "cancels and saves what arrived. Each record is journalled as it arrives (see recover) "
     "unless --no-journal. Exit 0 only for a whole dump saved.",
     {"--port", "-o"},
     {"--yes", "--no-journal"},
     runDownload}};

} // namespace
