#include "app/main_window.h"

#include "app/commands/export_commands.h"
#include "app/commands/file_commands.h"
#include "app/commands/graph_commands.h"
#include "app/commands/help_commands.h"
#include "app/commands/link_commands.h"
#include "app/commands/processing_commands.h"
#include "app/commands/profile_export_commands.h"
#include "app/commands/report_commands.h"
#include "app/commands/tools_commands.h"
#include "app/commands/view_commands.h"
#include "app/data_session.h"
#include "app/measurement_table_model.h"
#include "app/status_line.h"
#include "data/measurement_store.h"
#include "widgets/icons.h"
#include "widgets/measurement_table_view.h"
#include "widgets/window_place.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace veldro {

namespace {

const Message kCancelRunning{"Cancel the running command and quit ?", "Quit",
                             MessageIcon::Question};

constexpr int kDesignWidth = 887;
constexpr int kDesignHeight = 616;
constexpr int kMinimumWidth = 600;
constexpr int kMinimumHeight = 400;

} // namespace

TMainFrm::TMainFrm(UiServices& services, const LinkDevices& devices) : services_(services) {
    setWindowIcon(icons::applicationIcon());
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    buildMenus();
    buildToolBar();
    buildClientArea();
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    session_ = std::make_unique<DataSession>(services_,
                                             SessionView{*TabMesureCLstView, *status_, *NameLblx});
    commands_ = std::make_unique<CommandRegistry>(*session_, services_);
    context_ = std::make_unique<CommandContext>(CommandContext{
        *this, services_, settings_, *session_, *status_, *TabMesureCLstView, *commands_});
    readSettings();
    followMenus();
    showTitle();
    connect(session_.get(), &DataSession::stateChanged, this, [this] {
        showTitle();
        closeIfAsked();
    });

    // Each group registers its commands; a new group is one line here.
    files_ = static_cast<FileCommands*>(
        groups_.emplace_back(std::make_unique<FileCommands>(*context_)).get());
    groups_.push_back(std::make_unique<ProcessingCommands>(*context_));
    groups_.push_back(std::make_unique<ExportCommands>(*context_));
    groups_.push_back(std::make_unique<ProfileExportCommands>(*context_));
    groups_.push_back(std::make_unique<ViewCommands>(*context_));
    groups_.push_back(std::make_unique<ReportCommands>(*context_));
    groups_.push_back(std::make_unique<GraphCommands>(*context_));
    groups_.push_back(std::make_unique<ToolsCommands>(*context_));
    groups_.push_back(std::make_unique<HelpCommands>(*context_));
    link_ = static_cast<LinkCommands*>(
        groups_.emplace_back(std::make_unique<LinkCommands>(*context_, devices)).get());
}

TMainFrm::~TMainFrm() = default;

const MeasurementStore* TMainFrm::store() const {
    return session_->store();
}

const RowList& TMainFrm::rowList() const {
    return session_->rows();
}

bool TMainFrm::dataSaved() const {
    return session_->dataSaved();
}

MeasurementTableModel& TMainFrm::tableModel() {
    return session_->model();
}

const Port* TMainFrm::currentPort() const {
    return link_->currentPort();
}

void TMainFrm::buildClientArea() {
    TabMesureCLstView = new MeasurementTableView;
    TabMesureCLstView->setObjectName(QStringLiteral("TabMesureCLstView"));
    auto* client = new QWidget;
    status_ = std::make_unique<StatusLine>(*client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TabMesureCLstView, 1);
    layout->addWidget(&status_->bar());
    layout->addWidget(&status_->progressBar());
    setCentralWidget(client);
}

// The menus themselves follow the rules of their items.
void TMainFrm::followMenus() {
    for (const char* name : {"Fichier1", "Communication1", "Voir2"})
        commands_->follow(context_->menu(name)->menuAction(), Enabling::Idle);
    for (const char* name : {"ExporterEtEnregistrer", "Processing1"})
        commands_->follow(context_->menu(name)->menuAction(), Enabling::WithData);
}

// "<file name> — Veldro", with a "*" in front while the data set is unsaved;
// the toolbar's title label stays as the commands set it.
void TMainFrm::showTitle() {
    const QString file = QFileInfo(session_->filePath()).fileName();
    setWindowTitle(QStringLiteral("[*]") +
                   (file.isEmpty() ? QString() : file + QStringLiteral(" \u2014 ")) +
                   QStringLiteral("Veldro"));
    setWindowModified(session_->hasData() && !session_->dataSaved());
}

void TMainFrm::closeIfAsked() {
    if (!closeWhenIdle_ || session_->busy()) return;
    closeWhenIdle_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
}

void TMainFrm::readSettings() {
    const std::unique_ptr<QSettings> stored = openSettings();
    const SettingsRead read = veldro::readSettings(*stored);
    settings_ = read.settings;
    if (!read.error.isEmpty()) services_.tell({read.error.toStdString(), "", MessageIcon::Error});
    settings_.separatorChar = knownSeparatorOrSpace(settings_.separatorChar);
    settings_.portNumber = knownPortOrCom1(settings_.portNumber);
    placeWindow();
}

// Centred at the design size unless the settings place it; a remembered size
// under the minimum is refused like a drag to it. Whatever the settings hold
// (a size of 2 000 000 000, a place far off every screen) and however large
// the design is for a scaled screen, the window with its frame lies wholly in
// the free area of one screen and is no larger than it.
void TMainFrm::placeWindow() {
    QSize size(settings_.width.value_or(kDesignWidth), settings_.height.value_or(kDesignHeight));
    if (size.width() < kMinimumWidth || size.height() < kMinimumHeight)
        size = QSize(kDesignWidth, kDesignHeight);
    resize(size);
    if (settings_.top) {
        QPoint place(settings_.left.value_or(0), *settings_.top);
        if (!settings_.left) {
            const QScreen* screen = QGuiApplication::screenAt(place);
            const QRect free =
                (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
            place.setX(free.center().x() - frameGeometry().width() / 2);
        }
        move(place);
    }
    fitOnScreen(*this);
}

void TMainFrm::openOnFirstShow(const QStringList& paths) {
    startupFiles_ = paths;
}

void TMainFrm::restoreDownloadsOnFirstShow(const std::string& journalFolder) {
    journalFolder_ = journalFolder;
}

void TMainFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // One after the other: the files open once the restore question is
    // answered, not behind its box.
    QTimer::singleShot(0, this, [this] {
        if (!journalFolder_.empty())
            commands_->run([this] { link_->restoreUnsavedDownloads(journalFolder_); });
        if (!startupFiles_.isEmpty()) commands_->run([this] { files_->openFiles(startupFiles_); });
    });
}

// During a command the close is asked first; cancelled, the command ends on
// its own and the close comes back with its usual question about unsaved data.
void TMainFrm::closeEvent(QCloseEvent* event) {
    if (session_->busy()) {
        event->ignore();
        if (!closeWhenIdle_ && services_.ask(kCancelRunning, QMessageBox::Yes | QMessageBox::No,
                                             QMessageBox::No) == QMessageBox::Yes) {
            closeWhenIdle_ = true;
            session_->cancelRunning();
        }
        return;
    }
    if (!files_->FormCloseQuery()) {
        event->ignore();
        return;
    }
    settings_.top = y();
    settings_.left = x();
    settings_.width = width();
    settings_.height = height();
    const std::unique_ptr<QSettings> stored = openSettings();
    const QString error = writeSettings(*stored, settings_);
    if (!error.isEmpty()) services_.tell({error.toStdString(), "", MessageIcon::Error});
    for (const auto& group : groups_) group->windowClosing();
    session_->replaceStore(nullptr);
    event->accept();
}

} // namespace veldro
