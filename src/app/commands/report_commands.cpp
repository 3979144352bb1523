#include "app/commands/report_commands.h"

#include "app/data_session.h"
#include "app/measurement_table_model.h"
#include "app/settings.h"
#include "app/status_line.h"
#include "charts/local_file_name.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "export/report.h"
#include "export/ui/report_frm.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>

namespace veldro {

namespace {

const QString kViewFilter =
    QStringLiteral("Veldro data file  (*.vlf)|*.vlf|Spreadsheet  (*.txt)|*.txt|"
                   "Veldro old format data file  (*.bru)|*.bru|All  (*.*)|*.*");
constexpr int kViewFilterAll = 4;

// Moves the progress bar and lets the window paint, a few times a second at
// most: a report passes 64000 rows in a blink.
class PacedProgress : public Progress {
public:
    explicit PacedProgress(Progress& bar) : bar_(bar) { clock_.start(); }
    void setMaximum(int maximum) override { bar_.setMaximum(maximum); }
    void setPosition(int position) override {
        position_ = position;
        if (clock_.elapsed() < kIntervalMs) return;
        clock_.restart();
        bar_.setPosition(position);
        QCoreApplication::processEvents();
    }
    int position() const override { return position_; }

private:
    static constexpr int kIntervalMs = 30;
    Progress& bar_;
    QElapsedTimer clock_;
    int position_ = 0;
};

// While the report is built the table is hidden and the row count makes room
// for the progress; both come back however the building ends.
class ReportBuilding {
public:
    ReportBuilding(DataSession& session, MeasurementTableView& table)
        : session_(session), table_(table), busy_(session) {
        session_.view().status.setPanel0({});
        session_.view().status.resetProgress();
        table_.hide();
    }
    ~ReportBuilding() {
        session_.view().status.resetProgress();
        table_.show();
        session_.showRowCount();
    }
    ReportBuilding(const ReportBuilding&) = delete;
    ReportBuilding& operator=(const ReportBuilding&) = delete;

private:
    DataSession& session_;
    MeasurementTableView& table_;
    DataSession::BusyScope busy_;
};

} // namespace

ReportCommands::ReportCommands(CommandContext& context) : CommandGroup(context) {
    CommandRegistry& commands = context_.commands;
    commands.add(context_.action("File1"), Enabling::Idle, [this] { File1Click(); });
    commands.add(context_.action("Formatedtype1"), Enabling::WithData,
                 [this] { Formatedtype1Click(); });
    commands.add(context_.action("Comments1"), Enabling::WithData, [this] { Comments1Click(); });
}

// Any file as text, except the binary data files.
void ReportCommands::File1Click() {
    const QString chosen = context_.ui.openFileName(
        {dialogFolder(context_.settings), {}, kViewFilter, kViewFilterAll, {}});
    if (chosen.isEmpty()) return;
    const std::string name = localName(chosen);
    if (hasDataFileExtension(name)) return;
    view(chosen, QString::fromStdString(fileExtension(name)));
}

void ReportCommands::Formatedtype1Click() {
    if (!context_.session.hasData() || !writeReportFiles()) return;
    view(QDir::current().absoluteFilePath(QString::fromLatin1(kFinishedReportFileName)),
         QStringLiteral(".txt"));
}

// The blocks and the finished report in the current folder; false (and said)
// when either cannot be written.
bool ReportCommands::writeReportFiles() {
    DataSession& session = context_.session;
    MeasurementStore& store = *session.store();
    try {
        ReportBuilding building(session, context_.table);
        PacedProgress progress(session.progress());
        writeReport(store, session.rows(), session.model().shownColumns(), &progress);
        writeWorkingFile(kReportBlocksFileName, store.exportBuffer);
        writeWorkingFile(kFinishedReportFileName,
                         finishedReport(session.filePath().toStdString(), store));
    } catch (const FileError& error) {
        context_.ui.tell({std::string("The report could not be written: ") + error.what(), "Error",
                          MessageIcon::Error});
        return false;
    }
    return true;
}

void ReportCommands::view(const QString& fileName, const QString& extension) {
    TReportFrm viewer(context_.ui, &context_.window);
    viewer.openFile(fileName, extension);
    context_.ui.runDialog(viewer);
}

// Each Save stores the comment, in the image too so a reload keeps it, and
// leaves the data set unsaved.
void ReportCommands::Comments1Click() {
    DataSession& session = context_.session;
    MeasurementStore* store = session.store();
    if (!store) return;
    TReportFrm viewer(context_.ui, &context_.window);
    viewer.openComment(store->commentText(), MeasurementStore::kCommentSize,
                       [&session, store](const std::string& bytes) {
                           store->setCommentText(bytes);
                           store->writeImage(ImageMode::CommentOnly, false, 0, 0);
                           session.setDataSaved(false);
                       });
    context_.ui.runDialog(viewer);
}

} // namespace veldro
