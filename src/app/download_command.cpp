#include "app/download_command.h"

#include "app/main_window.h"
#include "app/measurement_table_view.h"
#include "app/ui_services.h"
#include "app/window_link_host.h"
#include "data/measurement_store.h"
#include "link/port.h"
#include "link/port_selection.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace veldro {

namespace {

ComDevices comDevicesOf(const Settings& settings) {
    ComDevices devices;
    for (std::size_t i = 0; i < devices.paths.size(); ++i)
        devices.paths[i] = QFile::encodeName(settings.comDevices[i]).toStdString();
    return devices;
}

} // namespace

WindowDownloadDisplay::WindowDownloadDisplay(QWidget& panel, QLabel& label, Progress& progress,
                                             UiServices& services, QString programFolder)
    : panel_(panel), label_(label), progress_(progress), services_(services),
      programFolder_(std::move(programFolder)) {}

void WindowDownloadDisplay::showPanel(bool shown) {
    panel_.setVisible(shown);
    if (shown) panel_.raise();
}

void WindowDownloadDisplay::LabelText::setText(const std::string& text) {
    label_.setText(QString::fromStdString(text));
}

std::optional<std::string> WindowDownloadDisplay::askSaveFileName() {
    const QString chosen = services_.saveFileName(
        {programFolder_, {}, QString::fromLatin1(kDownloadSaveFilter), 1, QStringLiteral("vlf")});
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen).toStdString();
}

void TMainFrm::buildDownloadParts() {
    downloadDisplay_ =
        std::make_unique<WindowDownloadDisplay>(*DownloadGB, *ProgressBarLbl, *progress_, services_,
                                                QCoreApplication::applicationDirPath());
    connect(StopDownload, &QPushButton::clicked, this, &TMainFrm::StopDownloadClick);
    // The table is hidden during a download; the status line keeps its height.
    QSizePolicy table = TabMesureCLstView->sizePolicy();
    table.setRetainSizeWhenHidden(true);
    TabMesureCLstView->setSizePolicy(table);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now && DownloadGB->isAncestorOf(now) && !(old && DownloadGB->isAncestorOf(old)))
            DownloadGBEnter();
    });
}

// What was shown goes before the link is touched. Records that reached no file
// are unsaved data, so quitting asks first; a download that brought none leaves
// the data commands off.
void TMainFrm::Rcuprerdesdonnes1Click() {
    if (!mayReplaceDataSet()) return;
    replaceStore(nullptr);
    rebuildRows(false);
    StatusPanel0->clear();
    TabMesureCLstView->hide();
    DownloadResult result;
    {
        BusyScope busy(*this);
        const PortResources resources{*linkHost_, comDevicesOf(settings_), d2xx_};
        result = downloadData(currentPort_, settings_.portNumber, resources, *linkHost_,
                              *downloadDisplay_);
    }
    const bool received = result.store && result.store->count() > 0;
    if (result.store) {
        replaceStore(std::move(result.store));
        rebuildRows(true);
    }
    if (result.saved) StatusPanel1->setText(QFile::decodeName(result.savedTo.c_str()));
    setDataSaved(result.saved || !received);
    ProgressBar1->setValue(0);
    TabMesureCLstView->show();
}

void TMainFrm::StopDownloadClick() {
    rebuildContinue = false;
    veldro::StopDownload(currentPort_.get(), *downloadDisplay_);
}

void TMainFrm::DownloadGBEnter() {
    ProgressBarLbl->clear();
}

} // namespace veldro
