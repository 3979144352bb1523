#include "app/commands/link_commands.h"

#include "app/data_session.h"
#include "app/download_live_view.h"
#include "app/ports_dialog.h"
#include "app/settings.h"
#include "app/status_line.h"
#include "app/window_download_display.h"
#include "app/window_link_host.h"
#include "charts/local_file_name.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "link/d2xx.h"
#include "link/download_journal.h"
#include "link/pause_clock.h"
#include "link/port.h"
#include "link/port_selection.h"
#include "widgets/icons.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>
#include <utility>

namespace veldro {

namespace {

const Message kPortLocked{"Communication port locked, please quit program before changing it",
                          "WARNING", MessageIcon::Warning};

#ifdef Q_OS_WIN
const QString kLinkTestName = QStringLiteral("LinkTest.exe");
#else
const QString kLinkTestName = QStringLiteral("LinkTest");
#endif

constexpr int kIconFrameMs = 400;
constexpr int kConverterCountMs = 500;

const char* const kPortItems[] = {"Com11", "Com21", "Com31", "Com41", "Usb"};

ComDevices comDevicesOf(const Settings& settings) {
    ComDevices devices;
    for (std::size_t i = 0; i < devices.paths.size(); ++i)
        devices.paths[i] = localName(settings.comDevices[i]);
    return devices;
}

// Journals named in the question at start; the others are counted.
constexpr std::size_t kJournalsNamed = 10;

std::string journalLine(const JournalSummary& journal) {
    return journalStartText(journal.startedAt) + " (" + std::to_string(journal.recordCount) +
           " records)";
}

// One question however many downloads were not saved: it offers the newest.
std::string restoreQuestion(const std::vector<JournalSummary>& pending) {
    const JournalSummary& newest = pending.front();
    if (pending.size() == 1)
        return "A download of " + journalLine(newest) + " was not saved. Restore it ?\n" +
               newest.path;
    std::string question = std::to_string(pending.size()) + " downloads were not saved:\n";
    for (std::size_t i = 0; i < std::min(pending.size(), kJournalsNamed); ++i)
        question += journalLine(pending[i]) + "\n";
    if (pending.size() > kJournalsNamed)
        question += "and " + std::to_string(pending.size() - kJournalsNamed) + " more\n";
    return question + "Restore the newest ?\n" + newest.path;
}

} // namespace

std::optional<int> linkPictureIndex(int portNumber, bool converterAttached) {
    if (portNumber == usbPortNumber) return converterAttached ? 1 : 0;
    if (portNumber >= 1 && portNumber <= 4) return portNumber + 1;
    return std::nullopt;
}

void startLinkTest(const QString& programFolder) {
    const QString path = QDir(programFolder).filePath(kLinkTestName);
    if (!QFileInfo(path).isFile() ||
        !QProcess::startDetached(path, {QStringLiteral(" ")}, programFolder))
        throw std::runtime_error("Unable to find LinkTest.exe\n(Please reinstall the software)");
}

LinkCommands::LinkCommands(CommandContext& context, LinkDevices devices)
    : CommandGroup(context), systemD2xx_(devices.converters ? nullptr : makeSystemD2xx()),
      d2xx_(devices.converters ? *devices.converters : *systemD2xx_),
      deviceRoot_(std::move(devices.deviceRoot)),
      linkHost_(std::make_unique<WindowLinkHost>(
          context.ui, currentPort_, devices.pauses ? *devices.pauses : realPauseClock())) {
    buildDownloadPanel();
    CommandRegistry& commands = context_.commands;
    commands.add(context_.action("Rcuprerdesdonnes1"), Enabling::Idle,
                 [this] { Rcuprerdesdonnes1Click(); });
    for (const char* name : kPortItems) {
        QAction* item = context_.action(name);
        commands.add(item, Enabling::Idle, [this, item] { ComCheck(item); });
    }
    commands.add(context_.action("Ports"), Enabling::Idle, [this] { PortsClick(); });

    for (int frame = 0; frame < static_cast<int>(iconFrames_.size()); ++frame)
        iconFrames_[static_cast<std::size_t>(frame)] = icons::applicationIcon(frame);
    Timer1 = new QTimer(&context_.window);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kIconFrameMs);
    connect(Timer1, &QTimer::timeout, this, &LinkCommands::Timer1Timer);
    Timer1->start();
    ConverterWatch = new QTimer(&context_.window);
    ConverterWatch->setObjectName(QStringLiteral("ConverterWatch"));
    ConverterWatch->setInterval(kConverterCountMs);
    connect(ConverterWatch, &QTimer::timeout, this, &LinkCommands::ConverterWatchTimer);
    checkPortItem();
    watchConverter();
    context_.window.installEventFilter(this);
}

LinkCommands::~LinkCommands() = default;

void LinkCommands::buildDownloadPanel() {
    QMainWindow& window = context_.window;
    DownloadGB = new QGroupBox(&window);
    DownloadGB->setObjectName(QStringLiteral("DownloadGB"));
    DownloadGB->setFixedSize(377, 290);
    auto* label = new QLabel(QStringLiteral("Please wait during data download ..."), DownloadGB);
    ProgressBarLbl = new QLabel(DownloadGB);
    ProgressBarLbl->setObjectName(QStringLiteral("ProgressBarLbl"));
    liveView_ = new DownloadLiveView(DownloadGB);
    StopDownload = new QPushButton(QStringLiteral("Cancel"), DownloadGB);
    StopDownload->setObjectName(QStringLiteral("StopDownload"));
    auto* layout = new QVBoxLayout(DownloadGB);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addWidget(ProgressBarLbl, 0, Qt::AlignHCenter);
    layout->addWidget(liveView_, 0, Qt::AlignHCenter);
    layout->addWidget(StopDownload, 0, Qt::AlignHCenter);
    DownloadGB->hide();

    downloadDisplay_ = std::make_unique<WindowDownloadDisplay>(
        *DownloadGB, *ProgressBarLbl, *liveView_, context_.status.progress(), context_.ui,
        [this] { return dialogFolder(context_.settings); });
    connect(StopDownload, &QPushButton::clicked, this, &LinkCommands::StopDownloadClick);
    // The table is hidden during a download; the status line keeps its height.
    QSizePolicy table = context_.table.sizePolicy();
    table.setRetainSizeWhenHidden(true);
    context_.table.setSizePolicy(table);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now && DownloadGB->isAncestorOf(now) && !(old && DownloadGB->isAncestorOf(old)))
            DownloadGBEnter();
    });
}

// The panel stays centred and the link picture follows the window's size.
bool LinkCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &context_.window && event->type() == QEvent::Resize) {
        const QMainWindow& window = context_.window;
        DownloadGB->move(window.width() / 2 - DownloadGB->width() / 2,
                         window.height() / 2 - DownloadGB->height() / 2);
        ShowPortImage();
    }
    return CommandGroup::eventFilter(watched, event);
}

void LinkCommands::checkPortItem() {
    for (const char* name : kPortItems) {
        QAction* item = context_.action(name);
        item->setChecked(item->data().toInt() == context_.settings.portNumber);
    }
}

void LinkCommands::watchConverter() {
    if (context_.settings.portNumber == usbPortNumber)
        ConverterWatch->start();
    else
        ConverterWatch->stop();
    ShowPortImage();
}

// A port that once connected fixes the link for the rest of the run.
void LinkCommands::ComCheck(QAction* item) {
    const int chosen = item->data().toInt();
    Settings& settings = context_.settings;
    if (currentPort_ && currentPort_->isLocked()) {
        checkPortItem(); // the menu checked the clicked item already
        if (chosen != settings.portNumber) context_.ui.tell(kPortLocked);
        return;
    }
    settings.portNumber = chosen;
    checkPortItem();
    // The picture follows the choice even when the checker below is missing.
    watchConverter();
    if (chosen == usbPortNumber) startLinkTest(QCoreApplication::applicationDirPath());
}

// A locked port keeps its line whatever the settings say: the lock's warning.
void LinkCommands::PortsClick() {
    if (currentPort_ && currentPort_->isLocked()) {
        context_.ui.tell(kPortLocked);
        return;
    }
    QStringList present;
    for (const std::string& path : ComDevices::present(deviceRoot_)) present << qtName(path);
    PortsDialog dialog(context_.settings.comDevices, present, &context_.window);
    if (context_.ui.runDialog(dialog) == QDialog::Accepted)
        context_.settings.comDevices = dialog.chosen();
}

void LinkCommands::ShowPortImage() {
    const int port = context_.settings.portNumber;
    if (port == usbPortNumber) converterAttached_ = CountUsbDevices(d2xx_) > 0;
    const std::optional<int> index = linkPictureIndex(port, converterAttached_);
    context_.status.setLinkPicture(index ? icons::linkPicture(*index) : QPixmap());
}

void LinkCommands::ConverterWatchTimer() {
    if ((CountUsbDevices(d2xx_) > 0) != converterAttached_) ShowPortImage();
}

void LinkCommands::Timer1Timer() {
    const QIcon& icon = iconFrames_[static_cast<std::size_t>(frame_)];
    QApplication::setWindowIcon(icon);
    context_.window.setWindowIcon(icon);
    frame_ = (frame_ + 1) % static_cast<int>(iconFrames_.size());
}

// What was shown goes before the link is touched. Records that reached no file
// are unsaved data, so quitting asks first; a download that brought none leaves
// the data commands off.
void LinkCommands::Rcuprerdesdonnes1Click() {
    DataSession& session = context_.session;
    if (!session.mayReplaceDataSet()) return;
    session.replaceStore(nullptr);
    session.rebuildRows(false);
    context_.status.setPanel0({});
    context_.table.hide();
    DownloadResult result;
    {
        DataSession::BusyScope busy(session, [this] { StopDownloadClick(); });
        const PortResources resources{*linkHost_, comDevicesOf(context_.settings), d2xx_};
        result = downloadData(currentPort_, context_.settings.portNumber, resources, *linkHost_,
                              *downloadDisplay_, downloadJournalFolder());
    }
    const bool received = result.store && result.store->count() > 0;
    if (result.store) {
        session.replaceStore(std::move(result.store));
        session.rebuildRows(true);
    }
    if (result.saved) {
        session.setFilePath(qtName(result.savedTo));
        rememberRecentFile(context_.settings, qtName(result.savedTo));
        context_.menu("RecentFiles")->menuAction()->setEnabled(true);
    }
    session.setDataSaved(result.saved || !received);
    if (received) session.setJournal(result.journal);
    context_.status.resetProgress();
    context_.table.show();
}

// "No" keeps the journals for a later start or for veldro-cli recover.
void LinkCommands::restoreUnsavedDownloads(const std::string& folder) {
    std::vector<JournalSummary> pending;
    try {
        pending = pendingJournals(folder, std::time(nullptr));
    } catch (const FileError& e) {
        context_.ui.tell({"The download journals cannot be read:\n" + std::string(e.what()),
                          "WARNING", MessageIcon::Warning});
        return;
    }
    if (pending.empty() ||
        context_.ui.ask({restoreQuestion(pending), "Restore", MessageIcon::Question},
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return;
    DataSession& session = context_.session;
    if (!session.mayReplaceDataSet()) return;
    const JournalContents journal = readJournal(pending.front().path);
    RestoredDataSets dataSets = restoredDataSets(journal);
    const int firstCount = dataSets.first->count();
    const int secondCount = dataSets.second ? dataSets.second->count() : 0;
    session.replaceStore(std::move(dataSets.first));
    session.rebuildRows(true);
    session.setDataSaved(false);
    session.setJournal(journal.path, std::move(dataSets.second));
    if (secondCount > 0)
        context_.ui.tell(
            {"This download holds " + std::to_string(journal.recordCount) +
                 " records, more than a data set takes: the first " + std::to_string(firstCount) +
                 " are open.\nSaving them saves the other " + std::to_string(secondCount) +
                 " in a second file beside them, its name ending in -2.",
             "Restore", MessageIcon::Information});
    if (const std::string damage = damageReport(journal); !damage.empty())
        context_.ui.tell({damage, "WARNING", MessageIcon::Warning});
}

void LinkCommands::StopDownloadClick() {
    context_.session.rebuildContinue = false;
    veldro::StopDownload(currentPort_.get(), *downloadDisplay_);
}

void LinkCommands::DownloadGBEnter() {
    ProgressBarLbl->clear();
}

void LinkCommands::windowClosing() {
    if (currentPort_ && currentPort_->GetState() > 0) currentPort_->Disconnect();
}

} // namespace veldro
