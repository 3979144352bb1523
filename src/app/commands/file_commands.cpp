#include "app/commands/file_commands.h"

#include "app/data_session.h"
#include "app/file_drop_target.h"
#include "app/settings.h"
#include "app/status_line.h"
#include "charts/local_file_name.h"
#include "data/bru_import.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "data/positions_file.h"
#include "data/vlf_file.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <algorithm>

namespace veldro {

namespace {

const QString kDataFileFilter = QStringLiteral("Veldro data file  (*.vlf)|*.vlf|All (*.*)|*.*");
const QString kBruFilter =
    QStringLiteral("Veldro old format data file  (*.bru)|*.bru|All (*.*)|*.*");

const QString kPositionsFilter = QStringLiteral("Positions file  (*.csv)|*.csv|All (*.*)|*.*");
const std::string kPositionsCaption = "Positions";
// The positions report lists the stations of this many profiles.
constexpr std::size_t kListedProfiles = 10;

const Message kQuitWithoutSaving{"Quit without saving ?", "Data not stored", MessageIcon::Warning};
const Message kCreateDirectory{"Please create new directory", "", MessageIcon::None};
const Message kDirectoryError{"Directory Error", "", MessageIcon::Error};
const std::string kNotOpenable =
    "Not a Veldro data file (*.vlf) nor an old format data file (*.bru):\n";
// About the width of a path the recent files' menu shows whole.
constexpr int kRecentFileChars = 70;
const std::string kNotAddable = "Only Veldro data files (*.vlf) can be added:\n";

QString fullNameOf(const QString& chosen) {
    return QFileInfo(chosen).absoluteFilePath();
}

// What a file handed over by the desktop is taken for, by its name as the
// dialogs' filters go.
enum class FileKind { Data, Bru, Other };

FileKind kindOf(const QString& path) {
    if (hasDataFileExtension(localName(path))) return FileKind::Data;
    if (QFileInfo(path).suffix().compare(QLatin1String("bru"), Qt::CaseInsensitive) == 0)
        return FileKind::Bru;
    return FileKind::Other;
}

} // namespace

FileCommands::FileCommands(CommandContext& context) : CommandGroup(context) {
    CommandRegistry& commands = context_.commands;
    commands.add(context_.action("Ouvrir1"), Enabling::Idle, [this] { Ouvrir1Click(); });
    commands.add(context_.action("OpenLastFile"), Enabling::Idle, [this] { OpenLastFileClick(); });
    commands.add(context_.action("EnregistrerSous"), Enabling::WithData,
                 [this] { EnregistrerSousClick(); });
    commands.add(context_.action("Importtextfile1"), Enabling::Idle,
                 [this] { Importtextfile1Click(); });
    commands.add(context_.action("Add1"), Enabling::WithData, [this] { Add1Click(); });
    commands.add(context_.action("Positions"), Enabling::WithData, [this] { PositionsClick(); });
    commands.add(context_.action("Splitonname1"), Enabling::WithData,
                 [this] { Splitonname1Click(); });
    commands.add(context_.action("Quitter1"), Enabling::Idle, [this] { Quitter1Click(); });

    QMenu* recent = context_.menu("RecentFiles");
    connect(recent, &QMenu::aboutToShow, this, &FileCommands::fillRecentMenu);
    recent->menuAction()->setEnabled(!context_.settings.recentFiles.isEmpty());

    // A drop is taken while no command runs, and only of files the window can open.
    new FileDropTarget(
        context_.window,
        [this](const QStringList& paths) {
            return !context_.session.busy() &&
                   std::none_of(paths.begin(), paths.end(), [](const QString& path) {
                       return kindOf(path) == FileKind::Other;
                   });
        },
        [this](const QStringList& paths) {
            if (!context_.session.busy())
                context_.commands.run([this, paths] { openFiles(paths); });
        });
}

bool FileCommands::openDataFile(const QString& path, bool direct) {
    FileDialogRequest request{
        dialogFolder(context_.settings), {}, kDataFileFilter, 1, QStringLiteral("vlf")};
    if (!path.isEmpty()) {
        const QFileInfo file(path);
        request.directory = file.absolutePath();
        request.fileName = file.fileName();
    }
    const QString chosen = direct ? path : context_.ui.openFileName(request);
    if (chosen.isEmpty()) return false;
    const QString fullName = fullNameOf(chosen);
    openDialogFileName_ = fullName;
    DataSession& session = context_.session;
    WaitCursor wait;
    // Read before the current data set goes: a failed open leaves it as it was.
    DataFileRead read = readDataFile(localName(fullName), session.messages());
    if (read.status != DataFileStatus::Opened) return false;
    session.replaceStore(std::move(read.store));
    session.view().title.setText(QStringLiteral("Veldro"));
    // Said while the rows are built, the slow part of a large open.
    context_.status.setPanel1(
        QStringLiteral("Please wait, file openning can take a few minutes..."));
    session.rebuildRows(false); // the read loaded the image already
    session.setFilePath(fullName);
    session.afterDataSetLoaded();
    context_.settings.lastFile = fullName;
    remember(fullName);
    session.setDataSaved(true);
    readPositionsBeside(fullName);
    return true;
}

void FileCommands::readPositionsBeside(const QString& dataFile) {
    DataSession& session = context_.session;
    const std::string path = positionsFileNameFor(localName(dataFile));
    try {
        auto positions = veldro::readPositionsBeside(localName(dataFile));
        if (!positions) return;
        session.setPositions(std::move(*positions));
    } catch (const std::runtime_error& error) { // FileError, PositionsFileError
        context_.ui.tell({error.what(), kPositionsCaption, MessageIcon::Warning});
        return;
    }
    context_.status.showNote(QString::fromStdString("Positions from " + fileNamePart(path) + ": " +
                                                    matchedText(matchPositions(session.survey()))));
}

void FileCommands::openFiles(const QStringList& paths) {
    if (paths.isEmpty() || !context_.session.mayReplaceDataSet()) return;
    if (!openOrImport(fullNameOf(paths.front()))) return;
    for (const QString& path : paths.mid(1)) {
        const QString fullName = fullNameOf(path);
        if (kindOf(fullName) == FileKind::Data)
            addFile(fullName);
        else
            context_.ui.tell({kNotAddable + fullName.toStdString(), "", MessageIcon::Warning});
    }
}

bool FileCommands::openOrImport(const QString& fullName) {
    switch (kindOf(fullName)) {
    case FileKind::Data:
        return openDataFile(fullName, true);
    case FileKind::Bru:
        importBruFile(fullName);
        return true;
    case FileKind::Other:
        break;
    }
    context_.ui.tell({kNotOpenable + fullName.toStdString(), "", MessageIcon::Warning});
    return false;
}

void FileCommands::saveDataFileAs() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    // Saving under a new name keeps the file shown and remembered: they go back
    // to the open dialog's choice, and stay as they are when it chose none yet
    // (after a download), rather than being emptied.
    if (!openDialogFileName_.isEmpty()) {
        session.setFilePath(openDialogFileName_);
        context_.settings.lastFile = openDialogFileName_;
    }
    const QString chosen = context_.saveDialog.run(context_.ui, SaveDialog::Use::DataFile);
    if (chosen.isEmpty()) return;
    const std::string target = dataFileNameFor(localName(chosen));
    // The dialog asked about the name typed; the file written may be another one.
    if (target != localName(chosen) && fileExists(target) &&
        context_.ui.ask({fileNamePart(target) + " already exists.\nDo you want to replace it?",
                         "Save as", MessageIcon::Warning},
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    {
        WaitCursor wait;
        session.store()->saveToFile(target, &session.progress());
    }
    remember(qtName(target));
    session.setDataSaved(true);
    offerRestOfDownload(target);
}

// A restored download of more records than a data set takes puts the rest in
// a second file with the first, which may be opened in its turn.
void FileCommands::offerRestOfDownload(const std::string& target) {
    const auto second = context_.session.saveRestOfDownload(target);
    if (second &&
        context_.ui.ask({"The other " + std::to_string(second->records) +
                             " records of this download were saved to\n" + second->path +
                             "\nOpen them ?",
                         "Save as", MessageIcon::Question},
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes)
        openDataFile(qtName(second->path), true);
}

void FileCommands::Ouvrir1Click() {
    if (context_.session.mayReplaceDataSet()) openDataFile({}, false);
}

void FileCommands::OpenLastFileClick() {
    if (context_.session.mayReplaceDataSet()) openDataFile(context_.settings.lastFile, false);
}

void FileCommands::EnregistrerSousClick() {
    saveDataFileAs();
}

void FileCommands::Importtextfile1Click() {
    DataSession& session = context_.session;
    if (!session.mayReplaceDataSet()) return;
    const QString chosen =
        context_.ui.openFileName({dialogFolder(context_.settings), {}, kBruFilter, 1, {}});
    if (chosen.isEmpty()) return;
    importBruFile(fullNameOf(chosen));
}

void FileCommands::importBruFile(const QString& fullName) {
    openDialogFileName_ = fullName;
    DataSession& session = context_.session;
    WaitCursor wait;
    session.replaceStore(std::make_unique<MeasurementStore>());
    try {
        ImportBru(*session.store(), localName(fullName), &session.progress(), session.messages());
    } catch (...) {
        session.rebuildRows(false); // the discarded records must not stay on screen
        throw;
    }
    session.setFilePath(fullName);
    context_.settings.lastFile = fullName;
    remember(fullName);
    session.afterDataSetLoaded();
    session.rebuildRows(false);
}

void FileCommands::Add1Click() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    const QString chosen =
        context_.ui.openFileName({dialogFolder(context_.settings), {}, kDataFileFilter, 1, {}});
    if (chosen.isEmpty()) return;
    // The file added is not the data set's file: "Save as..." and "Open last
    // file..." go on naming the one opened.
    addFile(fullNameOf(chosen));
}

void FileCommands::addFile(const QString& fullName) {
    DataSession& session = context_.session;
    WaitCursor wait;
    if (addDataFile(*session.store(), localName(fullName), session.messages()) !=
        DataFileStatus::Opened)
        return;
    session.rebuildRows(false); // the add reloaded the image already
    session.afterDataSetLoaded();
}

// The positions replace the data set's own once read; a refused file leaves
// them as they were.
void FileCommands::PositionsClick() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    FileDialogRequest request{
        dialogFolder(context_.settings), {}, kPositionsFilter, 1, QStringLiteral("csv")};
    if (!session.filePath().isEmpty()) {
        const QFileInfo beside(qtName(positionsFileNameFor(localName(session.filePath()))));
        request.directory = beside.absolutePath();
        request.fileName = beside.fileName();
    }
    const QString chosen = context_.ui.openFileName(request);
    if (chosen.isEmpty()) return;
    const std::string path = localName(fullNameOf(chosen));
    try {
        WaitCursor wait;
        session.setPositions(readPositionsFile(path));
    } catch (const std::runtime_error& error) { // FileError, PositionsFileError
        context_.ui.tell({error.what(), kPositionsCaption, MessageIcon::Error});
        return;
    }
    const PositionMatch match = matchPositions(session.survey());
    const bool whole = match.unplaced.empty() && match.unused.empty();
    context_.ui.tell({"Positions from " + path + "\n" + matchReport(match, kListedProfiles),
                      kPositionsCaption, whole ? MessageIcon::Information : MessageIcon::Warning});
}

void FileCommands::Splitonname1Click() {
    DataSession& session = context_.session;
    if (!session.hasData()) return;
    QString directory = dialogFolder(context_.settings);
    for (;;) {
        try {
            directory = context_.ui.directoryName(directory);
            if (directory.isEmpty()) return;
            if (directoryExists(localName(directory))) break;
            context_.ui.tell(kCreateDirectory);
        } catch (const std::exception&) {
            context_.ui.tell(kDirectoryError);
        }
    }
    WaitCursor wait;
    const std::size_t written =
        session.store()->splitToFiles(localName(directory), &session.progress()).size();
    context_.status.showNote(
        QStringLiteral("%1 %2 written in %3")
            .arg(written)
            .arg(written == 1 ? QStringLiteral("file") : QStringLiteral("files"))
            .arg(QDir::toNativeSeparators(directory)));
}

// A recent file that is gone leaves the list once its absence was said.
void FileCommands::openRecentFile(const QString& path) {
    openFiles({path});
    if (QFileInfo::exists(path)) return;
    context_.settings.recentFiles.removeAll(path);
    context_.menu("RecentFiles")
        ->menuAction()
        ->setEnabled(!context_.settings.recentFiles.isEmpty());
}

void FileCommands::remember(const QString& fullName) {
    rememberRecentFile(context_.settings, fullName);
    context_.menu("RecentFiles")->menuAction()->setEnabled(true);
}

// Numbered for the keyboard; a long path loses its middle, and shows whole
// as the item's tooltip.
void FileCommands::fillRecentMenu() {
    QMenu* menu = context_.menu("RecentFiles");
    menu->clear();
    menu->setToolTipsVisible(true);
    const QFontMetrics metrics = menu->fontMetrics();
    const int width = metrics.averageCharWidth() * kRecentFileChars;
    int number = 0;
    for (const QString& path : context_.settings.recentFiles) {
        const QString shown = metrics.elidedText(path, Qt::ElideMiddle, width);
        QAction* item = menu->addAction(
            QStringLiteral("&%1 %2").arg(++number).arg(QString(shown).replace('&', "&&")));
        item->setData(path);
        item->setToolTip(path);
        connect(item, &QAction::triggered, this,
                [this, path] { context_.commands.run([this, path] { openRecentFile(path); }); });
    }
}

void FileCommands::Quitter1Click() {
    context_.window.close();
}

bool FileCommands::FormCloseQuery() {
    if (context_.session.dataSaved()) return true;
    if (context_.ui.ask(kQuitWithoutSaving, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
        QMessageBox::Yes)
        return true;
    context_.commands.run([this] { saveDataFileAs(); });
    return false;
}

} // namespace veldro
