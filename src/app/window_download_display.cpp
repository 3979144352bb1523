#include "app/window_download_display.h"

#include "app/download_live_view.h"
#include "charts/local_file_name.h"
#include "widgets/ui_services.h"

#include <QFile>
#include <QLabel>

namespace veldro {

WindowDownloadDisplay::WindowDownloadDisplay(QWidget& panel, QLabel& label, DownloadLiveView& live,
                                             Progress& progress, UiServices& services,
                                             std::function<QString()> saveFolder)
    : panel_(panel), label_(label), live_(live), progress_(progress), services_(services),
      saveFolder_(std::move(saveFolder)) {}

void WindowDownloadDisplay::showPanel(bool shown) {
    panel_.setVisible(shown);
    if (shown) {
        panel_.raise();
        live_.start();
    } else {
        live_.stop();
    }
}

void WindowDownloadDisplay::recordStored(const MeasurementRecord& record, int count) {
    live_.add(record, count);
}

void WindowDownloadDisplay::LabelText::setText(const std::string& text) {
    label_.setText(QString::fromStdString(text));
}

std::optional<std::string> WindowDownloadDisplay::askSaveFileName() {
    const QString chosen = services_.saveFileName(
        {saveFolder_(), {}, QString::fromLatin1(kDownloadSaveFilter), 1, QStringLiteral("vlf")});
    if (chosen.isEmpty()) return std::nullopt;
    return localName(chosen);
}

} // namespace veldro
