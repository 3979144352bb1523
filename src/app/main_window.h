#pragma once

#include "app/settings.h"
#include "app/ui_services.h"
#include "data/progress.h"
#include "data/rows.h"

#include <QIcon>
#include <QMainWindow>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QActionGroup;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;

namespace veldro {

class D2xx;
class MeasurementStore;
class MeasurementTableModel;
class MeasurementTableView;
class Port;
class WindowDownloadDisplay;
class WindowLinkHost;

// The progress bar along the bottom of the main window.
class BarProgress : public Progress {
public:
    explicit BarProgress(QProgressBar& bar) : bar_(bar) {}
    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    int position() const override;

private:
    QProgressBar& bar_;
};

// The main window: the measurement table, the menus and toolbar, the status
// line, the settings, and the commands that open, import, keep and ignore,
// add, split and save data. Each command asks through UiServices, calls the
// core and shows the result.
class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    // `d2xx` counts and opens the USB converters and outlives the window; null
    // stands for this machine's.
    explicit TMainFrm(UiServices& services, D2xx* d2xx = nullptr, QWidget* parent = nullptr);
    ~TMainFrm() override;

    // A data file named on the command line: opened, without a dialog, once the
    // window is first shown.
    void openOnFirstShow(const QString& path);

    const MeasurementStore* store() const { return store_.get(); }
    const RowList& rowList() const;
    bool dataSaved() const { return dataSaved_; }
    const Settings& settings() const { return settings_; }
    MeasurementTableModel& tableModel() { return *model_; }
    // The instrument port of the run: none before the first download.
    const Port* currentPort() const { return currentPort_.get(); }

    // While a command lets events run, the commands that change the data set
    // are disabled and the window does not close, so no command re-enters another.
    class BusyScope {
    public:
        explicit BusyScope(TMainFrm& window);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        TMainFrm& window_;
    };
    bool busy() const { return busyDepth_ > 0; }

    // Cleared by a cancel: a running rebuild stops after its current row.
    bool rebuildContinue = false;

    // Rebuilds the rows from the store (after loading its image when `reload`).
    void rebuildRows(bool reload);
    void setupColumns();
    void openDataFile(const QString& path, bool direct);
    void saveDataFileAs();

    // The menu commands.
    void Ouvrir1Click();
    void OpenLastFileClick();
    void EnregistrerSousClick();
    void Importtextfile1Click();
    void Add1Click();
    void Splitonname1Click();
    void Displayoptions1Click();
    void Quitter1Click();
    void Check1Click();
    void Uncheck1Click();
    void DeleteUnselectedDataClick();
    void Ignoreoverloaddata1Click();

    // The link and the download.
    void ComCheck(QAction* item);
    void ShowPortImage();
    void Timer1Timer();
    void DownloadGBEnter();
    void Rcuprerdesdonnes1Click();
    void StopDownloadClick();

    // The components.
    QMenu* Fichier1;
    QAction* Ouvrir1;
    QAction* OpenLastFile;
    QAction* EnregistrerSous;
    QMenu* ExporterEtEnregistrer;
    QActionGroup* separatorGroup;
    QAction* Importtextfile1;
    QAction* Add1;
    QAction* Splitonname1;
    QAction* Displayoptions1;
    QAction* Quitter1;
    QMenu* Communication1;
    QAction* Rcuprerdesdonnes1;
    QActionGroup* portGroup;
    QMenu* Processing1;
    QAction* Keepselectedrows1;
    QAction* Ignoreselectedrows1;
    QAction* DeleteUnselectedData;
    QAction* Ignoreoverloaddata1;
    QMenu* Tools1;
    QMenu* Voir2;
    QAction* Formatedtype1;
    QAction* Comments1;
    QMenu* Help1;
    QAction* Rubriquedaide1;
    QMenu* PopupMenu1;
    QAction* Check1;
    QAction* Uncheck1;
    QToolBar* ToolBar1;
    QLabel* NameLblx;
    MeasurementTableView* TabMesureCLstView;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;
    QLabel* StatusPanel1;
    QLabel* Image2;
    QProgressBar* ProgressBar1;
    QGroupBox* DownloadGB;
    QLabel* ProgressBarLbl;
    QPushButton* StopDownload;
    QTimer* Timer1;
    // Re-counts the USB converters while USB is chosen, so that plugging one in
    // or out changes the link picture.
    QTimer* ConverterWatch;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildClientArea();
    void buildDownloadPanel();
    void applySettings(const SettingsRead& read);
    void placeWindow();
    QAction* command(QMenu* menu, const char* name, const QString& caption,
                     void (TMainFrm::*handler)());
    void runCommand(const std::function<void()>& run);
    void updateCommandStates();
    void buildLinkParts();
    void buildDownloadParts();
    void checkPortItem();
    void watchConverter();
    void ConverterWatchTimer();

    void replaceStore(std::unique_ptr<MeasurementStore> store);
    void showRows(RowList rows);
    void showRowCount();
    void afterDataSetLoaded();
    void setDataSaved(bool saved) { dataSaved_ = saved; }
    bool mayReplaceDataSet();
    QString chooseDataFile(const QString& path);
    std::vector<int> selectedRows() const;
    void changeKept(const std::function<void(RowList&)>& change);
    bool FormCloseQuery();

    // The table's mouse gestures.
    bool toggleFromImageStrip(int row);
    void TabMesureCLstViewDblClick();
    void TabMesureCLstViewMouseDown(const QPoint& globalPosition);

    UiServices& services_;
    UiMessages messages_;
    Settings settings_;
    std::unique_ptr<MeasurementStore> store_;
    MeasurementTableModel* model_;
    std::unique_ptr<BarProgress> progress_;
    bool dataSaved_ = true;
    int busyDepth_ = 0;
    // The file name last chosen in the open dialog, which "Save as..." shows.
    QString openDialogFileName_;
    QString startupFile_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point lastToggleTime_{};
    std::optional<std::string> lastToggledCaption_;

    std::unique_ptr<D2xx> systemD2xx_;
    D2xx& d2xx_;
    std::unique_ptr<WindowLinkHost> linkHost_;
    std::unique_ptr<WindowDownloadDisplay> downloadDisplay_;
    std::unique_ptr<Port> currentPort_;
    bool converterAttached_ = false;
    std::array<QIcon, 6> iconFrames_;
    int frame_ = 0;
};

} // namespace veldro
