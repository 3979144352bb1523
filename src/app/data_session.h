#pragma once

#include "app/kept_history.h"
#include "data/rows.h"
#include "data/station_positions.h"
#include "data/survey_view.h"
#include "widgets/ui_services.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace veldro {

class MeasurementStore;
class MeasurementTableModel;
class MeasurementTableView;
class Progress;
class StatusLine;

// The parts of the main window that show the data set.
struct SessionView {
    MeasurementTableView& table;
    StatusLine& status;
    QLabel& title; // the toolbar's title label
};

// The data set of the window: the store, the rows of the table, whether it
// was saved, and whether a command is running. Commands replace the data set,
// rebuild the rows and ask before unsaved data is dropped through here.
class DataSession : public QObject {
    Q_OBJECT
public:
    DataSession(UiServices& ui, SessionView view, QObject* parent = nullptr);
    ~DataSession() override;

    MeasurementStore* store() const { return store_.get(); }
    bool hasData() const { return store_ != nullptr; }
    MeasurementTableModel& model() const { return *model_; }
    const RowList& rows() const;
    // The file the data set was read from or saved to; empty after a download
    // that was not saved.
    const QString& filePath() const { return filePath_; }
    void setFilePath(const QString& path);

    // The positions of the data set's stations: none until read, and none
    // again when the data set is replaced.
    const StationPositions& positions() const { return positions_; }
    void setPositions(StationPositions positions);
    // The data set as core reads it, with its positions; only with data.
    SurveyView survey() const;

    // False while there are changes no data file holds.
    bool dataSaved() const { return dataSaved_; }
    // True: a file holds the data set as it is. False: a change that Undo
    // cannot take back (or that left nothing to undo) makes it differ.
    void setDataSaved(bool saved);
    // The download journal that keeps this data set's records until a file
    // holds them, and the records of its download past the data set's
    // capacity, if any: marked done once a save put every record in a file,
    // or when the data set is dropped unsaved.
    void setJournal(std::string path, std::unique_ptr<MeasurementStore> rest = nullptr);
    // After the data set was saved to `file`: the rest of its download goes to
    // the second file beside it (see saveSecondFile). Its name and records,
    // or nothing when there was no rest or it could not be written (said).
    struct SecondFile {
        std::string path;
        int records = 0;
    };
    std::optional<SecondFile> saveRestOfDownload(const std::string& file);

    // While a command lets events run, the commands that change the data set
    // are disabled and the window does not close, so no command re-enters another.
    // `cancel`, when given, is what the command's own "Cancel" does.
    class BusyScope {
    public:
        explicit BusyScope(DataSession& session, std::function<void()> cancel = {});
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        DataSession& session_;
    };
    bool busy() const { return !cancels_.empty(); }
    // Cancels the running commands that can be cancelled; they end on their own.
    void cancelRunning();
    // Cleared by a cancel: a running rebuild stops after its current row.
    bool rebuildContinue = false;

    MessageSink& messages() { return messages_; }
    Progress& progress();
    const SessionView& view() const { return view_; }

    // Replaces the data set; its rows stay empty until the next rebuild.
    void replaceStore(std::unique_ptr<MeasurementStore> store);
    // Rebuilds the rows from the store (after loading its image when `reload`).
    void rebuildRows(bool reload);
    // Shows rows made by a core command, with their count.
    void showRows(RowList rows);
    void showRowCount();
    // After open, import and add: the scratch copy written, the data unsaved.
    void afterDataSetLoaded();
    // Open, import and download replace the data set: hand-made changes are
    // not dropped without the user's word.
    bool mayReplaceDataSet();

    // The table rows the user selected, in order.
    std::vector<int> selectedRows() const;
    // Runs a change of kept flags on the rows (and the records); a change
    // marks the data unsaved and can be undone.
    void changeKept(const std::function<void(RowList&)>& change);

    // Undo and Redo of the kept states. A command that changes them takes the
    // states before it and hands them over once the rows show its change.
    KeptHistory::States keptStates() const;
    // False when the command left the states as they were.
    bool keptChanged(KeptHistory::States before);
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    void undoKept();
    void redoKept();
    // Open, import, add, download and "Delete ignored data" start afresh.
    void forgetKeptHistory();

signals:
    // The data set, its saved state or the busy state changed.
    void stateChanged();

private:
    void restoreKept(const KeptHistory::States& states);
    // After a change of the kept states only: saved when they are the file's.
    void showKeptSavedState();

    UiServices& ui_;
    UiMessages messages_;
    SessionView view_;
    MeasurementTableModel* model_;
    std::unique_ptr<MeasurementStore> store_;
    StationPositions positions_;
    void markJournalDone(bool saved);

    QString filePath_;
    bool dataSaved_ = true;
    // The kept states the data file holds, while the data set differs from
    // it in nothing else: Undo and Redo back to them make the data saved.
    std::optional<KeptHistory::States> savedKept_;
    std::string journal_;
    std::unique_ptr<MeasurementStore> restOfDownload_;
    KeptHistory history_;
    // One entry per running command, innermost last; empty for one without a Cancel.
    std::vector<std::function<void()>> cancels_;
};

} // namespace veldro
