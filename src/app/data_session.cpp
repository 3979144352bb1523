#include "app/data_session.h"

#include "app/measurement_table_model.h"
#include "app/status_line.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "data/measurement_store.h"
#include "data/vlf_file.h"
#include "link/download_journal.h"
#include "widgets/measurement_table_view.h"
#include "widgets/wait_cursor.h"

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <algorithm>
#include <utility>

namespace veldro {

namespace {

const Message kDiscardUnsaved{"Discard unsaved data ?", "Data not stored", MessageIcon::Warning};

} // namespace

DataSession::DataSession(UiServices& ui, SessionView view, QObject* parent)
    : QObject(parent), ui_(ui), messages_(ui), view_(view),
      model_(new MeasurementTableModel(this)) {
    view_.table.setModel(model_);
}

DataSession::~DataSession() = default;

const RowList& DataSession::rows() const {
    return model_->rows();
}

Progress& DataSession::progress() {
    return view_.status.progress();
}

void DataSession::setFilePath(const QString& path) {
    filePath_ = path;
    // As the system writes a file's name: C:\surveys\a.vlf on Windows.
    view_.status.setPanel1(QDir::toNativeSeparators(path));
    emit stateChanged();
}

void DataSession::setPositions(StationPositions positions) {
    positions_ = std::move(positions);
}

SurveyView DataSession::survey() const {
    return {*store_, rows(), &positions_};
}

void DataSession::setDataSaved(bool saved) {
    dataSaved_ = saved;
    if (saved && store_ && !restOfDownload_) markJournalDone(true);
    if (saved)
        savedKept_ = keptStates();
    else
        savedKept_.reset();
    emit stateChanged();
}

void DataSession::showKeptSavedState() {
    dataSaved_ = savedKept_ && *savedKept_ == keptStates();
    emit stateChanged();
}

void DataSession::setJournal(std::string path, std::unique_ptr<MeasurementStore> rest) {
    journal_ = std::move(path);
    restOfDownload_ = std::move(rest);
}

// The journal keeps the rest until it is in a file: a failure is said, and
// the save of the data set stands.
std::optional<DataSession::SecondFile> DataSession::saveRestOfDownload(const std::string& file) {
    if (!restOfDownload_) return std::nullopt;
    const int records = restOfDownload_->count();
    try {
        const std::string second = saveSecondFile(*restOfDownload_, file);
        restOfDownload_.reset();
        markJournalDone(true);
        return SecondFile{second, records};
    } catch (const FileError& error) {
        ui_.tell({"The other " + std::to_string(records) +
                      " records of this download were not saved:\n" + error.what() +
                      "\nIts journal keeps them.",
                  "Error", MessageIcon::Error});
        return std::nullopt;
    }
}

// A journal that cannot be marked is offered again at the next start: no
// record is lost, so the status line says it and the command goes on.
void DataSession::markJournalDone(bool saved) {
    if (journal_.empty()) return;
    const std::string journal = std::exchange(journal_, {});
    try {
        veldro::markJournalDone(journal, saved ? JournalEnd::Saved : JournalEnd::Discarded);
    } catch (const std::exception& error) {
        view_.status.setPanel1(QStringLiteral("Download journal not marked: ") +
                               QString::fromStdString(error.what()));
    }
}

DataSession::BusyScope::BusyScope(DataSession& session, std::function<void()> cancel)
    : session_(session) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    session_.cancels_.push_back(std::move(cancel));
    emit session_.stateChanged();
}

DataSession::BusyScope::~BusyScope() {
    session_.cancels_.pop_back();
    emit session_.stateChanged();
    QApplication::restoreOverrideCursor();
}

void DataSession::cancelRunning() {
    const auto running = cancels_; // a cancel may let events run
    for (auto cancel = running.rbegin(); cancel != running.rend(); ++cancel)
        if (*cancel) (*cancel)();
}

// The rows and their count go with the data set they describe.
void DataSession::replaceStore(std::unique_ptr<MeasurementStore> store) {
    if (store_ && !dataSaved_) markJournalDone(false);
    journal_.clear();
    restOfDownload_.reset();
    model_->setStore(store.get());
    view_.status.setPanel0({});
    store_ = std::move(store);
    positions_ = {};
    forgetKeptHistory();
}

void DataSession::rebuildRows(bool reload) {
    rebuildContinue = true;
    BusyScope busy(*this, [this] { rebuildContinue = false; });
    view_.status.setPanel0({});
    view_.status.resetProgress();
    model_->beginRebuild();
    RowList rows;
    if (!store_) {
        filePath_.clear();
        view_.status.setPanel1({});
        view_.title.clear();
    } else {
        if (reload) store_->loadFromImage(messages_);
        rows = buildRowList(*store_, &progress(), [this](int) {
            QCoreApplication::processEvents();
            return rebuildContinue;
        });
    }
    showRows(std::move(rows));
    view_.table.show();
}

void DataSession::showRows(RowList rows) {
    model_->endRebuild(std::move(rows));
    showRowCount();
    view_.status.resetProgress();
}

void DataSession::showRowCount() {
    const RowList& rows = model_->rows();
    view_.status.setPanel0(QString::fromStdString(rowCountStatus(rows.keptCount(), rows.size())));
}

// A scratch file that cannot be written is said in the status line; the data
// set stays open.
void DataSession::afterDataSetLoaded() {
    emit stateChanged();
    try {
        writeScratchFile(*store_);
    } catch (const FileError& error) {
        view_.status.showNote(QStringLiteral("Scratch file not written: ") +
                              QString::fromStdString(error.what()));
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    view_.status.resetProgress();
    forgetKeptHistory();
    setDataSaved(false);
}

bool DataSession::mayReplaceDataSet() {
    if (dataSaved_ || !store_) return true;
    return ui_.ask(kDiscardUnsaved, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

std::vector<int> DataSession::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : view_.table.selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Every keep/ignore writes the records too, so what the table shows is what a
// save writes, and a hand-made change asks before quitting.
void DataSession::changeKept(const std::function<void(RowList&)>& change) {
    if (!store_) return;
    WaitCursor wait;
    KeptHistory::States before = keptStates();
    model_->changeKeptFlags(change);
    showRowCount();
    keptChanged(std::move(before));
}

KeptHistory::States DataSession::keptStates() const {
    KeptHistory::States states;
    if (!store_) return states;
    states.reserve(static_cast<std::size_t>(store_->count()));
    for (int i = 0; i < store_->count(); ++i) states.push_back(store_->record(i).kept());
    return states;
}

bool DataSession::keptChanged(KeptHistory::States before) {
    if (before == keptStates()) return false;
    history_.changed(std::move(before));
    showKeptSavedState();
    return true;
}

void DataSession::undoKept() {
    if (store_ && canUndo()) restoreKept(history_.undo(keptStates()));
}

void DataSession::redoKept() {
    if (store_ && canRedo()) restoreKept(history_.redo(keptStates()));
}

void DataSession::forgetKeptHistory() {
    history_.clear();
    emit stateChanged();
}

// The rows and the records both go back, as every kept command sets both.
void DataSession::restoreKept(const KeptHistory::States& states) {
    WaitCursor wait;
    const int n = std::min(store_->count(), static_cast<int>(states.size()));
    for (int i = 0; i < n; ++i) store_->setKept(i, states[static_cast<std::size_t>(i)]);
    model_->changeKeptFlags([&states](RowList& rows) {
        const std::size_t count = std::min(rows.entries.size(), states.size());
        for (std::size_t i = 0; i < count; ++i) rows.entries[i].kept = states[i];
    });
    showRowCount();
    showKeptSavedState();
}

} // namespace veldro
