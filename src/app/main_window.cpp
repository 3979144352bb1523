#include "app/main_window.h"

#include "app/download_command.h"
#include "app/icons.h"
#include "app/measurement_table_model.h"
#include "app/measurement_table_view.h"
#include "app/select_columns_dialog.h"
#include "app/window_link_host.h"
#include "data/bru_import.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "data/vlf_file.h"
#include "link/d2xx.h"
#include "link/port.h"
#include "processing/row_commands.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace veldro {

namespace {

const QString kDataFileFilter = QStringLiteral("Veldro data file  (*.vlf)|*.vlf|All (*.*)|*.*");
const QString kSaveFilter = QStringLiteral(
    "Veldro data file  (*.vlf)|*.vlf|Spreadsheet (*.txt)|*.txt|XYZ data file (*.xyz)|*.xyz|"
    "WAD data file (*.wad)|*.wad|All (*.*)|*.*");
const QString kBruFilter =
    QStringLiteral("Veldro old format data file  (*.bru)|*.bru|All (*.*)|*.*");

const Message kQuitWithoutSaving{"Quit without saving ?", "Data not stored", MessageIcon::Warning};
const Message kDiscardUnsaved{"Discard unsaved data ?", "Data not stored", MessageIcon::Warning};
const Message kDeleteIgnored{"Are you sure ?", "Delete ignored data (unchecked)",
                             MessageIcon::Warning};
const Message kCreateDirectory{"Please create new directory", "", MessageIcon::None};
const Message kDirectoryError{"Directory Error", "", MessageIcon::Error};

constexpr int kDesignWidth = 887;
constexpr int kDesignHeight = 616;
constexpr int kMinimumWidth = 600;
constexpr int kMinimumHeight = 400;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString fullNameOf(const QString& chosen) {
    return QFileInfo(chosen).absoluteFilePath();
}

std::string localName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QLabel* statusPanel(int width) {
    auto* panel = new QLabel;
    panel->setFixedWidth(width);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    return panel;
}

} // namespace

void BarProgress::setMaximum(int maximum) {
    bar_.setRange(0, std::max(maximum, 1));
}

void BarProgress::setPosition(int position) {
    bar_.setValue(position);
}

int BarProgress::position() const {
    return bar_.value();
}

TMainFrm::BusyScope::BusyScope(TMainFrm& window) : window_(window) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++window_.busyDepth_;
    window_.updateCommandStates();
}

TMainFrm::BusyScope::~BusyScope() {
    --window_.busyDepth_;
    window_.updateCommandStates();
    QApplication::restoreOverrideCursor();
}

TMainFrm::TMainFrm(UiServices& services, D2xx* d2xx, QWidget* parent)
    : QMainWindow(parent), services_(services), messages_(services),
      model_(new MeasurementTableModel(this)), systemD2xx_(d2xx ? nullptr : makeSystemD2xx()),
      d2xx_(d2xx ? *d2xx : *systemD2xx_),
      linkHost_(std::make_unique<WindowLinkHost>(services, currentPort_)) {
    setWindowTitle(QStringLiteral("Veldro"));
    setWindowIcon(icons::applicationIcon());
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    buildMenus();
    buildToolBar();
    buildClientArea();
    buildDownloadPanel();
    progress_ = std::make_unique<BarProgress>(*ProgressBar1);
    buildLinkParts();
    buildDownloadParts();
    setMinimumSize(kMinimumWidth, kMinimumHeight);

    const std::unique_ptr<QSettings> stored = openSettings();
    applySettings(readSettings(*stored));
    setupColumns();
    updateCommandStates();
}

TMainFrm::~TMainFrm() = default;

const RowList& TMainFrm::rowList() const {
    return model_->rows();
}

QAction* TMainFrm::command(QMenu* menu, const char* name, const QString& caption,
                           void (TMainFrm::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (handler)
        connect(action, &QAction::triggered, this,
                [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    else
        action->setEnabled(false); // its command comes with a later part of the program
    return action;
}

// An error that escapes a command is shown with its text; the window goes on.
void TMainFrm::runCommand(const std::function<void()>& run) {
    try {
        run();
    } catch (const std::exception& error) {
        services_.tell({error.what(), "", MessageIcon::Error});
    }
}

void TMainFrm::buildMenus() {
    Fichier1 = menuBar()->addMenu(QStringLiteral("File"));
    Ouvrir1 = command(Fichier1, "Ouvrir1", QStringLiteral("Open..."), &TMainFrm::Ouvrir1Click);
    Ouvrir1->setShortcut(Qt::Key_F2);
    Ouvrir1->setIcon(icons::toolIcon(icons::Tool::Open));
    OpenLastFile = command(Fichier1, "OpenLastFile", QStringLiteral("Open last file..."),
                           &TMainFrm::OpenLastFileClick);
    OpenLastFile->setShortcut(Qt::Key_F3);
    OpenLastFile->setIcon(icons::toolIcon(icons::Tool::OpenLast));
    EnregistrerSous = command(Fichier1, "EnregistrerSous", QStringLiteral("Save as..."),
                              &TMainFrm::EnregistrerSousClick);
    EnregistrerSous->setShortcut(Qt::Key_F4);
    EnregistrerSous->setIcon(icons::toolIcon(icons::Tool::Save));

    ExporterEtEnregistrer = Fichier1->addMenu(QStringLiteral("Export and save"));
    ExporterEtEnregistrer->setObjectName(QStringLiteral("ExporterEtEnregistrer"));
    ExporterEtEnregistrer->setIcon(icons::toolIcon(icons::Tool::Export));
    QMenu* spreadsheet = ExporterEtEnregistrer->addMenu(QStringLiteral("Spreadsheet..."));
    command(spreadsheet, "Rawdata1", QStringLiteral("Raw data"), nullptr);
    command(spreadsheet, "Fraservalues1", QStringLiteral("Fraser values"), nullptr);
    QMenu* separators = ExporterEtEnregistrer->addMenu(QStringLiteral("Spreadsheet separator"));
    separatorGroup = new QActionGroup(this);
    for (const auto& [caption, code] : {std::pair{"Comma", ','}, std::pair{"Semi comma", ';'},
                                        std::pair{"Space", ' '}, std::pair{"Tabulation", '\t'}}) {
        QAction* item = command(separators, "", QString::fromLatin1(caption), nullptr);
        item->setCheckable(true);
        item->setData(static_cast<int>(code));
        separatorGroup->addAction(item);
    }
    command(ExporterEtEnregistrer, "IXVLF1", QStringLiteral("IXVLF (XYZ data file)"), nullptr);
    command(ExporterEtEnregistrer, "Orvex1", QStringLiteral("Orvex (WADI data file)"), nullptr);
    Fichier1->addSeparator();
    Importtextfile1 = command(Fichier1, "Importtextfile1", QStringLiteral("Import file..."),
                              &TMainFrm::Importtextfile1Click);
    Add1 = command(Fichier1, "Add1", QStringLiteral("Add..."), &TMainFrm::Add1Click);
    Splitonname1 = command(Fichier1, "Splitonname1", QStringLiteral("Split in files..."),
                           &TMainFrm::Splitonname1Click);
    Splitonname1->setToolTip(
        QStringLiteral("Split in several files according to the profile and mode"));
    Splitonname1->setStatusTip(Splitonname1->toolTip());
    Fichier1->addSeparator();
    Displayoptions1 = command(Fichier1, "Displayoptions1", QStringLiteral("Display options..."),
                              &TMainFrm::Displayoptions1Click);
    Fichier1->addSeparator();
    Quitter1 = command(Fichier1, "Quitter1", QStringLiteral("Quit"), &TMainFrm::Quitter1Click);

    Communication1 = menuBar()->addMenu(QStringLiteral("Communication"));
    Rcuprerdesdonnes1 = command(Communication1, "Rcuprerdesdonnes1",
                                QStringLiteral("Data download"), &TMainFrm::Rcuprerdesdonnes1Click);
    Rcuprerdesdonnes1->setIcon(icons::toolIcon(icons::Tool::Download));
    Rcuprerdesdonnes1->setToolTip(QStringLiteral("Download data from ..."));
    Rcuprerdesdonnes1->setStatusTip(Rcuprerdesdonnes1->toolTip());
    QMenu* ports = Communication1->addMenu(QStringLiteral("Communication port"));
    ports->setObjectName(QStringLiteral("Portdecommunication1"));
    portGroup = new QActionGroup(this);
    for (int port = 1; port <= usbPortNumber; ++port) {
        const bool usb = port == usbPortNumber;
        QAction* item =
            ports->addAction(usb ? QStringLiteral("USB") : QStringLiteral("COM %1").arg(port));
        item->setObjectName(usb ? QStringLiteral("Usb") : QStringLiteral("Com%11").arg(port));
        item->setCheckable(true);
        item->setData(port);
        portGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, item] { runCommand([this, item] { ComCheck(item); }); });
    }

    Processing1 = menuBar()->addMenu(QStringLiteral("Processing"));
    Keepselectedrows1 = command(Processing1, "Keepselectedrows1",
                                QStringLiteral("Keep selected data"), &TMainFrm::Check1Click);
    Ignoreselectedrows1 = command(Processing1, "Ignoreselectedrows1",
                                  QStringLiteral("Ignore selected data"), &TMainFrm::Uncheck1Click);
    DeleteUnselectedData =
        command(Processing1, "DeleteUnselectedData", QStringLiteral("Delete ignored data"),
                &TMainFrm::DeleteUnselectedDataClick);
    Ignoreoverloaddata1 =
        command(Processing1, "Ignoreoverloaddata1", QStringLiteral("Ignore overload data"),
                &TMainFrm::Ignoreoverloaddata1Click);
    Processing1->addSeparator();
    command(Processing1, "Filtering1", QStringLiteral("Filtering..."), nullptr);
    command(Processing1, "FrequencyDisabler1", QStringLiteral("Reject frequency..."), nullptr);
    command(Processing1, "ViewFraser1", QStringLiteral("View Fraser"), nullptr);

    Tools1 = menuBar()->addMenu(QStringLiteral("Tools"));
    command(Tools1, "RunIXVLF1", QStringLiteral("Run IXVLF"), nullptr);
    command(Tools1, "RunOrvex1", QStringLiteral("Run Orvex"), nullptr);

    Voir2 = menuBar()->addMenu(QStringLiteral("View"));
    command(Voir2, "File1", QStringLiteral("File..."), nullptr);
    Formatedtype1 = command(Voir2, "Formatedtype1", QStringLiteral("Formated"), nullptr);
    Comments1 = command(Voir2, "Comments1", QStringLiteral("Edit comments"), nullptr);
    Comments1->setIcon(icons::toolIcon(icons::Tool::Comments));

    Help1 = menuBar()->addMenu(QStringLiteral("Help"));
    Rubriquedaide1 = command(Help1, "Rubriquedaide1", QStringLiteral("Help topics"), nullptr);
    Rubriquedaide1->setShortcut(Qt::Key_F1);
    Rubriquedaide1->setIcon(icons::toolIcon(icons::Tool::Help));
    QMenu* web = Help1->addMenu(QStringLiteral("Ombrel Zezeverudud on the web"));
    command(web, "Homepage1", QStringLiteral("Home page"), nullptr);
    command(web, "Productsupport1", QStringLiteral("Product support"), nullptr);
    command(Help1, "Apropos1", QStringLiteral("About"), nullptr);

    PopupMenu1 = new QMenu(this);
    Check1 = command(PopupMenu1, "Check1", QStringLiteral("Keep"), &TMainFrm::Check1Click);
    Uncheck1 = command(PopupMenu1, "Uncheck1", QStringLiteral("Ignore"), &TMainFrm::Uncheck1Click);
}

void TMainFrm::buildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->addAction(Ouvrir1);
    ToolBar1->addAction(OpenLastFile);
    ToolBar1->addAction(EnregistrerSous);
    ToolBar1->addAction(ExporterEtEnregistrer->menuAction());
    if (auto* button = qobject_cast<QToolButton*>(
            ToolBar1->widgetForAction(ExporterEtEnregistrer->menuAction())))
        button->setPopupMode(QToolButton::InstantPopup);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Rcuprerdesdonnes1);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Comments1);
    NameLblx = new QLabel(ToolBar1);
    NameLblx->setAlignment(Qt::AlignCenter);
    NameLblx->setStyleSheet(QStringLiteral("color: navy; font-weight: bold;"));
    NameLblx->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar1->addWidget(NameLblx);
    ToolBar1->addAction(Rubriquedaide1);
}

void TMainFrm::buildClientArea() {
    TabMesureCLstView = new MeasurementTableView;
    TabMesureCLstView->setModel(model_);
    TabMesureCLstView->imageStripPressed = [this](int row) { return toggleFromImageStrip(row); };
    TabMesureCLstView->doubleClickedRight = [this] {
        runCommand([this] { TabMesureCLstViewDblClick(); });
    };
    TabMesureCLstView->rightPressed = [this](const QPoint& at) { TabMesureCLstViewMouseDown(at); };

    StatusBar1 = new QStatusBar;
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = statusPanel(128);
    StatusPanel1 = statusPanel(340);
    Image2 = statusPanel(49);
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addPermanentWidget(Image2);

    ProgressBar1 = new QProgressBar;
    ProgressBar1->setFixedHeight(9);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);

    auto* client = new QWidget;
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TabMesureCLstView, 1);
    layout->addWidget(StatusBar1);
    layout->addWidget(ProgressBar1);
    setCentralWidget(client);
}

void TMainFrm::buildDownloadPanel() {
    DownloadGB = new QGroupBox(this);
    DownloadGB->setFixedSize(377, 113);
    auto* label = new QLabel(QStringLiteral("Please wait during data download ..."), DownloadGB);
    ProgressBarLbl = new QLabel(DownloadGB);
    StopDownload = new QPushButton(QStringLiteral("Cancel"), DownloadGB);
    auto* layout = new QVBoxLayout(DownloadGB);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addWidget(ProgressBarLbl, 0, Qt::AlignHCenter);
    layout->addWidget(StopDownload, 0, Qt::AlignHCenter);
    DownloadGB->hide();
}

void TMainFrm::applySettings(const SettingsRead& read) {
    settings_ = read.settings;
    if (!read.error.isEmpty()) services_.tell({read.error.toStdString(), "", MessageIcon::Error});
    settings_.separatorChar = knownSeparatorOrSpace(settings_.separatorChar);
    settings_.portNumber = knownPortOrCom1(settings_.portNumber);
    for (QAction* item : separatorGroup->actions())
        item->setChecked(item->data().toInt() == settings_.separatorChar);
    checkPortItem();
    watchConverter();
    placeWindow();
}

// Centred at the design size unless the settings place it; a remembered size
// under the minimum is refused like a drag to it.
void TMainFrm::placeWindow() {
    const int width = settings_.width.value_or(kDesignWidth);
    const int height = settings_.height.value_or(kDesignHeight);
    if (width >= kMinimumWidth && height >= kMinimumHeight)
        resize(width, height);
    else
        resize(kDesignWidth, kDesignHeight);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint centred(screen.x() + (screen.width() - this->width()) / 2,
                         screen.y() + (screen.height() - this->height()) / 2);
    if (settings_.top)
        move(settings_.left.value_or(centred.x()), *settings_.top);
    else
        move(centred);
}

void TMainFrm::openOnFirstShow(const QString& path) {
    startupFile_ = path;
}

void TMainFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (!startupFile_.isEmpty())
        QTimer::singleShot(0, this,
                           [this] { runCommand([this] { openDataFile(startupFile_, true); }); });
}

void TMainFrm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    DownloadGB->move(width() / 2 - DownloadGB->width() / 2,
                     height() / 2 - DownloadGB->height() / 2);
    ShowPortImage();
}

void TMainFrm::updateCommandStates() {
    const bool idle = !busy();
    const bool withData = idle && store_;
    for (QAction* action :
         {Fichier1->menuAction(), Ouvrir1, OpenLastFile, Importtextfile1, Displayoptions1, Quitter1,
          Communication1->menuAction(), Rcuprerdesdonnes1, Voir2->menuAction()})
        action->setEnabled(idle);
    for (QAction* action :
         {EnregistrerSous, ExporterEtEnregistrer->menuAction(), Add1, Splitonname1,
          Processing1->menuAction(), Keepselectedrows1, Ignoreselectedrows1, DeleteUnselectedData,
          Ignoreoverloaddata1, Check1, Uncheck1})
        action->setEnabled(withData);
}

// The rows and their count go with the data set they describe.
void TMainFrm::replaceStore(std::unique_ptr<MeasurementStore> store) {
    model_->setStore(store.get());
    StatusPanel0->clear();
    store_ = std::move(store);
}

void TMainFrm::setupColumns() {
    model_->setupColumns(settings_.columnVisible);
    TabMesureCLstView->setColumnWidth(0, MeasurementTableModel::kNumberColumnWidth);
    for (int column = 1; column < model_->columnCount(); ++column)
        TabMesureCLstView->setColumnWidth(
            column, kColumns[static_cast<std::size_t>(model_->logicalColumn(column))].width);
}

void TMainFrm::rebuildRows(bool reload) {
    rebuildContinue = true;
    BusyScope busy(*this);
    StatusPanel0->clear();
    ProgressBar1->setValue(0);
    model_->beginRebuild();
    RowList rows;
    if (!store_) {
        StatusPanel1->clear();
        NameLblx->clear();
    } else {
        if (reload) store_->loadFromImage(messages_);
        rows = buildRowList(*store_, progress_.get(), [this](int) {
            QCoreApplication::processEvents();
            return rebuildContinue;
        });
    }
    showRows(std::move(rows));
    TabMesureCLstView->show();
}

void TMainFrm::showRows(RowList rows) {
    model_->endRebuild(std::move(rows));
    showRowCount();
    ProgressBar1->setValue(0);
}

void TMainFrm::showRowCount() {
    const RowList& rows = model_->rows();
    StatusPanel0->setText(QString::fromStdString(rowCountStatus(rows.keptCount(), rows.size())));
}

// A scratch file that cannot be written is said in the status line; the data
// set stays open.
void TMainFrm::afterDataSetLoaded() {
    updateCommandStates();
    try {
        writeScratchFile(*store_);
    } catch (const FileError& error) {
        StatusPanel1->setText(QStringLiteral("Scratch file not written: ") +
                              QString::fromStdString(error.what()));
        StatusPanel1->setToolTip(StatusPanel1->text());
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ProgressBar1->setValue(0);
    setDataSaved(false);
}

void TMainFrm::openDataFile(const QString& path, bool direct) {
    FileDialogRequest request{QDir::currentPath(), {}, kDataFileFilter, 1, QStringLiteral("vlf")};
    if (!path.isEmpty()) {
        const QFileInfo file(path);
        request.directory = file.absolutePath();
        request.fileName = file.fileName();
    }
    const QString chosen = direct ? path : services_.openFileName(request);
    if (chosen.isEmpty()) return;
    const QString fullName = fullNameOf(chosen);
    openDialogFileName_ = fullName;
    WaitCursor wait;
    // Read whole before the current data set goes: a failed open leaves it as it was.
    DataFileRead read = readDataFile(localName(fullName), messages_);
    if (read.status != DataFileStatus::Opened) return;
    replaceStore(std::move(read.store));
    NameLblx->setText(QStringLiteral("Veldro"));
    StatusPanel1->setToolTip({});
    // Said while the rows are built, the slow part of a large open.
    StatusPanel1->setText(QStringLiteral("Please wait, file openning can take a few minutes..."));
    rebuildRows(false); // the read loaded the image already
    StatusPanel1->setText(fullName);
    afterDataSetLoaded();
    settings_.lastFile = fullName;
    setDataSaved(true);
}

void TMainFrm::saveDataFileAs() {
    if (!store_) return;
    // Saving under a new name keeps the file shown and remembered: they go back
    // to the open dialog's choice, and stay as they are when it chose none yet
    // (after a download), rather than being emptied.
    if (!openDialogFileName_.isEmpty()) {
        StatusPanel1->setText(openDialogFileName_);
        settings_.lastFile = openDialogFileName_;
    }
    const QString chosen =
        services_.saveFileName({QDir::currentPath(), {}, kSaveFilter, 1, QStringLiteral("vlf")});
    if (chosen.isEmpty()) return;
    const std::string target = dataFileNameFor(localName(chosen));
    // The dialog asked about the name typed; the file written may be another one.
    if (target != localName(chosen) && fileExists(target) &&
        services_.ask({fileNamePart(target) + " already exists.\nDo you want to replace it?",
                       "Save as", MessageIcon::Warning},
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    WaitCursor wait;
    store_->saveToFile(target, progress_.get());
    setDataSaved(true);
}

// Open, import and download replace the data set: hand-made changes are not
// dropped without the user's word.
bool TMainFrm::mayReplaceDataSet() {
    if (dataSaved_ || !store_) return true;
    return services_.ask(kDiscardUnsaved, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void TMainFrm::Ouvrir1Click() {
    if (mayReplaceDataSet()) openDataFile({}, false);
}

void TMainFrm::OpenLastFileClick() {
    if (mayReplaceDataSet()) openDataFile(settings_.lastFile, false);
}

void TMainFrm::EnregistrerSousClick() {
    saveDataFileAs();
}

void TMainFrm::Importtextfile1Click() {
    if (!mayReplaceDataSet()) return;
    const QString chosen = services_.openFileName({QDir::currentPath(), {}, kBruFilter, 1, {}});
    if (chosen.isEmpty()) return;
    const QString fullName = fullNameOf(chosen);
    openDialogFileName_ = fullName;
    WaitCursor wait;
    replaceStore(std::make_unique<MeasurementStore>());
    try {
        ImportBru(*store_, localName(fullName), progress_.get(), messages_);
    } catch (...) {
        rebuildRows(false); // the discarded records must not stay on screen
        throw;
    }
    StatusPanel1->setToolTip({});
    StatusPanel1->setText(fullName);
    settings_.lastFile = fullName;
    afterDataSetLoaded();
    rebuildRows(false);
}

void TMainFrm::Add1Click() {
    if (!store_) return;
    const QString chosen =
        services_.openFileName({QDir::currentPath(), {}, kDataFileFilter, 1, {}});
    if (chosen.isEmpty()) return;
    const QString fullName = fullNameOf(chosen);
    openDialogFileName_ = fullName;
    WaitCursor wait;
    if (addDataFile(*store_, localName(fullName), messages_) != DataFileStatus::Opened) return;
    rebuildRows(false); // the add reloaded the image already
    afterDataSetLoaded();
}

void TMainFrm::Splitonname1Click() {
    if (!store_) return;
    QString directory = QDir::currentPath();
    for (;;) {
        try {
            directory = services_.directoryName(directory);
            if (directory.isEmpty()) return;
            if (directoryExists(localName(directory))) break;
            services_.tell(kCreateDirectory);
        } catch (const std::exception&) {
            services_.tell(kDirectoryError);
        }
    }
    WaitCursor wait;
    store_->splitToFiles(localName(directory), progress_.get());
}

void TMainFrm::Displayoptions1Click() {
    TSelectColumnsFrm dialog(settings_.columnVisible, this);
    if (dialog.exec() != QDialog::Accepted) return;
    settings_.columnVisible = dialog.chosen();
    setupColumns();
    if (store_) rebuildRows(false);
}

void TMainFrm::Quitter1Click() {
    close();
}

std::vector<int> TMainFrm::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : TabMesureCLstView->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Every keep/ignore writes the records too, so what the table shows is what a
// save writes, and a hand-made change asks before quitting.
void TMainFrm::changeKept(const std::function<void(RowList&)>& change) {
    if (!store_) return;
    WaitCursor wait;
    if (model_->changeKeptFlags(change)) setDataSaved(false);
    showRowCount();
}

void TMainFrm::Check1Click() {
    changeKept([this](RowList& rows) { setRowsKept(*store_, rows, selectedRows(), true); });
}

void TMainFrm::Uncheck1Click() {
    changeKept([this](RowList& rows) { setRowsKept(*store_, rows, selectedRows(), false); });
}

void TMainFrm::TabMesureCLstViewDblClick() {
    changeKept([this](RowList& rows) { toggleRows(*store_, rows, selectedRows()); });
}

// A second press on the same row within the double-click time is the tail of
// a double-click: it is swallowed rather than toggling the row back.
bool TMainFrm::toggleFromImageStrip(int row) {
    if (!store_ || busy()) return false;
    const std::string& caption = model_->rows().entries[static_cast<std::size_t>(row)].caption;
    const auto now = std::chrono::steady_clock::now();
    const auto doubleClickTime = std::chrono::milliseconds(QApplication::doubleClickInterval());
    if (now - lastToggleTime_ < doubleClickTime && lastToggledCaption_ == caption) return true;
    lastToggleTime_ = now;
    lastToggledCaption_ = caption;
    changeKept([this, row](RowList& rows) { toggleRows(*store_, rows, {row}); });
    return false;
}

void TMainFrm::TabMesureCLstViewMouseDown(const QPoint& globalPosition) {
    if (store_ && !busy()) PopupMenu1->popup(globalPosition);
}

void TMainFrm::Ignoreoverloaddata1Click() {
    if (!store_) return;
    WaitCursor wait;
    RowList rows = model_->rows();
    ignoreOverloadData(*store_, rows, progress_.get());
    showRows(std::move(rows));
    setDataSaved(false);
}

void TMainFrm::DeleteUnselectedDataClick() {
    if (!store_) return;
    copyRowFlagsToStore(model_->rows(), *store_);
    if (services_.ask(kDeleteIgnored, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    WaitCursor wait;
    model_->beginRebuild();
    RowList rows;
    deleteIgnoredData(*store_, rows, messages_, progress_.get());
    showRows(std::move(rows));
    setDataSaved(false);
}

bool TMainFrm::FormCloseQuery() {
    if (dataSaved_) return true;
    if (services_.ask(kQuitWithoutSaving, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
        QMessageBox::Yes)
        return true;
    runCommand([this] { saveDataFileAs(); });
    return false;
}

void TMainFrm::closeEvent(QCloseEvent* event) {
    if (busy() || !FormCloseQuery()) {
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
    if (currentPort_ && currentPort_->GetState() > 0) currentPort_->Disconnect();
    replaceStore(nullptr);
    event->accept();
}

} // namespace veldro
