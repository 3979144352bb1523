#pragma once

#include "app/command_group.h"

#include <QIcon>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace veldro {

class D2xx;
class DownloadLiveView;
class PauseClock;
class Port;
class WindowDownloadDisplay;
class WindowLinkHost;

// The link picture (see icons::linkPicture) of a link choice: COM 1 to COM 4
// have their own, USB is crossed out without an attached converter; any other
// choice has none.
std::optional<int> linkPictureIndex(int portNumber, bool converterAttached);

// The instrument software's USB link checker beside the program, started on
// its own with a single blank as argument. Throws with the user's message
// when it is not there.
void startLinkTest(const QString& programFolder);

// What the link works with; null stands for this machine's: its USB
// converters, and real time for the link's pauses. Both outlive the window.
struct LinkDevices {
    D2xx* converters = nullptr;
    PauseClock* pauses = nullptr;
    // The folder that stands for / where the serial devices are looked for.
    std::string deviceRoot = "/";
};

// The "Communication" menu: the link choice and the download, with the
// download panel, the link picture and the icon animation; and the serial
// device behind each COM, "Tools" > "Ports...".
class LinkCommands : public CommandGroup {
    Q_OBJECT
public:
    LinkCommands(CommandContext& context, LinkDevices devices);
    ~LinkCommands() override;

    // The instrument port of the run: none before the first download.
    const Port* currentPort() const { return currentPort_.get(); }

    void ComCheck(QAction* item);  // "COM 1" .. "COM 4", "USB"
    void PortsClick();             // "Tools" > "Ports..."
    void Rcuprerdesdonnes1Click(); // "Data download"
    void StopDownloadClick();      // the panel's "Cancel"
    void DownloadGBEnter();
    void ShowPortImage();
    void Timer1Timer();

    void windowClosing() override;

    // At start: lists the download journals of `folder` whose records reached
    // no file in one question, and restores the newest as an unsaved data set.
    void restoreUnsavedDownloads(const std::string& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDownloadPanel();
    void checkPortItem();
    void watchConverter();
    void ConverterWatchTimer();

    std::unique_ptr<D2xx> systemD2xx_;
    D2xx& d2xx_;
    std::string deviceRoot_;
    std::unique_ptr<WindowLinkHost> linkHost_;
    std::unique_ptr<WindowDownloadDisplay> downloadDisplay_;
    std::unique_ptr<Port> currentPort_;
    QGroupBox* DownloadGB;
    QLabel* ProgressBarLbl;
    DownloadLiveView* liveView_;
    QPushButton* StopDownload;
    QTimer* Timer1;
    // Re-counts the USB converters while USB is chosen, so that plugging one in
    // or out changes the link picture.
    QTimer* ConverterWatch;
    bool converterAttached_ = false;
    std::array<QIcon, 6> iconFrames_;
    int frame_ = 0;
};

} // namespace veldro
